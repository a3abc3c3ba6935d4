// What the tests hand the report in place of a user and a file: a
// UserActions that records what the user would have been shown, a sink that
// keeps every byte, and the report of a body made in one call.
#pragma once

#include <span>
#include <string>
#include <vector>

#include "report/messages.h"
#include "report/names.h"
#include "report/report_buffer.h"
#include "report/trigger_report.h"
#include "report/type_rows.h"

namespace vantor::testing {

class RecordingActions final : public UserActions {
public:
    std::vector<Message> messages;
    std::vector<platform::Path> opened;
    std::vector<std::pair<std::string, Message>> scenarioMessages;  // of the scenarios of a campaign

    void showMessage(Message message) override { messages.push_back(message); }
    void openInViewer(const platform::Path& reportPath) override { opened.push_back(reportPath); }
    void showScenarioMessage(std::string_view fileName, Message message) override {
        scenarioMessages.emplace_back(fileName, message);
    }
};

// A report destination that keeps every byte.
class StringSink final : public ReportSink {
public:
    std::string bytes;

    bool write(std::string_view piece) override {
        bytes.append(piece);
        return true;
    }
};

// The report of a body, checked and then formatted; empty unless ready.
inline ReportOutcome reportOf(std::span<const std::uint8_t> body, std::string& report, int containerVersion = 0,
                              ReportDetail detail = ReportDetail::standard) {
    const CheckedSection checked = checkTriggerSection(body, containerVersion, RecordCheck::records, detail);
    ReportBuffer out;
    if (checked.outcome == ReportOutcome::reportReady) static_cast<void>(formatTriggerReport(body, checked, out));
    report = out.view();
    return checked.outcome;
}

// The name a report of a body of `version` gives a value (or a type).
inline std::string nameOf(NameKind kind, std::int32_t value, int version = 122) {
    ReportBuffer out;
    const BodyVersion v{version};
    if (kind == NameKind::EffectType || kind == NameKind::ConditionType)
        appendTypeName(out, kind == NameKind::EffectType ? RecordKind::effect : RecordKind::condition, value, v);
    else
        appendName(out, kind, value, v);
    return std::string(out.view());
}

}  // namespace vantor::testing
