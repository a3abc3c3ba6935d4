// Drives vantor.exe's dialog from a second process as a user would, reading
// the windows with messages that the system carries across processes.  Prints
// one line per check; exit status 0 when all passed.
//
//   gui_driver STEP [WORDS] [STEP [WORDS]]...: e2e GAME OTHER | start FOLDER KIND DETAIL LIST |
//              keyboard ENTRY | list FOLDER ENTRY | pick FOLDER ENTRY | choose KIND DETAIL | drop FOLDER |
//              arguments | show-dialog | show-choice | hide-choice | show-about | show-message ENTRY |
//              show-drop | hide | close
//   (KIND: the choice's index; DETAIL: 0 or 1; LIST: the entries, each followed by "|")
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "app/resources/resource_ids.h"

namespace {

using Texts = std::vector<std::wstring>;

constexpr wchar_t imageMessage[] = L"背景画像を含むデータには未対応です。";
int failures = 0;

bool check(bool ok, const char* what, const std::wstring& detail = L"") {
    char bytes[1024] = {};  // UTF-8
    WideCharToMultiByte(CP_UTF8, 0, detail.c_str(), -1, bytes, sizeof bytes - 1, nullptr, nullptr);
    std::printf("%s %s%s%s\n", ok ? "ok  " : "FAIL", what, detail.empty() ? "" : ": ", bytes);
    std::fflush(stdout);
    failures += ok ? 0 : 1;
    return ok;
}

template <typename Condition>
bool waitFor(Condition condition, DWORD milliseconds = 10000) {
    for (const ULONGLONG end = GetTickCount64() + milliseconds; !condition(); Sleep(20))
        if (GetTickCount64() > end) return false;
    return true;
}

LRESULT send(HWND window, UINT message, WPARAM wParam = 0, LPARAM lParam = 0, UINT milliseconds = 5000) {
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutW(window, message, wParam, lParam, SMTO_ABORTIFHUNG, milliseconds, &result)) return -1;
    return static_cast<LRESULT>(result);
}

// Every text of this test is shorter than the buffers.
std::wstring textOf(HWND window) {
    wchar_t text[1024] = {};
    send(window, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(text));
    return text;
}

void setText(HWND window, const std::wstring& text) {
    send(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

Texts itemsOf(HWND list) {
    Texts items;
    for (LRESULT i = 0, n = send(list, LB_GETCOUNT); i < n; ++i) {
        wchar_t text[1024] = {};
        const auto index = static_cast<WPARAM>(i);
        if (send(list, LB_GETTEXTLEN, index) < 1024) send(list, LB_GETTEXT, index, reinterpret_cast<LPARAM>(text));
        items.push_back(text);
    }
    return items;
}

// A visible dialog owned by `owner` (message box, about box, picker), or null.
HWND ownedDialog(HWND owner, DWORD milliseconds = 0) {
    HWND h = nullptr;
    waitFor(
        [&] {
            while ((h = FindWindowExW(nullptr, h, L"#32770", nullptr)) &&
                   (!IsWindowVisible(h) || GetWindow(h, GW_OWNER) != owner)) {
            }
            return h != nullptr;
        },
        milliseconds);
    return h;
}

bool waitGone(HWND window) {
    return waitFor([&] { return !IsWindow(window) || !IsWindowVisible(window); });
}

// A key press as the keyboard would queue it to the focused window.
void postKey(HWND target, WPARAM key) {
    const LPARAM scan = static_cast<LPARAM>(MapVirtualKeyW(static_cast<UINT>(key), MAPVK_VK_TO_VSC)) << 16;
    PostMessageW(target, WM_KEYDOWN, key, scan | 1);
    PostMessageW(target, WM_KEYUP, key, scan | 1 | (LPARAM{3} << 30));
}

struct Dialog {
    HWND window, field, list, report, browse, kinds, detail;
};

// The main dialog: caption "Vantor" and a scenario list (a message box has
// another caption and no list).
Dialog mainDialog() {
    HWND h = nullptr;
    waitFor(
        [&] {
            return (h = FindWindowExW(nullptr, h, L"#32770", L"Vantor")) && IsWindowVisible(h) &&
                   GetDlgItem(h, IDC_SCENARIO_LIST);
        },
        30000);
    const Dialog d{h,
                   GetDlgItem(h, IDC_FOLDER),
                   GetDlgItem(h, IDC_SCENARIO_LIST),
                   GetDlgItem(h, IDC_REPORT),
                   GetDlgItem(h, IDC_BROWSE),
                   GetDlgItem(h, IDC_FILE_KINDS),
                   GetDlgItem(h, IDC_DETAIL)};
    if (!d.field || !d.list || !d.report || !d.browse || !d.kinds || !d.detail) {
        std::printf("FAIL the main dialog appears with its six controls (giving up)\n");
        std::exit(1);
    }
    return d;
}

// Texts from the resources: Japanese on every system, as the dialog is made
// with the W functions.
void checkDialogTexts(const Dialog& d) {
    std::printf("info the system's ANSI code page is %u\n", GetACP());
    check(textOf(d.window) == L"Vantor", "dialog caption", textOf(d.window));
    check(textOf(d.report) == L"レポート出力", "report button text", textOf(d.report));
    check(textOf(d.browse) == L"...", "folder button text", textOf(d.browse));
    check(textOf(d.detail) == L"詳細", "detail box text", textOf(d.detail));
    check(send(d.kinds, CB_GETCOUNT) == 6, "the choice offers six kinds");
}

HWND focused(const Dialog& d) {
    GUITHREADINFO thread{};
    thread.cbSize = sizeof thread;
    GetGUIThreadInfo(GetWindowThreadProcessId(d.window, nullptr), &thread);
    return thread.hwndFocus;
}

// Tab, as the keyboard gives it to the focused control.
bool tabTo(const Dialog& d, HWND next) {
    postKey(focused(d), VK_TAB);
    return check(waitFor([&] { return focused(d) == next; }, 5000), "Tab moves to the next control",
                 std::to_wstring(GetDlgCtrlID(focused(d))));
}

// The state the dialog starts in: its folder, the kinds chosen, the 詳細 box
// and the list (each entry followed by "|").
void started(const Dialog& d, const std::wstring& folder, int kinds, bool detail, const std::wstring& list) {
    check(textOf(d.field) == folder, "the field at start", textOf(d.field));
    check(send(d.kinds, CB_GETCURSEL) == kinds, "the kinds chosen at start", std::to_wstring(kinds));
    check((send(d.detail, BM_GETCHECK) == BST_CHECKED) == detail, "the detail box at start");
    std::wstring all;
    for (const auto& item : itemsOf(d.list)) all += item + L"|";
    check(all == list, "the list at start", all);
}

bool listShows(const Dialog& d, const Texts& expected, const char* what, DWORD milliseconds = 0) {
    Texts items;
    waitFor([&] { return (items = itemsOf(d.list)) == expected; }, milliseconds);
    std::wstring all;
    for (const auto& item : items) all += item + L"  ";
    return check(items == expected, what, all);
}

bool select(const Dialog& d, const std::wstring& entry) {
    const Texts items = itemsOf(d.list);
    const auto at = std::find(items.begin(), items.end(), entry) - items.begin();
    return check(at < std::ssize(items) && send(d.list, LB_SETCURSEL, static_cast<WPARAM>(at)) == at,
                 "the list holds the scenario", entry);
}

// The click returns when the command has run.
void reportWithoutMessage(const Dialog& d, const std::wstring& entry) {
    if (select(d, entry))
        check(send(d.report, BM_CLICK, 0, 0, 60000) != -1 && !ownedDialog(d.window), "report without a message", entry);
}

// Enter in a control, through the dialog's message loop.
void enter(const Dialog& d, HWND control) {
    send(d.window, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(control), TRUE);
    postKey(control, VK_RETURN);
}

// Clicks the button of a dialog; true when the dialog then goes.
bool clickAway(HWND dialog, int button, const char* what) {
    PostMessageW(GetDlgItem(dialog, button), BM_CLICK, 0, 0);
    return check(waitGone(dialog), what);
}

// Clicks the report button; the message box that shows, checked, or null.
HWND reportMessage(const Dialog& d, const std::wstring& text) {
    PostMessageW(d.report, BM_CLICK, 0, 0);
    const HWND box = ownedDialog(d.window, 15000);
    if (!check(box != nullptr, "a message box appears")) return nullptr;
    check(textOf(box) == L"vantor", "message box caption is the program's name", textOf(box));
    check(textOf(GetDlgItem(box, 0xFFFF)) == text, "message box text", textOf(GetDlgItem(box, 0xFFFF)));
    int buttons = 0, icons = 0;
    for (HWND h = GetWindow(box, GW_CHILD); h; h = GetWindow(h, GW_HWNDNEXT)) {
        if (!IsWindowVisible(h)) continue;
        buttons += send(h, WM_GETDLGCODE) & (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON) ? 1 : 0;
        icons += (GetWindowLongW(h, GWL_STYLE) & SS_TYPEMASK) == SS_ICON && send(h, STM_GETICON) > 0 ? 1 : 0;
    }
    check(buttons == 1 && IsWindowVisible(GetDlgItem(box, IDOK)), "message box has the OK button only");
    check(icons == 0, "message box shows no icon");
    return box;
}

HWND openAbout(const Dialog& d, WPARAM command) {
    PostMessageW(d.window, WM_SYSCOMMAND, command, 0);
    const HWND about = ownedDialog(d.window, 15000);
    if (check(about != nullptr, "the window-menu command opens the about box", std::to_wstring(command))) {
        check(textOf(about) == L"Vantorのﾊﾞｰｼﾞｮﾝ情報", "about box caption", textOf(about));
        check(FindWindowExW(about, nullptr, nullptr, L"Vantor Version 1.0"), "about box names the version");
    }
    return about;
}

// The message box of a file given to the program (owned by the dialog, or by
// nobody when the program runs without it): its text, then OK.
void answer(HWND owner, const std::wstring& text) {
    const HWND box = ownedDialog(owner, 30000);
    if (!check(box != nullptr, "a message box appears")) return;
    check(textOf(box) == L"vantor", "message box caption is the program's name", textOf(box));
    check(textOf(GetDlgItem(box, 0xFFFF)) == text, "message box text", textOf(GetDlgItem(box, 0xFFFF)));
    clickAway(box, IDOK, "OK closes the message box");
}

// Files dropped on the dialog (gui_e2e.sh drops them from another X client):
// a box for each that is not reported, naming it; a dropped folder listed.
void dropped(const Dialog& d, const std::wstring& folder) {
    answer(d.window, L"camp.cpx\r\nbroken.scx\r\n解凍エラーです");
    answer(d.window, L"broken.scx\r\n解凍エラーです");
    check(waitFor([&] { return textOf(d.field) == folder; }), "the dropped folder is in the field", textOf(d.field));
    listShows(d, {L"listed.scx"}, "the list shows the dropped folder");
}

void close(const Dialog& d) {
    PostMessageW(d.window, WM_SYSCOMMAND, SC_CLOSE, 0);
    check(waitGone(d.window), "the close box ends the dialog");
}

// The picker opens on the field's folder; its OK puts the path (no "\" at
// the end) into the field and lists it.  Wine's picker selects while it
// opens, late on a loaded machine: then it is tried again, waiting longer.
void pick(const Dialog& d, const std::wstring& fieldText, const std::wstring& picked) {
    HWND picker = nullptr;
    bool done = false;
    for (int attempt = 0; attempt < 3 && !done; ++attempt) {
        setText(d.field, fieldText);
        PostMessageW(d.browse, BM_CLICK, 0, 0);
        if (!(picker = ownedDialog(d.window, 15000))) break;
        check(FindWindowExW(picker, nullptr, nullptr, L"Select Recgame Folder"), "the picker shows its title");
        Sleep(500u << attempt);  // let it select and paint
        clickAway(picker, IDOK, "OK closes the picker");
        done = waitFor([&] { return textOf(d.field) == picked; }, 5000);
        if (!done) std::printf("note the picker picked %ls; again\n", textOf(d.field).c_str());
    }
    check(picker != nullptr, "the folder picker opens");
    check(done, "the field shows the picked folder", textOf(d.field));
}

// With the keyboard alone, from the folder field: Tab visits every control
// in a natural order and comes back; Home selects the list's first entry,
// and Enter on the report button reports it.
void keyboard(const Dialog& d, const std::wstring& entry) {
    check(focused(d) == d.field, "the folder field has the focus");
    for (HWND next : {d.browse, d.kinds, d.list, d.report, d.detail, d.field})
        if (!tabTo(d, next)) return;
    const std::wstring report = textOf(d.field) + entry + L".txt";  // the field ends in "\"
    DeleteFileW(report.c_str());
    if (!tabTo(d, d.browse) || !tabTo(d, d.kinds) || !tabTo(d, d.list)) return;
    postKey(d.list, VK_HOME);
    check(waitFor([&] { return send(d.list, LB_GETCURSEL) == 0; }, 5000) && itemsOf(d.list) == Texts{entry},
          "Home selects the entry", entry);
    if (!tabTo(d, d.report)) return;
    postKey(d.report, VK_RETURN);
    check(waitFor([&] { return GetFileAttributesW(report.c_str()) != INVALID_FILE_ATTRIBUTES; }, 30000) &&
              !ownedDialog(d.window),
          "Enter on the report button writes the report", report);
}

// The kinds chosen and the 詳細 box, as a click on each would set them.
void choose(const Dialog& d, int kinds, bool detail) {
    send(d.kinds, CB_SETCURSEL, static_cast<WPARAM>(kinds));
    send(d.window, WM_COMMAND, MAKEWPARAM(IDC_FILE_KINDS, CBN_SELCHANGE), reinterpret_cast<LPARAM>(d.kinds));
    if ((send(d.detail, BM_GETCHECK) == BST_CHECKED) != detail) send(d.detail, BM_CLICK);
    check((send(d.detail, BM_GETCHECK) == BST_CHECKED) == detail, "the detail box clicked");
}

// The choice opened from the keyboard's focus; then Esc closes it and not
// the dialog.
void showChoice(const Dialog& d) {
    send(d.window, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(d.kinds), TRUE);
    send(d.kinds, CB_SHOWDROPDOWN, TRUE);
    check(send(d.kinds, CB_GETDROPPEDSTATE) == TRUE, "the choice opens");
}
void hideChoice(const Dialog& d) {
    postKey(d.kinds, VK_ESCAPE);
    check(waitFor([&] { return send(d.kinds, CB_GETDROPPEDSTATE) == FALSE; }, 5000) && IsWindowVisible(d.window),
          "Esc closes the choice, not the dialog");
}

void endToEnd(const Dialog& d, const std::wstring& game, const std::wstring& other) {
    const std::wstring folder = game + L"\\Scenario\\";
    const Texts scenarios = {L"broken.scx", L"sample.scx", L"UPPER.SCX", L"with_image.scx", L"日本語のシナリオ.scx"};

    // As it opens: the registry's folder, its *.scx files (no other file, no
    // folder) sorted without regard to case, the focus in the field.
    checkDialogTexts(d);
    check(textOf(d.field) == folder, "the field shows the registry's folder and \\Scenario\\", textOf(d.field));
    listShows(d, scenarios, "the list holds the folder's scenarios");
    check(focused(d) == d.field, "the folder field has the focus");
    check(send(d.kinds, CB_GETCURSEL) == 0 && send(d.detail, BM_GETCHECK) == BST_UNCHECKED,
          "*.scx listed, the standard report");

    pick(d, other + L"\\", other);
    listShows(d, {L"other.scx"}, "the list shows the picked folder");

    // Enter in the field lists the typed folder.
    setText(d.field, folder);
    enter(d, d.field);
    listShows(d, scenarios, "Enter in the field lists the typed folder", 10000);
    check(textOf(d.field) == folder, "the field keeps the typed text", textOf(d.field));

    // No selection: nothing happens.  Reports (gui_e2e.sh compares them with
    // the native ones), twice for one file; refused scenarios' messages.
    send(d.list, LB_SETCURSEL, static_cast<WPARAM>(-1));
    check(send(d.report, BM_CLICK, 0, 0, 60000) != -1 && !ownedDialog(d.window), "no selection: no message");
    const std::pair<std::wstring, const wchar_t*> reports[] = {
        {L"sample.scx", nullptr}, {L"日本語のシナリオ.scx", nullptr}, {L"UPPER.SCX", nullptr},
        {L"sample.scx", nullptr}, {L"with_image.scx", imageMessage},  {L"broken.scx", L"解凍エラーです"},
        {L"UPPER.SCX", nullptr}};
    for (const auto& [entry, message] : reports) {
        DeleteFileW((folder + entry + L".txt").c_str());  // so that the report must be written again
        if (!message)
            reportWithoutMessage(d, entry);
        else if (select(d, entry))
            if (const HWND box = reportMessage(d, message)) clickAway(box, IDOK, "OK closes the message box");
    }

    // Enter on the list changes nothing; the about command behind it (0x001F:
    // the low four bits are the system's) shows when Enter has been handled.
    setText(d.field, other + L"\\");
    enter(d, d.list);
    HWND about = openAbout(d, IDM_ABOUTBOX | 0xF);
    listShows(d, scenarios, "Enter on the list leaves the list as it was");
    check(textOf(d.field) == other + L"\\", "the field keeps the typed text", textOf(d.field));
    if (about) {
        check(!IsWindowEnabled(d.window), "the about box is modal");
        postKey(about, VK_ESCAPE);
        check(waitGone(about) && IsWindowEnabled(d.window), "Esc closes the about box");
    }

    // Esc is swallowed: the about command behind it finds the dialog open.
    postKey(d.field, VK_ESCAPE);
    if ((about = openAbout(d, IDM_ABOUTBOX))) clickAway(about, IDOK, "OK closes the about box");
    close(d);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    const std::vector<std::wstring> args(argv + 1, argv + argc);
    const std::wstring steps =
        L" e2e:2 start:4 keyboard:1 list:2 pick:2 choose:2 drop:1 arguments:0 show-dialog:0 "
        L"show-choice:0 hide-choice:0 show-about:0 show-message:1 show-drop:0 hide:0 close:0 ";
    std::vector<std::pair<std::wstring, std::vector<std::wstring>>> plan;  // each step with its words
    for (std::size_t i = 0; i < args.size();) {
        const std::size_t at = steps.find(L" " + args[i] + L":");
        const std::size_t words = at == std::wstring::npos ? args.size() : steps[at + args[i].size() + 2] - L'0';
        if (args.size() - i - 1 < words) {
            std::fprintf(stderr, "usage: gui_driver STEP [WORDS] [STEP [WORDS]]... (see its source)\n");
            return 2;
        }
        plan.push_back({args[i],
                        {args.begin() + static_cast<std::ptrdiff_t>(i) + 1,
                         args.begin() + static_cast<std::ptrdiff_t>(i + 1 + words)}});
        i += 1 + words;
    }
    if (plan.size() == 1 && plan[0].first == L"arguments") {  // vantor.exe given files: their boxes, and no dialog
        answer(nullptr, L"broken.scx\r\n解凍エラーです");
        // (A message box's caption differs only in case, and a closed one may linger hidden.)
        const HWND h = FindWindowExW(nullptr, nullptr, L"#32770", L"Vantor");
        check(!h || !GetDlgItem(h, IDC_SCENARIO_LIST), "no dialog is shown");
        std::printf("%d check(s) failed\n", failures);
        return failures == 0 ? 0 : 1;
    }
    const Dialog d = mainDialog();
    for (const auto& [step, w] : plan) {
        if (step == L"e2e") endToEnd(d, w[0], w[1]);
        if (step == L"start") started(d, w[0], std::stoi(w[1]), w[2] == L"1", w[3]);
        if (step == L"keyboard") keyboard(d, w[0]);
        if (step == L"list") {  // typed, then Enter
            setText(d.field, w[0]);
            enter(d, d.field);
            if (listShows(d, {w[1]}, "Enter in the field lists the typed folder", 10000)) reportWithoutMessage(d, w[1]);
        }
        if (step == L"pick") {
            pick(d, w[0], w[0].back() == L'\\' ? w[0].substr(0, w[0].size() - 1) : w[0]);
            if (listShows(d, {w[1]}, "the list shows the picked folder", 10000)) reportWithoutMessage(d, w[1]);
        }
        if (step == L"choose") choose(d, std::stoi(w[0]), w[1] == L"1");
        if (step == L"drop") dropped(d, w[0]);
        if (step == L"show-drop") check(ownedDialog(d.window, 30000), "the dropped file's message box appears");
        if (step == L"show-dialog") checkDialogTexts(d);
        if (step == L"show-choice") showChoice(d);
        if (step == L"hide-choice") hideChoice(d);
        if (step == L"show-about") openAbout(d, IDM_ABOUTBOX);
        if (step == L"show-message" && select(d, w[0])) reportMessage(d, imageMessage);
        if (step == L"hide" && check(ownedDialog(d.window), "an owned window is open"))
            clickAway(ownedDialog(d.window), IDOK, "OK closes it");
        if (step == L"close") close(d);
    }
    std::printf("%d check(s) failed\n", failures);
    return failures == 0 ? 0 : 1;
}
