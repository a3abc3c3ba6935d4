// A UserActions that records what the user would have been shown.
#pragma once

#include <string>
#include <vector>

#include "report/messages.h"
#include "report/report_buffer.h"

namespace vantor::testing {

class RecordingActions final : public UserActions {
public:
    std::vector<Message> messages;
    std::vector<std::string> opened;

    void showMessage(Message message) override { messages.push_back(message); }
    void openInViewer(const std::string& reportPath) override { opened.push_back(reportPath); }
};

// A report destination that keeps every byte.
class StringSink final : public ReportSink {
public:
    std::string bytes;

    bool write(std::string_view piece) override {
        bytes.append(piece);
        return true;
    }
};

}  // namespace vantor::testing
