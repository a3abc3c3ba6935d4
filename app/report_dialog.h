// The main dialog: the scenario folder, the kinds of file its list shows,
// the list, the report button with its 詳細 box, the folder picker and the
// about box in the window menu.
#pragma once

#include <cstdint>
#include <string>

#include "app/dialog_rules.h"
#include "app/framework.h"
// after windows.h (framework.h), which it needs
#include <shellapi.h>

#include "report/report_command.h"
#include "scenario/body.h"

namespace vantor::app {

class ReportDialog final : public Dialog {
public:
    // `folder`: where the list starts (a folder given to the program), else
    // an edition's scenario folder or the one last listed.  `kept`: the
    // settings of the last run.
    ReportDialog(const DialogSettings& kept, std::wstring folder = {});
    ~ReportDialog() override;

    // The settings to keep for the next start, as the dialog leaves them.
    [[nodiscard]] DialogSettings settings() const;

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
    bool onCommand(unsigned id, unsigned notification);
    void onReportButton();
    void onDropFiles(HDROP drop);
    void browseForFolder();
    static int CALLBACK browseCallback(HWND picker, UINT message, LPARAM parameter, LPARAM data);

    void fillScenarioList(const std::wstring& folder);
    [[nodiscard]] ReportOptions reportOptions() const noexcept;

    ListBox scenarioList;
    std::wstring folderText;
    HICON appIcon;
    ScenarioBody scenarioBody;
    std::wstring startFolder;
    DialogSettings kept;
    std::wstring listedFolder;  // the folder of the last listing
    FileKinds kinds = FileKinds::conquerors;
    bool detailed = false;
};

}  // namespace vantor::app
