#include "app/report_app.h"

#include "app/given_files.h"
#include "app/report_dialog.h"
#include "report/messages.h"

namespace vantor::app {

// The one application object.
ReportApp theApp;

ReportApp::ReportApp() : Application(messageText(Message::outOfMemory)) {}

void ReportApp::InitInstance() {
    // Files given to the program (dropped on its icon, sent to it, opened
    // with it) are reported without the dialog; a folder among them is
    // listed in it.
    const std::vector<std::wstring> arguments = programArguments();
    std::vector<std::wstring> folders;
    if (!arguments.empty()) {
        ScenarioBody body;
        folders = reportGivenFiles(arguments, nullptr, body);
        if (folders.empty()) return;
    }
    // The application ends with the dialog, which frees the scenario body.
    ReportDialog dialog(folders.empty() ? std::string() : narrowAnsi(folders.back()));
    dialog.DoModal();
}

}  // namespace vantor::app
