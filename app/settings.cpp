#include "app/settings.h"

#include "app/framework.h"
// after windows.h (framework.h), which it needs
#include <shlobj.h>

#include <array>
#include <span>

#include "report/report_file.h"

namespace vantor::app {
namespace {

// A settings file is a few lines; anything larger is not ours.
constexpr std::int64_t largestSettingsFile = 64 * 1024;

// The folder of the settings, or none.  With `create`, made when missing;
// a link there (a junction, a symbolic link) is never gone through.
std::wstring settingsFolder(bool create) {
    std::array<wchar_t, MAX_PATH> appData{};
    if (FAILED(SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, appData.data()))) return {};
    const std::wstring folder = withSeparator(appData.data()) + L"Vantor";
    if (create) CreateDirectoryW(folder.c_str(), nullptr);
    const DWORD attributes = GetFileAttributesW(folder.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY) ||
        (attributes & FILE_ATTRIBUTE_REPARSE_POINT))
        return {};
    return folder;
}

std::wstring settingsFile(bool create) {
    const std::wstring folder = settingsFolder(create);
    return folder.empty() ? folder : folder + L"\\settings.ini";
}

}  // namespace

DialogSettings loadSettings() {
    const std::wstring path = settingsFile(false);
    if (path.empty()) return {};
    platform::FileSystem& files = platform::systemFiles();
    const platform::FileSystem::Handle file = files.openForReading(path, false);
    if (file == platform::FileSystem::noHandle) return {};
    std::string text;
    platform::FileFacts facts;
    if (files.facts(file, facts) && facts.length <= largestSettingsFile) {
        text.resize(static_cast<std::size_t>(facts.length));
        const std::int64_t read = files.readAt(file, 0, text.data(), text.size());
        text.resize(read > 0 ? static_cast<std::size_t>(read) : 0);
    }
    files.close(file);
    return parseSettings(text);
}

bool saveSettings(const DialogSettings& settings) {
    const std::wstring path = settingsFile(true);
    if (path.empty()) return false;
    const std::string text = formatSettings(settings);
    // Removed with its holder unless put in place of the settings file (an
    // older settings file exchanged for it goes with the holder instead).
    OwnFile file(platform::systemFiles());
    return file.createUnique(path, false) == platform::Created::created &&
           file.write(std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size())) &&
           file.replaceOver(path) != platform::Replaced::failed;
}

}  // namespace vantor::app
