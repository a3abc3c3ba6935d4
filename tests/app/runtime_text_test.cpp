// Where C runtimes differ, the report must not: the formats it uses are
// pinned here against exact bytes and against the runtime the program runs
// on (under Wine: the Windows C runtime), and report files must hold CR LF
// exactly, whatever the runtime does with text-mode files.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "report/report_buffer.h"
#include "report/trigger_report.h"
#include "scenario/file_io.h"
#include "tests/support/recording_actions.h"
#include "tests/support/scenario_builder.h"

namespace vantor {
namespace {

// The platform's own printf.  On Windows this is the system's C runtime
// (msvcrt), as the original class library used it for the report lines.
template <typename... Args>
std::string platformFormat(const char* format, Args... args) {
    char buffer[256] = {};
#ifdef _WIN32
    const int n = _snprintf(buffer, sizeof buffer - 1, format, args...);
#else
    const int n = std::snprintf(buffer, sizeof buffer, format, args...);
#endif
    return n < 0 ? std::string("<error>") : std::string(buffer, static_cast<std::size_t>(n));
}

std::string hex8(std::uint32_t value) {
    ReportBuffer out;
    out.alternateHex8(value);
    return std::string(out.view());
}

std::string zero4(std::int32_t value) {
    ReportBuffer out;
    out.integer(value, 4, ReportBuffer::Pad::zero);
    return std::string(out.view());
}

std::string left30(std::string_view text) {
    ReportBuffer out;
    out.textLeft(text, 30);
    return std::string(out.view());
}

TEST(RuntimeFormats, AlternateHexOfZeroHasNoPrefix) {
    EXPECT_EQ(hex8(0), "       0");
    EXPECT_EQ(hex8(0x1F), "    0x1f");
    EXPECT_EQ(hex8(0xFFFFFFFF), "0xffffffff");
    for (std::uint32_t v : {0u, 1u, 0x1Fu, 0x12345u, 0x7FFFFFFFu, 0xFFFFFFFFu})
        EXPECT_EQ(hex8(v), platformFormat("%#8x", v)) << v;
}

TEST(RuntimeFormats, ZeroPaddedNegativeNumbersKeepTheSignFirst) {
    EXPECT_EQ(zero4(-1), "-001");
    EXPECT_EQ(zero4(-123), "-123");
    EXPECT_EQ(zero4(-1234), "-1234");
    EXPECT_EQ(zero4(7), "0007");
    for (std::int32_t v : {-1, -12, -123, -1234, 0, 7, 12345, INT32_MIN, INT32_MAX})
        EXPECT_EQ(zero4(v), platformFormat("%04d", v)) << v;
}

TEST(RuntimeFormats, WidthsCountBytesOfCp932Text) {
    const std::string name = "日本語";  // six bytes
    ASSERT_EQ(name.size(), 6u);
    EXPECT_EQ(left30(name), name + std::string(24, ' '));
    EXPECT_EQ(left30(name), platformFormat("%-30s", name.c_str()));
    const std::string long31 = std::string(29, 'a') + "表";  // 31 bytes: not cut
    EXPECT_EQ(left30(long31), long31);
    EXPECT_EQ(left30(long31), platformFormat("%-30s", long31.c_str()));
}

class ReportFileLineEnds : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = std::filesystem::temp_directory_path() /
                  ("vantor_line_ends_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        std::filesystem::remove_all(folder_);
        std::filesystem::create_directories(folder_);
    }
    void TearDown() override { std::filesystem::remove_all(folder_); }
    std::string path(const char* name) const { return (folder_ / name).string(); }

    std::filesystem::path folder_;
};

TEST_F(ReportFileLineEnds, SavedBytesAreStoredUnchanged) {
    const std::string bytes =
        "a\r\nb\nc\r\r\n\x1A"
        "d\r";  // Ctrl-Z too: no end of file in the middle
    OwnFile partial;
    ASSERT_EQ(partial.createUnique(path("r.txt"), 0644), OwnFile::Outcome::created);
    ASSERT_TRUE(partial.write(bytes.data(), bytes.size()));
    ASSERT_TRUE(partial.renameOver(path("r.txt")));
    const auto stored = testing::readFile(path("r.txt"));
    EXPECT_EQ(std::string(stored.begin(), stored.end()), bytes);
}

TEST_F(ReportFileLineEnds, ReportOfAScenarioHasCrLfOnly) {
    testing::BodySpec spec;
    testing::Trigger trigger;
    const auto z = [](std::string text) { return text + '\0'; };  // as the editor stores texts
    trigger.name = z("一");
    trigger.description = z("一行目\n二行目\r\n三行目");
    testing::Effect chat;
    chat.type = 20;
    chat.text = z("改行\nあり");
    trigger.effects.push_back(chat);
    spec.triggers.push_back(trigger);
    spec.triggers.push_back(trigger);
    const std::string scenario = path("line_ends.scx");
    testing::writeFile(scenario, testing::buildContainer(testing::buildBody(spec).bytes));

    testing::RecordingActions ui;
    ScenarioBody body;
    ASSERT_TRUE(runReportCommand(scenario, body, ui));
    const auto stored = testing::readFile(scenario + ".txt");
    const std::string text(stored.begin(), stored.end());

    ReportBuffer expected;
    ASSERT_EQ(buildTriggerReport(body.view(), expected), ReportOutcome::reportReady);
    EXPECT_EQ(text, expected.view());
    std::size_t lines = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n') {
            ++lines;
            ASSERT_TRUE(i > 0 && text[i - 1] == '\r') << "LF without CR at " << i;
            ASSERT_FALSE(i > 1 && text[i - 2] == '\r') << "CR CR LF at " << i;
        }
    }
    EXPECT_GE(lines, 10u);
    EXPECT_FALSE(std::filesystem::exists(scenario + ".dat"));
}

}  // namespace
}  // namespace vantor
