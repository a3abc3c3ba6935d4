// vantor-report as a user runs it: files in, reports out, messages, exit status.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "cli/console_text.h"
#include "report/trigger_report.h"
#include "tests/support/recording_actions.h"
#include "tests/support/sample_scenario.h"
#include "tests/support/temp_dir.h"

namespace vantor {
namespace {

using testing::Bytes;
using testing::TempDir;

struct CliRun {
    int status = -1;
    std::string out;
    std::string err;
};

std::string slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// Runs the command line in `dir` with the given environment prefix.
CliRun run(const TempDir& dir, const std::string& arguments, const std::string& environment = "LC_ALL=C.UTF-8") {
    const std::string command =
        "cd '" + dir.path().string() + "' && env " + environment + " '" VANTOR_CLI "' " + arguments + " >.out 2>.err";
    const int raw = std::system(command.c_str());
    CliRun r;
    r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    r.out = slurp(dir.file(".out"));
    r.err = slurp(dir.file(".err"));
    std::filesystem::remove(dir.path() / ".out");
    std::filesystem::remove(dir.path() / ".err");
    return r;
}

Bytes sample() { return testing::buildContainer(testing::buildBody(testing::sampleScenario()).bytes); }

std::string expectedReport(const TempDir& dir, const std::string& name) {
    testing::RecordingActions ui;
    ScenarioBody body;
    testing::StringSink report;
    EXPECT_TRUE(runReportCommand(dir.file(name), body, ui, {&report}));
    return report.bytes;
}

TEST(Cli, WritesEachReportAndPrintsItsPath) {
    TempDir dir;
    testing::writeFile(dir.file("a.scx"), sample());
    testing::writeFile(dir.file("b.scx"), sample());
    const CliRun r = run(dir, "a.scx b.scx");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "a.scx.txt\nb.scx.txt\n");
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(slurp(dir.file("a.scx.txt")), expectedReport(dir, "a.scx"));
    EXPECT_EQ(dir.names(), (std::vector<std::string>{"a.scx", "a.scx.txt", "b.scx", "b.scx.txt"}));
}

TEST(Cli, MessagesGoToStderrInTheTerminalsEncodingAndTheNextFileFollows) {
    TempDir dir;
    testing::writeFile(dir.file("bad.scx"), Bytes{1, 2, 3});
    testing::writeFile(dir.file("good.scx"), sample());
    const CliRun r = run(dir, "bad.scx missing.scx good.scx");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "good.scx.txt\n");
    EXPECT_EQ(
        r.err,
        "bad.scx: \xe8\xa7\xa3\xe5\x87\x8d\xe3\x82\xa8\xe3\x83\xa9\xe3\x83\xbc\xe3\x81\xa7\xe3\x81\x99\n"  // 解凍エラーです
        "missing.scx: \xe3\x83\x95\xe3\x82\xa1\xe3\x82\xa4\xe3\x83\xab\xe3\x82\x92\xe3\x82\xaa\xe3\x83\xbc"
        "\xe3\x83\x97\xe3\x83\xb3\xe3\x81\xa7\xe3\x81\x8d\xe3\x81\xbe\xe3\x81\x9b\xe3\x82\x93\xe3\x81\xa7"
        "\xe3\x81\x97\xe3\x81\x9f\n");  // ファイルをオープンできませんでした
    // The C locale of cron or env -i cannot show Japanese: UTF-8 is what its
    // output is read as.
    const CliRun c = run(dir, "bad.scx", "LC_ALL=C");
    EXPECT_EQ(c.status, 1);
    EXPECT_EQ(c.err, "bad.scx: \xe8\xa7\xa3\xe5\x87\x8d\xe3\x82\xa8\xe3\x83\xa9\xe3\x83\xbc\xe3\x81\xa7\xe3\x81\x99\n");
}

TEST(Cli, PathsThatCannotBePrintedMakeTheRunFail) {
    TempDir dir;
    testing::writeFile(dir.file("a.scx"), sample());
    const std::string command = "cd '" + dir.path().string() + "' && '" VANTOR_CLI "' a.scx >/dev/full 2>/dev/null";
    const int raw = std::system(command.c_str());
    EXPECT_TRUE(WIFEXITED(raw) && WEXITSTATUS(raw) == 1);
    EXPECT_TRUE(dir.exists("a.scx.txt"));
}

TEST(Cli, StdoutTakesTheReportBytesAndNoFileIsWritten) {
    TempDir dir;
    testing::writeFile(dir.file("a.scx"), sample());
    const CliRun r = run(dir, "--stdout a.scx a.scx");
    EXPECT_EQ(r.status, 0);
    const std::string one = expectedReport(dir, "a.scx");
    EXPECT_EQ(r.out, one + one);
    EXPECT_EQ(dir.names(), std::vector<std::string>{"a.scx"});
}

TEST(Cli, Utf8HasLfLineEndsAndReplacesWhatIsNotCp932) {
    TempDir dir;
    testing::BodySpec spec;
    testing::Trigger t;
    t.name = "勝利";
    static const char description[] = "bad \x81\x7f and lone \x82 end\r\nnext";
    t.description = std::string(description, sizeof description - 1);
    spec.triggers.push_back(t);
    testing::writeFile(dir.file("u.scx"), testing::buildContainer(testing::buildBody(spec).bytes));
    const CliRun r = run(dir, "--stdout --utf8 u.scx");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out.find('\r'), std::string::npos);
    EXPECT_NE(r.out.find("0000 \xe5\x8b\x9d\xe5\x88\xa9 "), std::string::npos);  // 勝利
    EXPECT_NE(r.out.find("bad \xef\xbf\xbd\x7f and lone \xef\xbf\xbd end\n    \xef\xbc\x9anext\n"), std::string::npos)
        << r.out;

    // Without --stdout, the report file itself is written in UTF-8.
    const CliRun f = run(dir, "--utf8 u.scx");
    EXPECT_EQ(f.status, 0);
    EXPECT_EQ(slurp(dir.file("u.scx.txt")), r.out);
}

TEST(Cli, Utf8EncoderGivesTheSameTextWhereverThePiecesAreCut) {
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

TEST(Cli, OpenHandsEachReportToTheViewer) {
    TempDir dir;
    testing::writeFile(dir.file("a.scx"), sample());
    std::filesystem::create_directory(dir.path() / "bin");
    {
        std::ofstream opener(dir.file("bin/xdg-open"));
        opener << "#!/bin/sh\necho \"$1\" >> \"$(dirname \"$0\")/opened\"\n";
    }
    std::filesystem::permissions(dir.path() / "bin/xdg-open", std::filesystem::perms::owner_all);
    const CliRun r = run(dir, "--open a.scx", "LC_ALL=C.UTF-8 PATH=\"" + dir.file("bin") + ":$PATH\"");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(slurp(dir.file("bin/opened")), "a.scx.txt\n");
    // Without --open nothing is opened.
    EXPECT_EQ(run(dir, "a.scx", "LC_ALL=C.UTF-8 PATH=\"" + dir.file("bin") + ":$PATH\"").status, 0);
    EXPECT_EQ(slurp(dir.file("bin/opened")), "a.scx.txt\n");
}

TEST(Cli, UsageErrorsExitWithTwo) {
    TempDir dir;
    for (const char* arguments : {"", "--frobnicate a.scx", "--stdout --open a.scx"}) {
        const CliRun r = run(dir, arguments);
        EXPECT_EQ(r.status, 2) << arguments;
        EXPECT_NE(r.err.find("vantor-report --help"), std::string::npos) << arguments;
        EXPECT_EQ(r.out, "");
    }
    // "--" ends the options: a file may begin with a dash.
    testing::writeFile(dir.file("-x.scx"), sample());
    EXPECT_EQ(run(dir, "-- -x.scx").status, 0);
}

TEST(Cli, HelpAndVersion) {
    TempDir dir;
    const CliRun help = run(dir, "--help");
    EXPECT_EQ(help.status, 0);
    EXPECT_EQ(help.out.rfind("Usage: vantor-report [OPTION]... SCENARIO...\n", 0), 0u);
    for (const char* option : {"--open", "--stdout", "--utf8", "--help", "--version"})
        EXPECT_NE(help.out.find(option), std::string::npos) << option;
    const CliRun version = run(dir, "--version");
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out, "vantor-report " VANTOR_VERSION "\n");
}

}  // namespace
}  // namespace vantor
