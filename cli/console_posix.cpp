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
        const Utf8Sequence sequence = utf8SequenceAt(path.substr(i));
        if (sequence.length > 0) {
            for (std::size_t k = 0; k < sequence.length; ++k)
                sequence.codePoint <= 0x9F ? escape(out, static_cast<unsigned char>(path[i + k]))
                                           : void(out += path[i + k]);
            i += sequence.length;
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
        const std::size_t n = std::max<std::size_t>(utf8SequenceAt(std::string_view(utf8).substr(i)).length, 1);
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
