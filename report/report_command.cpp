#include "report/report_command.h"

#include <new>
#include <optional>

#include "report/cp932_text.h"
#include "report/report_file.h"
#include "report/trigger_report.h"
#include "scenario/extract.h"

namespace vantor {
namespace {

Message messageFor(ReportOutcome outcome) {
    switch (outcome) {
        case ReportOutcome::unsupportedVersion: return Message::unsupportedVersion;
        case ReportOutcome::backgroundImage: return Message::backgroundImage;
        case ReportOutcome::unreadableBody:
        case ReportOutcome::reportReady: break;
    }
    return Message::unreadableBody;
}

Message messageFor(ExtractOutcome outcome) {
    switch (outcome) {
        case ExtractOutcome::readFailed: return Message::openFailed;
        case ExtractOutcome::keepFailed: return Message::createFailed;
        case ExtractOutcome::outOfMemory: return Message::outOfMemory;
        case ExtractOutcome::unsupportedVersion: return Message::unsupportedVersion;
        case ExtractOutcome::decompressionFailed:
        case ExtractOutcome::bodyReady: break;
    }
    return Message::decompressionFailed;
}

// Passes the report's bytes on, converted where asked.
class EncodedSink final : public ReportSink {
public:
    EncodedSink(ReportSink& next, ReportEncoding encoding)
        : next_(next), utf8_(encoding == ReportEncoding::utf8), converter_(true) {}
    bool write(std::string_view bytes) override { return utf8_ ? pass(converter_.convert(bytes)) : next_.write(bytes); }
    bool finish() { return !utf8_ || pass(converter_.finish()); }

private:
    bool pass(const std::string& converted) { return converted.empty() || next_.write(converted); }

    ReportSink& next_;
    bool utf8_;
    Utf8Converter converter_;
};

// Formats the checked section into `sink` in pieces; false when a write failed.
bool sendReport(const ScenarioBody& body, const WalkResult& section, ReportSink& sink, ReportEncoding encoding) {
    EncodedSink encoded(sink, encoding);
    ReportBuffer out;
    out.streamTo(encoded);
    formatTriggerReport(body.view(), section, out);
    return out.flush() && encoded.finish();
}

// The body of the scenario extracted and checked, ready to be reported;
// else the message of what stood in the way.
std::optional<Message> readyBody(ScenarioFile& scenario, ScenarioBody& body, BodySink* temporary,
                                 CheckedSection& checked) {
    const ExtractOutcome extraction = extractScenario(scenario, body, temporary);
    if (extraction != ExtractOutcome::bodyReady) return messageFor(extraction);
    checked = checkTriggerSection(body.view(), body.containerVersion);
    if (checked.outcome != ReportOutcome::reportReady) return messageFor(checked.outcome);
    return {};
}

// The report in its partial file, with the scenario open and the temporary
// file standing by.
std::optional<Message> makeReport(ScenarioFile& scenario, const Path& scenarioPath, ScenarioBody& body,
                                  TemporaryFile& temporary, PartialReport& partial, ReportEncoding encoding) {
    CheckedSection checked;
    if (const auto refusal = readyBody(scenario, body, &temporary, checked)) return refusal;
    if (!partial.create(reportPathFor(scenarioPath), scenario.facts()) ||
        !sendReport(body, checked.section, partial, encoding))
        return Message::createFailed;
    // A scenario saved anew meanwhile is reported by the run that reads it.
    if (!scenario.stillAt(scenarioPath)) return Message::scenarioReplaced;
    return {};
}

}  // namespace

bool writeReportFile(const Path& scenarioPath, ScenarioBody& body, UserActions& ui, ReportEncoding encoding,
                     FileSystem& files) {
    body.clear();
    try {
        const Path reportPath = reportPathFor(scenarioPath);
        {
            ScenarioFile scenario(files);
            if (!scenario.open(scenarioPath)) {
                ui.showMessage(Message::openFailed);
                return false;
            }
            // A name beside the scenario that is the scenario itself (through
            // a link to it, or a second name of it) is never written or removed.
            const Path temporaryPath = temporaryPathFor(scenarioPath);
            if (scenario.isAt(reportPath) || scenario.isAt(temporaryPath)) {
                ui.showMessage(Message::scenarioInTheWay);
                return false;
            }
            const bool locked = scenario.lock();
            TemporaryFile temporary(files, temporaryPath, locked);
            PartialReport partial(files);
            const std::optional<Message> failure =
                makeReport(scenario, scenarioPath, body, temporary, partial, encoding);
            if (failure) ui.showMessage(*failure);
            bool reported = !failure;
            // The report replaces an older one only once nothing else of ours is left.
            if (!temporary.remove()) {
                ui.showMessage(Message::removeFailed);
                reported = false;
            }
            if (reported && !partial.publish()) {
                ui.showMessage(Message::createFailed);
                reported = false;
            }
            if (!partial.remove()) ui.showMessage(Message::removeFailed);  // what was not published
            if (!reported) return false;
        }  // the lock goes with the scenario, before the viewer starts
        ui.openInViewer(reportPath);
        return true;
    } catch (const std::bad_alloc&) {
        body.clear();
        ui.showMessage(Message::outOfMemory);
        return false;
    }
}

bool streamReport(const Path& scenarioPath, ScenarioBody& body, UserActions& ui, ReportSink& out,
                  ReportEncoding encoding, FileSystem& files) {
    body.clear();
    try {
        ScenarioFile scenario(files);
        if (!scenario.open(scenarioPath)) {
            ui.showMessage(Message::openFailed);
            return false;
        }
        CheckedSection checked;
        if (const auto refusal = readyBody(scenario, body, nullptr, checked)) {
            ui.showMessage(*refusal);
            return false;
        }
        if (!sendReport(body, checked.section, out, encoding)) {
            ui.showMessage(Message::createFailed);
            return false;
        }
        return true;
    } catch (const std::bad_alloc&) {
        body.clear();
        ui.showMessage(Message::outOfMemory);
        return false;
    }
}

}  // namespace vantor
