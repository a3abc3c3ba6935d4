#include "app/report_app.h"

#include "app/report_dialog.h"
#include "report/messages.h"

namespace vantor::app {

// The one application object.
ReportApp theApp;

ReportApp::ReportApp() : Application(messageText(Message::outOfMemory)) {}

void ReportApp::InitInstance() {
    // The application ends with the dialog, which frees the scenario body.
    ReportDialog dialog;
    dialog.DoModal();
}

}  // namespace vantor::app
