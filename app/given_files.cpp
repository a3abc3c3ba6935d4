#include "app/given_files.h"

#include <shellapi.h>

#include "report/report_command.h"

namespace vantor::app {
namespace {

// What the core asks of the program while it reports given files: the
// message boxes (naming the file when there are several) and the viewer.
class GivenFileActions final : public UserActions {
public:
    explicit GivenFileActions(HWND owner) : owner_(owner) {}
    void name(std::wstring fileName) { fileName_ = std::move(fileName); }

    void showMessage(Message message) override { show(widenCp932(messageText(message))); }
    void showScenarioMessage(std::string_view fileName, Message message) override {
        show(widenCp932(fileName) + L"\r\n" + widenCp932(messageText(message)));
    }
    void openInViewer(const platform::Path& reportPath) override {
        ShellExecuteW(owner_, L"open", reportPath.c_str(), nullptr, nullptr, SW_SHOW);
    }

private:
    void show(const std::wstring& text) const {
        showMessageBox(owner_, fileName_.empty() ? text : fileName_ + L"\r\n" + text);
    }

    HWND owner_;
    std::wstring fileName_;
};

}  // namespace

std::vector<std::wstring> reportGivenFiles(const std::vector<std::wstring>& paths, HWND owner, ScenarioBody& body) {
    std::vector<std::wstring> folders;
    GivenFileActions actions(owner);
    for (const std::wstring& path : paths) {
        const DWORD attributes = GetFileAttributesW(path.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
            folders.push_back(path);
            continue;
        }
        const platform::Path file(path);
        if (paths.size() > 1) actions.name(file.substr(platform::fileNameAt(file)));
        static_cast<void>(writeReportFile(file, body, actions));  // every failure has shown its box
    }
    return folders;
}

std::vector<std::wstring> droppedFiles(HDROP drop) {
    std::vector<std::wstring> paths;
    const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < count; ++i) {
        std::wstring path(DragQueryFileW(drop, i, nullptr, 0) + 1, L'\0');
        path.resize(DragQueryFileW(drop, i, path.data(), static_cast<UINT>(path.size())));
        if (!path.empty()) paths.push_back(path);
    }
    DragFinish(drop);
    return paths;
}

std::vector<std::wstring> programArguments() {
    int count = 0;
    LPWSTR* arguments = CommandLineToArgvW(GetCommandLineW(), &count);
    std::vector<std::wstring> out;
    for (int i = 1; arguments && i < count; ++i) out.emplace_back(arguments[i]);
    LocalFree(arguments);
    return out;
}

}  // namespace vantor::app
