// vantor-report's terminal on POSIX systems.
#include <fcntl.h>
#include <iconv.h>
#include <langinfo.h>
#include <unistd.h>

#include <cerrno>
#include <clocale>
#include <csignal>

#include "cli/console.h"
#include "report/cp932_text.h"

namespace vantor::cli {
namespace {

// The length of the well-formed UTF-8 sequence at `i`, and its code point;
// 0 when none starts there.
std::size_t utf8Sequence(std::string_view s, std::size_t i, std::uint32_t& cp) {
    const auto b0 = static_cast<unsigned char>(s[i]);
    const std::size_t length = b0 >= 0xC2 && b0 <= 0xDF   ? 2
                               : b0 >= 0xE0 && b0 <= 0xEF ? 3
                               : b0 >= 0xF0 && b0 <= 0xF4 ? 4
                                                          : 0;
    if (length == 0 || i + length > s.size()) return 0;
    cp = b0 & (0x7Fu >> length);
    for (std::size_t k = 1; k < length; ++k) {
        const auto b = static_cast<unsigned char>(s[i + k]);
        if ((b & 0xC0) != 0x80) return 0;
        cp = (cp << 6) | (b & 0x3Fu);
    }
    constexpr std::uint32_t lowest[] = {0, 0, 0x80, 0x800, 0x10000};
    if (cp < lowest[length] || (cp >= 0xD800 && cp <= 0xDFFF) || cp > 0x10FFFF) return 0;
    return length;
}

void escape(std::string& out, unsigned char byte) {
    constexpr char hex[] = "0123456789abcdef";
    out += "\\x";
    out += hex[byte >> 4];
    out += hex[byte & 15];
}

// A Unix path is already in the terminal's encoding: written as it is, but
// for its control characters, raw (C0, DEL, a lone 0x80..0x9F) or as UTF-8
// (U+0080..U+009F).
std::string printablePath(std::string_view path) {
    std::string out;
    out.reserve(path.size());
    for (std::size_t i = 0; i < path.size();) {
        const auto byte = static_cast<unsigned char>(path[i]);
        std::uint32_t cp = 0;
        const std::size_t sequence = byte >= 0x80 ? utf8Sequence(path, i, cp) : 0;
        if (sequence > 0) {
            for (std::size_t k = 0; k < sequence; ++k)
                cp <= 0x9F ? escape(out, static_cast<unsigned char>(path[i + k])) : void(out += path[i + k]);
            i += sequence;
            continue;
        }
        if (byte < 0x20 || (byte >= 0x7F && byte <= 0x9F))
            escape(out, byte);
        else
            out += path[i];
        ++i;
    }
    return out;
}

// The program's cp932 text in the locale's encoding.  A locale of plain
// ASCII (the C locale of cron or env -i) could show it only as question
// marks: UTF-8 is what such output is read as.
std::string inLocale(std::string_view cp932) {
    const std::string utf8 = cp932ToUtf8(cp932);
    const char* codeset = nl_langinfo(CODESET);
    const std::string_view name = codeset ? codeset : "";
    if (name.empty() || name == "UTF-8" || name == "ANSI_X3.4-1968" || name == "ASCII" || name == "US-ASCII")
        return utf8;
    // Any other locale: each character converted on its own, "?" where it
    // has none.
    const iconv_t cd = iconv_open(codeset, "UTF-8");
    if (cd == reinterpret_cast<iconv_t>(-1)) return utf8;
    std::string out;
    for (std::size_t i = 0; i < utf8.size();) {
        std::uint32_t cp = 0;
        const std::size_t n =
            static_cast<unsigned char>(utf8[i]) < 0x80 ? 1 : std::max<std::size_t>(utf8Sequence(utf8, i, cp), 1);
        char buffer[16];
        char* in = const_cast<char*>(utf8.data() + i);
        std::size_t inLeft = n, outLeft = sizeof buffer;
        char* o = buffer;
        if (iconv(cd, &in, &inLeft, &o, &outLeft) != static_cast<std::size_t>(-1) && inLeft == 0)
            out.append(buffer, static_cast<std::size_t>(o - buffer));
        else
            out += '?';
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
        i += n;
    }
    iconv_close(cd);
    return out;
}

// A descriptor 0, 1 or 2 closed by the caller would be the first one that
// open() hands out, and a file of ours would then take what is printed.
// Each is held by /dev/null, read-only, so that a write to it still fails.
void holdStandardDescriptors() {
    for (int fd = 0; fd <= 2; ++fd)
        if (::fcntl(fd, F_GETFD) < 0 && errno == EBADF) {
            const int held = ::open("/dev/null", O_RDONLY | O_NOCTTY);
            if (held >= 0 && held != fd) {
                ::dup2(held, fd);
                ::close(held);
            }
        }
}

}  // namespace

bool printLine(std::FILE* stream, const platform::Path& path, std::string_view cp932) {
    const std::string line = printablePath(path) + inLocale(cp932);
    return std::fwrite(line.data(), 1, line.size(), stream) == line.size() && std::fflush(stream) == 0;
}

void prepareStandardStreams() {
    holdStandardDescriptors();
    // A closed pipe or a file-size limit is a failed write, reported as one,
    // not a death that leaves files behind.
    std::signal(SIGPIPE, SIG_IGN);
    std::signal(SIGXFSZ, SIG_IGN);
    std::setlocale(LC_CTYPE, "");
}

}  // namespace vantor::cli

int main(int argc, char** argv) {
    vantor::cli::prepareStandardStreams();
    std::vector<vantor::cli::Argument> arguments;
    for (int i = 1; i < argc; ++i) arguments.push_back({argv[i], argv[i]});
    return vantor::cli::runCommandLine(arguments);
}
