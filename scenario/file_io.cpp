#include "scenario/file_io.h"

#ifdef _WIN32
// The one system call needed here, declared by hand: the core stays free of
// the system headers.
extern "C" __declspec(dllimport) int __stdcall MoveFileExA(const char* existing, const char* replacement,
                                                           unsigned long flags);
#endif

#if defined(__linux__)
#include <fcntl.h>     // AT_FDCWD
#include <sys/stat.h>  // lstat
#endif

namespace vantor {

#ifdef _WIN32
static int seek64(std::FILE* f, std::int64_t offset, int origin) { return _fseeki64(f, offset, origin); }
static std::int64_t tell64(std::FILE* f) { return _ftelli64(f); }
#else
static int seek64(std::FILE* f, std::int64_t offset, int origin) {
    return fseeko(f, static_cast<off_t>(offset), origin);
}
static std::int64_t tell64(std::FILE* f) { return static_cast<std::int64_t>(ftello(f)); }
#endif

std::int64_t fileLength(std::FILE* file) noexcept {
    if (seek64(file, 0, SEEK_END) != 0) return -1;
    const std::int64_t length = tell64(file);
    if (seek64(file, 0, SEEK_SET) != 0) return -1;
    return length;
}

bool seekTo(std::FILE* file, std::int64_t offset) noexcept { return seek64(file, offset, SEEK_SET) == 0; }

bool replaceFile(const std::string& from, const std::string& to) noexcept {
#ifdef _WIN32
    constexpr unsigned long replaceExisting = 0x1;  // MOVEFILE_REPLACE_EXISTING
    return MoveFileExA(from.c_str(), to.c_str(), replaceExisting) != 0;
#else
#if defined(__linux__) && defined(RENAME_EXCHANGE)
    // Renamed over an older file, a new file is written out to disk at once
    // (ext4 does so to guard replace-by-rename).  Exchanging the two names and
    // removing the older file gives the same result, equally in one step, and
    // leaves the writing to the usual writeback.
    struct stat existing {};
    if (lstat(to.c_str(), &existing) == 0 && S_ISREG(existing.st_mode) &&
        renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_EXCHANGE) == 0) {
        std::remove(from.c_str());  // the older file, now under the other name
        return true;
    }
#endif
    return std::rename(from.c_str(), to.c_str()) == 0;
#endif
}

bool writeWholeFile(const std::string& path, const char* data, std::size_t size) noexcept {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    bool ok = size == 0 || std::fwrite(data, 1, size, f) == size;
    ok = std::fflush(f) == 0 && ok;
    ok = std::fclose(f) == 0 && ok;
    if (!ok) std::remove(path.c_str());
    return ok;
}

}  // namespace vantor
