// The application object: runs the main dialog and ends with it.
#pragma once

#include "app/framework.h"

namespace vantor::app {

class ReportApp final : public Application {
public:
    ReportApp();
    void InitInstance() override;
};

}  // namespace vantor::app
