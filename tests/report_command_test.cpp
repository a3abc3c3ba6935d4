// The report command as the dialog runs it: every way it ends, with what it
// shows, what it hands to the viewer and what it leaves in the folder.  (To a
// stream, as the corpus's tests and vantor-report --stdout use it, nothing is
// written beside the scenario: tests/hardening/command_line_test.sh.)
#include <gtest/gtest.h>

#include "report/report_command.h"
#include "tests/support/outcomes.h"
#include "tests/support/recording_actions.h"

namespace vantor {
namespace {

using testing::TempDir;

TEST(ReportCommand, EveryOutcomeShowsItsMessageOnlyReadsTheScenarioAndLeavesNothingBehind) {
    for (const testing::Outcome& outcome : testing::everyOutcome()) {
        SCOPED_TRACE(outcome.name);
        TempDir dir;
        testing::prepareFolder(dir, outcome);
        const auto before = testing::snapshot(dir);
        testing::RecordingActions ui;
        ScenarioBody body;
        const bool made = outcome.messages.empty();
        EXPECT_EQ(runReportCommand(dir.file("x.scx"), body, ui), made);
        EXPECT_EQ(ui.messages, outcome.messages);
        EXPECT_EQ(ui.opened, made ? std::vector<std::string>{dir.file("x.scx.txt")} : std::vector<std::string>{});
        EXPECT_EQ(testing::changesBeyondTheReport(before, testing::snapshot(dir), outcome), "");
        if (made) {
            EXPECT_EQ(testing::readText(dir.file("x.scx.txt")), testing::sampleReport());
        }
    }
}

TEST(ReportCommand, JapaneseNamesAreBytesAndRunningTwiceGivesTheSameReport) {
    TempDir dir;
    const std::string name = "シナリオ表.scx";  // cp932, with a 0x5C trail byte in 表
    testing::writeFile(dir.file(name), testing::sampleFile());
    testing::RecordingActions ui;
    ScenarioBody body;
    ASSERT_TRUE(runReportCommand(dir.file(name), body, ui));
    ASSERT_TRUE(runReportCommand(dir.file(name), body, ui));
    EXPECT_EQ(testing::readText(dir.file(name + ".txt")), testing::sampleReport());
    EXPECT_EQ(dir.names().size(), 2u);  // and its report (Windows lists cp932 names in another encoding)
}

}  // namespace
}  // namespace vantor
