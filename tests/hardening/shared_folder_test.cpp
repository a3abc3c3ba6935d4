// vantor-report in a folder that others share: a file planted by another
// user, two runs at once, a closed output, fatal signals.  Whatever happens,
// the files it does not own stay as they were, nothing of its own is left,
// and a run that ends with 0 leaves the right report.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <zlib.h>

#include <cstring>
#include <fstream>

#include "report/trigger_report.h"
#include "tests/hardening/harness.h"
#include "tests/support/outcomes.h"

namespace vantor::hardening {
namespace {

using testing::Bytes;
using testing::TempDir;

std::string text(const Bytes& b) { return std::string(b.begin(), b.end()); }

pid_t start(const std::vector<std::string>& args, int out) { return hardening::start({.args = args, .output = out}); }

TEST(SharedFolder, AnotherUsersFileAtTheTemporaryNameStaysAndTheReportIsNoMoreReadableThanTheScenario) {
    TempDir dir;
    testing::writeFile(dir.file("x.scx"), testing::sampleFile());
    testing::writeFile(dir.file("x.scx.dat"), Bytes{'d'});
    ASSERT_EQ(::chown(dir.file("x.scx.dat").c_str(), unprivilegedUser(), unprivilegedUser()), 0);
    EXPECT_EQ(run({.args = {dir.file("x.scx")}}).exitStatus, 1);
    EXPECT_EQ(dir.names(), (std::vector<std::string>{"x.scx", "x.scx.dat"}));
    EXPECT_EQ(text(testing::readFile(dir.file("x.scx.dat"))), "d");
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
            const std::string seen = text(testing::readFile(dir.file("x.scx.txt")));
            ASSERT_TRUE(seen == "old" || seen == expected.view()) << "a reader saw " << seen.size() << " bytes";
        }
        ASSERT_EQ(finish(first), 0) << round;
        ASSERT_EQ(finish(second), 0) << round;
        ASSERT_EQ(text(testing::readFile(dir.file("x.scx.txt"))), expected.view());
        ASSERT_EQ(dir.names(), (std::vector<std::string>{"x.scx", "x.scx.txt"}));
    }
    ::close(devNull);
}

TEST(SharedFolder, ClosedOutputIsAnErrorThatLeavesNothingBehind) {
    TempDir dir;
    for (const char* name : {"a.scx", "b.scx"}) testing::writeFile(dir.file(name), testing::sampleFile());
    // A reader that went away (| head -n0), and an output closed at the start (>&-).
    int pipeEnds[2];
    ASSERT_EQ(::pipe(pipeEnds), 0);
    ::close(pipeEnds[0]);
    const int broken = finish(start({dir.file("a.scx"), dir.file("b.scx")}, pipeEnds[1]));
    ::close(pipeEnds[1]);
    const int closed = finish(start({dir.file("a.scx"), dir.file("b.scx")}, -1));
    for (const int status : {broken, closed}) {
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 1) << std::hex << status;
        EXPECT_EQ(dir.names(), (std::vector<std::string>{"a.scx", "a.scx.txt", "b.scx", "b.scx.txt"}));
        // Nothing meant for the output went into a file of ours.
        EXPECT_EQ(text(testing::readFile(dir.file("b.scx.txt"))), testing::sampleReport());
    }
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
