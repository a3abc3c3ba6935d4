// Turning the program's cp932 texts into what a terminal or a Unix tool reads.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

#include "report/report_command.h"

namespace vantor::cli {

// cp932 to UTF-8.  A byte sequence that is not a cp932 character becomes
// U+FFFD.  With lfLineEnds, every CR LF becomes LF.
std::string cp932ToUtf8(std::string_view text, bool lfLineEnds = false);

// The report as UTF-8 with LF line ends, piece by piece: a character or a
// CR LF that a piece cuts in two is completed by the next piece.
class Utf8Encoder final : public ReportEncoder {
public:
    bool write(std::string_view cp932, ReportSink& next) override;
    bool finish(ReportSink& next) override;

private:
    std::string held_;
};

// A path as it can be shown: control characters as \xNN, so that a file name
// cannot move the cursor, clear the screen or end a line.
std::string printablePath(std::string_view path);

// Writes a cp932 text to the terminal (or the file) behind `stream`, in the
// encoding it expects: the locale's on Unix, UTF-16 on a Windows console.
void writeConsoleText(std::FILE* stream, std::string_view text);

// Opens a file in the user's viewer: xdg-open on Linux, the shell's "open"
// verb on Windows.  Does not wait for the viewer; false when it could not be
// started or refused the file.
bool openWithViewer(const std::string& path);

}  // namespace vantor::cli
