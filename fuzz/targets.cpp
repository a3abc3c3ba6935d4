#include "fuzz/targets.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string_view>
#include <vector>

#include "report/messages.h"
#include "report/report_buffer.h"
#include "report/trigger_report.h"
#include "scenario/walk.h"

namespace vantor::fuzz {
namespace {

// "全トリガ数：", the start of every report.
constexpr std::string_view countLabel = "\x91S\x83g\x83\x8a\x83K\x90\x94\x81\x46";

class RecordingActions final : public UserActions {
public:
    void showMessage(Message message) override { messages.push_back(message); }
    void openInViewer(const std::string& reportPath) override { opened.push_back(reportPath); }

    std::vector<Message> messages;
    std::vector<std::string> opened;
};

// A private folder for the scenario file, removed when the program ends.
// VANTOR_FUZZ_DIR chooses where; a memory-backed /dev/shm is preferred.
class ScratchFolder {
public:
    ScratchFolder() {
        const char* base = std::getenv("VANTOR_FUZZ_DIR");
        struct stat st {};
        if (!base || !*base) base = ::stat("/dev/shm", &st) == 0 ? "/dev/shm" : "/tmp";
        std::string pattern = std::string(base) + "/vantor-fuzz-XXXXXX";
        if (!::mkdtemp(pattern.data())) {
            std::perror("vantor fuzz: mkdtemp");
            std::abort();
        }
        path_ = pattern;
    }
    ~ScratchFolder() {
        for (const char* suffix : {"", ".dat", ".txt"}) std::remove((scenario() + suffix).c_str());
        ::rmdir(path_.c_str());
    }
    [[nodiscard]] std::string scenario() const { return path_ + "/x.scx"; }

private:
    std::string path_;
};

bool exists(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0;
}

bool writeBytes(const std::string& path, std::span<const std::uint8_t> data) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    const bool ok = data.empty() || std::fwrite(data.data(), 1, data.size(), f) == data.size();
    return std::fclose(f) == 0 && ok;
}

bool sameBytes(const std::string& path, std::span<const std::uint8_t> data) {
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return false;
    std::vector<std::uint8_t> held(data.size() + 1);
    const std::size_t n = std::fread(held.data(), 1, held.size(), f);
    std::fclose(f);
    return n == data.size() && (data.empty() || std::memcmp(held.data(), data.data(), n) == 0);
}

// A report as the file holds it: the count line first, every LF preceded by
// a CR, and the last line ended.
std::string checkReportShape(std::string_view report) {
    if (report.substr(0, countLabel.size()) != countLabel) return "report does not start with the count line";
    if (report.size() < 2 || report.substr(report.size() - 2) != "\r\n") return "report does not end in CR LF";
    for (std::size_t i = report.find('\n'); i != std::string_view::npos; i = report.find('\n', i + 1))
        if (i == 0 || report[i - 1] != '\r') return "report holds a LF without its CR";
    return {};
}

// Everything in the scenario's folder but the scenario and its report.
std::string strayFile(const std::string& folder) {
    DIR* dir = ::opendir(folder.c_str());
    if (!dir) return "the folder cannot be read";
    std::string stray;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string_view name = entry->d_name;
        if (name != "." && name != ".." && name != "x.scx" && name != "x.scx.txt") stray = name;
    }
    ::closedir(dir);
    return stray;
}

std::string readAll(const std::string& path) {
    std::string bytes;
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return bytes;
    char piece[65536];
    for (std::size_t n; (n = std::fread(piece, 1, sizeof piece, f)) > 0;) bytes.append(piece, n);
    std::fclose(f);
    return bytes;
}

// What went wrong in one report command on the scenario, or nothing.
std::string checkCommand(const std::string& scenario, std::span<const std::uint8_t> data, bool reported,
                         const RecordingActions& ui, const ScenarioBody& body) {
    if (!sameBytes(scenario, data)) return "the scenario file changed";
    if (const std::string stray = strayFile(scenario.substr(0, scenario.rfind('/'))); !stray.empty())
        return "a file was left behind: " + stray;
    const std::string reportPath = scenario + ".txt";
    if (!reported) {
        if (ui.messages.size() != 1) return "a failure did not show exactly one message";
        if (exists(reportPath)) return "a failure left a report";
        if (!ui.opened.empty()) return "a failure opened a report";
        return {};
    }
    if (!ui.messages.empty()) return "a message was shown for a report that was made";
    if (ui.opened != std::vector<std::string>{reportPath}) return "the report was not handed to the viewer";
    if (body.empty()) return "a report was made without a body";
    const std::string report = readAll(reportPath);
    std::remove(reportPath.c_str());
    if (std::string shape = checkReportShape(report); !shape.empty()) return shape;
    ReportBuffer again;
    if (buildTriggerReport(body.view(), again, body.container) != ReportOutcome::reportReady || again.view() != report)
        return "the report of the same body differs";
    return {};
}

}  // namespace

std::string runScenarioFile(std::span<const std::uint8_t> data) {
    static const ScratchFolder folder;
    const std::string scenario = folder.scenario();
    if (!writeBytes(scenario, data)) return "cannot store the input as a scenario file";

    RecordingActions ui;
    ScenarioBody body;
    const bool reported = runReportCommand(scenario, body, ui);

    const std::string problem = checkCommand(scenario, data, reported, ui, body);
    std::remove(scenario.c_str());
    return problem;
}

std::string runScenarioBody(std::span<const std::uint8_t> data) {
    ReportBuffer report;
    const ReportOutcome outcome = buildTriggerReport(data, report);
    const WalkResult walk = findTriggerSection(data);

    switch (outcome) {
        case ReportOutcome::reportReady:
            if (walk.outcome != WalkOutcome::triggerSection) return "a report was made where the walk stopped";
            return checkReportShape(report.view());
        case ReportOutcome::unsupportedVersion:
            if (walk.outcome != WalkOutcome::unsupportedVersion) return "version refusal without the walk's";
            break;
        case ReportOutcome::backgroundImage:
            if (walk.outcome != WalkOutcome::backgroundImage) return "image refusal without the walk's";
            break;
        case ReportOutcome::unreadableBody:
            if (walk.outcome == WalkOutcome::unsupportedVersion || walk.outcome == WalkOutcome::backgroundImage)
                return "unreadable body where the walk refused otherwise";
            break;
    }
    return {};
}

}  // namespace vantor::fuzz
