// The report command: from a scenario file to its report in the user's hands.
#pragma once

#include "platform/files.h"
#include "report/messages.h"
#include "report/record_lines.h"
#include "report/report_buffer.h"
#include "scenario/body.h"

namespace vantor {

// The report's bytes as made (cp932, CR LF), or as UTF-8 with LF line ends.
enum class ReportEncoding { cp932, utf8 };

// The report as the user asked for it: its encoding, and the report of the
// standard form or the detailed one (report/record_lines.h).
struct ReportOptions {
    ReportEncoding encoding = ReportEncoding::cp932;
    ReportDetail detail = ReportDetail::standard;
};

// What the report button does for one scenario file: the body extracted
// into `body` through the temporary file beside the scenario, the report
// file written whole, the temporary file removed and, last, the report handed
// to the viewer.  Two runs on one scenario take turns.  Every failure ends in
// its message, with an older report as it was and nothing of ours left.
// True when the report was made and nothing was left behind.
bool writeReportFile(const platform::Path& scenarioPath, ScenarioBody& body, UserActions& ui,
                     const ReportOptions& options = {}, platform::FileSystem& files = platform::systemFiles());

// The report sent to a stream (standard output) instead: the body is
// inflated in memory, nothing is written beside the scenario, and every
// refusal shows before the first byte goes out.
bool streamReport(const platform::Path& scenarioPath, ScenarioBody& body, UserActions& ui, ReportSink& out,
                  const ReportOptions& options = {}, platform::FileSystem& files = platform::systemFiles());

}  // namespace vantor
