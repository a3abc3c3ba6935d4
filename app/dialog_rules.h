// The main dialog's decisions, free of the window system so that they can be
// built and tested on any host.  The window code calls these and nothing else
// decides the same things.
#pragma once

#include <span>
#include <string>
#include <string_view>

namespace vantor::app {

// The folder with a trailing "\" unless its last byte already is 0x5C (a
// byte test: the trail byte of a double-byte character counts too).
std::string withSeparator(std::string folder);

// What LB_DIR is given to list a folder's scenarios.
std::string listPatternFor(const std::string& folder);

// The scenario file of a list entry (a plain file name) in a folder.
std::string scenarioPathFor(const std::string& folder, const std::string& entryName);

// The text of the registry value as read into the buffer: up to its first
// NUL.  A value that was not read, is not a string, or fills the whole
// buffer without a NUL gives the empty text.
std::string registryText(std::span<const char> buffer, bool readAsString);

// The folder field at start-up: the game folder followed by "\Scenario\".
std::string initialFolderText(const std::string& gameFolder);

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
