#include "report/report_command.h"

#include <new>
#include <optional>

#include "report/cp932_text.h"
#include "report/record_lines.h"
#include "report/report_file.h"
#include "report/trigger_report.h"
#include "scenario/campaign.h"
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

// The body of the scenario extracted and checked, ready to be reported;
// else the message of what stood in the way.
std::optional<Message> readyBody(ScenarioSource& scenario, ScenarioBody& body, BodySink* temporary,
                                 CheckedSection& checked, ReportDetail detail,
                                 RecordCheck check = RecordCheck::records) {
    const ExtractOutcome extraction = extractScenario(scenario, body, temporary);
    if (extraction != ExtractOutcome::bodyReady) return messageFor(extraction);
    checked = checkTriggerSection(body.view(), body.containerVersion, check, detail);
    if (checked.outcome != ReportOutcome::reportReady) return messageFor(checked.outcome);
    return {};
}

// A failure of the system (a read, memory), never a fact about a scenario.
bool isSystemFailure(Message message) {
    return message == Message::openFailed || message == Message::outOfMemory || message == Message::createFailed;
}

// The campaign's report: each scenario inside extracted, checked and
// reported in turn, so that memory holds one at a time.  A scenario that
// cannot be reported has its message in the report and is told to `ui`; a
// failure of the system ends the whole report with its message.
std::optional<Message> formatCampaign(ScenarioSource& file, const CampaignHead& campaign, ScenarioBody& body,
                                      ReportBuffer& out, ReportDetail detail, UserActions& ui, bool& allReported) {
    formatCampaignCount(out, campaign.count);
    std::int64_t position = campaign.entriesAt;
    std::string scratch;
    for (std::uint32_t i = 0; i < campaign.count; ++i) {
        CampaignEntry entry;
        if (!readCampaignEntry(file, campaign, position, entry)) return Message::openFailed;
        CheckedSection checked;
        CampaignPart part(file, entry);
        const std::optional<Message> refusal = readyBody(part, body, nullptr, checked, detail);
        if (refusal && isSystemFailure(*refusal)) return refusal;
        const StoredText fileName{entry.fileName, campaign.utf8};
        formatCampaignHeading(out, i, {entry.name, campaign.utf8}, fileName);
        if (refusal) {
            formatMessageLine(out, messageText(*refusal));
            ui.showScenarioMessage(reportText(fileName, scratch), *refusal);
            allReported = false;
        } else {
            static_cast<void>(formatTriggerReport(body.view(), checked, out));  // its records checked
        }
        body.clear();
    }
    return {};
}

// The report of the file, a scenario or a campaign, into `sink` in pieces.
// A sink that cannot take bytes back (a stream) gets a scenario's refusal
// before its first byte; one that can (the partial file) is simply not
// published when a record turns out unreadable.  The message of what stood
// in the way of the whole report, if anything did.
std::optional<Message> sendReport(ScenarioFile& file, ScenarioBody& body, BodySink* temporary, ReportSink& sink,
                                  bool sinkTakesBack, const ReportOptions& options, UserActions& ui,
                                  bool& allReported) {
    const CampaignHead campaign = readCampaignHead(file);
    CheckedSection checked;
    switch (campaign.outcome) {
        case CampaignOutcome::readFailed: return Message::openFailed;
        case CampaignOutcome::damaged: return Message::unreadableBody;
        case CampaignOutcome::campaign: break;
        case CampaignOutcome::notCampaign:
            const RecordCheck check = sinkTakesBack ? RecordCheck::walkOnly : RecordCheck::records;
            if (const auto refusal = readyBody(file, body, temporary, checked, options.detail, check)) return refusal;
            break;
    }
    EncodedSink encoded(sink, options.encoding);
    ReportBuffer out;
    out.streamTo(encoded);
    if (campaign.outcome == CampaignOutcome::campaign) {
        if (const auto failure = formatCampaign(file, campaign, body, out, options.detail, ui, allReported))
            return failure;
    } else if (!formatTriggerReport(body.view(), checked, out)) {
        return Message::unreadableBody;
    }
    if (!out.flush() || !encoded.finish()) return sink.closed() ? Message::outputClosed : Message::createFailed;
    return {};
}

}  // namespace

bool writeReportFile(const Path& scenarioPath, ScenarioBody& body, UserActions& ui, const ReportOptions& options,
                     FileSystem& files) {
    body.clear();
    bool allReported = true;
    try {
        const Path reportPath = reportPathFor(scenarioPath);
        {
            ScenarioFile scenario(files);
            if (!scenario.open(scenarioPath)) {
                ui.showMessage(Message::openFailed);
                return false;
            }
            // A name beside the scenario that is the scenario itself (through
            // a link to it, or a second name of it) is never written or
            // removed; nor is one that the system cannot tell.
            const Path temporaryPath = temporaryPathFor(scenarioPath);
            const Seen atReport = scenario.isAt(reportPath), atTemporary = scenario.isAt(temporaryPath);
            if (atReport != Seen::no || atTemporary != Seen::no) {
                const bool itself = atReport == Seen::yes || atTemporary == Seen::yes;
                ui.showMessage(itself ? Message::scenarioInTheWay : Message::createFailed);
                return false;
            }
            static_cast<void>(scenario.lock());  // else it goes on without
            TemporaryFile temporary(files, temporaryPath);
            PartialReport partial(files, reportPath, scenario.facts());
            std::optional<Message> failure =
                sendReport(scenario, body, &temporary, partial, true, options, ui, allReported);
            if (failure) ui.showMessage(*failure);
            bool reported = !failure;
            // The report replaces an older one only once nothing else of ours is left.
            if (!temporary.remove()) {
                ui.showMessage(Message::removeFailed);
                reported = false;
            }
            if (reported) {
                if (const auto refused = partial.publish(scenario, scenarioPath)) {
                    ui.showMessage(*refused);
                    reported = false;
                }
            }
            // What was not published, or the older report that was replaced.
            if (!partial.remove()) {
                ui.showMessage(Message::removeFailed);
                reported = false;
            }
            if (!reported) return false;
        }  // the lock goes with the scenario, before the viewer starts
        ui.openInViewer(reportPath);
        return allReported;
    } catch (const std::bad_alloc&) {
        body.clear();
        ui.showMessage(Message::outOfMemory);
        return false;
    }
}

bool streamReport(const Path& scenarioPath, ScenarioBody& body, UserActions& ui, ReportSink& out,
                  const ReportOptions& options, FileSystem& files) {
    body.clear();
    bool allReported = true;
    try {
        ScenarioFile scenario(files);
        if (!scenario.open(scenarioPath)) {
            ui.showMessage(Message::openFailed);
            return false;
        }
        if (const auto failure = sendReport(scenario, body, nullptr, out, false, options, ui, allReported)) {
            ui.showMessage(*failure);
            return false;
        }
        return allReported;
    } catch (const std::bad_alloc&) {
        body.clear();
        ui.showMessage(Message::outOfMemory);
        return false;
    }
}

}  // namespace vantor
