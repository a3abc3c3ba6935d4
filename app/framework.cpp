#include "app/framework.h"

#include <commctrl.h>
#include <mbctype.h>
#include <objbase.h>

#include <new>
#include <vector>

#include "app/dialog_rules.h"

namespace vantor::app {
namespace {

Application* theApplication = nullptr;

std::wstring modulePath(HINSTANCE instance) {
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        const DWORD n = GetModuleFileNameW(instance, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (n == 0) return {};
        if (n < buffer.size()) return std::wstring(buffer.data(), n);
        buffer.resize(buffer.size() * 2);
    }
}

// The text of a window.  The length asked first may be larger than the text.
std::wstring windowText(HWND window) {
    const int length = GetWindowTextLengthW(window);
    if (length <= 0) return {};
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const int copied = GetWindowTextW(window, text.data(), length + 1);
    text.resize(copied > 0 ? static_cast<std::size_t>(copied) : 0);
    return text;
}

}  // namespace

// --- Application ---------------------------------------------------------

Application::Application(std::string_view outOfMemoryText) noexcept : outOfMemoryText_(outOfMemoryText) {
    theApplication = this;
}

Application::~Application() {
    if (theApplication == this) theApplication = nullptr;
}

Application* Application::current() noexcept { return theApplication; }

int Application::run(HINSTANCE instance) noexcept {
    int exitCode = 1;
    try {
        instance_ = instance;
        name_ = applicationNameFrom(modulePath(instance));
        // The C runtime's multibyte functions follow the system's ANSI code
        // page, the code page of every text the program handles.
        _setmbcp(_MB_CP_ANSI);
        const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);  // the shell's folder picker
        INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES};
        InitCommonControlsEx(&controls);

        InitInstance();
        exitCode = ExitInstance();
        if (SUCCEEDED(com)) CoUninitialize();
    } catch (...) {
        exitCode = 1;
    }
    return exitCode;
}

// --- Texts and message boxes ---------------------------------------------

namespace {

std::wstring widen(unsigned codePage, std::string_view text) {
    if (text.empty()) return {};
    const int size = static_cast<int>(text.size());
    const int n = MultiByteToWideChar(codePage, 0, text.data(), size, nullptr, 0);
    if (n <= 0) return {};
    std::wstring wide(static_cast<std::size_t>(n), L'\0');
    MultiByteToWideChar(codePage, 0, text.data(), size, wide.data(), n);
    return wide;
}

}  // namespace

std::wstring widenCp932(std::string_view text) { return widen(932, text); }
std::wstring widenUtf8(std::string_view text) { return widen(CP_UTF8, text); }

std::string narrowUtf8(std::wstring_view text) {
    if (text.empty()) return {};
    const int size = static_cast<int>(text.size());
    const int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), size, nullptr, 0, nullptr, nullptr);
    std::string narrow(static_cast<std::size_t>(n > 0 ? n : 0), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), size, narrow.data(), n, nullptr, nullptr);
    return narrow;
}

void showMessageBox(HWND owner, const std::wstring& text) noexcept {
    const Application* application = Application::current();
    MessageBoxW(owner, text.c_str(), application ? application->name().c_str() : L"", MB_OK);
}

void showMessageBox(HWND owner, std::string_view cp932Text) noexcept {
    try {
        showMessageBox(owner, widenCp932(cp932Text));
    } catch (...) {
        // Without memory for the texts nothing can be shown.
    }
}

// --- List box and data exchange -------------------------------------------

void ListBox::resetContent() const noexcept { SendMessageW(window_, LB_RESETCONTENT, 0, 0); }

void ListBox::addString(const std::wstring& text) const noexcept {
    SendMessageW(window_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

int ListBox::currentSelection() const noexcept { return static_cast<int>(SendMessageW(window_, LB_GETCURSEL, 0, 0)); }

std::wstring ListBox::text(int index) const {
    const LRESULT length = SendMessageW(window_, LB_GETTEXTLEN, static_cast<WPARAM>(index), 0);
    if (length == LB_ERR || length <= 0) return {};
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const LRESULT copied =
        SendMessageW(window_, LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
    text.resize(copied > 0 ? static_cast<std::size_t>(copied) : 0);
    return text;
}

void DataExchange::control(int id, ListBox& control) const noexcept {
    if (!control.window()) control.attach(GetDlgItem(dialog_, id));
}

void DataExchange::text(int id, std::wstring& value) const {
    const HWND item = GetDlgItem(dialog_, id);
    if (saving_)
        value = windowText(item);
    else
        SetWindowTextW(item, value.c_str());
}

// --- Dialog -----------------------------------------------------------------

Dialog::~Dialog() {
    if (window_) DestroyWindow(window_);
}

INT_PTR Dialog::DoModal() {
    const Application* application = Application::current();
    const HINSTANCE instance = application ? application->instance() : GetModuleHandleW(nullptr);
    const bool disableParent = parent_ && IsWindowEnabled(parent_);
    if (disableParent) EnableWindow(parent_, FALSE);

    ending_ = false;
    result_ = IDCANCEL;
    const HWND created = CreateDialogParamW(instance, MAKEINTRESOURCEW(templateId_), parent_, dialogProcedure,
                                            reinterpret_cast<LPARAM>(this));
    if (!created) {
        if (disableParent) EnableWindow(parent_, TRUE);
        return -1;
    }
    if (!ending_ && !IsWindowVisible(created)) ShowWindow(created, SW_SHOWNORMAL);

    MSG message;
    while (!ending_) {
        const BOOL got = GetMessageW(&message, nullptr, 0, 0);
        if (got == -1) break;
        if (got == 0) {  // WM_QUIT: end this loop and pass the request on
            PostQuitMessage(static_cast<int>(message.wParam));
            break;
        }
        bool consumed = false;
        try {
            consumed = PreTranslateMessage(message);
        } catch (...) {
            consumed = false;
        }
        if (!consumed) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }

    // Give the activation back to the parent before this window goes.
    if (disableParent) EnableWindow(parent_, TRUE);
    if (parent_ && GetActiveWindow() == created) SetActiveWindow(parent_);
    SetWindowPos(created, nullptr, 0, 0, 0, 0,
                 SWP_HIDEWINDOW | SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    DestroyWindow(created);
    window_ = nullptr;
    return result_;
}

bool Dialog::PreTranslateMessage(MSG& message) { return window_ && IsDialogMessageW(window_, &message); }

BOOL Dialog::OnInitDialog() {
    UpdateData(false);
    return TRUE;
}

void Dialog::OnOK() {
    UpdateData(true);
    EndDialog(IDOK);
}

void Dialog::OnCancel() { EndDialog(IDCANCEL); }

bool Dialog::OnMessage(UINT, WPARAM, LPARAM, INT_PTR&) { return false; }

bool Dialog::UpdateData(bool saveAndValidate) {
    DataExchange exchange(window_, saveAndValidate);
    DoDataExchange(exchange);
    return true;
}

void Dialog::EndDialog(INT_PTR result) noexcept {
    result_ = result;
    ending_ = true;
    // Wakes the message loop when this runs inside a message sent from
    // another thread, which GetMessage handles without returning.
    if (window_) PostMessageW(window_, WM_NULL, 0, 0);
}

void Dialog::centre() const noexcept {
    RECT area{};
    if (parent_ && IsWindowVisible(parent_) && !IsIconic(parent_)) {
        GetWindowRect(parent_, &area);
    } else {
        MONITORINFO monitor{};
        monitor.cbSize = sizeof monitor;
        if (!GetMonitorInfoW(MonitorFromWindow(window_, MONITOR_DEFAULTTOPRIMARY), &monitor)) return;
        area = monitor.rcWork;
    }
    RECT own{};
    GetWindowRect(window_, &own);
    const int width = own.right - own.left;
    const int height = own.bottom - own.top;
    const int x = area.left + (area.right - area.left - width) / 2;
    const int y = area.top + (area.bottom - area.top - height) / 2;
    SetWindowPos(window_, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

INT_PTR Dialog::handle(UINT message, WPARAM wParam, LPARAM lParam) {
    INT_PTR result = FALSE;
    if (message == WM_INITDIALOG) {
        centre();
        return OnInitDialog();
    }
    if (OnMessage(message, wParam, lParam, result)) return result;
    if (message == WM_COMMAND && HIWORD(wParam) == BN_CLICKED) {
        switch (LOWORD(wParam)) {
            case IDOK: OnOK(); return TRUE;
            case IDCANCEL: OnCancel(); return TRUE;
            default: break;
        }
    }
    return FALSE;
}

INT_PTR CALLBACK Dialog::dialogProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    Dialog* dialog = nullptr;
    if (message == WM_INITDIALOG) {
        dialog = reinterpret_cast<Dialog*>(lParam);
        SetWindowLongPtrW(window, GWLP_USERDATA, lParam);
        dialog->window_ = window;
    } else {
        dialog = reinterpret_cast<Dialog*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    }
    if (!dialog) return FALSE;
    // No exception may leave a window procedure: the system cannot unwind
    // through its own frames.
    try {
        return dialog->handle(message, wParam, lParam);
    } catch (const std::bad_alloc&) {
        if (const Application* application = Application::current())
            showMessageBox(window, application->outOfMemoryText());
    } catch (...) {
    }
    return FALSE;
}

}  // namespace vantor::app

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    vantor::app::Application* application = vantor::app::Application::current();
    return application ? application->run(instance) : 1;
}
