// vantor-report in a folder that others share: files planted by another
// user, two runs at once, a closed output, fatal signals.  Whatever happens,
// the files it does not own stay as they were, nothing of its own is left,
// and a run that ends with 0 leaves the right report.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <zlib.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "report/trigger_report.h"
#include "tests/hardening/harness.h"
#include "tests/hardening/scenarios.h"

namespace vantor::hardening {
namespace {

using testing::TempDir;

std::string text(const Bytes& b) { return std::string(b.begin(), b.end()); }

std::string reportOf(const Bytes& body) {
    ReportBuffer made;
    EXPECT_EQ(buildTriggerReport({body.data(), body.size()}, made), ReportOutcome::reportReady);
    return std::string(made.view());
}

// Starts vantor-report with its output on `out` (-1: closed), errors on
// /dev/null.
pid_t start(const std::vector<std::string>& args, int out) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        const int devNull = ::open("/dev/null", O_RDWR);
        ::dup2(devNull, 0);
        ::dup2(devNull, 2);
        if (out >= 0)
            ::dup2(out, 1);
        else
            ::close(1);
        ::close(devNull);
        ::alarm(60);
        std::vector<char*> argv{const_cast<char*>(reportProgram().c_str())};
        for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    return pid;
}

int finish(pid_t pid) {
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    return status;
}

// A scenario body of `prefix` followed by `tail` bytes of `fill`, written as
// a container without ever holding the whole body.
void writeLongScenario(const std::string& path, const Bytes& prefix, std::size_t tail, std::uint8_t fill) {
    std::ofstream file(path, std::ios::binary);
    const char head[12] = {'1', '.', '2', '1', 4, 0, 0, 0, 'h', 'e', 'a', 'd'};
    file.write(head, sizeof head);
    z_stream z{};
    ASSERT_EQ(deflateInit2(&z, 1, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY), Z_OK);
    std::vector<unsigned char> out(1 << 20);
    const std::vector<unsigned char> filler(1 << 20, fill);
    const auto pump = [&](const unsigned char* data, std::size_t size, int flush) {
        z.next_in = const_cast<unsigned char*>(data);
        z.avail_in = static_cast<uInt>(size);
        do {
            z.next_out = out.data();
            z.avail_out = static_cast<uInt>(out.size());
            deflate(&z, flush);
            file.write(reinterpret_cast<const char*>(out.data()),
                       static_cast<std::streamsize>(out.size() - z.avail_out));
        } while (z.avail_out == 0);
    };
    pump(prefix.data(), prefix.size(), Z_NO_FLUSH);
    for (std::size_t left = tail; left > 0;) {
        const std::size_t n = std::min(left, filler.size());
        pump(filler.data(), n, Z_NO_FLUSH);
        left -= n;
    }
    pump(nullptr, 0, Z_FINISH);
    deflateEnd(&z);
}

// Waits until an entry whose name starts with `prefix` is created in the
// folder; false after ten seconds.
bool waitForEntry(const std::string& folder, const std::string& prefix) {
    const int fd = ::inotify_init1(IN_CLOEXEC);
    ::inotify_add_watch(fd, folder.c_str(), IN_CREATE);
    alignas(inotify_event) char buffer[4096];
    bool seen = false;
    for (int round = 0; round < 100 && !seen; ++round) {
        pollfd p{fd, POLLIN, 0};
        if (::poll(&p, 1, 100) <= 0) continue;
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        for (ssize_t i = 0; i < n;) {
            const auto* e = reinterpret_cast<const inotify_event*>(buffer + i);
            seen = seen || (e->len > 0 && std::string(e->name).starts_with(prefix));
            i += static_cast<ssize_t>(sizeof(inotify_event) + e->len);
        }
    }
    ::close(fd);
    return seen;
}

TEST(SharedFolder, AnotherUsersFileAtTheTemporaryNameStaysAndOurOwnStaleOneIsReplaced) {
    for (const bool ours : {false, true}) {
        SCOPED_TRACE(ours ? "stale file of ours" : "another user's file");
        TempDir dir;
        testing::writeFile(dir.file("x.scx"), reportableScenario());
        testing::writeFile(dir.file("x.scx.dat"), Bytes{'d'});
        if (!ours) {
            ASSERT_EQ(::chown(dir.file("x.scx.dat").c_str(), unprivilegedUser(), unprivilegedUser()), 0);
        }
        const ProgramResult result = runProgram(reportProgram(), {dir.file("x.scx")});
        if (ours) {
            EXPECT_EQ(result.exitStatus, 0);
            EXPECT_EQ(dir.names(), (std::vector<std::string>{"x.scx", "x.scx.txt"}));
        } else {
            EXPECT_EQ(result.exitStatus, 1);
            EXPECT_EQ(dir.names(), (std::vector<std::string>{"x.scx", "x.scx.dat"}));
            EXPECT_EQ(text(testing::readFile(dir.file("x.scx.dat"))), "d");
        }
    }
}

TEST(SharedFolder, TwoRunsAtOnceEachEndWithTheWholeReportAndAReaderSeesNoHalfReport) {
    const Bytes body = bulkyBody();
    const std::string expected = reportOf(body);
    TempDir dir;
    testing::writeFile(dir.file("x.scx"), testing::buildContainer(body));
    testing::writeFile(dir.file("x.scx.txt"), Bytes{'o', 'l', 'd'});
    const int devNull = ::open("/dev/null", O_WRONLY);
    for (int round = 0; round < 25; ++round) {
        const pid_t first = start({dir.file("x.scx")}, devNull);
        const pid_t second = start({round % 2 ? "--stdout" : dir.file("x.scx"), dir.file("x.scx")}, devNull);
        // What another program reads meanwhile is the old report or the new one.
        for (int look = 0; look < 20; ++look) {
            const std::string seen = text(testing::readFile(dir.file("x.scx.txt")));
            ASSERT_TRUE(seen == "old" || seen == expected) << "a reader saw " << seen.size() << " bytes";
        }
        const int a = finish(first);
        const int b = finish(second);
        ASSERT_TRUE(WIFEXITED(a) && WEXITSTATUS(a) == 0) << round;
        ASSERT_TRUE(WIFEXITED(b) && WEXITSTATUS(b) == 0) << round;
        ASSERT_EQ(text(testing::readFile(dir.file("x.scx.txt"))), expected);
        ASSERT_EQ(dir.names(), (std::vector<std::string>{"x.scx", "x.scx.txt"}));
    }
    ::close(devNull);
}

TEST(SharedFolder, ClosedOutputIsAnErrorThatLeavesNothingBehind) {
    TempDir dir;
    for (const char* name : {"a.scx", "b.scx", "c.scx"}) testing::writeFile(dir.file(name), reportableScenario());
    const std::vector<std::string> all = {dir.file("a.scx"), dir.file("b.scx"), dir.file("c.scx")};
    // A reader that went away (| head -n0), and an output closed at the start (>&-).
    int pipeEnds[2];
    ASSERT_EQ(::pipe(pipeEnds), 0);
    ::close(pipeEnds[0]);
    const int broken = finish(start(all, pipeEnds[1]));
    ::close(pipeEnds[1]);
    const int closed = finish(start(all, -1));
    for (const int status : {broken, closed}) {
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 1) << std::hex << status;
        EXPECT_EQ(dir.names(),
                  (std::vector<std::string>{"a.scx", "a.scx.txt", "b.scx", "b.scx.txt", "c.scx", "c.scx.txt"}));
        // Nothing meant for the output went into a file of ours.
        EXPECT_EQ(text(testing::readFile(dir.file("b.scx.txt"))), reportOf(reportableBody()));
    }
}

TEST(SharedFolder, FatalSignalsLeaveNoFileOfOurs) {
    TempDir dir;
    // A body that takes a while to inflate, and one whose report takes a while
    // to write (each LF of a description becomes a line of its own).
    writeLongScenario(dir.file("long.scx"), reportableBody(), std::size_t{600} << 20, 0);
    testing::BodySpec lines;
    testing::Trigger t;
    t.description = std::string(std::size_t{24} << 20, '\n');
    lines.triggers = {t};
    testing::writeFile(dir.file("lines.scx"), testing::buildContainer(testing::buildBody(lines).bytes));
    struct Case {
        const char* scenario;
        const char* waitFor;
    };
    for (const int signal : {SIGINT, SIGTERM, SIGHUP, SIGQUIT}) {
        for (const Case c : {Case{"long.scx", "long.scx.dat"}, Case{"lines.scx", "lines.scx.txt."}}) {
            SCOPED_TRACE(std::string(c.scenario) + " " + strsignal(signal));
            const int devNull = ::open("/dev/null", O_WRONLY);
            const pid_t pid = start({dir.file(c.scenario)}, devNull);
            ::close(devNull);
            const bool seen = waitForEntry(dir.path().string(), c.waitFor);
            ::kill(pid, signal);
            const int status = finish(pid);
            ASSERT_TRUE(seen);
            EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal) << std::hex << status;
            EXPECT_EQ(dir.names(), (std::vector<std::string>{"lines.scx", "long.scx"}));
        }
    }
}

TEST(SharedFolder, ReportIsNoMoreReadableThanTheScenario) {
    for (const mode_t mode : {mode_t{0600}, mode_t{0640}, mode_t{0644}}) {
        TempDir dir;
        testing::writeFile(dir.file("x.scx"), reportableScenario());
        ::chmod(dir.file("x.scx").c_str(), mode);
        ASSERT_EQ(runProgram(reportProgram(), {dir.file("x.scx")}).exitStatus, 0);
        struct stat status {};
        ASSERT_EQ(::stat(dir.file("x.scx.txt").c_str(), &status), 0);
        EXPECT_EQ(status.st_mode & 0777, mode);  // the tests run with umask 022
    }
}

}  // namespace
}  // namespace vantor::hardening
