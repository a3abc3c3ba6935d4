#include "fuzz/targets.h"

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
        for (const char* suffix : {"", ".dat", ".txt", ".txt.tmp"}) std::remove((scenario() + suffix).c_str());
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

// What went wrong in one report command on the scenario, or nothing.
std::string checkCommand(const std::string& scenario, std::span<const std::uint8_t> data, bool reported,
                         const RecordingActions& ui, const ScenarioBody& body, const ReportBuffer& report) {
    if (!sameBytes(scenario, data)) return "the scenario file changed";
    if (exists(scenario + ".dat")) return "the temporary file was left behind";
    if (exists(scenario + ".txt") || exists(scenario + ".txt.tmp")) return "a report file was written";
    if (!ui.opened.empty()) return "a captured report was opened";
    if (!reported) {
        if (ui.messages.size() != 1) return "a failure did not show exactly one message";
        if (report.size() != 0) return "a failure left report bytes";
        return {};
    }
    if (!ui.messages.empty()) return "a message was shown for a report that was made";
    if (body.empty()) return "a report was made without a body";
    if (std::string shape = checkReportShape(report.view()); !shape.empty()) return shape;
    ReportBuffer again;
    if (buildTriggerReport(body.view(), again, body.container) != ReportOutcome::reportReady ||
        again.view() != report.view())
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
    ReportBuffer report;
    const bool reported = runReportCommand(scenario, body, ui, &report);

    const std::string problem = checkCommand(scenario, data, reported, ui, body, report);
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
