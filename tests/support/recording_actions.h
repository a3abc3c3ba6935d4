// A UserActions that records what the user would have been shown.
#pragma once

#include <string>
#include <vector>

#include "report/messages.h"

namespace vantor::testing {

class RecordingActions final : public UserActions {
public:
    std::vector<Message> messages;
    std::vector<std::string> opened;

    void showMessage(Message message) override { messages.push_back(message); }
    void openInViewer(const std::string& reportPath) override { opened.push_back(reportPath); }
};

}  // namespace vantor::testing
