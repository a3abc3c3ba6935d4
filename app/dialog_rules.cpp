#include "app/dialog_rules.h"

#include <algorithm>
#include <array>

namespace vantor::app {
namespace {

constexpr wchar_t folderSeparator = L'\\';
constexpr unsigned escapeKey = 0x1B;

// The extensions of each kind of file, in the order of FileKinds.
constexpr std::array<std::wstring_view, 7> extensions = {L"scx", L"aoe2scenario", L"scx2",        L"scn",
                                                         L"cpn", L"cpx",          L"aoe2campaign"};
struct ExtensionRange {
    std::size_t first, count;
};
constexpr std::array<ExtensionRange, fileKindsCount> kindExtensions = {
    {{0, 1}, {1, 1}, {2, 1}, {3, 1}, {4, 3}, {0, 7}}};

// The settings file's names of the kinds, in the order of FileKinds.
constexpr std::array<std::string_view, fileKindsCount> kindNames = {"scx", "aoe2scenario", "scx2",
                                                                    "scn", "campaigns",    "all"};

wchar_t asciiLower(wchar_t c) { return c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c - L'A' + L'a') : c; }

bool equalIgnoringAsciiCase(std::wstring_view a, std::wstring_view b) {
    return std::ranges::equal(a, b, [](wchar_t x, wchar_t y) { return asciiLower(x) == asciiLower(y); });
}

std::wstring_view withoutLastSeparator(std::wstring_view folder) {
    if (!folder.empty() && folder.back() == folderSeparator) folder.remove_suffix(1);
    return folder;
}

}  // namespace

std::wstring withSeparator(std::wstring folder) {
    if (folder.empty() || folder.back() != folderSeparator) folder += folderSeparator;
    return folder;
}

std::wstring listPatternFor(const std::wstring& folder) { return withSeparator(folder) += L'*'; }

std::wstring scenarioPathFor(const std::wstring& folder, const std::wstring& entryName) {
    return withSeparator(folder) += entryName;
}

bool listsFile(std::wstring_view name, FileKinds kinds) {
    const ExtensionRange range = kindExtensions[static_cast<std::size_t>(kinds)];
    return std::ranges::any_of(
        extensions.begin() + range.first, extensions.begin() + range.first + range.count,
        [&](std::wstring_view extension) {
            return name.size() > extension.size() && name[name.size() - extension.size() - 1] == L'.' &&
                   equalIgnoringAsciiCase(name.substr(name.size() - extension.size()), extension);
        });
}

std::wstring registryText(std::span<const wchar_t> buffer, bool readAsString) {
    if (!readAsString) return {};
    const auto end = std::find(buffer.begin(), buffer.end(), L'\0');
    if (end == buffer.end()) return {};
    return std::wstring(buffer.begin(), end);
}

std::wstring conquerorsScenarioFolder(const std::wstring& gameFolder) {
    return gameFolder.empty() ? std::wstring() : gameFolder + L"\\Scenario\\";
}

std::wstring hdScenarioFolder(const std::wstring& installFolder) {
    return installFolder.empty() ? std::wstring() : withSeparator(installFolder) + L"resources\\_common\\scenario\\";
}

std::wstring definitiveScenarioFolder(const std::wstring& profilesFolder, const std::wstring& profile) {
    return withSeparator(profilesFolder) + profile + L"\\resources\\_common\\scenario\\";
}

std::optional<std::size_t> latestProfile(std::span<const Profile> profiles) {
    std::optional<std::size_t> latest;
    for (std::size_t i = 0; i < profiles.size(); ++i) {
        const Profile& p = profiles[i];
        if (p.name.empty() || !std::ranges::all_of(p.name, [](wchar_t c) { return c >= L'0' && c <= L'9'; })) continue;
        const Profile* best = latest ? &profiles[*latest] : nullptr;
        if (!best || p.changed > best->changed || (p.changed == best->changed && p.name < best->name)) latest = i;
    }
    return latest;
}

DialogSettings parseSettings(std::string_view text) {
    DialogSettings settings;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        const std::size_t equals = line.find('=');
        if (equals == std::string_view::npos) continue;
        const std::string_view key = line.substr(0, equals), value = line.substr(equals + 1);
        if (key == "folder") settings.folder = value;
        if (key == "detail" && (value == "0" || value == "1")) settings.detailed = value == "1";
        if (const auto kind = std::ranges::find(kindNames, value); key == "kinds" && kind != kindNames.end())
            settings.kinds = static_cast<FileKinds>(kind - kindNames.begin());
    }
    return settings;
}

std::string formatSettings(const DialogSettings& settings) {
    std::string text = "; Vantor's settings\r\nfolder=";
    text += settings.folder;
    text += "\r\nkinds=";
    text += kindNames[static_cast<std::size_t>(settings.kinds)];
    text += settings.detailed ? "\r\ndetail=1\r\n" : "\r\ndetail=0\r\n";
    return text;
}

StartView startView(const StartFolders& folders, const DialogSettings& kept) {
    const std::pair<const std::wstring*, FileKinds> order[] = {{&folders.given, FileKinds::conquerors},
                                                               {&folders.conquerors, FileKinds::conquerors},
                                                               {&folders.definitive, FileKinds::definitive},
                                                               {&folders.hd, FileKinds::all},
                                                               {&folders.kept, kept.kinds}};
    for (const auto& [folder, kinds] : order) {
        if (folder->empty()) continue;
        if (!folders.kept.empty() && sameFolder(*folder, folders.kept)) return {*folder, kept.kinds};
        return {*folder, kinds};
    }
    return {std::wstring(), kept.kinds};
}

bool sameFolder(std::wstring_view a, std::wstring_view b) {
    return equalIgnoringAsciiCase(withoutLastSeparator(a), withoutLastSeparator(b));
}

bool swallowsKeyDown(unsigned key, bool choiceOpen) { return key == escapeKey && !choiceOpen; }

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
