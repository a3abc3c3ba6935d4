// The main dialog: the scenario folder, its list of scenario files, the
// report button, the folder picker and the about box in the window menu.
#pragma once

#include <cstdint>
#include <string>

#include "app/framework.h"
// after windows.h (framework.h), which it needs
#include <shellapi.h>

#include "scenario/body.h"

namespace vantor::app {

class ReportDialog final : public Dialog {
public:
    // `folder`: where the list starts (a folder given to the program), else
    // the game's scenario folder.
    explicit ReportDialog(std::string folder = {});
    ~ReportDialog() override;

protected:
    void DoDataExchange(DataExchange& exchange) override;
    bool PreTranslateMessage(MSG& message) override;
    BOOL OnInitDialog() override;
    void OnOK() override;
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result) override;

private:
    // Handlers of the dialog's message table; true when the message needs
    // no default handling.
    bool onSystemCommand(std::uint32_t command, LPARAM parameter);
    bool onPaint();
    HICON onQueryDragIcon() const noexcept { return appIcon; }
    void onReportButton();
    void onDropFiles(HDROP drop);
    void browseForFolder();
    static int CALLBACK browseCallback(HWND picker, UINT message, LPARAM parameter, LPARAM data);

    void fillScenarioList(std::string folder);

    ListBox scenarioList;
    std::string folderText;
    HICON appIcon;
    ScenarioBody scenarioBody;
    std::string startFolder;
};

}  // namespace vantor::app
