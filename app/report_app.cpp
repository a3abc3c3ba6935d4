#include "app/report_app.h"

#include "app/report_dialog.h"
#include "report/messages.h"

namespace vantor::app {

// The one application object.
ReportApp theApp;

ReportApp::ReportApp() : Application(messageText(Message::outOfMemory)) {}

bool ReportApp::InitInstance() {
    {
        ReportDialog dialog;
        dialog.DoModal();
    }  // the dialog, and the scenario body with it, is freed here
    // The dialog has ended: the application ends without a message loop.
    return false;
}

}  // namespace vantor::app
