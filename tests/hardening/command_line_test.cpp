// vantor-report as a user runs it: every outcome of the report command with
// its exit status, output and folder; the options; the viewer.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "cli/console_text.h"
#include "report/report_command.h"
#include "tests/hardening/harness.h"
#include "tests/support/outcomes.h"
#include "tests/support/recording_actions.h"

namespace vantor::hardening {
namespace {

using testing::Bytes;
using testing::TempDir;

// A message as a UTF-8 terminal shows it (the options' table has one spelt out).
std::string shown(Message message) { return cli::cp932ToUtf8(messageText(message)); }

std::string fileText(const std::string& path) {
    const Bytes b = testing::readFile(path);
    return std::string(b.begin(), b.end());
}

TEST(CommandLine, EveryOutcomeAsAUserWithoutPrivileges) {
    for (const testing::Outcome& outcome : testing::everyOutcome()) {
        SCOPED_TRACE(outcome.name);
        TempDir dir;
        testing::prepareFolder(dir, outcome);
        handOver(dir);
        const auto before = testing::snapshot(dir);
        const std::string scenario = dir.file("x.scx");
        const Result result = run({.args = {scenario}, .unprivileged = true});
        ::chmod(dir.path().c_str(), 0755);

        const bool made = outcome.messages.empty();
        std::string messages;
        for (Message m : outcome.messages) messages += scenario + ": " + shown(m) + "\n";
        EXPECT_EQ(result.exitStatus, made ? 0 : 1);
        EXPECT_EQ(result.out, made ? scenario + ".txt\n" : "");
        EXPECT_EQ(result.err, messages);
        EXPECT_EQ(testing::changesBeyondTheReport(before, testing::snapshot(dir), outcome), "");
        if (made) {
            EXPECT_EQ(fileText(dir.file("x.scx.txt")), testing::sampleReport());
        }
    }
}

TEST(CommandLine, Options) {
    TempDir dir;
    testing::writeFile(dir.file("a.scx"), testing::sampleFile());
    testing::writeFile(dir.file("b.scx"), {1, 2, 3});
    ASSERT_EQ(::mkfifo(dir.file("pipe.scx").c_str(), 0644), 0);
    const std::string report = testing::sampleReport(), inUtf8 = cli::cp932ToUtf8(report, true);
    const std::string broken = "b.scx: " + shown(Message::decompressionFailed) + "\n";
    struct Case {
        std::vector<std::string> args;
        int exitStatus;
        std::string out, err;
        std::vector<std::string> environment = {"LC_ALL=C.UTF-8"};
    };
    const std::string usage = "\nTry 'vantor-report --help'.\n", open = shown(Message::openFailed) + "\n";
    // clang-format off
    const Case cases[] = {
        {{"--version"}, 0, "vantor-report " VANTOR_VERSION "\n", ""},
        {{}, 2, "", "vantor-report: no scenario file given" + usage},
        {{"--frobnicate", "a.scx"}, 2, "", "vantor-report: unknown option: --frobnicate" + usage},
        {{"--stdout", "--open", "a.scx"}, 2, "", "vantor-report: --open cannot open a report written to stdout" + usage},
        // Each scenario ends in its own way; the next one follows.
        {{"b.scx", "missing.scx", "--", "a.scx"}, 1, "a.scx.txt\n", broken + "missing.scx: " + open},
        // Only a regular file is opened: a named pipe would wait for a writer.
        {{"pipe.scx"}, 1, "", "pipe.scx: " + open},
        {{"--stdout", "a.scx", "b.scx", "a.scx"}, 1, report + report, broken},
        {{"--stdout", "--utf8", "a.scx"}, 0, inUtf8, ""},
        // The C locale of cron or env -i cannot show Japanese: UTF-8 is what its output is read as.
        {{"b.scx"}, 1, "", "b.scx: " + utf8(u8"解凍エラーです") + "\n", {"LC_ALL=C"}},
        {{"a\x1b[2J\nb.scx"}, 1, "", "a\\x1b[2J\\x0ab.scx: " + open},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args.empty() ? "" : c.args[0]);
        const Result result = run({.args = c.args, .environment = c.environment, .folder = dir.path().string()});
        EXPECT_EQ(result.exitStatus, c.exitStatus);
        EXPECT_EQ(result.out, c.out);
        EXPECT_EQ(result.err, c.err);
        std::filesystem::remove(dir.path() / "a.scx.txt");
        EXPECT_EQ(dir.names(), (std::vector<std::string>{"a.scx", "b.scx", "pipe.scx"}));
    }
    // The report file itself in UTF-8.
    EXPECT_EQ(run({.args = {"--utf8", "a.scx"}, .folder = dir.path().string()}).exitStatus, 0);
    EXPECT_EQ(fileText(dir.file("a.scx.txt")), inUtf8);
    EXPECT_EQ(run({.args = {"--help"}}).out.rfind("Usage: vantor-report [OPTION]... SCENARIO...\n", 0), 0u);
}

// A report whose path or bytes cannot be printed is one the caller cannot
// find: the run fails, and nothing is left but the reports written.
TEST(CommandLine, OutputThatCannotBeWrittenFailsTheRun) {
    TempDir dir;
    testing::writeFile(dir.file("a.scx"), testing::sampleFile());
    const int full = ::open("/dev/full", O_WRONLY);
    EXPECT_EQ(WEXITSTATUS(finish(start({.args = {"--stdout", dir.file("a.scx")}, .output = full}))), 1);
    EXPECT_EQ(dir.names(), std::vector<std::string>{"a.scx"});
    EXPECT_EQ(WEXITSTATUS(finish(start({.args = {dir.file("a.scx")}, .output = full}))), 1);
    EXPECT_EQ(dir.names(), (std::vector<std::string>{"a.scx", "a.scx.txt"}));
    ::close(full);
}

TEST(CommandLine, ViewerIsGivenThePathAsAFileAndItsFailureIsReported) {
    TempDir bin, dir;
    testing::writeFile(dir.file("-x.scx"), testing::sampleFile());
    // A viewer that records its arguments and ends with the status it is told.
    std::ofstream(bin.file("xdg-open"))
        << "#!/bin/sh\nprintf '%s\\n' \"$@\" >>\"$(dirname \"$0\")/args\"\nexit $VIEWER_STATUS\n";
    ::chmod(bin.file("xdg-open").c_str(), 0755);
    struct Case {
        std::string path;
        const char* status;
        int exitStatus;
    };
    for (const Case& c :
         {Case{bin.path().string(), "0", 0}, Case{bin.path().string(), "3", 1}, Case{"/nowhere", "0", 1}}) {
        SCOPED_TRACE(c.path + " " + c.status);
        const Result result = run({.args = {"--open", "--", "-x.scx"},
                                   .environment = {"LC_ALL=C.UTF-8", "PATH=" + c.path + ":/usr/bin:/bin",
                                                   std::string("VIEWER_STATUS=") + c.status},
                                   .folder = dir.path().string()});
        EXPECT_EQ(result.exitStatus, c.exitStatus);
        EXPECT_EQ(result.out, "-x.scx.txt\n");
        EXPECT_EQ(result.err, c.exitStatus ? "-x.scx: " + shown(Message::viewerFailed) + "\n" : "");
    }
    EXPECT_EQ(fileText(bin.file("args")), "./-x.scx.txt\n./-x.scx.txt\n");
}

TEST(CommandLine, Utf8EncoderGivesTheSameTextWhereverThePiecesAreCut) {
    const std::string report = "あ\r\nい\x82\r\nう\r\r\nｱ\x81\x7f\r\n";
    testing::StringSink whole;
    cli::Utf8Encoder one;
    ASSERT_TRUE(one.write(report, whole) && one.finish(whole));
    EXPECT_EQ(whole.bytes, cli::cp932ToUtf8(report, true));
    for (std::size_t cut = 0; cut <= report.size(); ++cut) {
        testing::StringSink pieces;
        cli::Utf8Encoder two;
        ASSERT_TRUE(two.write(report.substr(0, cut), pieces) && two.write(report.substr(cut), pieces) &&
                    two.finish(pieces));
        EXPECT_EQ(pieces.bytes, whole.bytes) << "cut at " << cut;
    }
}

// Takes the write permission away from the folder at the first message, so
// that the temporary file cannot be removed after it.
class FolderLockingActions final : public UserActions {
public:
    explicit FolderLockingActions(std::string folder) : folder_(std::move(folder)) {}
    void showMessage(Message message) override {
        ::chmod(folder_.c_str(), 0555);
        messages.push_back(message);
    }
    void openInViewer(const std::string&) override {}
    std::vector<Message> messages;

private:
    std::string folder_;
};

TEST(CommandLine, TemporaryFileThatCannotBeRemovedIsReported) {
    TempDir dir;
    testing::BodySpec image;
    image.imageFlag = 1;
    testing::writeFile(dir.file("x.scx"), testing::buildContainer(testing::buildBody(image).bytes));
    handOver(dir);
    const pid_t pid = ::fork();
    if (pid == 0) {
        const uid_t user = unprivilegedUser();
        if (::setgid(user) != 0 || ::setuid(user) != 0) ::_exit(125);
        FolderLockingActions ui(dir.path().string());
        ScenarioBody body;
        const bool reported = runReportCommand(dir.file("x.scx"), body, ui);
        ::_exit(!reported && ui.messages == std::vector{Message::backgroundImage, Message::removeFailed} ? 0 : 1);
    }
    const int status = finish(pid);
    ::chmod(dir.path().c_str(), 0755);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << std::hex << status;
    EXPECT_EQ(dir.names(), (std::vector<std::string>{"x.scx", "x.scx.dat"}));
}

}  // namespace
}  // namespace vantor::hardening
