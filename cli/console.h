// What vantor-report needs of the system it runs on: its arguments, and a
// terminal (or a file) to tell the user things.  console_posix.cpp and
// console_win32.cpp hold each system's part, main.cpp the rest.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "platform/files.h"

namespace vantor::cli {

// An argument as an option (its UTF-8 text) and as a path (as the system
// spells it: on Windows, UTF-16 with every character the user typed).
struct Argument {
    std::string text;
    platform::Path path;
};

// The command: options, then each scenario; its exit status.
int runCommandLine(const std::vector<Argument>& arguments);

// Writes the path, then `cp932` (the program's own text: ": " and a message,
// or a line end), to `stream` in the encoding its reader expects: the
// locale's on POSIX (UTF-8 where the locale is plain ASCII), UTF-16 on a
// Windows console, else the system's code page.  Control characters of the
// path (C0, DEL, C1) are shown as \xNN, so that a file name cannot move the
// cursor, clear the screen or end a line.  False when the write failed.
[[nodiscard]] bool printLine(std::FILE* stream, const platform::Path& path, std::string_view cp932);

// The report's bytes go to standard output exactly as made.
void prepareStandardStreams();

}  // namespace vantor::cli
