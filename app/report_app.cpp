#include "app/report_app.h"

#include "app/report_dialog.h"

namespace vantor::app {

// The one application object.
ReportApp theApp;

bool ReportApp::InitInstance() {
    {
        ReportDialog dialog;
        dialog.DoModal();
    }  // the dialog, and the scenario body with it, is freed here
    // The dialog has ended: the application ends without a message loop.
    return false;
}

}  // namespace vantor::app
