// vantor-report end to end: its exit status, what it prints, and what it
// leaves in the folder, for every way a report can end.
#include <gtest/gtest.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>

#include "report/trigger_report.h"
#include "tests/hardening/harness.h"
#include "tests/hardening/scenarios.h"

namespace vantor::hardening {
namespace {

using testing::BodySpec;
using testing::TempDir;

// The messages as a UTF-8 terminal shows them.
std::string shown(Message message) {
    switch (message) {
        case Message::openFailed: return utf8(u8"ファイルをオープンできませんでした");
        case Message::createFailed: return utf8(u8"ファイルの作成に失敗しました");
        case Message::decompressionFailed: return utf8(u8"解凍エラーです");
        case Message::backgroundImage: return utf8(u8"背景画像を含むデータには未対応です。");
        case Message::unsupportedVersion: return utf8(u8"未対応のバージョンのシナリオです。");
        case Message::unreadableBody: return utf8(u8"シナリオのデータが壊れているか、未対応の形式です。");
        case Message::removeFailed: return utf8(u8"一時ファイルを削除できませんでした。");
        case Message::outOfMemory: return utf8(u8"メモリが不足しています。");
        case Message::viewerFailed: return utf8(u8"ビューアを起動できませんでした。");
    }
    return {};
}

const std::vector<std::string> utf8Terminal = {"LC_ALL=C.UTF-8"};

ProgramResult report(const std::vector<std::string>& args, bool unprivileged = false,
                     std::vector<std::string> environment = utf8Terminal) {
    return runProgram(reportProgram(), args, environment, unprivileged);
}

std::string text(const Bytes& b) { return std::string(b.begin(), b.end()); }

TEST(CommandLine, EveryOutcome) {
    for (const Outcome& outcome : everyOutcome()) {
        SCOPED_TRACE(outcome.name);
        TempDir dir;
        prepareFolder(dir, outcome);
        const auto before = snapshot(dir);
        const std::string scenario = dir.file("x.scx");

        FileWatch scenarioWatch(scenario);
        FileWatch folderWatch(dir.path().string());
        const ProgramResult result = report({scenario});
        ASSERT_TRUE(result.ran);

        const bool expectReport = outcome.messages.empty();
        std::string messages;
        for (Message m : outcome.messages) messages += scenario + ": " + shown(m) + "\n";
        EXPECT_EQ(result.exitStatus, expectReport ? 0 : 1);
        EXPECT_EQ(result.out, expectReport ? scenario + ".txt\n" : "");
        EXPECT_EQ(result.err, messages);

        for (const auto& e : scenarioWatch.events()) EXPECT_FALSE(isChange(e.mask)) << std::hex << e.mask;
        EXPECT_EQ(checkFolderEvents(folderWatch.events(), expectReport), outcome.createsTemporary);

        auto after = snapshot(dir);
        if (expectReport) {
            // The bytes that the report command makes of the same body.
            const Bytes body = reportableBody();
            ReportBuffer made;
            ASSERT_EQ(buildTriggerReport({body.data(), body.size()}, made), ReportOutcome::reportReady);
            EXPECT_EQ(after["x.scx.txt"], made.view());
        }
        EXPECT_EQ(changesBeyondTheReport(before, after, expectReport), "");
    }
}

TEST(CommandLine, SeveralScenariosEachEndInTheirOwnWay) {
    TempDir dir;
    BodySpec image;
    image.imageFlag = 1;
    testing::writeFile(dir.file("a.scx"), reportableScenario());
    testing::writeFile(dir.file("b.scx"), testing::buildContainer(testing::buildBody(image).bytes));
    testing::writeFile(dir.file("d.scx"), reportableScenario());
    const ProgramResult result = report({dir.file("a.scx"), dir.file("b.scx"), dir.file("c.scx"), dir.file("d.scx")});
    EXPECT_EQ(result.exitStatus, 1);
    EXPECT_EQ(result.out, dir.file("a.scx.txt") + "\n" + dir.file("d.scx.txt") + "\n");
    EXPECT_EQ(result.err, dir.file("b.scx") + ": " + shown(Message::backgroundImage) + "\n" + dir.file("c.scx") + ": " +
                              shown(Message::openFailed) + "\n");
    EXPECT_EQ(dir.names(), (std::vector<std::string>{"a.scx", "a.scx.txt", "b.scx", "d.scx", "d.scx.txt"}));
    EXPECT_EQ(testing::readFile(dir.file("a.scx.txt")), testing::readFile(dir.file("d.scx.txt")));
}

TEST(CommandLine, RunningTwiceGivesTheSameReport) {
    TempDir dir;
    testing::writeFile(dir.file("x.scx"), reportableScenario());
    ASSERT_EQ(report({dir.file("x.scx")}).exitStatus, 0);
    const Bytes first = testing::readFile(dir.file("x.scx.txt"));
    ASSERT_EQ(report({dir.file("x.scx"), dir.file("x.scx")}).exitStatus, 0);
    EXPECT_EQ(testing::readFile(dir.file("x.scx.txt")), first);
    EXPECT_EQ(dir.names(), (std::vector<std::string>{"x.scx", "x.scx.txt"}));
}

TEST(CommandLine, ReportToStandardOutputWritesNoFile) {
    TempDir dir;
    testing::writeFile(dir.file("x.scx"), reportableScenario());
    testing::writeFile(dir.file("bad.scx"), {});
    const ProgramResult result = report({"--stdout", dir.file("x.scx"), dir.file("bad.scx")});
    EXPECT_EQ(result.exitStatus, 1);
    const Bytes body = reportableBody();
    ReportBuffer made;
    ASSERT_EQ(buildTriggerReport({body.data(), body.size()}, made), ReportOutcome::reportReady);
    EXPECT_EQ(result.out, made.view());
    EXPECT_EQ(result.err, dir.file("bad.scx") + ": " + shown(Message::decompressionFailed) + "\n");
    EXPECT_EQ(dir.names(), (std::vector<std::string>{"bad.scx", "x.scx"}));
}

TEST(CommandLine, ReportThatCannotGoToStandardOutputIsCreateFailed) {
    TempDir dir;
    testing::writeFile(dir.file("x.scx"), reportableScenario());
    const ProgramResult result =
        runProgram(reportProgram(), {"--stdout", dir.file("x.scx")}, utf8Terminal, false, "/dev/full");
    EXPECT_EQ(result.exitStatus, 1);
    EXPECT_EQ(result.err, dir.file("x.scx") + ": " + shown(Message::createFailed) + "\n");
    EXPECT_EQ(dir.names(), std::vector<std::string>{"x.scx"});
}

TEST(CommandLine, NamedPipeIsOpenFailedWithoutWaitingForAWriter) {
    TempDir dir;
    ASSERT_EQ(::mkfifo(dir.file("x.scx").c_str(), 0644), 0);
    const ProgramResult result = report({dir.file("x.scx")});
    EXPECT_EQ(result.exitStatus, 1);
    EXPECT_EQ(result.err, dir.file("x.scx") + ": " + shown(Message::openFailed) + "\n");
    EXPECT_EQ(dir.names(), std::vector<std::string>{"x.scx"});
}

TEST(CommandLine, FolderWithoutWritePermission) {
    TempDir dir;
    testing::writeFile(dir.file("x.scx"), reportableScenario());
    testing::writeFile(dir.file("x.scx.txt"), Bytes{'o', 'l', 'd'});
    ::chmod(dir.path().c_str(), 0555);
    const ProgramResult result = report({dir.file("x.scx")}, true);
    const ProgramResult printed = report({"--stdout", dir.file("x.scx")}, true);
    ::chmod(dir.path().c_str(), 0755);
    if (!result.ran) GTEST_SKIP() << "cannot run as an unprivileged user";
    EXPECT_EQ(result.exitStatus, 1);
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.err, dir.file("x.scx") + ": " + shown(Message::createFailed) + "\n");
    EXPECT_EQ(dir.names(), (std::vector<std::string>{"x.scx", "x.scx.txt"}));
    EXPECT_EQ(text(testing::readFile(dir.file("x.scx.txt"))), "old");
    // Printing needs no file beside the scenario.
    EXPECT_EQ(printed.exitStatus, 0);
    EXPECT_EQ(printed.err, "");
}

TEST(CommandLine, ViewerIsGivenThePathAsAFileAndItsFailureIsReported) {
    TempDir bin;
    TempDir dir;
    testing::writeFile(dir.file("-x.scx"), reportableScenario());
    // A viewer that records its arguments and ends with the status it is told.
    std::ofstream(bin.file("xdg-open"))
        << "#!/bin/sh\nprintf '%s\\n' \"$@\" >>\"$(dirname \"$0\")/args\"\nexit $VIEWER_STATUS\n";
    ::chmod(bin.file("xdg-open").c_str(), 0755);
    const std::string command = "cd '" + dir.path().string() + "' && exec '" + reportProgram() + "' --open -- -x.scx";
    struct Case {
        std::string path;
        const char* status;
        int exitStatus;
    };
    for (const Case& c :
         {Case{bin.path().string(), "0", 0}, Case{bin.path().string(), "3", 1}, Case{"/nowhere", "0", 1}}) {
        SCOPED_TRACE(c.path + " " + c.status);
        std::vector<std::string> environment = utf8Terminal;
        environment.push_back("PATH=" + c.path + ":/usr/bin:/bin");
        environment.push_back(std::string("VIEWER_STATUS=") + c.status);
        const ProgramResult result = runProgram("/bin/sh", {"-c", command}, environment);
        EXPECT_EQ(result.exitStatus, c.exitStatus);
        EXPECT_EQ(result.out, "-x.scx.txt\n");
        EXPECT_EQ(result.err, c.exitStatus ? "-x.scx: " + shown(Message::viewerFailed) + "\n" : "");
    }
    EXPECT_EQ(text(testing::readFile(bin.file("args"))), "./-x.scx.txt\n./-x.scx.txt\n");
}

TEST(CommandLine, ControlCharactersOfNamesAreShownEscaped) {
    TempDir dir;
    const ProgramResult result = report({dir.file("a\x1b[2J\nb.scx")});
    EXPECT_EQ(result.err, dir.file("a\\x1b[2J\\x0ab.scx") + ": " + shown(Message::openFailed) + "\n");
}

TEST(CommandLine, JapaneseNames) {
    TempDir dir;
    // File names as bytes: cp932 (a Windows folder copied as it is) and UTF-8
    // (as Linux names them).  Names are printed as they are; messages are
    // converted for the terminal.
    const std::string cp932Folder = dir.file("シナリオ表");
    const std::string utf8Folder = dir.file(utf8(u8"シナリオ表"));
    for (const std::string& folder : {cp932Folder, utf8Folder}) {
        SCOPED_TRACE(folder);
        std::filesystem::create_directory(folder);
        const std::string good = folder + "/ソ連の戦い.scx";
        const std::string missing = folder + (folder == cp932Folder ? "/無い.scx" : utf8(u8"/無い.scx"));
        testing::writeFile(good, reportableScenario());
        const ProgramResult result = report({good, missing});
        EXPECT_EQ(result.exitStatus, 1);
        EXPECT_EQ(result.out, good + ".txt\n");
        EXPECT_EQ(result.err, missing + ": " + shown(Message::openFailed) + "\n");
        EXPECT_TRUE(std::filesystem::exists(good + ".txt"));
        EXPECT_FALSE(std::filesystem::exists(good + ".dat"));
    }
}

TEST(CommandLine, EmptyScenarioFile) {
    TempDir dir;
    testing::writeFile(dir.file("x.scx"), {});
    const ProgramResult result = report({dir.file("x.scx")});
    EXPECT_EQ(result.exitStatus, 1);
    EXPECT_EQ(result.err, dir.file("x.scx") + ": " + shown(Message::decompressionFailed) + "\n");
    EXPECT_EQ(dir.names(), std::vector<std::string>{"x.scx"});
}

}  // namespace
}  // namespace vantor::hardening
