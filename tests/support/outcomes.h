// Every way the report command ends, each with the folder it needs, and what
// a run may change in that folder.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "report/messages.h"
#include "report/record_lines.h"
#include "tests/support/scenario_builder.h"
#include "tests/support/temp_dir.h"

namespace vantor::testing {

// The bundled sample's scenario (Japanese texts, every kind of line) and its
// report as it must be, byte for byte (tests/support/sample_report.txt, and
// sample_detailed_report.txt).
Bytes sampleFile();
std::string sampleReport(ReportDetail detail = ReportDetail::standard);

struct Outcome {
    std::string name;
    Bytes scenario;                 // written as x.scx
    std::vector<Message> messages;  // empty: the report is made
    // Puts what else the case needs beside x.scx.
    std::function<void(const TempDir&)> prepare;
    std::string removes{};  // a file that a killed run of ours left, which the run removes
    // (Permissions, which bind no one running as root, are tried from the
    // shell: tests/hardening/command_line_test.sh.)
};

std::vector<Outcome> everyOutcome();

// The folder of an outcome: x.scx, an older report x.scx.txt "old", another
// scenario y.scx with its report and temporary file, and a file "guarded"
// that links planted beside x.scx point to.
void prepareFolder(const TempDir& dir, const Outcome& outcome);

// Every entry of a folder: its name, and its bytes or what else it is.
std::map<std::string, std::string> snapshot(const TempDir& dir);

// The first difference between the snapshots before and after the outcome's
// run, but for its report and its stale temporary file; empty when there is
// none.
std::string changesBeyondTheReport(std::map<std::string, std::string> before, std::map<std::string, std::string> after,
                                   const Outcome& outcome);

}  // namespace vantor::testing
