// What the report command guarantees whatever the scenario holds: the
// scenario is only read, the temporary file never stays, an older report is
// replaced whole or not at all, and no other file is touched.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/inotify.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <map>
#include <set>

#include "report/trigger_report.h"
#include "tests/hardening/harness.h"
#include "tests/hardening/scenarios.h"
#include "tests/support/recording_actions.h"

namespace vantor::hardening {
namespace {

using testing::BodySpec;
using testing::RecordingActions;
using testing::TempDir;

std::string text(const Bytes& b) { return std::string(b.begin(), b.end()); }

TEST(Guarantees, EveryOutcomeOnlyReadsTheScenarioAndLeavesNothingBehind) {
    for (const Outcome& outcome : everyOutcome()) {
        SCOPED_TRACE(outcome.name);
        TempDir dir;
        prepareFolder(dir, outcome);
        const auto before = snapshot(dir);

        RecordingActions ui;
        ScenarioBody body;
        bool reported = false;
        std::vector<FileWatch::Event> scenarioEvents, folderEvents;
        {
            FileWatch scenarioWatch(dir.file("x.scx"));
            FileWatch folderWatch(dir.path().string());
            reported = runReportCommand(dir.file("x.scx"), body, ui);
            scenarioEvents = scenarioWatch.events();
            folderEvents = folderWatch.events();
        }
        const bool expectReport = outcome.messages.empty();
        EXPECT_EQ(reported, expectReport);
        EXPECT_EQ(ui.messages, outcome.messages);
        EXPECT_EQ(ui.opened,
                  expectReport ? std::vector<std::string>{dir.file("x.scx.txt")} : std::vector<std::string>{});

        // The scenario was opened, read and closed; never written.
        bool read = false;
        for (const auto& e : scenarioEvents) {
            EXPECT_FALSE(isChange(e.mask)) << "scenario event " << std::hex << e.mask;
            read = read || (e.mask & IN_CLOSE_NOWRITE);
        }
        EXPECT_TRUE(read);

        // Only this scenario's own names were touched; the temporary file was
        // made when expected, and is gone.
        EXPECT_EQ(checkFolderEvents(folderEvents, expectReport), outcome.createsTemporary);

        // Everything as it was, but for a new report.
        auto after = snapshot(dir);
        if (expectReport) {
            EXPECT_EQ(after["x.scx.txt"].rfind("全トリガ数：2\r\n", 0), 0u);
        }
        EXPECT_EQ(changesBeyondTheReport(before, after, expectReport), "");
    }
}

TEST(Guarantees, RunningTwiceGivesTheSameReportAndTheSecondReplacesTheFirst) {
    TempDir dir;
    testing::writeFile(dir.file("x.scx"), reportableScenario());
    RecordingActions ui;
    ScenarioBody body;
    ASSERT_TRUE(runReportCommand(dir.file("x.scx"), body, ui));
    const Bytes first = testing::readFile(dir.file("x.scx.txt"));
    struct stat firstStat {};
    ASSERT_EQ(::stat(dir.file("x.scx.txt").c_str(), &firstStat), 0);
    ASSERT_TRUE(runReportCommand(dir.file("x.scx"), body, ui));
    EXPECT_EQ(testing::readFile(dir.file("x.scx.txt")), first);
    struct stat secondStat {};
    ASSERT_EQ(::stat(dir.file("x.scx.txt").c_str(), &secondStat), 0);
    EXPECT_NE(secondStat.st_ino, firstStat.st_ino);  // a new file renamed over the old, not rewritten in place
    EXPECT_EQ(dir.names(), (std::vector<std::string>{"x.scx", "x.scx.txt"}));
}

// What a child process saw: the messages and whether a report was made.
std::string outcomeOf(bool reported, const RecordingActions& ui) {
    std::string out = reported ? "reported" : "not reported";
    for (Message m : ui.messages) out += " " + std::string(messageText(m));
    return out;
}

std::string expected(bool reported, std::vector<Message> messages) {
    RecordingActions ui;
    ui.messages = std::move(messages);
    return outcomeOf(reported, ui);
}

// Gives the folder to the unprivileged user, so that it may write there.
void handOver(const TempDir& dir) {
    ASSERT_EQ(::chown(dir.path().c_str(), unprivilegedUser(), static_cast<gid_t>(-1)), 0);
}

ChildResult reportUnprivileged(const std::string& scenario, UserActions* actions = nullptr) {
    return runUnprivileged([&] {
        RecordingActions recorder;
        ScenarioBody body;
        const bool reported = runReportCommand(scenario, body, actions ? *actions : recorder);
        return actions ? std::string(reported ? "reported" : "not reported") : outcomeOf(reported, recorder);
    });
}

TEST(Guarantees, FolderWithoutWritePermissionIsCreateFailed) {
    TempDir dir;
    testing::writeFile(dir.file("x.scx"), reportableScenario());
    testing::writeFile(dir.file("x.scx.txt"), Bytes{'o', 'l', 'd'});
    handOver(dir);
    ::chmod(dir.path().c_str(), 0555);
    const ChildResult result = reportUnprivileged(dir.file("x.scx"));
    ::chmod(dir.path().c_str(), 0755);
    if (!result.ok) GTEST_SKIP() << "cannot run as an unprivileged user";
    EXPECT_EQ(result.output, expected(false, {Message::createFailed}));
    EXPECT_EQ(dir.names(), (std::vector<std::string>{"x.scx", "x.scx.txt"}));
    EXPECT_EQ(text(testing::readFile(dir.file("x.scx.txt"))), "old");
}

TEST(Guarantees, UnreadableScenarioIsOpenFailed) {
    TempDir dir;
    testing::writeFile(dir.file("x.scx"), reportableScenario());
    handOver(dir);
    ::chmod(dir.file("x.scx").c_str(), 0);
    const ChildResult result = reportUnprivileged(dir.file("x.scx"));
    if (!result.ok) GTEST_SKIP() << "cannot run as an unprivileged user";
    EXPECT_EQ(result.output, expected(false, {Message::openFailed}));
    EXPECT_EQ(dir.names(), std::vector<std::string>{"x.scx"});
}

// Takes the write permission away from the folder at the first thing the
// user is shown, so that the temporary file cannot be removed after it.
class FolderLockingActions final : public UserActions {
public:
    explicit FolderLockingActions(std::string folder) : folder_(std::move(folder)) {}
    void showMessage(Message message) override {
        lock();
        recorder.showMessage(message);
    }
    void openInViewer(const std::string& reportPath) override {
        lock();
        recorder.openInViewer(reportPath);
    }
    RecordingActions recorder;

private:
    void lock() { ::chmod(folder_.c_str(), 0555); }
    std::string folder_;
};

TEST(Guarantees, TemporaryFileThatCannotBeRemovedIsReported) {
    TempDir dir;
    BodySpec image;
    image.imageFlag = 1;
    testing::writeFile(dir.file("x.scx"), testing::buildContainer(testing::buildBody(image).bytes));
    handOver(dir);
    const ChildResult result = runUnprivileged([&] {
        FolderLockingActions actions(dir.path().string());
        ScenarioBody body;
        const bool reported = runReportCommand(dir.file("x.scx"), body, actions);
        return outcomeOf(reported, actions.recorder);
    });
    ::chmod(dir.path().c_str(), 0755);
    if (!result.ok) GTEST_SKIP() << "cannot run as an unprivileged user";
    EXPECT_EQ(result.output, expected(false, {Message::backgroundImage, Message::removeFailed}));
    EXPECT_EQ(dir.names(), (std::vector<std::string>{"x.scx", "x.scx.dat"}));
}

// Runs the command in a child whose files may not grow beyond `limit` bytes,
// as on a disk that fills up while the files are written.
ChildResult reportWithFileSizeLimit(const std::string& scenario, rlim_t limit) {
    return runInChild([&] {
        ::signal(SIGXFSZ, SIG_IGN);
        const rlimit r{limit, limit};
        if (::setrlimit(RLIMIT_FSIZE, &r) != 0) ::_exit(1);
        RecordingActions ui;
        ScenarioBody body;
        const bool reported = runReportCommand(scenario, body, ui);
        return outcomeOf(reported, ui);
    });
}

TEST(Guarantees, ReportThatCannotBeWrittenWholeLeavesTheOldReport) {
    const Bytes body = bulkyBody();
    ReportBuffer report;
    ASSERT_EQ(buildTriggerReport({body.data(), body.size()}, report), ReportOutcome::reportReady);
    ASSERT_GT(report.size(), 2 * body.size());  // the limit below lets the body through, not the report

    TempDir dir;
    testing::writeFile(dir.file("x.scx"), testing::buildContainer(body));
    testing::writeFile(dir.file("x.scx.txt"), Bytes{'o', 'l', 'd'});
    const ChildResult result = reportWithFileSizeLimit(dir.file("x.scx"), (body.size() + report.size()) / 2);
    ASSERT_TRUE(result.ok);
    EXPECT_EQ(result.output, expected(false, {Message::createFailed}));
    EXPECT_EQ(dir.names(), (std::vector<std::string>{"x.scx", "x.scx.txt"}));
    EXPECT_EQ(text(testing::readFile(dir.file("x.scx.txt"))), "old");
}

TEST(Guarantees, TemporaryFileThatCannotBeWrittenIsCreateFailedAndRemoved) {
    const Bytes body = bulkyBody();
    TempDir dir;
    testing::writeFile(dir.file("x.scx"), testing::buildContainer(body));
    const ChildResult result = reportWithFileSizeLimit(dir.file("x.scx"), body.size() / 2);
    ASSERT_TRUE(result.ok);
    EXPECT_EQ(result.output, expected(false, {Message::createFailed}));
    EXPECT_EQ(dir.names(), std::vector<std::string>{"x.scx"});
}

TEST(Guarantees, ScenarioThatVanishedIsOpenFailed) {
    TempDir dir;
    testing::writeFile(dir.file("x.scx"), reportableScenario());
    testing::writeFile(dir.file("x.scx.dat"), Bytes{'d'});  // not this command's: stays
    std::filesystem::remove(dir.file("x.scx"));
    std::filesystem::create_symlink(dir.file("gone.scx"), dir.file("link.scx"));
    for (const char* name : {"x.scx", "link.scx"}) {
        RecordingActions ui;
        ScenarioBody body;
        EXPECT_FALSE(runReportCommand(dir.file(name), body, ui));
        EXPECT_EQ(ui.messages, std::vector<Message>{Message::openFailed});
    }
    EXPECT_EQ(dir.names(), (std::vector<std::string>{"link.scx", "x.scx.dat"}));
    EXPECT_EQ(text(testing::readFile(dir.file("x.scx.dat"))), "d");
}

TEST(Guarantees, WhatFollowsTheDeflateStreamIsNeverRead) {
    TempDir dir;
    testing::writeFile(dir.file("x.scx"), reportableScenario());
    // A sparse tail of 5 GiB behind a valid scenario.
    if (::truncate(dir.file("x.scx").c_str(), 5LL << 30) != 0) GTEST_SKIP() << "no sparse files here";
    RecordingActions ui;
    ScenarioBody body;
    FileWatch scenarioWatch(dir.file("x.scx"));
    EXPECT_TRUE(runReportCommand(dir.file("x.scx"), body, ui));
    EXPECT_EQ(ui.messages, std::vector<Message>{});
    int reads = 0;
    for (const auto& e : scenarioWatch.events()) reads += (e.mask & IN_ACCESS) ? 1 : 0;
    EXPECT_LT(reads, 10) << "the tail was read";
    EXPECT_EQ(dir.names(), (std::vector<std::string>{"x.scx", "x.scx.txt"}));
}

TEST(Guarantees, FolderNamedLikeAScenarioIsOpenFailed) {
    TempDir dir;
    std::filesystem::create_directory(dir.path() / "x.scx");
    RecordingActions ui;
    ScenarioBody body;
    EXPECT_FALSE(runReportCommand(dir.file("x.scx"), body, ui));
    EXPECT_EQ(ui.messages, std::vector<Message>{Message::openFailed});
    EXPECT_EQ(dir.names(), std::vector<std::string>{"x.scx"});
}

TEST(Guarantees, JapaneseFolderAndFileNames) {
    TempDir dir;
    // cp932 bytes; 表 and ソ end in 0x5C, the byte of a path separator on Windows.
    const std::filesystem::path folder = dir.path() / "シナリオ表";
    std::filesystem::create_directory(folder);
    const std::string scenario = (folder / "ソ連の戦い.scx").string();
    testing::writeFile(scenario, reportableScenario());
    RecordingActions ui;
    ScenarioBody body;
    EXPECT_TRUE(runReportCommand(scenario, body, ui));
    EXPECT_EQ(ui.opened, std::vector<std::string>{scenario + ".txt"});
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) names.push_back(entry.path().filename());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"ソ連の戦い.scx", "ソ連の戦い.scx.txt"}));
}

}  // namespace
}  // namespace vantor::hardening
