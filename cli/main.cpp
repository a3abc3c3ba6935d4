// vantor-report: the trigger report of scenario files, from the command line.
#include <cerrno>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "cli/console.h"
#include "report/cp932_literal.h"
#include "report/report_command.h"

#ifndef VANTOR_VERSION
#define VANTOR_VERSION "0.0.0.0"
#endif

namespace vantor::cli {
namespace {

constexpr std::string_view usageHead =
    "Usage: vantor-report [OPTION]... SCENARIO...\n"
    "Write the trigger report of each Age of Empires II scenario file (*.scn,\n"
    "*.scx, *.scx2, *.aoe2scenario) or campaign file (*.cpn, *.cpx,\n"
    "*.aoe2campaign) beside it, as SCENARIO.txt (code page 932, CR LF), and\n"
    "print the path of each report written.\n"
    "\n"
    "  --detail    the detailed report: at the end of each effect and condition\n"
    "              line, every parameter that its type uses and the record\n"
    "              sets, as label:value; for a condition with an area:\n";
// A line of a real scenario's detailed report (cp932).
constexpr std::string_view usageExample =
    "    条件 1  :エリア内のオブジェクト プレイヤー:プレイヤー 1 種類:軍隊 数量:5 範囲:(205,22)-(213,29)\n"_cp932;
constexpr std::string_view usageText =
    "  --open      open each report in the viewer for text files\n"
    "  --stdout    write the reports to standard output instead of files\n"
    "  --utf8      convert the reports to UTF-8 with LF line ends\n"
    "  --help      show this help and exit\n"
    "  --version   show the version and exit\n"
    "\n"
    "Messages go to standard error as \"SCENARIO: message\" (a scenario inside a\n"
    "campaign: \"CAMPAIGN: FILE NAME: message\").  The scenario files are only read.\n"
    "\n"
    "Exit status: 0 when every scenario was reported, 1 when any was not,\n"
    "2 for a usage error.\n";

struct Options {
    bool open = false;
    bool toStdout = false;
    bool utf8 = false;
    bool detailed = false;
    std::vector<platform::Path> scenarios;
};

// Whether the write to standard output that just failed found it closed: a
// reader that went away (a pipe to head), or no output at all (>&-).
bool outputWasClosed() { return errno == EPIPE || errno == EBADF; }

// Messages go to stderr as "SCENARIO: message"; a written report's path to
// stdout, then to the viewer.
class ConsoleActions final : public UserActions {
public:
    explicit ConsoleActions(const Options& options) : options_(options) {}

    void setScenario(const platform::Path& path) {
        scenario_ = path;
        failed_ = false;
    }
    // Whether handing on the last report failed (its message shown).
    [[nodiscard]] bool failed() const { return failed_; }

    void showMessage(Message message) override {
        std::string line = ": ";
        line += messageText(message);
        line += '\n';
        static_cast<void>(printLine(stderr, scenario_, line));
    }

    // "CAMPAIGN: FILE NAME: message"; the name's control characters as \xNN.
    void showScenarioMessage(std::string_view fileName, Message message) override {
        std::string line = ": ";
        for (const char c : fileName) {
            const auto byte = static_cast<unsigned char>(c);
            if (byte >= 0x20 && byte != 0x7F) {
                line += c;
                continue;
            }
            constexpr char hex[] = "0123456789abcdef";
            line += {'\\', 'x', hex[byte >> 4], hex[byte & 15]};
        }
        line += ": ";
        line += messageText(message);
        line += '\n';
        static_cast<void>(printLine(stderr, scenario_, line));
    }

    void openInViewer(const platform::Path& reportPath) override {
        // A closed or broken stdout is an error like any other.
        errno = 0;
        if (!printLine(stdout, reportPath, "\n")) {
            std::clearerr(stdout);
            fail(outputWasClosed() ? Message::outputClosed : Message::createFailed);
            return;
        }
        if (options_.open && !platform::startViewer(reportPath)) fail(Message::viewerFailed);
    }

private:
    void fail(Message message) {
        showMessage(message);
        failed_ = true;
    }

    const Options& options_;
    platform::Path scenario_;
    bool failed_ = false;
};

// Standard output as a report's destination; each piece is flushed, so that a
// failed write shows at once.
class StdoutSink final : public ReportSink {
public:
    bool write(std::string_view bytes) override {
        errno = 0;
        if (std::fwrite(bytes.data(), 1, bytes.size(), stdout) == bytes.size() && std::fflush(stdout) == 0) return true;
        closed_ = outputWasClosed();
        return false;
    }
    bool closed() const override { return closed_; }

private:
    bool closed_ = false;
};

int usageError(std::string_view what, std::string_view argument) {
    std::fprintf(stderr, "vantor-report: %.*s%.*s\nTry 'vantor-report --help'.\n", static_cast<int>(what.size()),
                 what.data(), static_cast<int>(argument.size()), argument.data());
    return 2;
}

// Reports one scenario; true when its report was written (or sent to stdout).
bool reportScenario(const platform::Path& path, const Options& options, ConsoleActions& ui, ScenarioBody& body) {
    ui.setScenario(path);
    ReportOptions form;
    form.encoding = options.utf8 ? ReportEncoding::utf8 : ReportEncoding::cp932;
    form.detail = options.detailed ? ReportDetail::detailed : ReportDetail::standard;
    if (options.toStdout) {
        StdoutSink out;
        const bool reported = streamReport(path, body, ui, out, form);
        if (!reported) std::clearerr(stdout);
        return reported;
    }
    return writeReportFile(path, body, ui, form) && !ui.failed();
}

}  // namespace

int runCommandLine(const std::vector<Argument>& arguments) {
    platform::removeOwnFilesOnExit();
    Options options;
    bool onlyFiles = false;
    for (const Argument& argument : arguments) {
        const std::string_view arg = argument.text;
        if (onlyFiles || arg.empty() || arg[0] != '-' || arg == "-") {
            options.scenarios.push_back(argument.path);
        } else if (arg == "--") {
            onlyFiles = true;
        } else if (arg == "--help" || arg == "-h") {
            static_cast<void>(
                printLine(stdout, {}, std::string(usageHead) + std::string(usageExample) + std::string(usageText)));
            return 0;
        } else if (arg == "--version") {
            std::printf("vantor-report %s\n", VANTOR_VERSION);
            return 0;
        } else if (arg == "--open") {
            options.open = true;
        } else if (arg == "--stdout") {
            options.toStdout = true;
        } else if (arg == "--utf8") {
            options.utf8 = true;
        } else if (arg == "--detail") {
            options.detailed = true;
        } else {
            return usageError("unknown option: ", arg);
        }
    }
    if (options.scenarios.empty()) return usageError("no scenario file given", "");
    if (options.toStdout && options.open) return usageError("--open cannot open a report written to stdout", "");

    ConsoleActions ui(options);
    ScenarioBody body;
    bool allReported = true;
    for (const platform::Path& path : options.scenarios)
        allReported = reportScenario(path, options, ui, body) && allReported;
    // A report whose path could not be printed is one the caller cannot find.
    if (std::fflush(stdout) != 0 || std::ferror(stdout)) allReported = false;
    return allReported ? 0 : 1;
}

}  // namespace vantor::cli
