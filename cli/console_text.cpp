#include "cli/console_text.h"

#include <cstdint>

#ifdef _WIN32
#include <windows.h>
// after windows.h, which it needs
#include <shellapi.h>
#else
#include <iconv.h>
#include <langinfo.h>
#include <spawn.h>
#include <sys/wait.h>
#include <cerrno>
extern char** environ;
#endif

namespace vantor::cli {
namespace {

bool isLeadByte(unsigned char byte) { return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC); }

// The bytes of one cp932 character starting at `p`: 1 or 2.
std::size_t characterLength(std::string_view text, std::size_t i) {
    if (!isLeadByte(static_cast<unsigned char>(text[i])) || i + 1 >= text.size()) return 1;
    const auto trail = static_cast<unsigned char>(text[i + 1]);
    return (trail >= 0x40 && trail <= 0xFC && trail != 0x7F) ? 2 : 1;
}

constexpr std::string_view replacementUtf8 = "\xEF\xBF\xBD";

#ifdef _WIN32
// One cp932 character as UTF-16, or nothing when it is not one.
std::wstring widen(std::string_view ch) {
    wchar_t buffer[4];
    const int n = MultiByteToWideChar(932, MB_ERR_INVALID_CHARS, ch.data(), static_cast<int>(ch.size()), buffer, 4);
    return n > 0 ? std::wstring(buffer, static_cast<std::size_t>(n)) : std::wstring();
}

std::wstring cp932ToWide(std::string_view text) {
    std::wstring out;
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t n = characterLength(text, i);
        const std::wstring w = widen(text.substr(i, n));
        out += w.empty() ? std::wstring(1, L'\xFFFD') : w;
        i += n;
    }
    return out;
}

std::string wideTo(unsigned codePage, const std::wstring& text) {
    if (text.empty()) return {};
    const int n =
        WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), out.data(), n, nullptr, nullptr);
    return out;
}
#else
// Converts one character at a time, so that a bad sequence costs only itself.
class Cp932Converter {
public:
    explicit Cp932Converter(const char* target) : cd_(iconv_open(target, "CP932")) {}
    ~Cp932Converter() {
        if (cd_ != reinterpret_cast<iconv_t>(-1)) iconv_close(cd_);
    }
    Cp932Converter(const Cp932Converter&) = delete;
    Cp932Converter& operator=(const Cp932Converter&) = delete;

    // Appends the character, or `fallback` when it has no conversion.
    void convert(std::string_view ch, std::string& out, std::string_view fallback) {
        char buffer[16];
        char* in = const_cast<char*>(ch.data());
        std::size_t inLeft = ch.size();
        char* o = buffer;
        std::size_t outLeft = sizeof buffer;
        if (cd_ != reinterpret_cast<iconv_t>(-1) &&
            iconv(cd_, &in, &inLeft, &o, &outLeft) != static_cast<std::size_t>(-1) && inLeft == 0) {
            out.append(buffer, static_cast<std::size_t>(o - buffer));
        } else {
            out += fallback;
        }
        if (cd_ != reinterpret_cast<iconv_t>(-1)) iconv(cd_, nullptr, nullptr, nullptr, nullptr);
    }

private:
    iconv_t cd_;
};

std::string convertCp932(std::string_view text, const char* target, std::string_view fallback, bool lfLineEnds) {
    Cp932Converter converter(target);
    std::string out;
    out.reserve(text.size() + text.size() / 2);
    for (std::size_t i = 0; i < text.size();) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if (byte < 0x80) {  // ASCII is the same in every target we write
            if (!(lfLineEnds && byte == '\r' && i + 1 < text.size() && text[i + 1] == '\n')) out += text[i];
            ++i;
            continue;
        }
        const std::size_t n = characterLength(text, i);
        converter.convert(text.substr(i, n), out, fallback);
        i += n;
    }
    return out;
}
#endif

}  // namespace

std::string cp932ToUtf8(std::string_view text, bool lfLineEnds) {
#ifdef _WIN32
    std::string out = wideTo(CP_UTF8, cp932ToWide(text));
    if (!lfLineEnds) return out;
    std::string lf;
    lf.reserve(out.size());
    for (std::size_t i = 0; i < out.size(); ++i)
        if (!(out[i] == '\r' && i + 1 < out.size() && out[i + 1] == '\n')) lf += out[i];
    return lf;
#else
    return convertCp932(text, "UTF-8", replacementUtf8, lfLineEnds);
#endif
}

bool Utf8Encoder::write(std::string_view cp932, ReportSink& next) {
    held_.append(cp932);
    // Up to the last whole character, and short of a CR whose LF may follow.
    std::size_t whole = 0;
    for (std::size_t i = 0; i < held_.size(); i += characterLength(held_, i)) {
        const bool cutCharacter = i + 1 == held_.size() && isLeadByte(static_cast<unsigned char>(held_[i]));
        if (cutCharacter || (i + 1 == held_.size() && held_[i] == '\r')) break;
        whole = i + characterLength(held_, i);
    }
    const std::string converted = cp932ToUtf8(std::string_view(held_).substr(0, whole), true);
    held_.erase(0, whole);
    return converted.empty() || next.write(converted);
}

bool Utf8Encoder::finish(ReportSink& next) {
    const std::string converted = cp932ToUtf8(held_, true);
    held_.clear();
    return converted.empty() || next.write(converted);
}

std::string printablePath(std::string_view path) {
    std::string out;
    out.reserve(path.size());
    for (const char c : path) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x20 && byte != 0x7F) {
            out += c;
            continue;
        }
        constexpr char hex[] = "0123456789abcdef";
        out += "\\x";
        out += hex[byte >> 4];
        out += hex[byte & 15];
    }
    return out;
}

void writeConsoleText(std::FILE* stream, std::string_view text) {
#ifdef _WIN32
    const std::wstring wide = cp932ToWide(text);
    HANDLE handle = GetStdHandle(stream == stderr ? STD_ERROR_HANDLE : STD_OUTPUT_HANDLE);
    DWORD mode = 0;
    if (GetConsoleMode(handle, &mode)) {
        std::fflush(stream);
        DWORD written = 0;
        WriteConsoleW(handle, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr);
        return;
    }
    const std::string bytes = wideTo(CP_ACP, wide);
    std::fwrite(bytes.data(), 1, bytes.size(), stream);
#else
    // A locale of plain ASCII (the C locale of cron or env -i) could show the
    // messages only as question marks: UTF-8 is what such output is read as.
    const char* codeset = nl_langinfo(CODESET);
    const bool ascii = !codeset || !*codeset || std::string_view(codeset) == "ANSI_X3.4-1968" ||
                       std::string_view(codeset) == "ASCII" || std::string_view(codeset) == "US-ASCII";
    const std::string bytes = convertCp932(text, ascii ? "UTF-8" : codeset, "?", false);
    std::fwrite(bytes.data(), 1, bytes.size(), stream);
#endif
}

bool openWithViewer(const std::string& path) {
#ifdef _WIN32
    // ShellExecute reports success as a value above 32.
    return reinterpret_cast<INT_PTR>(ShellExecuteA(nullptr, "open", path.c_str(), nullptr, nullptr, SW_SHOW)) > 32;
#else
    // A relative path that begins with "-" would be taken as an option.
    std::string file = path;
    if (!file.empty() && file[0] == '-') file.insert(0, "./");
    char opener[] = "xdg-open";
    char* argv[] = {opener, file.data(), nullptr};
    pid_t pid = 0;
    if (posix_spawnp(&pid, opener, nullptr, nullptr, argv, environ) != 0) return false;
    // xdg-open hands the file on and returns; waiting keeps no child behind
    // and tells whether it found a viewer.
    int status = 0;
    while (waitpid(pid, &status, 0) < 0)
        if (errno != EINTR) return false;
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
#endif
}

}  // namespace vantor::cli
