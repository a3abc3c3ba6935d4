// Inputs that once broke the fuzz targets, or that reach corners of the
// format, run through the same targets again.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "fuzz/targets.h"
#include "tests/support/scenario_builder.h"

namespace vantor::hardening {
namespace {

std::vector<std::filesystem::path> inputsIn(const std::string& folder) {
    std::vector<std::filesystem::path> out;
    const std::filesystem::path path = std::filesystem::path(VANTOR_HARDENING_INPUTS) / folder;
    for (const auto& entry : std::filesystem::directory_iterator(path))
        if (entry.is_regular_file()) out.push_back(entry.path());
    std::sort(out.begin(), out.end());
    return out;
}

TEST(Regression, ScenarioFiles) {
    const auto inputs = inputsIn("file");
    ASSERT_FALSE(inputs.empty());
    for (const auto& path : inputs) {
        const testing::Bytes bytes = testing::readFile(path.string());
        EXPECT_EQ(fuzz::runScenarioFile({bytes.data(), bytes.size()}), "") << path.filename();
    }
}

TEST(Regression, ScenarioBodies) {
    const auto inputs = inputsIn("body");
    ASSERT_FALSE(inputs.empty());
    for (const auto& path : inputs) {
        const testing::Bytes bytes = testing::readFile(path.string());
        EXPECT_EQ(fuzz::runScenarioBody({bytes.data(), bytes.size()}), "") << path.filename();
    }
}

}  // namespace
}  // namespace vantor::hardening
