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
// but reportReady, `out` is left empty.  `container` is what the file's
// container told about the body (scenario/body.h).
ReportOutcome buildTriggerReport(std::span<const std::uint8_t> body, ReportBuffer& out, ContainerFacts container = {});

// The report file of a scenario: its path with ".txt" appended.
std::string reportPathFor(const std::string& scenarioPath);

// Stores report bytes as the file at `reportPath`: written beside it and
// renamed over an older report only when every byte is on disk, so that the
// report appears whole or not at all.  False (and no trace) on failure.
bool saveReport(const std::string& reportPath, std::string_view bytes);

// Builds the report of the dialog's body, writes it as the scenario's report
// file and hands it to the viewer.  Every failure ends in its message; no
// report file is created, and an older one is left as it was, unless the
// whole report was written.  True when the report was written.
bool writeTriggerReport(const std::string& scenarioPath, const ScenarioBody& body, UserActions& ui);

// What the report button does for one scenario file: extraction into `body`,
// the report, and the removal of the temporary file.  With `capture`, the
// report bytes go there instead of into the report file, and nothing is
// opened.  True when the report was made and nothing was left behind.
bool runReportCommand(const std::string& scenarioPath, ScenarioBody& body, UserActions& ui,
                      ReportBuffer* capture = nullptr);

}  // namespace vantor
