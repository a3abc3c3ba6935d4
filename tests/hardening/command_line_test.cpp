// vantor-report as a user runs it, in a folder that others share: every
// outcome of the report command with its exit status, output and folder; the
// options and the viewer; a file planted by another user, two runs at once, an
// output that cannot be written, fatal signals.  Whatever happens, the files
// it does not own stay as they were, nothing of its own is left, and a run
// that ends with 0 leaves the right report.
#include <fcntl.h>
#include <grp.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <zlib.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <stdexcept>

#include "cli/console_text.h"
#include "report/report_command.h"
#include "report/trigger_report.h"
#include "tests/support/outcomes.h"
#include "tests/support/recording_actions.h"

namespace vantor::hardening {
namespace {

using testing::Bytes;
using testing::readText;
using testing::TempDir;

// vantor-report as a process: started with its arguments, environment and
// output, as the caller or as a user without privileges (file permissions
// bind nobody running as root).  The build tree may lie where that user
// cannot reach it: the program is copied once, and the copy removed at exit.
const std::string& program() {
    static char folder[] = "/tmp/vantor-program-XXXXXX";
    static const std::string copy = [] {
        if (!::mkdtemp(folder) || ::chmod(folder, 0755) != 0) throw std::runtime_error("mkdtemp");
        std::atexit([] {
            std::error_code ignored;
            std::filesystem::remove_all(folder, ignored);
        });
        const std::string path = std::string(folder) + "/vantor-report";
        std::filesystem::copy_file(VANTOR_REPORT_PROGRAM, path);
        return path;
    }();
    return copy;
}

// "nobody" when running as root, else the caller.
uid_t unprivilegedUser() { return ::geteuid() == 0 ? 65534 : ::geteuid(); }

void handOver(const TempDir& dir) {
    static_cast<void>(::lchown(dir.path().c_str(), unprivilegedUser(), unprivilegedUser()));
    for (const auto& entry : std::filesystem::recursive_directory_iterator(dir.path()))
        static_cast<void>(::lchown(entry.path().c_str(), unprivilegedUser(), unprivilegedUser()));
}

struct Launch {
    std::vector<std::string> args;
    std::vector<std::string> environment = {"LC_ALL=C.UTF-8"};  // in place of their namesakes
    bool unprivileged = false;
    int output = -2;     // a descriptor for its standard output; -1: closed; -2: captured with standard error
    std::string folder;  // where it runs; empty: here
};

// Where the captured output goes (named by the test process).
std::string capturePath(const char* which) { return "/tmp/vantor-" + std::to_string(::getpid()) + which; }

// Starts vantor-report; it is ended after a minute.
pid_t start(const Launch& launch) {
    const std::string outPath = capturePath("-out"), errPath = capturePath("-err"), path = program();
    const pid_t pid = ::fork();
    if (pid != 0) return pid;
    const int devNull = ::open("/dev/null", O_RDWR);
    ::dup2(devNull, 0);
    ::dup2(launch.output == -2 ? ::open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600) : devNull, 2);
    if (launch.output == -2) ::dup2(::open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600), 1);
    launch.output >= 0 ? ::dup2(launch.output, 1) : launch.output == -1 ? ::close(1) : 0;
    ::alarm(60);
    for (const std::string& entry : launch.environment) ::putenv(const_cast<char*>(entry.c_str()));
    const uid_t user = unprivilegedUser();
    if ((!launch.folder.empty() && ::chdir(launch.folder.c_str()) != 0) ||
        (launch.unprivileged && (::setgroups(0, nullptr), ::setgid(user) != 0 || ::setuid(user) != 0)))
        ::_exit(125);
    std::vector<char*> argv{const_cast<char*>(path.c_str())};
    for (const std::string& a : launch.args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    ::execv(argv[0], argv.data());
    ::_exit(127);
}

// Waits for it: the wait status.
int finish(pid_t pid) {
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    return status;
}

struct Result {
    int exitStatus;  // 128 + the signal when ended by one
    std::string out, err;
};

Result run(const Launch& launch) {
    const int status = finish(start(launch));
    Result r{WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status), readText(capturePath("-out")),
             readText(capturePath("-err"))};
    std::filesystem::remove(capturePath("-out"));
    std::filesystem::remove(capturePath("-err"));
    return r;
}

// UTF-8 text from a u8 literal (the tests' plain literals are cp932).
std::string utf8(const char8_t* text) { return std::string(reinterpret_cast<const char*>(text)); }

// A message as a UTF-8 terminal shows it (the options' table has one spelt out).
std::string shown(Message message) { return cli::cp932ToUtf8(messageText(message)); }

pid_t start(const std::vector<std::string>& args, int out) { return start(Launch{.args = args, .output = out}); }

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
            EXPECT_EQ(readText(dir.file("x.scx.txt")), testing::sampleReport());
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
    EXPECT_EQ(readText(dir.file("a.scx.txt")), inUtf8);
    EXPECT_EQ(run({.args = {"--help"}}).out.rfind("Usage: vantor-report [OPTION]... SCENARIO...\n", 0), 0u);
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
    EXPECT_EQ(readText(bin.file("args")), "./-x.scx.txt\n./-x.scx.txt\n");
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

TEST(SharedFolder, AnotherUsersFileAtTheTemporaryNameStaysAndTheReportIsNoMoreReadableThanTheScenario) {
    TempDir dir;
    testing::writeFile(dir.file("x.scx"), testing::sampleFile());
    testing::writeFile(dir.file("x.scx.dat"), Bytes{'d'});
    ASSERT_EQ(::chown(dir.file("x.scx.dat").c_str(), unprivilegedUser(), unprivilegedUser()), 0);
    EXPECT_EQ(run({.args = {dir.file("x.scx")}}).exitStatus, 1);
    EXPECT_EQ(dir.names(), (std::vector<std::string>{"x.scx", "x.scx.dat"}));
    EXPECT_EQ(readText(dir.file("x.scx.dat")), "d");
    std::filesystem::remove(dir.path() / "x.scx.dat");
    for (const mode_t mode : {mode_t{0600}, mode_t{0640}, mode_t{0644}}) {
        ::chmod(dir.file("x.scx").c_str(), mode);
        ASSERT_EQ(run({.args = {dir.file("x.scx")}}).exitStatus, 0);
        struct stat status {};
        ASSERT_EQ(::stat(dir.file("x.scx.txt").c_str(), &status), 0);
        EXPECT_EQ(status.st_mode & 0777, mode);  // the tests run with umask 022
    }
}

TEST(SharedFolder, TwoRunsAtOnceEachEndWithTheWholeReportAndAReaderSeesNoHalfReport) {
    testing::Trigger t;  // a report several times the size of its body
    t.effects.assign(6000, testing::effect(14));
    for (auto& e : t.effects) e.fields.clear();
    testing::BodySpec spec;
    spec.triggers = {t};
    const Bytes body = testing::buildBody(spec).bytes;
    ReportBuffer expected;
    ASSERT_EQ(buildTriggerReport(body, expected), ReportOutcome::reportReady);
    TempDir dir;
    testing::writeFile(dir.file("x.scx"), testing::buildContainer(body));
    testing::writeFile(dir.file("x.scx.txt"), Bytes{'o', 'l', 'd'});
    const int devNull = ::open("/dev/null", O_WRONLY);
    for (int round = 0; round < 25; ++round) {
        const pid_t first = start({dir.file("x.scx")}, devNull);
        const pid_t second = start({round % 2 ? "--stdout" : dir.file("x.scx"), dir.file("x.scx")}, devNull);
        // What another program reads meanwhile is the old report or the new one.
        for (int look = 0; look < 20; ++look) {
            const std::string seen = readText(dir.file("x.scx.txt"));
            ASSERT_TRUE(seen == "old" || seen == expected.view()) << "a reader saw " << seen.size() << " bytes";
        }
        ASSERT_EQ(finish(first), 0) << round;
        ASSERT_EQ(finish(second), 0) << round;
        ASSERT_EQ(readText(dir.file("x.scx.txt")), expected.view());
        ASSERT_EQ(dir.names(), (std::vector<std::string>{"x.scx", "x.scx.txt"}));
    }
    ::close(devNull);
}

// An output that cannot be written (a full disk, a reader that went away as
// in | head -n0, an output closed at the start as in >&-) fails the run, and
// nothing meant for it goes into a file of ours.
TEST(SharedFolder, OutputThatCannotBeWrittenFailsTheRun) {
    TempDir dir;
    for (const char* name : {"a.scx", "b.scx"}) testing::writeFile(dir.file(name), testing::sampleFile());
    int pipeEnds[2];
    ASSERT_EQ(::pipe(pipeEnds), 0);
    ::close(pipeEnds[0]);
    const int full = ::open("/dev/full", O_WRONLY);
    for (const auto& [output, toStdout] : {std::pair{full, true}, {full, false}, {pipeEnds[1], false}, {-1, false}}) {
        std::vector<std::string> args = {dir.file("a.scx"), dir.file("b.scx")};
        if (toStdout) args.insert(args.begin(), "--stdout");
        const int status = finish(start(args, output));
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 1) << std::hex << status;
        if (toStdout) {
            EXPECT_EQ(dir.names(), (std::vector<std::string>{"a.scx", "b.scx"}));
            continue;
        }
        EXPECT_EQ(dir.names(), (std::vector<std::string>{"a.scx", "a.scx.txt", "b.scx", "b.scx.txt"}));
        EXPECT_EQ(readText(dir.file("b.scx.txt")), testing::sampleReport());
    }
    ::close(full);
    ::close(pipeEnds[1]);
}

// A scenario whose body, `size` bytes of zeros behind an empty scenario, is
// written without ever being held whole.
void writeLongScenario(const std::string& path, std::size_t size) {
    std::ofstream file(path, std::ios::binary);
    file.write("1.21\0\0\0\0", 8);
    z_stream z{};
    ASSERT_EQ(deflateInit2(&z, 1, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY), Z_OK);
    Bytes piece = testing::buildBody(testing::BodySpec{}).bytes, out(1 << 20);
    piece.resize(1 << 20);
    for (std::size_t left = size;;) {
        if (z.avail_in == 0 && left > 0) {
            const std::size_t n = std::min(left, piece.size());
            z.next_in = piece.data();
            z.avail_in = static_cast<uInt>(n);
            left -= n;
        }
        z.next_out = out.data();
        z.avail_out = static_cast<uInt>(out.size());
        const int result = deflate(&z, left == 0 ? Z_FINISH : Z_NO_FLUSH);
        file.write(reinterpret_cast<const char*>(out.data()), static_cast<std::streamsize>(out.size() - z.avail_out));
        if (result == Z_STREAM_END) break;
        if (z.avail_in == 0) std::fill(piece.begin(), piece.end(), 0);  // zeros behind the first piece
    }
    deflateEnd(&z);
}

TEST(SharedFolder, FatalSignalsLeaveNoFileOfOurs) {
    TempDir dir;
    // A body that takes a while to inflate, and one whose report takes a while
    // to write (each LF of a description becomes a line of its own).
    writeLongScenario(dir.file("long.scx"), std::size_t{600} << 20);
    testing::BodySpec lines;
    lines.triggers.resize(1);
    lines.triggers[0].description = std::string(std::size_t{24} << 20, '\n');
    testing::writeFile(dir.file("lines.scx"), testing::buildContainer(testing::buildBody(lines).bytes));
    for (const int signal : {SIGINT, SIGTERM, SIGHUP, SIGQUIT}) {
        for (const auto& [scenario, ours] : {std::pair{"long.scx", "long.scx.dat"}, {"lines.scx", "lines.scx.txt."}}) {
            SCOPED_TRACE(std::string(scenario) + " " + strsignal(signal));
            const int devNull = ::open("/dev/null", O_WRONLY);
            const pid_t pid = start({dir.file(scenario)}, devNull);
            ::close(devNull);
            bool seen = false;  // kill it while its file exists
            for (int wait = 0; wait < 10000 && !seen; ++wait) {
                for (const std::string& name : dir.names()) seen = seen || name.starts_with(ours);
                if (!seen) ::usleep(1000);
            }
            ::kill(pid, signal);
            const int status = finish(pid);
            ASSERT_TRUE(seen);
            EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal) << std::hex << status;
            EXPECT_EQ(dir.names(), (std::vector<std::string>{"lines.scx", "long.scx"}));
        }
    }
}

}  // namespace
}  // namespace vantor::hardening
