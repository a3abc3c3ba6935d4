#include "app/given_files.h"

#include <shellapi.h>

namespace vantor::app {

void ReportActions::openInViewer(const platform::Path& reportPath) {
    ShellExecuteW(owner_, L"open", reportPath.c_str(), nullptr, nullptr, SW_SHOW);
}

void ReportActions::show(const std::string_view* scenarioName, Message message) const noexcept {
    try {
        std::wstring text = fileName_.empty() ? std::wstring() : fileName_ + L"\r\n";
        if (scenarioName) text += widenCp932(*scenarioName) + L"\r\n";
        text += widenCp932(messageText(message));
        showMessageBox(owner_, text);
    } catch (...) {
        // Without memory for the text nothing can be shown.
    }
}

std::vector<std::wstring> reportGivenFiles(const std::vector<std::wstring>& paths, HWND owner, ScenarioBody& body,
                                           const ReportOptions& options) {
    std::vector<std::wstring> folders;
    ReportActions actions(owner);
    for (const std::wstring& path : paths) {
        const DWORD attributes = GetFileAttributesW(path.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
            folders.push_back(path);
            continue;
        }
        const platform::Path file(path);
        if (paths.size() > 1) actions.name(file.substr(platform::fileNameAt(file)));
        static_cast<void>(writeReportFile(file, body, actions, options));  // every failure has shown its box
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
