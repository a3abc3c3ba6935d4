// Drives vantor.exe's dialog from a second process, as a user would, and
// checks what the dialog shows and does.  It finds the windows with
// FindWindowEx/EnumWindows, reads them with WM_GETTEXT and LB_GETTEXT (which
// the system carries across processes), and acts with posted keys, clicks
// and window-menu commands.
//
//   gui_driver e2e GAME OTHER EXPECTED OPENLOG   the whole walk through the dialog
//   gui_driver field TEXT                         the field shows TEXT; then close
//   gui_driver show-dialog | show-about | hide-about | show-message ENTRY |
//              hide-message | close                one step, for screenshots
//   gui_driver record LOG PATH                    the test's viewer: appends PATH to LOG
//
// Paths are Windows paths.  Prints one line per check; exit status 0 when
// every check passed.
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cwctype>
#include <functional>
#include <string>
#include <vector>

#include "app/resources/resource_ids.h"

namespace {

constexpr WPARAM aboutCommand = IDM_ABOUTBOX;

constexpr wchar_t dialogClass[] = L"#32770";
constexpr wchar_t mainCaption[] = L"Vantor";
constexpr wchar_t aboutCaption[] = L"Vantorのﾊﾞｰｼﾞｮﾝ情報";
constexpr wchar_t messageCaption[] = L"vantor";  // the executable's name
constexpr wchar_t backgroundImageText[] = L"背景画像を含むデータには未対応です。";
constexpr wchar_t decompressionText[] = L"解凍エラーです";

int failures = 0;

std::string utf8(const std::wstring& text) {
    if (text.empty()) return {};
    const int n =
        WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), n, nullptr, nullptr);
    return out;
}

void check(bool ok, const char* what, const std::wstring& detail = L"") {
    std::printf("%s %s%s%s\n", ok ? "ok  " : "FAIL", what, detail.empty() ? "" : ": ", utf8(detail).c_str());
    std::fflush(stdout);
    if (!ok) ++failures;
}

[[noreturn]] void giveUp(const char* what) {
    std::printf("FAIL %s (giving up)\n", what);
    std::fflush(stdout);
    std::exit(1);
}

bool waitFor(const std::function<bool()>& condition, DWORD milliseconds) {
    const ULONGLONG end = GetTickCount64() + milliseconds;
    for (;;) {
        if (condition()) return true;
        if (GetTickCount64() > end) return false;
        Sleep(20);
    }
}

LRESULT sendTimed(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT milliseconds = 5000) {
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutW(window, message, wParam, lParam, SMTO_ABORTIFHUNG, milliseconds, &result)) return -1;
    return static_cast<LRESULT>(result);
}

std::wstring textOf(HWND window) {
    const LRESULT length = sendTimed(window, WM_GETTEXTLENGTH, 0, 0);
    if (length <= 0) return {};
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const LRESULT copied = sendTimed(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
    text.resize(copied > 0 ? static_cast<std::size_t>(copied) : 0);
    return text;
}

std::wstring classOf(HWND window) {
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    return name;
}

std::vector<std::wstring> listItems(HWND list) {
    std::vector<std::wstring> items;
    const LRESULT count = sendTimed(list, LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        const LRESULT length = sendTimed(list, LB_GETTEXTLEN, static_cast<WPARAM>(i), 0);
        std::wstring text(static_cast<std::size_t>(std::max<LRESULT>(length, 0)) + 1, L'\0');
        const LRESULT copied =
            sendTimed(list, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text.data()));
        text.resize(copied > 0 ? static_cast<std::size_t>(copied) : 0);
        items.push_back(text);
    }
    return items;
}

std::wstring joined(const std::vector<std::wstring>& items) {
    std::wstring all;
    for (const auto& item : items) all += (all.empty() ? L"" : L" | ") + item;
    return all;
}

bool sameSet(std::vector<std::wstring> a, std::vector<std::wstring> b) {
    std::sort(a.begin(), a.end());
    std::sort(b.begin(), b.end());
    return a == b;
}

std::wstring lower(std::wstring s) {
    for (auto& c : s) c = static_cast<wchar_t>(std::towlower(c));
    return s;
}

// The main dialog: caption "Vantor" and the scenario list (the message boxes
// have other captions and no list).
HWND findMainDialog(DWORD milliseconds) {
    HWND found = nullptr;
    waitFor(
        [&] {
            for (HWND h = FindWindowExW(nullptr, nullptr, dialogClass, mainCaption); h;
                 h = FindWindowExW(nullptr, h, dialogClass, mainCaption)) {
                if (GetDlgItem(h, IDC_SCENARIO_LIST) && IsWindowVisible(h)) {
                    found = h;
                    return true;
                }
            }
            return false;
        },
        milliseconds);
    return found;
}

// A visible dialog window owned by `owner` (message box, about box, picker).
HWND ownedDialog(HWND owner) {
    struct Search {
        HWND owner;
        HWND found;
    } search{owner, nullptr};
    EnumWindows(
        [](HWND h, LPARAM p) -> BOOL {
            auto* s = reinterpret_cast<Search*>(p);
            if (IsWindowVisible(h) && GetWindow(h, GW_OWNER) == s->owner && classOf(h) == dialogClass) {
                s->found = h;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND waitForOwnedDialog(HWND owner, DWORD milliseconds = 15000) {
    HWND found = nullptr;
    waitFor([&] { return (found = ownedDialog(owner)) != nullptr; }, milliseconds);
    return found;
}

bool waitGone(HWND window, DWORD milliseconds = 10000) {
    return waitFor([&] { return !IsWindow(window) || !IsWindowVisible(window); }, milliseconds);
}

std::vector<HWND> children(HWND parent) {
    std::vector<HWND> all;
    EnumChildWindows(
        parent,
        [](HWND h, LPARAM p) -> BOOL {
            reinterpret_cast<std::vector<HWND>*>(p)->push_back(h);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&all));
    return all;
}

bool hasChildText(HWND parent, const std::wstring& text) {
    for (HWND h : children(parent))
        if (textOf(h) == text) return true;
    return false;
}

HWND focusOf(HWND window) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info)) return nullptr;
    return info.hwndFocus;
}

// A key press as the keyboard would queue it to the focused window.
void postKey(HWND target, WPARAM key) {
    const LPARAM scan = static_cast<LPARAM>(MapVirtualKeyW(static_cast<UINT>(key), MAPVK_VK_TO_VSC)) << 16;
    PostMessageW(target, WM_KEYDOWN, key, scan | 1);
    PostMessageW(target, WM_KEYUP, key, scan | 1 | (LPARAM{3} << 30));
}

void focusControl(HWND dialog, HWND control) {
    sendTimed(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(control), TRUE);
}

std::string readFile(const std::wstring& path, bool& exists) {
    exists = false;
    FILE* f = _wfopen(path.c_str(), L"rb");
    if (!f) return {};
    exists = true;
    std::string bytes;
    char buffer[65536];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) bytes.append(buffer, n);
    std::fclose(f);
    return bytes;
}

bool fileExists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::vector<std::wstring> filesMatching(const std::wstring& pattern) {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW data;
    const HANDLE find = FindFirstFileW(pattern.c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) return names;
    do names.push_back(data.cFileName);
    while (FindNextFileW(find, &data));
    FindClose(find);
    return names;
}

std::wstring withBackslash(std::wstring folder) {
    if (folder.empty() || folder.back() != L'\\') folder += L'\\';
    return folder;
}

struct Dialog {
    HWND window;
    HWND field;
    HWND list;
    HWND report;
    HWND browse;
};

Dialog mainDialog() {
    Dialog d{};
    d.window = findMainDialog(30000);
    if (!d.window) giveUp("the main dialog appears");
    d.field = GetDlgItem(d.window, IDC_FOLDER);
    d.list = GetDlgItem(d.window, IDC_SCENARIO_LIST);
    d.report = GetDlgItem(d.window, IDC_REPORT);
    d.browse = GetDlgItem(d.window, IDC_BROWSE);
    if (!d.field || !d.list || !d.report || !d.browse) giveUp("the main dialog has its four controls");
    return d;
}

// Texts that come from the resources, read as UTF-16: Japanese on every
// system when the dialog was made with the W functions.
void checkDialogTexts(const Dialog& d) {
    check(textOf(d.window) == mainCaption, "dialog caption", textOf(d.window));
    check(textOf(d.report) == L"レポート出力", "report button text", textOf(d.report));
    check(textOf(d.browse) == L"...", "folder button text", textOf(d.browse));
}

void checkMessageBox(HWND box, const std::wstring& text) {
    check(textOf(box) == messageCaption, "message box caption is the program's name", textOf(box));
    check(textOf(GetDlgItem(box, 0xFFFF)) == text, "message box text", textOf(GetDlgItem(box, 0xFFFF)));
    int buttons = 0;
    bool visibleIcon = false;
    std::wstring buttonTexts;
    for (HWND h : children(box)) {
        const auto style = static_cast<DWORD>(GetWindowLongPtrW(h, GWL_STYLE));
        if (!IsWindowVisible(h)) continue;
        if (lower(classOf(h)) == L"button") {
            ++buttons;
            buttonTexts += textOf(h) + L" ";
        }
        if (lower(classOf(h)) == L"static" && (style & SS_TYPEMASK) == SS_ICON && sendTimed(h, STM_GETICON, 0, 0) > 0)
            visibleIcon = true;
    }
    check(buttons == 1 && GetDlgItem(box, IDOK) && IsWindowVisible(GetDlgItem(box, IDOK)),
          "message box has the OK button only", buttonTexts);
    check(!visibleIcon, "message box shows no icon");
}

// Selects `entry` in the list; false when the list does not hold it.
bool select(const Dialog& d, const std::wstring& entry) {
    const auto items = listItems(d.list);
    const auto at = std::find(items.begin(), items.end(), entry);
    if (at == items.end()) return false;
    sendTimed(d.list, LB_SETCURSEL, static_cast<WPARAM>(at - items.begin()), 0);
    return sendTimed(d.list, LB_GETCURSEL, 0, 0) == at - items.begin();
}

// Clicks the report button and returns when the command has run (no message
// box may appear: it would keep the click from returning).
bool clickReport(const Dialog& d) { return sendTimed(d.report, BM_CLICK, 0, 0, 60000) != -1 && !ownedDialog(d.window); }

void reportWritesExpected(const Dialog& d, const std::wstring& folder, const std::wstring& expected,
                          const std::wstring& entry) {
    const std::wstring reportPath = folder + entry + L".txt";
    DeleteFileW(reportPath.c_str());
    if (!select(d, entry)) {
        check(false, "the list holds the scenario", entry);
        return;
    }
    check(clickReport(d), "report command ran without a message", entry);
    bool written = false;
    bool expectedExists = false;
    const std::string bytes = readFile(reportPath, written);
    const std::string want = readFile(expected + entry + L".txt", expectedExists);
    check(written, "report file written", reportPath);
    check(expectedExists && !want.empty(), "native report exists", expected + entry + L".txt");
    check(written && bytes == want, "report bytes equal the native command line's", entry);
    check(!fileExists(folder + entry + L".dat"), "no temporary file left", entry);
}

void reportShowsMessage(const Dialog& d, const std::wstring& folder, const std::wstring& entry,
                        const std::wstring& text) {
    if (!select(d, entry)) {
        check(false, "the list holds the scenario", entry);
        return;
    }
    PostMessageW(d.report, BM_CLICK, 0, 0);
    const HWND box = waitForOwnedDialog(d.window);
    check(box != nullptr, "message box appears", entry);
    if (!box) return;
    checkMessageBox(box, text);
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    check(waitGone(box), "OK closes the message box");
    check(IsWindow(d.window) && IsWindowVisible(d.window), "the dialog stays open");
    // The temporary file goes when the command ends, after the message.
    const bool removed = waitFor([&] { return !fileExists(folder + entry + L".dat"); }, 5000);
    check(removed, "no temporary file left", entry);
    check(!fileExists(folder + entry + L".txt"), "no report written", entry);
}

HWND openAbout(const Dialog& d, WPARAM command) {
    PostMessageW(d.window, WM_SYSCOMMAND, command, 0);
    const HWND about = waitForOwnedDialog(d.window);
    if (about) {
        check(textOf(about) == aboutCaption, "about box caption", textOf(about));
        check(hasChildText(about, L"Vantor Version 1.0"), "about box names the version");
    }
    return about;
}

int endToEnd(const std::wstring& game, const std::wstring& other, const std::wstring& expectedFolder,
             const std::wstring& openLog) {
    const Dialog d = mainDialog();
    const std::wstring folder = game + L"\\Scenario\\";
    const std::wstring expected = withBackslash(expectedFolder);
    const std::wstring otherFolder = withBackslash(other);

    // The dialog as it opens.
    checkDialogTexts(d);
    const auto listStyle = static_cast<DWORD>(GetWindowLongPtrW(d.list, GWL_STYLE));
    check(
        (listStyle & (LBS_SORT | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT)) == (LBS_SORT | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT),
        "list sorts itself");
    for (HWND button : {d.report, d.browse})
        check((GetWindowLongPtrW(button, GWL_STYLE) & BS_TYPEMASK) == BS_PUSHBUTTON, "no default push button",
              textOf(button));
    check(textOf(d.field) == folder, "field shows the registry folder and \\Scenario\\", textOf(d.field));
    const std::vector<std::wstring> scenarios = {L"broken.scx", L"sample.scx", L"UPPER.SCX", L"with_image.scx",
                                                 L"日本語のシナリオ.scx"};
    const auto items = listItems(d.list);
    check(sameSet(items, scenarios), "list holds the folder's *.scx files (no other file, no folder)", joined(items));
    auto index = [&](const wchar_t* name) { return std::find(items.begin(), items.end(), name) - items.begin(); };
    check(index(L"broken.scx") < index(L"sample.scx") && index(L"sample.scx") < index(L"UPPER.SCX") &&
              index(L"UPPER.SCX") < index(L"with_image.scx"),
          "list is sorted without regard to case", joined(items));
    check(focusOf(d.window) == d.field, "the folder field has the focus");
    const std::vector<std::wstring> otherScenarios = {L"other.scx"};

    // The folder picker opens on the field's folder; OK there lists it and
    // puts the picker's path (no trailing "\") into the field.  Wine's picker
    // makes its selection while it opens; on a loaded machine that can come
    // late, so an OK that picked another folder is tried again, waiting longer.
    bool pickerOpened = true;
    bool picked = false;
    for (int attempt = 0; attempt < 3 && pickerOpened && !picked; ++attempt) {
        if (attempt > 0) std::printf("note the picker picked %s; trying again\n", utf8(textOf(d.field)).c_str());
        sendTimed(d.field, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(otherFolder.c_str()));
        PostMessageW(d.browse, BM_CLICK, 0, 0);
        const HWND picker = waitForOwnedDialog(d.window);
        pickerOpened = picker != nullptr;
        if (!pickerOpened) break;
        if (attempt == 0) check(hasChildText(picker, L"Select Recgame Folder"), "the picker shows its title");
        Sleep(500 << attempt);  // the selection is made before the picker shows; let it paint
        PostMessageW(picker, WM_COMMAND, IDOK, 0);
        check(waitGone(picker), "OK closes the picker");
        picked = waitFor([&] { return textOf(d.field) == other; }, 5000);
    }
    check(pickerOpened, "the folder picker opens");
    check(picked, "the field shows the picked folder", textOf(d.field));
    check(sameSet(listItems(d.list), otherScenarios), "the list shows the picked folder", joined(listItems(d.list)));
    // Back to the first folder for the reports.
    sendTimed(d.field, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(folder.c_str()));
    focusControl(d.window, d.field);
    postKey(d.field, VK_RETURN);
    const bool back = waitFor([&] { return sameSet(listItems(d.list), scenarios); }, 10000);
    check(back, "Enter in the field lists the first folder again", joined(listItems(d.list)));

    // The report button without a selection does nothing.
    sendTimed(d.list, LB_SETCURSEL, static_cast<WPARAM>(-1), 0);
    check(clickReport(d), "report without a selection shows nothing");
    check(filesMatching(folder + L"*.scx.txt").empty() && filesMatching(folder + L"*.dat").empty(),
          "report without a selection writes nothing");

    // Reports, byte for byte as the native command line writes them; twice
    // for the same file gives the same report.
    for (const wchar_t* entry : {L"sample.scx", L"日本語のシナリオ.scx", L"UPPER.SCX", L"sample.scx"})
        reportWritesExpected(d, folder, expected, entry);

    // Scenarios that end in a message; the dialog is usable afterwards.
    reportShowsMessage(d, folder, L"with_image.scx", backgroundImageText);
    reportShowsMessage(d, folder, L"broken.scx", decompressionText);
    reportWritesExpected(d, folder, expected, L"UPPER.SCX");

    // Enter on the list: the list stays, and the dialog too.  The about
    // command posted behind it shows when Enter has been handled; it also
    // opens for 0x001F (the low four bits are the system's).
    sendTimed(d.field, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(other.c_str()));
    focusControl(d.window, d.list);
    postKey(d.list, VK_RETURN);
    HWND about = openAbout(d, aboutCommand | 0xF);
    check(about != nullptr, "window-menu command 0x001F opens the about box");
    check(sameSet(listItems(d.list), scenarios), "Enter on the list leaves the list as it was",
          joined(listItems(d.list)));
    check(textOf(d.field) == other, "the field keeps the typed text", textOf(d.field));
    check(IsWindowVisible(d.window) != FALSE, "Enter does not close the dialog");
    if (about) {
        check(!IsWindowEnabled(d.window), "the about box is modal");
        const HWND focus = focusOf(about);
        postKey(focus ? focus : about, VK_ESCAPE);
        check(waitGone(about), "Esc closes the about box");
        check(IsWindowEnabled(d.window) != FALSE, "the dialog is usable again");
    }

    // Enter in the folder field lists the typed folder.
    focusControl(d.window, d.field);
    postKey(d.field, VK_RETURN);
    const bool refreshed = waitFor([&] { return sameSet(listItems(d.list), otherScenarios); }, 10000);
    check(refreshed, "Enter in the field lists the typed folder", joined(listItems(d.list)));
    check(textOf(d.field) == other, "the field keeps the typed text", textOf(d.field));
    check(IsWindow(d.window) && IsWindowVisible(d.window), "Enter does not close the dialog");

    // Esc is swallowed: the about command behind it finds the dialog open.
    postKey(d.field, VK_ESCAPE);
    about = openAbout(d, aboutCommand);
    check(about != nullptr, "window-menu command 0x0010 opens the about box");
    check(IsWindow(d.window) && IsWindowVisible(d.window), "Esc does not close the dialog");
    if (about) {
        const HWND ok = GetDlgItem(about, IDOK);
        PostMessageW(ok ? ok : about, BM_CLICK, 0, 0);
        check(waitGone(about), "OK closes the about box");
    }

    // The close box ends the dialog.
    PostMessageW(d.window, WM_SYSCOMMAND, SC_CLOSE, 0);
    check(waitGone(d.window), "the close box ends the dialog");

    // Each report went to the viewer (the test's recorder).
    const std::vector<std::wstring> reports = {folder + L"sample.scx.txt", folder + L"日本語のシナリオ.scx.txt",
                                               folder + L"UPPER.SCX.txt"};
    std::wstring log;
    const bool opened = waitFor(
        [&] {
            bool exists = false;
            const std::string bytes = readFile(openLog, exists);
            const int n = MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
            log.assign(static_cast<std::size_t>(std::max(n, 0)), L'\0');
            MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), log.data(), n);
            return std::all_of(reports.begin(), reports.end(), [&](const std::wstring& r) {
                return lower(log).find(lower(r) + L"\n") != std::wstring::npos;
            });
        },
        10000);
    check(opened, "each report was opened with the shell's \"open\"", log);

    std::printf("%d check(s) failed\n", failures);
    return failures == 0 ? 0 : 1;
}

int fieldShows(const std::wstring& text) {
    const Dialog d = mainDialog();
    check(textOf(d.field) == text, "field text", textOf(d.field));
    PostMessageW(d.window, WM_SYSCOMMAND, SC_CLOSE, 0);
    check(waitGone(d.window), "the close box ends the dialog");
    return failures == 0 ? 0 : 1;
}

int step(const std::wstring& what, const std::wstring& argument) {
    const Dialog d = mainDialog();
    if (what == L"show-dialog") {
        std::printf("info the system's ANSI code page is %u\n", GetACP());
        checkDialogTexts(d);
    } else if (what == L"show-about") {
        check(openAbout(d, aboutCommand) != nullptr, "the about box opens");
    } else if (what == L"hide-about" || what == L"hide-message") {
        const HWND box = ownedDialog(d.window);
        check(box != nullptr, "an owned window is open");
        if (box) {
            PostMessageW(box, WM_COMMAND, IDOK, 0);
            check(waitGone(box), "it closes");
        }
    } else if (what == L"show-message") {
        check(select(d, argument), "the list holds the scenario", argument);
        PostMessageW(d.report, BM_CLICK, 0, 0);
        const HWND box = waitForOwnedDialog(d.window);
        check(box != nullptr, "message box appears");
        if (box) checkMessageBox(box, backgroundImageText);
    } else if (what == L"close") {
        PostMessageW(d.window, WM_SYSCOMMAND, SC_CLOSE, 0);
        check(waitGone(d.window), "the close box ends the dialog");
    } else {
        giveUp("unknown step");
    }
    return failures == 0 ? 0 : 1;
}

int record(const std::wstring& log, const std::wstring& path) {
    FILE* f = _wfopen(log.c_str(), L"ab");
    if (!f) return 1;
    const std::string line = utf8(path) + "\n";
    std::fwrite(line.data(), 1, line.size(), f);
    std::fclose(f);
    return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    const std::vector<std::wstring> args(argv + 1, argv + argc);
    const auto count = args.size();
    if (count == 5 && args[0] == L"e2e") return endToEnd(args[1], args[2], args[3], args[4]);
    if (count == 2 && args[0] == L"field") return fieldShows(args[1]);
    if (count == 3 && args[0] == L"record") return record(args[1], args[2]);
    if (count >= 1 && count <= 2 && args[0] != L"e2e") return step(args[0], count == 2 ? args[1] : std::wstring());
    std::fprintf(stderr,
                 "usage: gui_driver e2e GAME OTHER EXPECTED OPENLOG | field TEXT | STEP [ENTRY] | record LOG PATH\n");
    return 2;
}
