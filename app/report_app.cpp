#include "app/report_app.h"

#include "app/given_files.h"
#include "app/report_dialog.h"
#include "app/settings.h"
#include "report/messages.h"

namespace vantor::app {

// The one application object.
ReportApp theApp;

ReportApp::ReportApp() : Application(messageText(Message::outOfMemory)) {}

void ReportApp::InitInstance() {
    const DialogSettings kept = loadSettings();
    // Files given to the program (dropped on its icon, sent to it, opened
    // with it) are reported without the dialog, in the form the 詳細 box was
    // left in; a folder among them is listed in it.
    const std::vector<std::wstring> arguments = programArguments();
    std::vector<std::wstring> folders;
    if (!arguments.empty()) {
        ScenarioBody body;
        const ReportOptions options{ReportEncoding::cp932,
                                    kept.detailed ? ReportDetail::detailed : ReportDetail::standard};
        folders = reportGivenFiles(arguments, nullptr, body, options);
        if (folders.empty()) return;
    }
    // The application ends with the dialog, which frees the scenario body.
    ReportDialog dialog(kept, folders.empty() ? std::wstring() : folders.back());
    dialog.DoModal();
    // What the dialog was left with, for the next start (when it changed).
    if (const DialogSettings left = dialog.settings(); left != kept) static_cast<void>(saveSettings(left));
}

}  // namespace vantor::app
