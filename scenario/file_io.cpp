#include "scenario/file_io.h"

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>

#ifdef _WIN32
#include <io.h>

// The few system calls needed here, declared by hand: the core stays free of
// the system headers.
extern "C" {
struct VantorOverlapped {
    unsigned long long internal;
    unsigned long long internalHigh;
    unsigned long offset;
    unsigned long offsetHigh;
    void* event;
};
__declspec(dllimport) void* __stdcall CreateFileA(const char* name, unsigned long access, unsigned long share,
                                                  void* security, unsigned long disposition, unsigned long flags,
                                                  void* templateFile);
__declspec(dllimport) unsigned long __stdcall GetLastError();
__declspec(dllimport) int __stdcall DeleteFileA(const char* name);
__declspec(dllimport) int __stdcall MoveFileExA(const char* existing, const char* replacement, unsigned long flags);
__declspec(dllimport) int __stdcall LockFileEx(void* file, unsigned long flags, unsigned long reserved,
                                               unsigned long countLow, unsigned long countHigh,
                                               VantorOverlapped* overlapped);
__declspec(dllimport) unsigned long __stdcall GetCurrentProcessId();
}
#else
#include <signal.h>
#include <sys/file.h>
#include <unistd.h>
#endif

namespace vantor {
namespace {

// --- The files that a fatal signal removes -----------------------------------
//
// A signal handler may only read what is always consistent: each slot holds a
// path of its own (a heap copy) or null, swapped atomically.  Slots are taken
// and given back with the signals held, so a handler never sees a file
// half-registered.

constexpr int removalSlots = 4;  // one run holds two files at the most
std::atomic<char*> removalPaths[removalSlots];

#ifndef _WIN32
constexpr int fatalSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT};

// Holds the fatal signals back for its lifetime; one that arrives meanwhile
// is delivered when it ends.
class SignalsHeld {
public:
    SignalsHeld() noexcept {
        sigset_t held;
        sigemptyset(&held);
        for (int s : fatalSignals) sigaddset(&held, s);
        sigprocmask(SIG_BLOCK, &held, &previous_);
    }
    ~SignalsHeld() { sigprocmask(SIG_SETMASK, &previous_, nullptr); }
    SignalsHeld(const SignalsHeld&) = delete;
    SignalsHeld& operator=(const SignalsHeld&) = delete;

private:
    sigset_t previous_;
};

extern "C" void removeOwnFilesAndEnd(int signal) {
    for (auto& slot : removalPaths)
        if (const char* path = slot.load()) ::unlink(path);
    // The handler was reset to the default action as it was entered: raised
    // again, the signal ends the process once this handler returns.
    ::raise(signal);
}
#else
struct SignalsHeld {};
#endif

int holdForRemoval(const std::string& path) noexcept {
    char* copy = static_cast<char*>(std::malloc(path.size() + 1));
    if (!copy) return -1;
    std::memcpy(copy, path.c_str(), path.size() + 1);
    for (int i = 0; i < removalSlots; ++i) {
        char* expected = nullptr;
        if (removalPaths[i].compare_exchange_strong(expected, copy)) return i;
    }
    std::free(copy);
    return -1;
}

void releaseFromRemoval(int& slot) noexcept {
    if (slot >= 0) std::free(removalPaths[slot].exchange(nullptr));
    slot = -1;
}

// --- Platform calls ------------------------------------------------------------

#ifdef _WIN32
constexpr unsigned long genericRead = 0x80000000UL;
constexpr unsigned long genericWrite = 0x40000000UL;
constexpr unsigned long createNew = 1;
constexpr unsigned long attributeNormal = 0x80;
constexpr unsigned long openReparsePoint = 0x00200000UL;
constexpr unsigned long deleteOnCloseFlag = 0x04000000UL;
constexpr unsigned long deleteAccess = 0x00010000UL;
constexpr unsigned long errorFileExists = 80;
constexpr unsigned long errorAlreadyExists = 183;
constexpr unsigned long moveReplaceExisting = 0x1;
constexpr unsigned long lockExclusive = 0x2;

int closeFile(int fd) { return _close(fd); }
int unlinkFile(const char* path) { return DeleteFileA(path) ? 0 : -1; }
unsigned processId() { return static_cast<unsigned>(GetCurrentProcessId()); }
#else
int closeFile(int fd) { return ::close(fd); }
int unlinkFile(const char* path) { return ::unlink(path) == 0 || errno == ENOENT ? 0 : -1; }
unsigned processId() { return static_cast<unsigned>(::getpid()); }
#endif

}  // namespace

// --- ScenarioFile --------------------------------------------------------------

ScenarioFile::~ScenarioFile() {
    if (fd_ >= 0) closeFile(fd_);  // the lock goes with the descriptor
}

bool ScenarioFile::open(const std::string& path) noexcept {
#ifdef _WIN32
    fd_ = _open(path.c_str(), _O_RDONLY | _O_BINARY | _O_NOINHERIT);
    struct _stati64 status {};
    if (fd_ < 0 || _fstati64(fd_, &status) != 0 || (status.st_mode & _S_IFMT) != _S_IFREG) goto refused;
#else
    // O_NONBLOCK: a named pipe put at the path would otherwise hold the open
    // until some program writes to it.  It changes nothing for a regular file.
    fd_ = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    struct stat status {};
    if (fd_ < 0 || ::fstat(fd_, &status) != 0 || !S_ISREG(status.st_mode)) goto refused;
    permissions_ = static_cast<unsigned>(status.st_mode) & 0666;
#endif
    length_ = static_cast<std::int64_t>(status.st_size);
    return true;
refused:
    if (fd_ >= 0) closeFile(fd_);
    fd_ = -1;
    return false;
}

bool ScenarioFile::lock() noexcept {
#ifdef _WIN32
    // Windows locks are mandatory: one byte far past any scenario's end keeps
    // other runs out without keeping anyone from reading the file.
    VantorOverlapped at{};
    at.offset = 0xFFFFFFFFUL;
    at.offsetHigh = 0x7FFFFFFFUL;
    const auto handle = reinterpret_cast<void*>(_get_osfhandle(fd_));
    return LockFileEx(handle, lockExclusive, 0, 1, 0, &at) != 0;
#else
    while (::flock(fd_, LOCK_EX) != 0) {
        if (errno == EINTR) continue;
        // A file system without locks: the files stay safe, as each is
        // created exclusively; only two runs at once may then disturb
        // each other.
        return errno == ENOLCK || errno == EOPNOTSUPP || errno == EINVAL;
    }
    return true;
#endif
}

std::int64_t ScenarioFile::read(void* buffer, std::size_t count) noexcept {
#ifdef _WIN32
    return _read(fd_, buffer, static_cast<unsigned>(count < 0x40000000 ? count : 0x40000000));
#else
    for (;;) {
        const ssize_t n = ::read(fd_, buffer, count);
        if (n >= 0 || errno != EINTR) return n;
    }
#endif
}

bool ScenarioFile::seek(std::int64_t offset) noexcept {
#ifdef _WIN32
    return _lseeki64(fd_, offset, SEEK_SET) == offset;
#else
    return ::lseek(fd_, static_cast<off_t>(offset), SEEK_SET) == offset;
#endif
}

// --- OwnFile -------------------------------------------------------------------

OwnFile::Outcome OwnFile::openNew(const std::string& path, unsigned mode, bool deleteOnClose) noexcept {
    if (exists_) return Outcome::failed;
    try {
        path_ = path;
    } catch (...) {
        return Outcome::failed;
    }
    SignalsHeld held;
#ifdef _WIN32
    (void)mode;
    // Not shared with anyone, and a reparse point at the name is the name's
    // own: it makes the creation fail instead of being followed.
    void* handle =
        CreateFileA(path.c_str(), genericRead | genericWrite | (deleteOnClose ? deleteAccess : 0), 0, nullptr,
                    createNew, attributeNormal | openReparsePoint | (deleteOnClose ? deleteOnCloseFlag : 0), nullptr);
    if (handle == reinterpret_cast<void*>(-1)) {
        const unsigned long error = GetLastError();
        return error == errorFileExists || error == errorAlreadyExists ? Outcome::exists : Outcome::failed;
    }
    fd_ = _open_osfhandle(reinterpret_cast<intptr_t>(handle), _O_BINARY);
    if (fd_ < 0) return Outcome::failed;
    deleteOnClose_ = deleteOnClose;
#else
    (void)deleteOnClose;
    fd_ = ::open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC | O_NOCTTY, mode);
    if (fd_ < 0) return errno == EEXIST ? Outcome::exists : Outcome::failed;
#endif
    exists_ = true;
    slot_ = holdForRemoval(path);
    return Outcome::created;
}

OwnFile::Outcome OwnFile::createTemporary(const std::string& path) noexcept {
    constexpr unsigned ownerOnly = 0600;
    const Outcome first = openNew(path, ownerOnly, true);
#ifdef _WIN32
    return first;
#else
    if (first != Outcome::exists) return first;
    // Removing a link removes the link itself, never its target; a file of
    // someone else, or one with another name too, is not ours to remove.
    struct stat status {};
    if (::lstat(path.c_str(), &status) != 0 || !S_ISREG(status.st_mode) || status.st_uid != ::geteuid() ||
        status.st_nlink != 1 || ::unlink(path.c_str()) != 0)
        return Outcome::exists;
    return openNew(path, ownerOnly, true);
#endif
}

OwnFile::Outcome OwnFile::createUnique(const std::string& prefix, unsigned mode) noexcept {
    static std::atomic<unsigned> counter{0};
    const auto now = static_cast<unsigned long long>(std::chrono::steady_clock::now().time_since_epoch().count());
    for (int attempt = 0; attempt < 64; ++attempt) {
        // Only unlikely to be taken: exclusive creation keeps it safe.
        unsigned long long mix =
            now ^ (static_cast<unsigned long long>(processId()) << 32) ^ (++counter * 0x9E3779B97F4A7C15ULL);
        mix ^= mix >> 29;
        char suffix[8] = ".";
        for (int i = 1; i < 7; ++i, mix >>= 5) suffix[i] = "abcdefghijklmnopqrstuvwxyz012345"[mix & 31];
        std::string path;
        try {
            path = prefix + suffix;
        } catch (...) {
            return Outcome::failed;
        }
        const Outcome outcome = openNew(path, mode, false);
        if (outcome != Outcome::exists) return outcome;
    }
    return Outcome::exists;
}

bool OwnFile::write(const void* data, std::size_t size) noexcept {
    const char* p = static_cast<const char*>(data);
    while (size > 0) {
        const std::size_t piece = size < 0x40000000 ? size : 0x40000000;
#ifdef _WIN32
        const int n = _write(fd_, p, static_cast<unsigned>(piece));
#else
        const ssize_t n = ::write(fd_, p, piece);
        if (n < 0 && errno == EINTR) continue;
#endif
        if (n <= 0) return false;
        p += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

bool OwnFile::remove() noexcept {
    if (!exists_) return true;
    SignalsHeld held;
    if (fd_ >= 0) closeFile(fd_);
    fd_ = -1;
    // A file that the system removed as it was closed is not looked for by
    // its name again: something else may stand there by now.
    if (!deleteOnClose_ && unlinkFile(path_.c_str()) != 0) return false;  // still known to the signal handler
    forget();
    return true;
}

void OwnFile::forget() noexcept {
    exists_ = false;
    releaseFromRemoval(slot_);
}

bool OwnFile::renameOver(const std::string& target) noexcept {
    if (fd_ < 0) return false;
    // A close can be the first to report a failed write (NFS, quota).
    const bool closed = closeFile(fd_) == 0;
    fd_ = -1;
    if (!closed) return remove();
    SignalsHeld held;
#ifdef _WIN32
    if (MoveFileExA(path_.c_str(), target.c_str(), moveReplaceExisting) == 0) return false;
#else
#if defined(__linux__) && defined(RENAME_EXCHANGE)
    // Renamed over an older file, a new file is written out to disk at once
    // (ext4 does so to guard replace-by-rename).  Exchanging the two names and
    // removing the older file, now under our name, gives the same result in
    // one step and leaves the writing to the usual writeback.
    struct stat existing {};
    if (::lstat(target.c_str(), &existing) == 0 && S_ISREG(existing.st_mode) &&
        ::renameat2(AT_FDCWD, path_.c_str(), AT_FDCWD, target.c_str(), RENAME_EXCHANGE) == 0) {
        if (unlinkFile(path_.c_str()) == 0) forget();  // else the destructor tries again
        return true;
    }
#endif
    if (std::rename(path_.c_str(), target.c_str()) != 0) return false;
#endif
    forget();
    return true;
}

void removeOwnFilesOnSignals() noexcept {
#ifndef _WIN32
    for (int s : fatalSignals) {
        struct sigaction previous {};
        if (::sigaction(s, nullptr, &previous) != 0 || previous.sa_handler == SIG_IGN) continue;  // nohup & co.
        struct sigaction action {};
        action.sa_handler = removeOwnFilesAndEnd;
        action.sa_flags = static_cast<int>(SA_RESETHAND);
        sigemptyset(&action.sa_mask);
        for (int other : fatalSignals) sigaddset(&action.sa_mask, other);
        ::sigaction(s, &action, nullptr);
    }
#endif
}

}  // namespace vantor
