// Turning the program's cp932 texts into what a terminal or a Unix tool reads.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

namespace vantor::cli {

// cp932 to UTF-8.  A byte sequence that is not a cp932 character becomes
// U+FFFD.  With lfLineEnds, every CR LF becomes LF.
std::string cp932ToUtf8(std::string_view text, bool lfLineEnds = false);

// Writes a cp932 text to the terminal (or the file) behind `stream`, in the
// encoding it expects: the locale's on Unix, UTF-16 on a Windows console.
void writeConsoleText(std::FILE* stream, std::string_view text);

// Opens a file in the user's viewer: xdg-open on Linux, the shell's "open"
// verb on Windows.  Does not wait for the viewer.
void openWithViewer(const std::string& path);

}  // namespace vantor::cli
