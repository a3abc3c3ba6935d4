// The trigger report of a scenario body: the text a user reads.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "report/record_lines.h"
#include "report/report_buffer.h"
#include "scenario/triggers.h"
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
// of it is made.  A report that can still be taken back when it fails (a
// file that is only published once whole) needs no read of its records ahead.
enum class RecordCheck { records, walkOnly };
struct CheckedSection {
    ReportOutcome outcome = ReportOutcome::unreadableBody;
    WalkResult section{WalkOutcome::unreadableBody};
    ReportDetail detail = ReportDetail::standard;
    // The names of the variables, once the check has read them.
    std::optional<std::vector<VariableName>> variables;
};
// The detailed report also needs the names that the Definitive Edition's
// section gives its variables, behind the triggers: they are checked, and
// kept, with the records.
CheckedSection checkTriggerSection(std::span<const std::uint8_t> body, int containerVersion = 0,
                                   RecordCheck check = RecordCheck::records,
                                   ReportDetail detail = ReportDetail::standard);

// Writes the report, in the form it was checked for, of a section that
// checkTriggerSection found ready into `out` (cp932, CR LF): the count, the
// header, and every trigger with its effects and conditions.  False when a
// record (or, for the detailed report, a variable's name) leads outside the
// body, only where they were not checked: what `out` took is then no report;
// nothing, when a name did.
[[nodiscard]] bool formatTriggerReport(std::span<const std::uint8_t> body, const CheckedSection& checked,
                                       ReportBuffer& out);

// A campaign's report holds the report of each scenario inside, under a
// heading that names it:
//
//   全シナリオ数：2
//
//   =====================================================================
//   シナリオ 0000：name
//   ファイル：file name
//   =====================================================================
//   全トリガ数：…                      (the scenario's report, as it alone gives it)
//
//   =====================================================================
//   シナリオ 0001：…
//
// A scenario that cannot be reported has its message in place of its report.
// Names are texts as stored, written as the report writes texts.
void formatCampaignCount(ReportBuffer& out, std::uint32_t scenarios);
void formatCampaignHeading(ReportBuffer& out, std::uint32_t number, const StoredText& name, const StoredText& fileName);
void formatMessageLine(ReportBuffer& out, std::string_view cp932);

}  // namespace vantor
