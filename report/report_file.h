// The report file beside a scenario, and how it is replaced.
#pragma once

#include <string>
#include <string_view>

#include "report/report_buffer.h"
#include "scenario/file_io.h"

namespace vantor {

// The report file of a scenario: its path with ".txt" appended.
std::string reportPathFor(const std::string& scenarioPath);

// A report on its way to its file: streamed into a partial file of its own
// beside the report (a unique name, as readable as the scenario), and renamed
// over the report only when every byte is written, so that the report appears
// whole or not at all and an older one stays as it was otherwise.  The
// partial file goes with its holder unless published.
class PartialReport final : public ReportSink {
public:
    [[nodiscard]] bool create(const std::string& reportPath, unsigned permissions);
    bool write(std::string_view bytes) override { return file_.write(bytes.data(), bytes.size()); }
    // Renames the partial file over the report; false (and the partial file
    // removed) when that failed.
    [[nodiscard]] bool publish() { return file_.renameOver(reportPath_); }

private:
    OwnFile file_;
    std::string reportPath_;
};

}  // namespace vantor
