// vantor-report: the trigger report of scenario files, from the command line.
#include <clocale>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "cli/console_text.h"
#include "report/report_command.h"
#include "scenario/file_io.h"

#include <fcntl.h>
#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>

#include <cerrno>
#include <csignal>
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

// Messages go to stderr as "SCENARIO: message"; a written report's path to
// stdout, then to the viewer.
class ConsoleActions final : public vantor::UserActions {
public:
    explicit ConsoleActions(const Options& options) : options_(options) {}

    void setScenario(const std::string& path) {
        scenario_ = vantor::cli::printablePath(path);
        failed_ = false;
    }
    // Whether handing on the last report failed (its message shown).
    [[nodiscard]] bool failed() const { return failed_; }

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
        const std::string line = vantor::cli::printablePath(reportPath) + '\n';
        // A closed or broken stdout (EPIPE) is an error like any other.
        if (std::fwrite(line.data(), 1, line.size(), stdout) != line.size() || std::fflush(stdout) != 0) {
            fail(Message::createFailed);
            return;
        }
        if (options_.open && !vantor::cli::openWithViewer(reportPath)) fail(Message::viewerFailed);
    }

private:
    void fail(Message message) {
        std::clearerr(stdout);
        showMessage(message);
        failed_ = true;
    }

    const Options& options_;
    std::string scenario_;
    bool failed_ = false;
};

// Standard output as a report's destination; each piece is flushed, so that a
// failed write shows at once.
class StdoutSink final : public vantor::ReportSink {
public:
    bool write(std::string_view bytes) override {
        return std::fwrite(bytes.data(), 1, bytes.size(), stdout) == bytes.size() && std::fflush(stdout) == 0;
    }
};

int usageError(const char* what, const char* argument) {
    std::fprintf(stderr, "vantor-report: %s%s\nTry 'vantor-report --help'.\n", what, argument);
    return 2;
}

// Reports one scenario; true when its report was written (or sent to stdout).
bool reportScenario(const std::string& path, const Options& options, ConsoleActions& ui, vantor::ScenarioBody& body) {
    ui.setScenario(path);
    StdoutSink toStdout;
    vantor::cli::Utf8Encoder utf8;
    vantor::ReportDestination destination;
    if (options.toStdout) destination.stream = &toStdout;
    if (options.utf8) destination.encoder = &utf8;
    const bool reported = vantor::runReportCommand(path, body, ui, destination);
    if (!reported && options.toStdout) std::clearerr(stdout);
    return reported && !ui.failed();
}

#ifndef _WIN32
// A descriptor 0, 1 or 2 closed by the caller would be the first one that
// open() hands out, and a file of ours would then take what is printed.
// Each is held by /dev/null, read-only, so that a write to it still fails.
void holdStandardDescriptors() {
    for (int fd = 0; fd <= 2; ++fd)
        if (::fcntl(fd, F_GETFD) < 0 && errno == EBADF) {
            const int held = ::open("/dev/null", O_RDONLY | O_NOCTTY);
            if (held >= 0 && held != fd) {
                ::dup2(held, fd);
                ::close(held);
            }
        }
}
#endif

}  // namespace

int main(int argc, char** argv) {
#ifndef _WIN32
    holdStandardDescriptors();
    // A closed pipe or a file-size limit is a failed write, reported as one,
    // not a death that leaves files behind.
    std::signal(SIGPIPE, SIG_IGN);
    std::signal(SIGXFSZ, SIG_IGN);
#endif
    vantor::removeOwnFilesOnSignals();
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
