// The report command: from a scenario path to the report file, its messages,
// and what it leaves behind.
#include <gtest/gtest.h>

#include "report/trigger_report.h"
#include "tests/support/recording_actions.h"
#include "tests/support/scenario_builder.h"
#include "tests/support/temp_dir.h"

namespace vantor {
namespace {

using testing::BodySpec;
using testing::Bytes;
using testing::RecordingActions;
using testing::TempDir;

Bytes scenarioWithOneTrigger(const std::string& name = "勝利") {
    BodySpec spec;
    testing::Trigger t;
    t.name = name;
    spec.triggers.push_back(t);
    return testing::buildContainer(testing::buildBody(spec).bytes);
}

std::string reportText(const TempDir& dir, const std::string& name) {
    const Bytes b = testing::readFile(dir.file(name));
    return std::string(b.begin(), b.end());
}

TEST(ReportCommand, WritesTheReportBesideTheScenarioAndOpensIt) {
    TempDir dir;
    testing::writeFile(dir.file("x.scx"), scenarioWithOneTrigger());
    RecordingActions ui;
    ScenarioBody body;
    EXPECT_TRUE(runReportCommand(dir.file("x.scx"), body, ui));
    EXPECT_TRUE(ui.messages.empty());
    ASSERT_EQ(ui.opened, std::vector<std::string>{dir.file("x.scx.txt")});
    EXPECT_EQ(dir.names(), (std::vector<std::string>{"x.scx", "x.scx.txt"}));
    EXPECT_EQ(reportText(dir, "x.scx.txt"),
              "全トリガ数：1\r\n\r\n"
              "No.  トリガ名                       初期設定 ループ 目的   説明の順序\r\n"
              "---- ------------------------------ -------- ------ ------ ----------\r\n"
              "0000 勝利                           オン     いいえ いいえ          0\r\n"
              "説明：\r\n"
              "\r\n");
    EXPECT_FALSE(body.empty());  // the body stays with its holder
}

TEST(ReportCommand, RunningTwiceReplacesTheReportWithTheSameBytes) {
    TempDir dir;
    testing::writeFile(dir.file("x.scx"), scenarioWithOneTrigger());
    testing::writeFile(dir.file("x.scx.txt"), Bytes(100000, 'o'));  // an older, longer report
    RecordingActions ui;
    ScenarioBody body;
    ASSERT_TRUE(runReportCommand(dir.file("x.scx"), body, ui));
    const std::string first = reportText(dir, "x.scx.txt");
    ASSERT_TRUE(runReportCommand(dir.file("x.scx"), body, ui));
    EXPECT_EQ(reportText(dir, "x.scx.txt"), first);
    EXPECT_LT(first.size(), 1000u);
    EXPECT_EQ(ui.opened.size(), 2u);
}

struct Failure {
    Bytes file;
    Message message;
};

TEST(ReportCommand, EveryFailureShowsItsMessageAndLeavesNothingBehind) {
    BodySpec image;
    image.imageFlag = 1;
    BodySpec version;
    version.version = 1.10f;
    BodySpec broken;
    broken.triggerCount = 1000;
    const Bytes whole = scenarioWithOneTrigger();
    const std::vector<Failure> failures = {
        {Bytes{}, Message::decompressionFailed},
        {Bytes(whole.begin(), whole.end() - 40), Message::decompressionFailed},
        {testing::buildContainer(testing::buildBody(image).bytes), Message::backgroundImage},
        {testing::buildContainer(testing::buildBody(version).bytes), Message::unsupportedVersion},
        {testing::buildContainer(testing::buildBody(broken).bytes), Message::unreadableBody},
    };
    for (const Failure& f : failures) {
        TempDir dir;
        testing::writeFile(dir.file("x.scx"), f.file);
        testing::writeFile(dir.file("x.scx.txt"), Bytes{'o', 'l', 'd'});
        RecordingActions ui;
        ScenarioBody body;
        EXPECT_FALSE(runReportCommand(dir.file("x.scx"), body, ui));
        EXPECT_EQ(ui.messages, std::vector<Message>{f.message});
        EXPECT_TRUE(ui.opened.empty());
        // The scenario and an older report as they were; no temporary file.
        EXPECT_EQ(dir.names(), (std::vector<std::string>{"x.scx", "x.scx.txt"}));
        EXPECT_EQ(testing::readFile(dir.file("x.scx")), f.file);
        EXPECT_EQ(reportText(dir, "x.scx.txt"), "old");
    }
}

TEST(ReportCommand, MissingScenarioIsOpenFailed) {
    TempDir dir;
    RecordingActions ui;
    ScenarioBody body;
    EXPECT_FALSE(runReportCommand(dir.file("none.scx"), body, ui));
    EXPECT_EQ(ui.messages, std::vector<Message>{Message::openFailed});
    EXPECT_TRUE(dir.names().empty());
}

TEST(ReportCommand, ReportThatCannotBeWrittenIsCreateFailed) {
    TempDir dir;
    testing::writeFile(dir.file("x.scx"), scenarioWithOneTrigger());
    std::filesystem::create_directory(dir.path() / "x.scx.txt");  // a folder stands in its way
    RecordingActions ui;
    ScenarioBody body;
    EXPECT_FALSE(runReportCommand(dir.file("x.scx"), body, ui));
    EXPECT_EQ(ui.messages, std::vector<Message>{Message::createFailed});
    EXPECT_TRUE(ui.opened.empty());
    EXPECT_EQ(dir.names(), (std::vector<std::string>{"x.scx", "x.scx.txt"}));
}

TEST(ReportCommand, AFailureAfterASuccessEmptiesTheBodyAndTheNextReportWorks) {
    TempDir dir;
    testing::writeFile(dir.file("good.scx"), scenarioWithOneTrigger());
    testing::writeFile(dir.file("bad.scx"), Bytes{1, 2, 3});
    RecordingActions ui;
    ScenarioBody body;
    ASSERT_TRUE(runReportCommand(dir.file("good.scx"), body, ui));
    EXPECT_FALSE(runReportCommand(dir.file("bad.scx"), body, ui));
    EXPECT_TRUE(body.empty());
    EXPECT_TRUE(runReportCommand(dir.file("good.scx"), body, ui));
    EXPECT_EQ(dir.names(), (std::vector<std::string>{"bad.scx", "good.scx", "good.scx.txt"}));
}

TEST(ReportCommand, CaptureTakesTheBytesAndWritesNoFile) {
    TempDir dir;
    testing::writeFile(dir.file("x.scx"), scenarioWithOneTrigger("captured"));
    RecordingActions ui;
    ScenarioBody body;
    ReportBuffer captured;
    EXPECT_TRUE(runReportCommand(dir.file("x.scx"), body, ui, &captured));
    EXPECT_NE(captured.view().find("0000 captured "), std::string_view::npos);
    EXPECT_TRUE(ui.opened.empty());
    EXPECT_EQ(dir.names(), std::vector<std::string>{"x.scx"});
}

TEST(ReportCommand, JapaneseFileNamesAreUsedAsBytes) {
    TempDir dir;
    const std::string name = "シナリオ表.scx";  // cp932 bytes, with a 0x5C trail byte in 表
    testing::writeFile(dir.file(name), scenarioWithOneTrigger());
    RecordingActions ui;
    ScenarioBody body;
    EXPECT_TRUE(runReportCommand(dir.file(name), body, ui));
    EXPECT_TRUE(dir.exists(name + ".txt"));
    EXPECT_FALSE(dir.exists(name + ".dat"));
}

TEST(ReportCommand, WriteTriggerReportWithoutABodyDoesNothing) {
    TempDir dir;
    RecordingActions ui;
    EXPECT_FALSE(writeTriggerReport(dir.file("x.scx"), ScenarioBody{}, ui));
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_TRUE(dir.names().empty());
}

}  // namespace
}  // namespace vantor
