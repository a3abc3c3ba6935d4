// The trigger report of a scenario body: the text a user reads.
#pragma once

#include <cstdint>
#include <span>

#include "report/report_buffer.h"
#include "scenario/walk.h"

namespace vantor {

enum class [[nodiscard]] ReportOutcome{
    reportReady,
    unsupportedVersion,
    backgroundImage,
    unreadableBody,
};

// A body's trigger section as the walk found it, and whether every record in
// it can be read: everything that can refuse a report, done before any line
// of it is made.
struct CheckedSection {
    ReportOutcome outcome = ReportOutcome::unreadableBody;
    WalkResult section{WalkOutcome::unreadableBody};
};
CheckedSection checkTriggerSection(std::span<const std::uint8_t> body, int containerVersion = 0);

// Writes the report of a section that checkTriggerSection found ready into
// `out` (cp932, CR LF): the count, the header, and every trigger with its
// effects and conditions.
void formatTriggerReport(std::span<const std::uint8_t> body, const WalkResult& section, ReportBuffer& out);

}  // namespace vantor
