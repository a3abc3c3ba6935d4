// The about box: its template says everything; OK, Esc and the close box end it.
#pragma once

#include "app/framework.h"
#include "app/resources/resource_ids.h"

namespace vantor::app {

class AboutDialog final : public Dialog {
public:
    explicit AboutDialog(HWND parent) noexcept : Dialog(IDD_ABOUTBOX, parent) {}
};

}  // namespace vantor::app
