// Files given to the program rather than picked from its list: dropped on the
// dialog, dropped on the program's icon, sent with Explorer's "送る" (Send
// To) or opened with it.  Their paths are UTF-16, so that a name the system's
// code page cannot hold is reported like any other.
#pragma once

#include <string>
#include <vector>

#include "app/framework.h"
// after windows.h (framework.h), which it needs
#include <shellapi.h>

#include "report/messages.h"
#include "report/report_command.h"
#include "scenario/body.h"

namespace vantor::app {

// What the core asks of the program while it reports a file: the message
// boxes, owned by `owner` (none for no window), and the viewer.  Once a file
// is named, each box names it first.
class ReportActions final : public UserActions {
public:
    explicit ReportActions(HWND owner) : owner_(owner) {}
    void name(std::wstring fileName) { fileName_ = std::move(fileName); }

    void showMessage(Message message) override { show(nullptr, message); }
    // A scenario of a campaign: its file name, then the message.
    void showScenarioMessage(std::string_view fileName, Message message) override { show(&fileName, message); }
    void openInViewer(const platform::Path& reportPath) override;

private:
    void show(const std::string_view* scenarioName, Message message) const noexcept;

    HWND owner_;
    std::wstring fileName_;
};

// Reports each file as the report button reports the selected scenario: its
// report (of the form `options` asks for) written beside it and handed to the
// viewer, or its message box (owned by `owner`, none for no window).  When
// several files are given, each box names its file.  The folders among the
// paths are not reported: they are returned, in the order given.
std::vector<std::wstring> reportGivenFiles(const std::vector<std::wstring>& paths, HWND owner, ScenarioBody& body,
                                           const ReportOptions& options);

// The files of a drop on a window (the drop is finished).
std::vector<std::wstring> droppedFiles(HDROP drop);

// The program's arguments, as the system passed them.
std::vector<std::wstring> programArguments();

}  // namespace vantor::app
