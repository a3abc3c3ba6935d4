// The main dialog's decisions, free of the window system so that they can be
// built and tested on any host.  The window code calls these and nothing else
// decides the same things.  Folders and file names are UTF-16, as the dialog
// holds them (wchar_t is wider elsewhere; the rules do not mind).
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace vantor::app {

// The folder with a trailing "\" unless its last character already is one.
std::wstring withSeparator(std::wstring folder);

// What the system is asked for to list a folder: every entry, which
// listsFile then sorts out.
std::wstring listPatternFor(const std::wstring& folder);

// The scenario file of a list entry (a plain file name) in a folder.
std::wstring scenarioPathFor(const std::wstring& folder, const std::wstring& entryName);

// The kinds of file the list shows, in the order of the dialog's choice.
enum class FileKinds { conquerors, definitive, hd, ageOfKings, campaigns, all };
constexpr int fileKindsCount = 6;

// Whether the list shows a file of this name (a plain file, neither hidden
// nor the system's): its extension, of any case, is one of the kinds'.
bool listsFile(std::wstring_view name, FileKinds kinds);

// The text of a registry value as read into the buffer: up to its first
// NUL.  A value that was not read, is not a string, or fills the whole
// buffer without a NUL gives the empty text.
std::wstring registryText(std::span<const wchar_t> buffer, bool readAsString);

// The Conquerors' scenario folder: the game folder followed by "\Scenario\"
// (none for no game folder).
std::wstring conquerorsScenarioFolder(const std::wstring& gameFolder);
// The HD Edition's: under the folder Steam installed it in.
std::wstring hdScenarioFolder(const std::wstring& installFolder);
// The Definitive Edition's, under the folder of its profiles
// (%USERPROFILE%\Games\Age of Empires 2 DE) and a profile's folder name.
std::wstring definitiveScenarioFolder(const std::wstring& profilesFolder, const std::wstring& profile);

// A folder in the Definitive Edition's folder of profiles whose scenario
// folder exists, and when that scenario folder last changed.
struct Profile {
    std::wstring name;
    std::uint64_t changed = 0;
};
// The profile to start in: of those named by a number (the player's id),
// the one whose scenario folder changed last (the first by name of equals).
std::optional<std::size_t> latestProfile(std::span<const Profile> profiles);

// What the program keeps for the next start, per user.  The folder is
// UTF-8, as the file holds it.
struct DialogSettings {
    std::string folder;  // the folder last listed
    FileKinds kinds = FileKinds::conquerors;
    bool detailed = false;  // the detailed report (the 詳細 box)
    bool operator==(const DialogSettings&) const = default;
};
// The settings file: "key=value" lines.  Unknown keys and values are passed
// over; a missing one keeps its default.
DialogSettings parseSettings(std::string_view text);
std::string formatSettings(const DialogSettings& settings);

// The scenario folders where the dialog may start, each empty when it is
// not there (no such edition, or its folder does not exist).
struct StartFolders {
    std::wstring given;  // a folder given to the program
    std::wstring conquerors;
    std::wstring definitive;
    std::wstring hd;
    std::wstring kept;  // the folder last listed
};
struct StartView {
    std::wstring folder;  // empty: none of them
    FileKinds kinds;
    bool operator==(const StartView&) const = default;
};
// The first folder there of: given, The Conquerors', the Definitive
// Edition's, the HD Edition's, the one last listed.  The kinds kept come
// back with the folder they were kept with; else the folder's edition
// decides (*.scx but for the Definitive Edition's and the HD Edition's).
StartView startView(const StartFolders& folders, const DialogSettings& kept);

// Whether two folder texts name one folder, as far as the text tells: a last
// "\" and the case of ASCII letters make no difference.
bool sameFolder(std::wstring_view a, std::wstring_view b);

// Esc never ends the dialog: its key-down is swallowed, unless the list of
// the kinds choice is open, which Esc closes.
bool swallowsKeyDown(unsigned key, bool choiceOpen);

// Where the icon is drawn in the client area of the minimised dialog:
// centred, rounding up, with division that truncates toward zero.
struct IconPosition {
    int x;
    int y;
    bool operator==(const IconPosition&) const = default;
};
IconPosition minimisedIconPosition(int clientWidth, int clientHeight, int iconWidth, int iconHeight);

// The application's name: the executable's file name without its folder
// and without its extension.  It is the caption of every message box.
std::wstring applicationNameFrom(std::wstring_view modulePath);

}  // namespace vantor::app
