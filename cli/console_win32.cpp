// vantor-report's console on Windows.
#include <windows.h>
// after windows.h
#include <fcntl.h>
#include <io.h>

#include <string>

#include "cli/console.h"
#include "report/cp932_text.h"

// The Windows shell hands wildcards to the program as they are typed:
// the C runtime expands them, so that "vantor-report *.scx" works there too.
extern "C" {
int _dowildcard = -1;
}

namespace vantor::cli {
namespace {

std::wstring widenUtf8(std::string_view utf8) {
    if (utf8.empty()) return {};
    const int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(), n);
    return wide;
}

std::string narrow(unsigned codePage, std::wstring_view wide) {
    if (wide.empty()) return {};
    const int n =
        WideCharToMultiByte(codePage, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(codePage, 0, wide.data(), static_cast<int>(wide.size()), out.data(), n, nullptr, nullptr);
    return out;
}

// Control characters (C0, DEL, C1) as \xNN.
std::wstring printablePath(std::wstring_view path) {
    std::wstring out;
    for (const wchar_t c : path) {
        if (c >= 0x20 && (c < 0x7F || c > 0x9F)) {
            out += c;
            continue;
        }
        constexpr wchar_t hex[] = L"0123456789abcdef";
        out += L"\\x";
        out += hex[(c >> 4) & 15];
        out += hex[c & 15];
    }
    return out;
}

}  // namespace

bool printLine(std::FILE* stream, const platform::Path& path, std::string_view cp932) {
    const std::wstring line = printablePath(path) + widenUtf8(cp932ToUtf8(cp932));
    const HANDLE handle = GetStdHandle(stream == stderr ? STD_ERROR_HANDLE : STD_OUTPUT_HANDLE);
    DWORD mode = 0;
    if (GetConsoleMode(handle, &mode)) {
        std::fflush(stream);
        DWORD written = 0;
        return WriteConsoleW(handle, line.data(), static_cast<DWORD>(line.size()), &written, nullptr) != 0;
    }
    // A file or a pipe: the system's code page, as other programs write there.
    const std::string bytes = narrow(CP_ACP, line);
    return std::fwrite(bytes.data(), 1, bytes.size(), stream) == bytes.size() && std::fflush(stream) == 0;
}

void prepareStandardStreams() {
    _setmode(_fileno(stdout), _O_BINARY);  // report bytes go out exactly as made
}

}  // namespace vantor::cli

int wmain(int argc, wchar_t** argv) {
    vantor::cli::prepareStandardStreams();
    std::vector<vantor::cli::Argument> arguments;
    for (int i = 1; i < argc; ++i) {
        const std::wstring_view wide = argv[i];
        arguments.push_back({vantor::cli::narrow(CP_UTF8, wide), vantor::platform::Path(std::wstring(wide))});
    }
    return vantor::cli::runCommandLine(arguments);
}
