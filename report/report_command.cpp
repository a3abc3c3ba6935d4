#include "report/report_command.h"

#include <new>

#include "report/report_file.h"
#include "report/trigger_report.h"
#include "scenario/extract.h"
#include "scenario/file_io.h"

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
        case ExtractOutcome::openFailed: return Message::openFailed;
        case ExtractOutcome::createFailed: return Message::createFailed;
        case ExtractOutcome::outOfMemory: return Message::outOfMemory;
        case ExtractOutcome::unsupportedVersion: return Message::unsupportedVersion;
        case ExtractOutcome::decompressionFailed:
        case ExtractOutcome::bodyReady: break;
    }
    return Message::decompressionFailed;
}

// Passes the report's bytes through the encoder, if any.
class EncodedSink final : public ReportSink {
public:
    EncodedSink(ReportSink& next, ReportEncoder* encoder) : next_(next), encoder_(encoder) {}
    bool write(std::string_view bytes) override {
        return encoder_ ? encoder_->write(bytes, next_) : next_.write(bytes);
    }
    bool finish() { return encoder_ ? encoder_->finish(next_) : true; }

private:
    ReportSink& next_;
    ReportEncoder* encoder_;
};

class DiscardingSink final : public ReportSink {
public:
    bool write(std::string_view) override { return true; }
};

// Streams the report through `out` into `sink`; false, after its message,
// when the body cannot be reported or a write failed.
bool sendReport(const ScenarioBody& body, UserActions& ui, ReportSink& sink, ReportEncoder* encoder) {
    EncodedSink encoded(sink, encoder);
    ReportBuffer out;
    out.streamTo(encoded);
    const ReportOutcome outcome = buildTriggerReport(body.view(), out, body.container);
    if (outcome != ReportOutcome::reportReady) {
        ui.showMessage(messageFor(outcome));
        return false;
    }
    if (!out.flush() || !encoded.finish()) {
        ui.showMessage(Message::createFailed);
        return false;
    }
    return true;
}

// A stream cannot take back what it was given: the whole report is made once
// into nothing, so that every failure shows before the first byte goes out.
bool sendReportToStream(const ScenarioBody& body, UserActions& ui, const ReportDestination& destination) {
    DiscardingSink nowhere;
    return sendReport(body, ui, nowhere, nullptr) && sendReport(body, ui, *destination.stream, destination.encoder);
}

// The report as the scenario's report file (report/report_file.h).
bool saveReportFile(const std::string& scenarioPath, const ScenarioBody& body, UserActions& ui, unsigned permissions,
                    ReportEncoder* encoder) {
    try {
        // A refusal of the walk shows before any file is created.
        const ReportOutcome walk = checkTriggerSection(body.view(), body.container);
        if (walk != ReportOutcome::reportReady) {
            ui.showMessage(messageFor(walk));
            return false;
        }
        PartialReport partial;
        if (!partial.create(reportPathFor(scenarioPath), permissions)) {
            ui.showMessage(Message::createFailed);
            return false;
        }
        if (!sendReport(body, ui, partial, encoder)) return false;  // the partial file goes with `partial`
        if (!partial.publish()) {
            ui.showMessage(Message::createFailed);
            return false;
        }
        return true;
    } catch (const std::bad_alloc&) {
        ui.showMessage(Message::outOfMemory);
        return false;
    }
}

}  // namespace

bool runReportCommand(const std::string& scenarioPath, ScenarioBody& body, UserActions& ui,
                      const ReportDestination& destination) {
    body.clear();
    try {
        ScenarioFile scenario;
        if (!scenario.open(scenarioPath)) {
            ui.showMessage(Message::openFailed);
            return false;
        }
        if (destination.stream) {
            const ExtractOutcome extraction = extractScenario(scenario, scenarioPath, body, nullptr);
            if (extraction == ExtractOutcome::bodyReady) return sendReportToStream(body, ui, destination);
            ui.showMessage(messageFor(extraction));
            return false;
        }

        // The files beside the scenario are taken in turns with any other run.
        if (!scenario.lock()) {
            ui.showMessage(Message::openFailed);
            return false;
        }
        TemporaryFile temporary;
        const ExtractOutcome extraction = extractScenario(scenario, scenarioPath, body, &temporary);
        bool reported = false;
        if (extraction != ExtractOutcome::bodyReady)
            ui.showMessage(messageFor(extraction));
        else
            reported = saveReportFile(scenarioPath, body, ui, scenario.permissions(), destination.encoder);

        if (!removeTemporary(temporary)) {
            ui.showMessage(Message::removeFailed);
            return false;
        }
        // Handed on only when nothing of ours is left beside the scenario.
        if (reported) ui.openInViewer(reportPathFor(scenarioPath));
        return reported;
    } catch (const std::bad_alloc&) {
        body.clear();
        ui.showMessage(Message::outOfMemory);
        return false;
    }
}

}  // namespace vantor
