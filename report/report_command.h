// The report command: from a scenario file to its report in the user's hands.
#pragma once

#include <string>
#include <string_view>

#include "report/messages.h"
#include "report/report_buffer.h"
#include "scenario/body.h"

namespace vantor {

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

// What the report button does for one scenario file: extraction into `body`
// through the temporary file, the report file, the removal of the temporary
// file and, last, the report handed to the viewer.  With a stream destination
// the body is inflated in memory, checked whole, and only then streamed:
// nothing is written beside the scenario.  Two runs on one scenario take
// turns.  Every failure ends in its message.  True when the report was made
// and nothing was left behind.
bool runReportCommand(const std::string& scenarioPath, ScenarioBody& body, UserActions& ui,
                      const ReportDestination& destination = {});

}  // namespace vantor
