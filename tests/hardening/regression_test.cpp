// Inputs that once broke the fuzz targets, or that reach corners of the
// format, run through the same targets again.
#include <gtest/gtest.h>

#include <filesystem>

#include "fuzz/targets.h"
#include "tests/support/scenario_builder.h"

namespace vantor::hardening {
namespace {

TEST(Regression, EveryKeptInputPassesItsTarget) {
    for (const auto& [folder, target] : {std::pair{"file", &fuzz::runScenarioFile}, {"body", &fuzz::runScenarioBody}}) {
        int inputs = 0;
        for (const auto& entry :
             std::filesystem::directory_iterator(std::filesystem::path(VANTOR_HARDENING_INPUTS) / folder)) {
            const testing::Bytes bytes = testing::readFile(entry.path().string());
            EXPECT_EQ(target(bytes), "") << entry.path();
            ++inputs;
        }
        EXPECT_GT(inputs, 0) << folder;
    }
}

}  // namespace
}  // namespace vantor::hardening
