#include "app/report_dialog.h"

#include <shellapi.h>
#include <shlobj.h>

#include <array>
#include <memory>

#include "app/about_dialog.h"
#include "app/dialog_rules.h"
#include "app/given_files.h"
#include "app/resources/resource_ids.h"
#include "report/report_command.h"

namespace vantor::app {
namespace {

constexpr const char* pickerTitle = "Select Recgame Folder";
constexpr std::size_t pickedPathSize = 1024;

// The game's installation folder in the registry (HKEY_LOCAL_MACHINE, the
// 32-bit view), and the buffer its value is read into.
constexpr const char* gameRegistryKey =
    "SOFTWARE\\Microsoft\\Microsoft Games\\Age of Empires II: The Conquerors Expansion\\1.0";
constexpr const char* gameFolderValue = "EXE Path";
constexpr std::size_t registryBufferSize = 1024;

// The game folder as the registry holds it (the 32-bit view, where the
// game's installer wrote), or the empty text.  Read only.
std::string readGameFolder() {
    std::array<char, registryBufferSize> buffer{};
    bool readAsString = false;
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, gameRegistryKey, 0, KEY_READ | KEY_WOW64_32KEY, &key) == ERROR_SUCCESS) {
        DWORD type = 0;
        DWORD size = static_cast<DWORD>(buffer.size());
        const LONG status =
            RegQueryValueExA(key, gameFolderValue, nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()), &size);
        readAsString = status == ERROR_SUCCESS && (type == REG_SZ || type == REG_EXPAND_SZ);
        RegCloseKey(key);
    }
    return registryText(buffer, readAsString);
}

std::wstring loadStringW(HINSTANCE instance, unsigned id) {
    const wchar_t* text = nullptr;
    const int length = LoadStringW(instance, id, reinterpret_cast<wchar_t*>(&text), 0);
    return length > 0 && text ? std::wstring(text, static_cast<std::size_t>(length)) : std::wstring();
}

HINSTANCE applicationInstance() {
    const Application* application = Application::current();
    return application ? application->instance() : GetModuleHandleW(nullptr);
}

struct ItemFree {
    void operator()(ITEMIDLIST* item) const noexcept { CoTaskMemFree(item); }
};

}  // namespace

ReportDialog::ReportDialog(std::string folder)
    : Dialog(IDD_VANTOR_DIALOG, nullptr),
      appIcon(LoadIconW(applicationInstance(), MAKEINTRESOURCEW(IDR_MAINFRAME))),
      startFolder(std::move(folder)) {}

ReportDialog::~ReportDialog() = default;

void ReportDialog::DoDataExchange(DataExchange& exchange) {
    exchange.control(IDC_SCENARIO_LIST, scenarioList);
    exchange.text(IDC_FOLDER, folderText);
}

bool ReportDialog::PreTranslateMessage(MSG& message) {
    // Esc never ends this dialog; only cancel (close box, Alt+F4, Close) does.
    if (message.message == WM_KEYDOWN && message.wParam == VK_ESCAPE) return true;
    return Dialog::PreTranslateMessage(message);
}

BOOL ReportDialog::OnInitDialog() {
    Dialog::OnInitDialog();

    // The about item at the end of the window menu.  Its text is read as
    // UTF-16 so that the menu reads the same on every system.
    if (const HMENU menu = GetSystemMenu(window(), FALSE)) {
        const std::wstring about = loadStringW(applicationInstance(), IDS_ABOUTBOX);
        if (!about.empty()) {
            AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
            AppendMenuW(menu, MF_STRING, IDM_ABOUTBOX, about.c_str());
        }
    }

    SendMessageW(window(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(appIcon));
    SendMessageW(window(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(appIcon));

    folderText = startFolder.empty() ? initialFolderText(readGameFolder()) : startFolder;
    UpdateData(false);
    DragAcceptFiles(window(), TRUE);
    scenarioBody.clear();
    fillScenarioList(folderText);
    return TRUE;  // the dialog manager focuses the folder field
}

void ReportDialog::OnOK() {
    // Enter: refreshes the list when typed in the folder field, and never
    // ends the dialog.
    UpdateData(true);
    const HWND focus = GetFocus();
    if (focus && GetDlgCtrlID(focus) == IDC_FOLDER) fillScenarioList(folderText);
    UpdateData(false);
}

bool ReportDialog::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result) {
    switch (message) {
        case WM_SYSCOMMAND: return onSystemCommand(static_cast<std::uint32_t>(wParam), lParam);
        case WM_PAINT: return onPaint();
        case WM_QUERYDRAGICON: result = reinterpret_cast<INT_PTR>(onQueryDragIcon()); return true;
        case WM_DROPFILES: onDropFiles(reinterpret_cast<HDROP>(wParam)); return true;
        case WM_COMMAND:
            if (HIWORD(wParam) != BN_CLICKED) return false;
            if (LOWORD(wParam) == IDC_REPORT) {
                onReportButton();
                return true;
            }
            if (LOWORD(wParam) == IDC_BROWSE) {
                browseForFolder();
                return true;
            }
            return false;
        default: return false;
    }
}

bool ReportDialog::onSystemCommand(std::uint32_t command, LPARAM) {
    // The system keeps the low four bits of a command for itself.
    if ((command & 0xFFF0u) != IDM_ABOUTBOX) return false;  // the default handling (Close ends the dialog)
    AboutDialog about(window());
    about.DoModal();
    return true;
}

bool ReportDialog::onPaint() {
    if (!IsIconic(window())) return false;
    PAINTSTRUCT paint;
    const HDC dc = BeginPaint(window(), &paint);
    SendMessageW(window(), WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    RECT client{};
    GetClientRect(window(), &client);
    const IconPosition at = minimisedIconPosition(client.right - client.left, client.bottom - client.top,
                                                  GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON));
    DrawIcon(dc, at.x, at.y, appIcon);
    EndPaint(window(), &paint);
    return true;
}

// The report button: the selected scenario of the list, through extraction
// and report, to the opened report file.
void ReportDialog::onReportButton() {
    UpdateData(true);
    const int index = scenarioList.currentSelection();
    if (index < 0) return;  // nothing selected: nothing happens, the body stays

    const std::string entryName = scenarioList.text(index);
    const std::string scenarioPath = scenarioPathFor(folderText, entryName);
    // Frees the previous body, extracts into it, writes and opens the report,
    // and removes the temporary file; every failure has shown its message.
    ReportActions actions(window());
    static_cast<void>(writeReportFile(platform::Path(widenAnsi(scenarioPath)), scenarioBody, actions));
}

// Files dropped on the dialog: each reported as the report button reports a
// scenario; a dropped folder is listed, as if picked with "...".
void ReportDialog::onDropFiles(HDROP drop) {
    const std::vector<std::wstring> folders = reportGivenFiles(droppedFiles(drop), window(), scenarioBody);
    if (folders.empty()) return;
    folderText = narrowAnsi(folders.back());
    fillScenarioList(folderText);
    UpdateData(false);
}

void ReportDialog::browseForFolder() {
    UpdateData(true);
    std::array<char, pickedPathSize> path{};
    BROWSEINFOA info{};
    info.hwndOwner = window();
    info.pidlRoot = nullptr;
    info.pszDisplayName = path.data();
    info.lpszTitle = pickerTitle;
    info.ulFlags = BIF_RETURNONLYFSDIRS;
    info.lpfn = browseCallback;
    info.lParam = reinterpret_cast<LPARAM>(folderText.c_str());

    const std::unique_ptr<ITEMIDLIST, ItemFree> item(SHBrowseForFolderA(&info));
    if (!item) return;
    if (SHGetPathFromIDListA(item.get(), path.data())) {
        folderText = path.data();
        fillScenarioList(folderText);
        UpdateData(false);
    }
}

int CALLBACK ReportDialog::browseCallback(HWND picker, UINT message, LPARAM, LPARAM data) {
    // The picker opens on the folder that the field showed.
    if (message == BFFM_INITIALIZED) SendMessageA(picker, BFFM_SETSELECTIONA, TRUE, data);
    return 0;
}

void ReportDialog::fillScenarioList(std::string folder) {
    scenarioList.resetContent();
    // A folder that does not exist leaves the list empty.
    scenarioList.dir(0, listPatternFor(folder));
}

}  // namespace vantor::app
