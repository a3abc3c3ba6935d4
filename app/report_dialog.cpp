#include "app/report_dialog.h"

#include <shellapi.h>
#include <shlobj.h>

#include <array>
#include <memory>
#include <vector>

#include "app/about_dialog.h"
#include "app/dialog_rules.h"
#include "app/given_files.h"
#include "app/resources/resource_ids.h"

namespace vantor::app {
namespace {

constexpr const wchar_t* pickerTitle = L"Select Recgame Folder";
constexpr std::size_t pickedPathSize = 1024;

// The Conquerors' installation folder in the registry (HKEY_LOCAL_MACHINE,
// the 32-bit view, where the game's installer wrote it), and the buffer its
// value is read into, in characters.
constexpr const wchar_t* gameRegistryKey =
    L"SOFTWARE\\Microsoft\\Microsoft Games\\Age of Empires II: The Conquerors Expansion\\1.0";
constexpr const wchar_t* gameFolderValue = L"EXE Path";
constexpr std::size_t registryBufferSize = 1024;
// Where Steam installed the HD Edition (its application 221380): Steam
// keeps each game's folder in its uninstall entry.
constexpr const wchar_t* hdRegistryKey = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Steam App 221380";
constexpr const wchar_t* hdFolderValue = L"InstallLocation";
// The Definitive Edition's profiles, under the user's profile folder.
constexpr const wchar_t* definitiveProfiles = L"Games\\Age of Empires 2 DE";

// A string value of HKEY_LOCAL_MACHINE in one view of the registry, or the
// empty text.  Read only.
std::wstring readRegistryText(const wchar_t* keyName, const wchar_t* valueName, REGSAM view) {
    std::array<wchar_t, registryBufferSize> buffer{};
    bool readAsString = false;
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, keyName, 0, KEY_READ | view, &key) == ERROR_SUCCESS) {
        DWORD type = 0;
        DWORD size = static_cast<DWORD>(buffer.size() * sizeof buffer[0]);
        const LONG status =
            RegQueryValueExW(key, valueName, nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()), &size);
        readAsString = status == ERROR_SUCCESS && (type == REG_SZ || type == REG_EXPAND_SZ);
        RegCloseKey(key);
    }
    return registryText(buffer, readAsString);
}

bool folderExists(const std::wstring& folder) {
    const DWORD attributes = GetFileAttributesW(folder.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// The folder if it exists, else the empty text.
std::wstring ifExists(std::wstring folder) { return !folder.empty() && folderExists(folder) ? folder : std::wstring(); }

std::wstring userFolder(int which) {
    std::array<wchar_t, MAX_PATH> path{};
    return SUCCEEDED(SHGetFolderPathW(nullptr, which, nullptr, SHGFP_TYPE_CURRENT, path.data())) ? path.data()
                                                                                                 : std::wstring();
}

// The Definitive Edition's scenario folder of the profile that changed last.
std::wstring definitiveFolder() {
    const std::wstring profiles = userFolder(CSIDL_PROFILE);
    if (profiles.empty()) return {};
    const std::wstring root = withSeparator(profiles) + definitiveProfiles;
    std::vector<Profile> found;
    WIN32_FIND_DATAW entry;
    const HANDLE find =
        FindFirstFileExW(listPatternFor(root).c_str(), FindExInfoBasic, &entry, FindExSearchNameMatch, nullptr, 0);
    if (find == INVALID_HANDLE_VALUE) return {};
    do {
        WIN32_FILE_ATTRIBUTE_DATA scenarios{};
        if ((entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
            GetFileAttributesExW(definitiveScenarioFolder(root, entry.cFileName).c_str(), GetFileExInfoStandard,
                                 &scenarios) &&
            (scenarios.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            found.push_back({entry.cFileName, (std::uint64_t{scenarios.ftLastWriteTime.dwHighDateTime} << 32) |
                                                  scenarios.ftLastWriteTime.dwLowDateTime});
    } while (FindNextFileW(find, &entry));
    FindClose(find);
    const std::optional<std::size_t> latest = latestProfile(found);
    return latest ? definitiveScenarioFolder(root, found[*latest].name) : std::wstring();
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

ReportDialog::ReportDialog(const DialogSettings& keptSettings, std::wstring folder)
    : Dialog(IDD_VANTOR_DIALOG, nullptr),
      appIcon(LoadIconW(applicationInstance(), MAKEINTRESOURCEW(IDR_MAINFRAME))),
      startFolder(std::move(folder)),
      kept(keptSettings),
      listedFolder(widenUtf8(keptSettings.folder)),
      kinds(keptSettings.kinds),
      detailed(keptSettings.detailed) {}

ReportDialog::~ReportDialog() = default;

DialogSettings ReportDialog::settings() const { return {narrowUtf8(listedFolder), kinds, detailed}; }

void ReportDialog::DoDataExchange(DataExchange& exchange) {
    exchange.control(IDC_SCENARIO_LIST, scenarioList);
    exchange.text(IDC_FOLDER, folderText);
}

bool ReportDialog::PreTranslateMessage(MSG& message) {
    // Esc never ends this dialog; only cancel (close box, Alt+F4, Close) does.
    if (message.message == WM_KEYDOWN &&
        swallowsKeyDown(static_cast<unsigned>(message.wParam),
                        SendMessageW(GetDlgItem(window(), IDC_FILE_KINDS), CB_GETDROPPEDSTATE, 0, 0) != 0))
        return true;
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

    // Where the list starts: a folder given to the program, else the first
    // edition's scenario folder that is there, else the one last listed.
    StartFolders folders;
    folders.given = startFolder;
    folders.conquerors =
        ifExists(conquerorsScenarioFolder(readRegistryText(gameRegistryKey, gameFolderValue, KEY_WOW64_32KEY)));
    folders.definitive = definitiveFolder();
    for (const REGSAM view : {REGSAM{KEY_WOW64_32KEY}, REGSAM{KEY_WOW64_64KEY}})
        if (folders.hd.empty())
            folders.hd = ifExists(hdScenarioFolder(readRegistryText(hdRegistryKey, hdFolderValue, view)));
    folders.kept = ifExists(listedFolder);
    const StartView start = startView(folders, kept);

    const HWND choice = GetDlgItem(window(), IDC_FILE_KINDS);
    for (unsigned i = 0; i < fileKindsCount; ++i)
        SendMessageW(choice, CB_ADDSTRING, 0,
                     reinterpret_cast<LPARAM>(loadStringW(applicationInstance(), IDS_FILE_KINDS + i).c_str()));
    kinds = start.kinds;
    SendMessageW(choice, CB_SETCURSEL, static_cast<WPARAM>(kinds), 0);
    CheckDlgButton(window(), IDC_DETAIL, detailed ? BST_CHECKED : BST_UNCHECKED);

    folderText = start.folder;
    UpdateData(false);
    DragAcceptFiles(window(), TRUE);
    scenarioBody.clear();
    if (!folderText.empty()) fillScenarioList(folderText);
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
        case WM_COMMAND: return onCommand(LOWORD(wParam), HIWORD(wParam));
        default: return false;
    }
}

bool ReportDialog::onCommand(unsigned id, unsigned notification) {
    if (id == IDC_REPORT && notification == BN_CLICKED) {
        onReportButton();
    } else if (id == IDC_BROWSE && notification == BN_CLICKED) {
        browseForFolder();
    } else if (id == IDC_DETAIL && notification == BN_CLICKED) {
        detailed = IsDlgButtonChecked(window(), IDC_DETAIL) == BST_CHECKED;
    } else if (id == IDC_FILE_KINDS && notification == CBN_SELCHANGE) {
        // The field's folder listed again, with the kinds chosen.
        const LRESULT chosen = SendMessageW(GetDlgItem(window(), IDC_FILE_KINDS), CB_GETCURSEL, 0, 0);
        if (chosen < 0 || chosen >= fileKindsCount) return true;
        kinds = static_cast<FileKinds>(chosen);
        UpdateData(true);
        fillScenarioList(folderText);
    } else {
        return false;
    }
    return true;
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

ReportOptions ReportDialog::reportOptions() const noexcept {
    return {ReportEncoding::cp932, detailed ? ReportDetail::detailed : ReportDetail::standard};
}

// The report button: the selected file of the list, through extraction and
// report, to the opened report file.
void ReportDialog::onReportButton() {
    UpdateData(true);
    const int index = scenarioList.currentSelection();
    if (index < 0) return;  // nothing selected: nothing happens, the body stays

    const platform::Path scenarioPath = scenarioPathFor(folderText, scenarioList.text(index));
    // Frees the previous body, extracts into it, writes and opens the report,
    // and removes the temporary file; every failure has shown its message.
    ReportActions actions(window());
    static_cast<void>(writeReportFile(scenarioPath, scenarioBody, actions, reportOptions()));
}

// Files dropped on the dialog: each reported as the report button reports a
// scenario; a dropped folder is listed, as if picked with "...".
void ReportDialog::onDropFiles(HDROP drop) {
    const std::vector<std::wstring> folders =
        reportGivenFiles(droppedFiles(drop), window(), scenarioBody, reportOptions());
    if (folders.empty()) return;
    folderText = folders.back();
    fillScenarioList(folderText);
    UpdateData(false);
}

void ReportDialog::browseForFolder() {
    UpdateData(true);
    std::array<wchar_t, pickedPathSize> path{};
    BROWSEINFOW info{};
    info.hwndOwner = window();
    info.pidlRoot = nullptr;
    info.pszDisplayName = path.data();
    info.lpszTitle = pickerTitle;
    info.ulFlags = BIF_RETURNONLYFSDIRS;
    info.lpfn = browseCallback;
    info.lParam = reinterpret_cast<LPARAM>(folderText.c_str());

    const std::unique_ptr<ITEMIDLIST, ItemFree> item(SHBrowseForFolderW(&info));
    if (!item) return;
    if (SHGetPathFromIDListW(item.get(), path.data())) {
        folderText = path.data();
        fillScenarioList(folderText);
        UpdateData(false);
    }
}

int CALLBACK ReportDialog::browseCallback(HWND picker, UINT message, LPARAM, LPARAM data) {
    // The picker opens on the folder that the field showed.
    if (message == BFFM_INITIALIZED) SendMessageW(picker, BFFM_SETSELECTIONW, TRUE, data);
    return 0;
}

// The folder's files of the kinds chosen; a folder that does not exist
// leaves the list empty.  The list sorts them.
void ReportDialog::fillScenarioList(const std::wstring& folder) {
    scenarioList.resetContent();
    listedFolder = folder;
    WIN32_FIND_DATAW entry;
    const HANDLE find =
        FindFirstFileExW(listPatternFor(folder).c_str(), FindExInfoBasic, &entry, FindExSearchNameMatch, nullptr, 0);
    if (find == INVALID_HANDLE_VALUE) return;
    do {
        constexpr DWORD notListed = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
        if (!(entry.dwFileAttributes & notListed) && listsFile(entry.cFileName, kinds))
            scenarioList.addString(entry.cFileName);
    } while (FindNextFileW(find, &entry));
    FindClose(find);
}

}  // namespace vantor::app
