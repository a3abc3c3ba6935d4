#include "app/dialog_rules.h"

#include <algorithm>

namespace vantor::app {
namespace {

constexpr std::string_view scenarioFolderSuffix = "\\Scenario\\";
constexpr std::string_view scenarioPattern = "*.scx";
constexpr char folderSeparator = '\\';

}  // namespace

std::string withSeparator(std::string folder) {
    if (folder.empty() || folder.back() != folderSeparator) folder += folderSeparator;
    return folder;
}

std::string listPatternFor(const std::string& folder) { return withSeparator(folder) += scenarioPattern; }

std::string scenarioPathFor(const std::string& folder, const std::string& entryName) {
    return withSeparator(folder) += entryName;
}

std::string registryText(std::span<const char> buffer, bool readAsString) {
    if (!readAsString) return {};
    const auto end = std::find(buffer.begin(), buffer.end(), '\0');
    if (end == buffer.end()) return {};
    return std::string(buffer.begin(), end);
}

std::string initialFolderText(const std::string& gameFolder) {
    std::string text = gameFolder;
    text += scenarioFolderSuffix;
    return text;
}

IconPosition minimisedIconPosition(int clientWidth, int clientHeight, int iconWidth, int iconHeight) {
    return {(clientWidth - iconWidth + 1) / 2, (clientHeight - iconHeight + 1) / 2};
}

std::wstring applicationNameFrom(std::wstring_view modulePath) {
    const std::size_t slash = modulePath.find_last_of(L"\\/:");
    std::wstring_view name = slash == std::wstring_view::npos ? modulePath : modulePath.substr(slash + 1);
    const std::size_t dot = name.rfind(L'.');
    if (dot != std::wstring_view::npos && dot != 0) name = name.substr(0, dot);
    return std::wstring(name);
}

}  // namespace vantor::app
