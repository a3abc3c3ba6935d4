#include "fuzz/targets.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "report/report_command.h"
#include "scenario/walk.h"
#include "tests/support/recording_actions.h"
#include "tests/support/scenario_builder.h"

namespace vantor::fuzz {
namespace {

namespace fs = std::filesystem;

// "全トリガ数：", the start of a scenario's report; "全シナリオ数：", of a campaign's.
constexpr std::string_view countLabel = "\x91S\x83g\x83\x8a\x83K\x90\x94\x81\x46";
constexpr std::string_view campaignLabel = "\x91S\x83V\x83i\x83\x8a\x83I\x90\x94\x81\x46";

// A private folder for the scenario file, removed when the program ends.
// VANTOR_FUZZ_DIR chooses where; a memory-backed /dev/shm is preferred.
struct ScratchFolder {
    fs::path path;
    ScratchFolder() {
        const char* base = std::getenv("VANTOR_FUZZ_DIR");
        if (!base || !*base) base = fs::is_directory("/dev/shm") ? "/dev/shm" : "/tmp";
        std::string pattern = std::string(base) + "/vantor-fuzz-XXXXXX";
        if (!::mkdtemp(pattern.data())) std::abort();
        path = pattern;
    }
    ~ScratchFolder() {
        std::error_code ignored;
        fs::remove_all(path, ignored);
    }
};

// A report as the file holds it: the count line first, every LF preceded by
// a CR, and the last line ended.
std::string checkReportShape(std::string_view report) {
    if (!report.starts_with(countLabel) && !report.starts_with(campaignLabel))
        return "report does not start with the count line";
    if (!report.ends_with("\r\n")) return "report does not end in CR LF";
    for (std::size_t i = report.find('\n'); i != std::string_view::npos; i = report.find('\n', i + 1))
        if (report[i - 1] != '\r') return "report holds a LF without its CR";
    return {};
}

// What went wrong in one report command on the scenario, or nothing.
std::string checkCommand(const fs::path& scenario, std::span<const std::uint8_t> data, bool reported,
                         const testing::RecordingActions& ui, const ScenarioBody& body) {
    const std::string held = testing::readText(scenario);
    if (held != std::string_view(reinterpret_cast<const char*>(data.data()), data.size()))
        return "the scenario file changed";
    for (const auto& entry : fs::directory_iterator(scenario.parent_path()))
        if (entry.path() != scenario && entry.path().filename() != "x.scx.txt")
            return "a file was left behind: " + entry.path().filename().string();
    const fs::path reportPath = scenario.string() + ".txt";
    // A campaign whose scenarios are not all reported still has its report.
    const bool campaign = !ui.scenarioMessages.empty();
    if (!reported && !campaign) {
        if (ui.messages.size() != 1) return "a failure did not show exactly one message";
        if (fs::exists(fs::symlink_status(reportPath))) return "a failure left a report";
        return ui.opened.empty() ? "" : "a failure opened a report";
    }
    if (!ui.messages.empty()) return "a message was shown for a report that was made";
    if (ui.opened != std::vector<platform::Path>{reportPath}) return "the report was not handed to the viewer";
    const std::string report = testing::readText(reportPath);
    fs::remove(reportPath);
    if (std::string shape = checkReportShape(report); !shape.empty()) return shape;
    if (report.starts_with(campaignLabel)) return {};  // its bodies are gone one by one
    std::string again;
    if (testing::reportOf(body.view(), again, body.containerVersion) != ReportOutcome::reportReady || again != report)
        return "the report of the same body differs";
    return {};
}

}  // namespace

std::string runScenarioFile(std::span<const std::uint8_t> data) {
    static const ScratchFolder folder;
    const fs::path scenario = folder.path / "x.scx";
    {
        std::ofstream out(scenario, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data.data()), static_cast<std::streamsize>(data.size()));
        if (!out.flush()) return "cannot store the input as a scenario file";
    }
    testing::RecordingActions ui;
    ScenarioBody body;
    const bool reported = writeReportFile(scenario, body, ui);
    const std::string problem = checkCommand(scenario, data, reported, ui, body);
    fs::remove(scenario);
    return problem;
}

// The detailed report is the standard one with additions at the ends of lines.
std::string checkAdditions(std::string_view standard, std::string_view detailed) {
    while (!standard.empty()) {
        const std::size_t end = standard.find("\r\n"), longer = detailed.find("\r\n");
        if (end == std::string_view::npos || longer == std::string_view::npos || longer < end ||
            detailed.substr(0, end) != standard.substr(0, end))
            return "the detailed report is not the standard one with additions";
        standard.remove_prefix(end + 2);
        detailed.remove_prefix(longer + 2);
    }
    return detailed.empty() ? "" : "the detailed report has more lines";
}

std::string runScenarioBody(std::span<const std::uint8_t> data) {
    std::string report, detailed;
    const ReportOutcome outcome = testing::reportOf(data, report);
    const WalkOutcome walk = findTriggerSection(data).outcome;
    // It needs more of the body than the standard report, never less.
    const ReportOutcome detailedOutcome = testing::reportOf(data, detailed, 0, ReportDetail::detailed);
    if (detailedOutcome == ReportOutcome::reportReady && outcome != ReportOutcome::reportReady)
        return "a detailed report where the standard one was refused";
    if (detailedOutcome != outcome && detailedOutcome != ReportOutcome::unreadableBody)
        return "the detailed report refused otherwise";
    if (detailedOutcome == ReportOutcome::reportReady)
        if (std::string problem = checkAdditions(report, detailed); !problem.empty()) return problem;
    switch (outcome) {
        case ReportOutcome::reportReady:
            if (walk != WalkOutcome::triggerSection) return "a report was made where the walk stopped";
            return checkReportShape(report);
        case ReportOutcome::unsupportedVersion:
            return walk == WalkOutcome::unsupportedVersion ? "" : "version refusal without the walk's";
        case ReportOutcome::backgroundImage:
            return walk == WalkOutcome::backgroundImage ? "" : "image refusal without the walk's";
        case ReportOutcome::unreadableBody:
            if (walk == WalkOutcome::unsupportedVersion || walk == WalkOutcome::backgroundImage)
                return "unreadable body where the walk refused otherwise";
            break;
    }
    return {};
}

}  // namespace vantor::fuzz
