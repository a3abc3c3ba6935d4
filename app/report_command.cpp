// The report button: the selected scenario of the list, through extraction
// and report, to the opened report file.
#include "report/report_command.h"
#include "app/dialog_rules.h"
#include "app/report_dialog.h"

namespace vantor::app {

void ReportDialog::onReportButton() {
    UpdateData(true);
    const int index = scenarioList.currentSelection();
    if (index < 0) return;  // nothing selected: nothing happens, the body stays

    const std::string entryName = scenarioList.text(index);
    const std::string scenarioPath = scenarioPathFor(folderText, entryName);
    // Frees the previous body, extracts into it, writes and opens the report,
    // and removes the temporary file; every failure has shown its message.
    static_cast<void>(runReportCommand(scenarioPath, scenarioBody, *this));
}

}  // namespace vantor::app
