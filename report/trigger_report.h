// The trigger report of a scenario body: the text a user reads.
#pragma once

#include <span>

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

// Whether the walk reaches the trigger section, without writing anything: the
// refusals (image, version, unreadable layout) that come before any line.
ReportOutcome checkTriggerSection(std::span<const std::uint8_t> body, ContainerFacts container = {});

}  // namespace vantor
