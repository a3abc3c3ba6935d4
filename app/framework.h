// A thin application and dialog framework on Win32: one application object
// whose InitInstance runs the program, and modal dialogs built from
// templates with data exchange between controls and members.  The hook
// names are the usual ones of such frameworks (InitInstance, OnInitDialog,
// DoDataExchange, OnOK, OnCancel, PreTranslateMessage).
//
// Dialogs are created with the W functions, and their controls' texts (the
// folder field, the list) are UTF-16, so that Japanese resource texts and
// any file name read correctly whatever the system's ANSI code page.
#pragma once

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <string>
#include <string_view>

namespace vantor::app {

// The application: one global instance derived from this class.  Its
// constructor registers it; WinMain runs it.
class Application {
public:
    // `outOfMemoryText` (cp932) is the message shown when a dialog's handler
    // runs out of memory.
    explicit Application(std::string_view outOfMemoryText) noexcept;
    virtual ~Application();
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

    // Runs the program; the application ends when it returns (a program
    // made of modal dialogs needs no message loop of its own).
    virtual void InitInstance() = 0;
    virtual int ExitInstance() { return 0; }

    [[nodiscard]] HINSTANCE instance() const noexcept { return instance_; }
    // The executable's file name without its extension.
    [[nodiscard]] const std::wstring& name() const noexcept { return name_; }
    [[nodiscard]] std::string_view outOfMemoryText() const noexcept { return outOfMemoryText_; }

    static Application* current() noexcept;

    // Called by WinMain.
    int run(HINSTANCE instance) noexcept;

private:
    HINSTANCE instance_ = nullptr;
    std::wstring name_;
    std::string_view outOfMemoryText_;
};

// cp932 bytes as UTF-16 (the Microsoft mapping of code page 932).
std::wstring widenCp932(std::string_view text);
// UTF-8 as UTF-16, and back.
std::wstring widenUtf8(std::string_view text);
std::string narrowUtf8(std::wstring_view text);

// Every message box of the program: owned by `owner`, the application's
// name as caption, an OK button only, no icon.
void showMessageBox(HWND owner, std::string_view cp932Text) noexcept;
void showMessageBox(HWND owner, const std::wstring& text) noexcept;

// A list-box control attached to an existing window.
class ListBox {
public:
    void attach(HWND window) noexcept { window_ = window; }
    [[nodiscard]] HWND window() const noexcept { return window_; }

    void resetContent() const noexcept;
    // Adds an entry where the list's own order puts it (LBS_SORT).
    void addString(const std::wstring& text) const noexcept;
    // The selected index, or -1.
    [[nodiscard]] int currentSelection() const noexcept;
    [[nodiscard]] std::wstring text(int index) const;

private:
    HWND window_ = nullptr;
};

// One direction of data exchange between a dialog's controls and members.
class DataExchange {
public:
    DataExchange(HWND dialog, bool saveAndValidate) noexcept : dialog_(dialog), saving_(saveAndValidate) {}
    [[nodiscard]] bool saving() const noexcept { return saving_; }

    // Attaches `control` to the dialog item `id` (once).
    void control(int id, ListBox& control) const noexcept;
    // The whole text of the dialog item `id` to `value`, or `value` to it.
    void text(int id, std::wstring& value) const;

private:
    HWND dialog_;
    bool saving_;
};

// A modal dialog made from a dialog template.  DoModal creates it, runs its
// own message loop, which offers every queued message to
// PreTranslateMessage first, and destroys it when EndDialog was called.
// The dialog procedure finds the object through GWLP_USERDATA and lets no
// exception pass into the system.
class Dialog {
public:
    Dialog(int templateId, HWND parent) noexcept : templateId_(templateId), parent_(parent) {}
    virtual ~Dialog();
    Dialog(const Dialog&) = delete;
    Dialog& operator=(const Dialog&) = delete;

    INT_PTR DoModal();
    [[nodiscard]] HWND window() const noexcept { return window_; }

protected:
    // Hooks, with the framework's default behaviour.
    virtual void DoDataExchange(DataExchange&) {}
    // The message loop's filter: true when the message is consumed.  The
    // default hands the message to the dialog manager (keyboard navigation).
    virtual bool PreTranslateMessage(MSG& message);
    // Transfers the members to the controls; true lets the dialog manager
    // focus the first tab stop.
    virtual BOOL OnInitDialog();
    // IDOK (Enter): takes the controls into the members and ends the dialog.
    virtual void OnOK();
    // IDCANCEL (Esc, the close box, Alt+F4): ends the dialog.
    virtual void OnCancel();
    // The dialog's own message table, asked before the framework's handling;
    // true when handled, with `result` the dialog procedure's return value.
    virtual bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result);

    bool UpdateData(bool saveAndValidate);
    void EndDialog(INT_PTR result) noexcept;

private:
    static INT_PTR CALLBACK dialogProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR handle(UINT message, WPARAM wParam, LPARAM lParam);
    void centre() const noexcept;

    int templateId_;
    HWND parent_;
    HWND window_ = nullptr;
    bool ending_ = false;
    INT_PTR result_ = IDCANCEL;
};

}  // namespace vantor::app
