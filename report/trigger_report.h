// The trigger report of a scenario body, and the report command around it.
#pragma once

#include <span>
#include <string>

#include "report/messages.h"
#include "report/report_buffer.h"
#include "scenario/body.h"

namespace vantor {

enum class [[nodiscard]] ReportOutcome{
    reportReady,
    unsupportedVersion,
    backgroundImage,
    unreadableBody,
};

// Writes the whole report of `body` into `out` (cp932, CR LF).  On any outcome
// but reportReady, what `out` still holds is dropped; bytes that a streamed
// `out` has already handed to its sink are the caller's to discard.
// `container` is what the file's container told about the body.
ReportOutcome buildTriggerReport(std::span<const std::uint8_t> body, ReportBuffer& out, ContainerFacts container = {});

// The report file of a scenario: its path with ".txt" appended.
std::string reportPathFor(const std::string& scenarioPath);

// Turns report bytes (cp932, CR LF) into another encoding on their way to a
// sink.  A piece may end inside a character: the encoder holds such an end
// back until the next piece, or until finish().
class ReportEncoder {
public:
    virtual ~ReportEncoder() = default;
    virtual bool write(std::string_view cp932, ReportSink& next) = 0;
    virtual bool finish(ReportSink& next) = 0;
};

// Where the report command sends a report.
struct ReportDestination {
    ReportSink* stream = nullptr;      // a stream (standard output); null: the report file
    ReportEncoder* encoder = nullptr;  // null: the cp932 bytes as made
};

// Writes the report of the body as the scenario's report file: streamed into
// a partial file of its own beside the scenario (as readable as the scenario,
// `permissions`), renamed over the report only when every byte is written,
// so that the report appears whole or not at all, and an older one stays as
// it was otherwise.  Every failure ends in its message.  True when the
// report was written.
bool writeTriggerReport(const std::string& scenarioPath, const ScenarioBody& body, UserActions& ui,
                        unsigned permissions = 0666, ReportEncoder* encoder = nullptr);

// What the report button does for one scenario file: extraction into `body`
// through the temporary file, the report, the removal of the temporary file
// and, last, the report handed to the viewer.  With a stream destination the
// body is inflated in memory, checked whole, and only then streamed: nothing
// is written beside the scenario.  Two runs on one scenario take turns.
// True when the report was made and nothing was left behind.
bool runReportCommand(const std::string& scenarioPath, ScenarioBody& body, UserActions& ui,
                      const ReportDestination& destination = {});

}  // namespace vantor
