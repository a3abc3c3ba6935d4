// vantor-report: the trigger report of scenario files, from the command line.
#include <clocale>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "cli/console_text.h"
#include "report/trigger_report.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#else
#include <sys/stat.h>
#endif

#ifdef _WIN32
// The Windows shell hands wildcards to the program as they are typed:
// the C runtime expands them, so that "vantor-report *.scx" works there too.
extern "C" {
int _dowildcard = -1;
}
#endif

#ifndef VANTOR_VERSION
#define VANTOR_VERSION "0.0.0.0"
#endif

namespace {

using vantor::Message;

constexpr std::string_view usageText =
    "Usage: vantor-report [OPTION]... SCENARIO...\n"
    "Write the trigger report of each Age of Empires II scenario file (*.scn,\n"
    "*.scx, *.scx2, *.aoe2scenario) beside it, as SCENARIO.txt (code page 932,\n"
    "CR LF), and print the path of each report written.\n"
    "\n"
    "  --open      open each report in the viewer for text files\n"
    "  --stdout    write the reports to standard output instead of files\n"
    "  --utf8      convert the reports to UTF-8 with LF line ends\n"
    "  --help      show this help and exit\n"
    "  --version   show the version and exit\n"
    "\n"
    "Messages go to standard error as \"SCENARIO: message\".  The scenario files\n"
    "are only read.\n"
    "\n"
    "Exit status: 0 when every scenario was reported, 1 when any was not,\n"
    "2 for a usage error.\n";

struct Options {
    bool open = false;
    bool toStdout = false;
    bool utf8 = false;
    std::vector<std::string> scenarios;
};

// Messages go to stderr as "SCENARIO: message"; a written report's path to stdout.
class ConsoleActions final : public vantor::UserActions {
public:
    ConsoleActions(const Options& options) : options_(options) {}

    void setScenario(const std::string& path) { scenario_ = path; }

    void showMessage(Message message) override {
#ifdef _WIN32
        // Paths are in the ANSI code page (cp932), as the messages are.
        vantor::cli::writeConsoleText(stderr, scenario_);
#else
        // A Unix path is already in the terminal's encoding: written as it
        // is, as the path of a report is on stdout.  Only the message is cp932.
        std::fwrite(scenario_.data(), 1, scenario_.size(), stderr);
#endif
        std::string line = ": ";
        line += vantor::messageText(message);
        line += '\n';
        vantor::cli::writeConsoleText(stderr, line);
    }

    void openInViewer(const std::string& reportPath) override {
        std::fwrite(reportPath.data(), 1, reportPath.size(), stdout);
        std::fputc('\n', stdout);
        std::fflush(stdout);
        if (options_.open) vantor::cli::openWithViewer(reportPath);
    }

private:
    const Options& options_;
    std::string scenario_;
};

int usageError(const char* what, const char* argument) {
    std::fprintf(stderr, "vantor-report: %s%s\nTry 'vantor-report --help'.\n", what, argument);
    return 2;
}

// A named pipe would hold the open until some program writes to it, and is
// no file that can be read as a scenario anyway.
bool isNamedPipe(const std::string& path) {
#ifdef _WIN32
    (void)path;
    return false;
#else
    struct stat status {};
    return ::stat(path.c_str(), &status) == 0 && S_ISFIFO(status.st_mode);
#endif
}

// Reports one scenario; true when its report was written (or sent to stdout).
bool reportScenario(const std::string& path, const Options& options, ConsoleActions& ui, vantor::ScenarioBody& body) {
    ui.setScenario(path);
    if (isNamedPipe(path)) {
        body.clear();
        ui.showMessage(Message::openFailed);
        return false;
    }
    if (!options.toStdout && !options.utf8) return vantor::runReportCommand(path, body, ui);

    vantor::ReportBuffer report;
    if (!vantor::runReportCommand(path, body, ui, &report)) return false;
    const std::string converted = options.utf8 ? vantor::cli::cp932ToUtf8(report.view(), true) : std::string();
    const std::string_view bytes = options.utf8 ? std::string_view(converted) : report.view();
    if (options.toStdout) {
        if (std::fwrite(bytes.data(), 1, bytes.size(), stdout) == bytes.size() && std::fflush(stdout) == 0) return true;
        ui.showMessage(Message::createFailed);
        return false;
    }
    const std::string reportPath = vantor::reportPathFor(path);
    if (!vantor::saveReport(reportPath, bytes)) {
        ui.showMessage(Message::createFailed);
        return false;
    }
    ui.openInViewer(reportPath);
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    std::setlocale(LC_CTYPE, "");
#ifdef _WIN32
    _setmode(_fileno(stdout), _O_BINARY);  // report bytes go out exactly as made
#endif
    Options options;
    bool onlyFiles = false;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (onlyFiles || arg.empty() || arg[0] != '-' || arg == "-") {
            options.scenarios.emplace_back(arg);
        } else if (arg == "--") {
            onlyFiles = true;
        } else if (arg == "--help" || arg == "-h") {
            std::fwrite(usageText.data(), 1, usageText.size(), stdout);
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
        } else {
            return usageError("unknown option: ", argv[i]);
        }
    }
    if (options.scenarios.empty()) return usageError("no scenario file given", "");
    if (options.toStdout && options.open) return usageError("--open cannot open a report written to stdout", "");

    ConsoleActions ui(options);
    vantor::ScenarioBody body;
    bool allReported = true;
    for (const std::string& path : options.scenarios)
        allReported = reportScenario(path, options, ui, body) && allReported;
    // A report whose path could not be printed is one the caller cannot find.
    if (std::fflush(stdout) != 0 || std::ferror(stdout)) allReported = false;
    return allReported ? 0 : 1;
}
