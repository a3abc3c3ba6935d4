// The system's services on POSIX systems (Linux).
#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/file.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "platform/files.h"
#include "platform/memory.h"

extern char** environ;

namespace vantor::platform {
namespace {

// --- The files that a fatal signal removes -----------------------------------
//
// A signal handler may only read what is always consistent: each slot holds
// a record of its own (a heap copy of the path and the file's identity) or
// null, swapped atomically.  Slots are taken and given back with the signals
// held, so that a handler never sees a file half-registered.

struct Removal {
    dev_t device;
    ino_t inode;
    char path[1];  // allocated to its length
};

constexpr int removalSlots = 8;  // one run holds two files at the most
std::atomic<Removal*> removals[removalSlots];

// Every signal whose default action ends the process and that a handler can
// catch, but SIGPIPE and SIGXFSZ, which the programs turn into failed writes.
// Faults (SIGSEGV and the like) are taken only where no one else handles
// them (a sanitizer does).
const int fatalSignals[] = {
    SIGHUP,    SIGINT,  SIGQUIT, SIGILL,  SIGTRAP, SIGABRT,   SIGBUS,  SIGFPE, SIGUSR1,
    SIGSEGV,   SIGUSR2, SIGALRM, SIGTERM, SIGXCPU, SIGVTALRM, SIGPROF, SIGSYS,
#ifdef SIGPOLL
    SIGPOLL,
#endif
#ifdef SIGPWR
    SIGPWR,
#endif
#ifdef SIGSTKFLT
    SIGSTKFLT,
#endif
};

sigset_t fatalSet() noexcept {
    sigset_t set;
    sigemptyset(&set);
    for (int s : fatalSignals) sigaddset(&set, s);
    for (int s = SIGRTMIN; s <= SIGRTMAX; ++s) sigaddset(&set, s);
    return set;
}

// Holds the fatal signals back for its lifetime; one that arrives meanwhile
// is delivered when it ends.
class SignalsHeld {
public:
    SignalsHeld() noexcept {
        const sigset_t held = fatalSet();
        sigprocmask(SIG_BLOCK, &held, &previous_);
    }
    ~SignalsHeld() { sigprocmask(SIG_SETMASK, &previous_, nullptr); }
    SignalsHeld(const SignalsHeld&) = delete;
    SignalsHeld& operator=(const SignalsHeld&) = delete;

private:
    sigset_t previous_;
};

// Unlinks the entry at the removal's path if it is still the file we made.
bool removeIfStill(const char* path, dev_t device, ino_t inode) noexcept {
    struct stat status {};
    if (::lstat(path, &status) != 0) return errno == ENOENT || errno == ENOTDIR;  // already gone
    if (status.st_dev != device || status.st_ino != inode) return true;           // not ours any more
    return ::unlink(path) == 0 || errno == ENOENT;
}

bool removeIfStill(const std::string& path, const FileIdentity& identity) noexcept {
    return removeIfStill(path.c_str(), static_cast<dev_t>(identity.volume), static_cast<ino_t>(identity.index));
}

extern "C" void removeOwnFilesAndEnd(int signal) {
    for (auto& slot : removals)
        if (const Removal* r = slot.load()) removeIfStill(r->path, r->device, r->inode);
    // The handler was reset to the default action as it was entered: raised
    // again, the signal ends the process once this handler returns.
    ::raise(signal);
}

// Whether the program asked for its files to be removed on fatal signals;
// the handlers are put in place as the first file of ours is made, so that a
// run that makes none does not pay for them.
bool removalWanted = false;
bool handlersInPlace = false;

void putHandlersInPlace() noexcept {
    struct sigaction action {};
    action.sa_handler = removeOwnFilesAndEnd;
    action.sa_flags = static_cast<int>(SA_RESETHAND);
    action.sa_mask = fatalSet();
    for (int s = 1; s < NSIG; ++s) {
        if (!sigismember(&action.sa_mask, s)) continue;
        // Left alone: an ignored signal (nohup & co.) and one that someone
        // else handles, whose action is put back.
        struct sigaction previous {};
        if (::sigaction(s, &action, &previous) == 0 && previous.sa_handler != SIG_DFL)
            ::sigaction(s, &previous, nullptr);
    }
    handlersInPlace = true;
}

void hold(const std::string& path, dev_t device, ino_t inode) noexcept {
    if (removalWanted && !handlersInPlace) putHandlersInPlace();
    auto* r = static_cast<Removal*>(std::malloc(sizeof(Removal) + path.size()));
    if (!r) return;
    r->device = device;
    r->inode = inode;
    std::memcpy(r->path, path.c_str(), path.size() + 1);
    for (auto& slot : removals) {
        Removal* expected = nullptr;
        if (slot.compare_exchange_strong(expected, r)) return;
    }
    std::free(r);
}

void release(const std::string& path) noexcept {
    for (auto& slot : removals) {
        Removal* r = slot.load();
        if (r && path == r->path) {
            std::free(slot.exchange(nullptr));
            return;
        }
    }
}

FileIdentity identityOf(const struct stat& s) {
    return {static_cast<std::uint64_t>(s.st_dev), static_cast<std::uint64_t>(s.st_ino)};
}

FileFacts factsOf(const struct stat& s) {
    FileFacts f;
    f.identity = identityOf(s);
    f.length = static_cast<std::int64_t>(s.st_size);
    f.changed = static_cast<std::int64_t>(s.st_mtim.tv_sec) * 1000000000 + s.st_mtim.tv_nsec;
    f.regular = S_ISREG(s.st_mode);
    static const uid_t us = ::geteuid();
    f.leftByUs = f.regular && s.st_uid == us && s.st_nlink == 1;
    f.permissions = static_cast<unsigned>(s.st_mode) & 0666;
    f.group = static_cast<std::uint32_t>(s.st_gid);
    return f;
}

Lookup lookup(int result, const struct stat& status, FileFacts& out) {
    if (result != 0) return errno == ENOENT || errno == ENOTDIR ? Lookup::absent : Lookup::failed;
    out = factsOf(status);
    return Lookup::found;
}

// The permission bits that the user's umask lets a file of ours have.
mode_t withinUmask(unsigned bits) {
    static const mode_t mask = [] {
        const mode_t m = ::umask(077);
        ::umask(m);
        return m;
    }();
    return static_cast<mode_t>(bits) & ~mask;
}

// The folder that holds the entry at `path`.
std::string folderOf(const std::string& path) {
    const std::size_t at = fileNameAt(path);
    return at == 0 ? std::string(".") : path.substr(0, at);
}

int toFd(FileSystem::Handle h) { return static_cast<int>(h); }

Locking lockWithoutWaiting(int fd) {
    while (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        if (errno == EINTR) continue;
        // Anything but a lock held by another: a file system (or an object)
        // without such locks.
        return errno == EWOULDBLOCK ? Locking::busy : Locking::none;
    }
    return Locking::taken;
}

class PosixFiles final : public FileSystem {
public:
    Handle openForReading(const Path& path, bool followLinks) override {
        // O_NONBLOCK: a named pipe put at the path would otherwise hold the
        // open until some program writes to it.  It changes nothing for a
        // regular file.
        const int fd =
            ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC | (followLinks ? 0 : O_NOFOLLOW));
        struct stat status {};
        if (fd < 0) return noHandle;
        if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
            ::close(fd);
            return noHandle;
        }
        return fd;
    }

    bool facts(Handle file, FileFacts& out) override {
        struct stat status {};
        if (::fstat(toFd(file), &status) != 0) return false;
        out = factsOf(status);
        return true;
    }

    Lookup entryFacts(const Path& path, FileFacts& out) override {
        struct stat status {};
        return lookup(::lstat(path.c_str(), &status), status, out);
    }

    Lookup targetFacts(const Path& path, FileFacts& out) override {
        struct stat status {};
        return lookup(::stat(path.c_str(), &status), status, out);
    }

    std::int64_t readAt(Handle file, std::int64_t offset, void* buffer, std::size_t count) override {
        for (;;) {
            const ssize_t n = ::pread(toFd(file), buffer, count, static_cast<off_t>(offset));
            if (n >= 0 || errno != EINTR) return n;
        }
    }

    Locking tryLock(Handle file) override { return lockWithoutWaiting(toFd(file)); }

    // The folder's lock: every report beside the scenario is published in
    // turn, which takes a moment.
    Locking tryLockName(const Path& report, Handle& lock) override {
        const int fd = ::open(folderOf(report).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC | O_NOCTTY);
        if (fd < 0) return Locking::none;
        const Locking locking = lockWithoutWaiting(fd);
        if (locking == Locking::taken)
            lock = fd;
        else
            ::close(fd);
        return locking;
    }

    void unlockName(Handle lock) override { ::close(toFd(lock)); }

    void close(Handle file) override { ::close(toFd(file)); }

    std::vector<Path> namesBeginningWith(const Path& prefix) override {
        std::vector<Path> found;
        const std::string folder = folderOf(prefix);
        const std::size_t at = fileNameAt(prefix);
        const std::string_view name = std::string_view(prefix).substr(at);
        DIR* dir = ::opendir(folder.c_str());
        if (!dir) return found;
        while (const dirent* entry = ::readdir(dir)) {
            const std::string_view there = entry->d_name;
            if (there.size() > name.size() && there.substr(0, name.size()) == name)
                found.push_back(prefix.substr(0, at).append(there));
        }
        ::closedir(dir);
        return found;
    }

    Claim claimLeft(const Path& path, Handle& file, FileFacts& facts) override {
        struct stat status {};
        if (::lstat(path.c_str(), &status) != 0) return errno == ENOENT ? Claim::gone : Claim::other;
        if (!factsOf(status).leftByUs) return Claim::other;
        const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC | O_NOFOLLOW);
        if (fd < 0) return Claim::other;
        struct stat opened {};
        Claim claim = Claim::other;
        if (::fstat(fd, &opened) == 0 && identityOf(opened) == identityOf(status) && factsOf(opened).leftByUs) {
            switch (lockWithoutWaiting(fd)) {
                case Locking::taken: claim = Claim::claimed; break;
                case Locking::busy: claim = Claim::atWork; break;
                case Locking::none: break;  // no telling whether a run is at work with it
            }
        }
        if (claim != Claim::claimed) {
            ::close(fd);
            return claim;
        }
        facts = factsOf(opened);
        file = fd;
        return claim;
    }

    Created createNew(const Path& path, bool, Handle& file, FileIdentity& identity) override {
        SignalsHeld held;
        const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC | O_NOCTTY, 0600);
        if (fd < 0) {
            return errno == EEXIST ? Created::exists : errno == ENAMETOOLONG ? Created::nameTooLong : Created::failed;
        }
        struct stat status {};
        if (::fstat(fd, &status) != 0) {
            // Made a moment ago, under a name that only a process of this
            // user may take over: removed by that name.
            ::unlink(path.c_str());
            ::close(fd);
            return Created::failed;
        }
        hold(path, status.st_dev, status.st_ino);
        // Tells other runs that the file is at work (where the file system
        // has locks).
        static_cast<void>(lockWithoutWaiting(fd));
        identity = identityOf(status);
        file = fd;
        return Created::created;
    }

    bool write(Handle file, const void* data, std::size_t size) override {
        const char* p = static_cast<const char*>(data);
        while (size > 0) {
            const ssize_t n = ::write(toFd(file), p, size < 0x40000000 ? size : 0x40000000);
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) return false;
            p += n;
            size -= static_cast<std::size_t>(n);
        }
        return true;
    }

    bool shareLike(Handle file, const FileFacts& scenario) override {
        struct stat status {};
        if (::fstat(toFd(file), &status) != 0) return false;
        const unsigned bits = scenario.permissions & 0666;
        // Only a member of the group (or the superuser) may give it.
        const bool grouped = status.st_gid == scenario.group ||
                             ::fchown(toFd(file), static_cast<uid_t>(-1), static_cast<gid_t>(scenario.group)) == 0;
        // In a group of its own, the file lets its group read nothing, and
        // others (the scenario's group among them) what the scenario's group may.
        const unsigned mode = grouped ? bits : (bits & 0600) | (bits & (bits >> 3) & 0006);
        return ::fchmod(toFd(file), withinUmask(mode)) == 0;
    }

    Replaced replace(Handle file, const Path& path, const FileIdentity& identity, const Path& target,
                     FileIdentity& displaced) override {
        SignalsHeld held;
        // A close can be the first to report a failed write (NFS, quota).
        if (::close(toFd(file)) != 0) return Replaced::failed;
        struct stat ours {};
        if (::lstat(path.c_str(), &ours) != 0 || identityOf(ours) != identity) return Replaced::failed;
#if defined(__linux__) && defined(RENAME_EXCHANGE)
        // Renamed over an older file, a new file is written out to disk at
        // once (ext4 does so to guard replace-by-rename).  Exchanging the two
        // names gives the same result and leaves the writing to the usual
        // writeback; the older file, now at our name, is ours to remove.
        struct stat existing {};
        if (::lstat(target.c_str(), &existing) == 0 && S_ISREG(existing.st_mode) &&
            ::renameat2(AT_FDCWD, path.c_str(), AT_FDCWD, target.c_str(), RENAME_EXCHANGE) == 0) {
            struct stat now {};
            displaced = identityOf(::lstat(path.c_str(), &now) == 0 ? now : existing);
            release(path);
            hold(path, static_cast<dev_t>(displaced.volume), static_cast<ino_t>(displaced.index));
            return Replaced::exchanged;
        }
#endif
        if (std::rename(path.c_str(), target.c_str()) != 0) return Replaced::failed;
        release(path);
        return Replaced::renamed;
    }

    bool exchangeBack(const Path& path, const Path& target, const FileIdentity& nowAtPath) override {
#if defined(__linux__) && defined(RENAME_EXCHANGE)
        SignalsHeld held;
        if (::renameat2(AT_FDCWD, path.c_str(), AT_FDCWD, target.c_str(), RENAME_EXCHANGE) != 0) return false;
        release(path);
        hold(path, static_cast<dev_t>(nowAtPath.volume), static_cast<ino_t>(nowAtPath.index));
        return true;
#else
        static_cast<void>(path), static_cast<void>(target), static_cast<void>(nowAtPath);
        return false;
#endif
    }

    bool discard(Handle file, const Path& path, const FileIdentity& identity) override {
        SignalsHeld held;
        // Removed before it is closed: its lock tells other runs that it is
        // at work until its name is gone.
        const bool removed = removeIfStill(path, identity);
        if (file != noHandle) ::close(toFd(file));
        if (!removed) return false;  // still known to the signal handler
        release(path);
        return true;
    }

    bool removeEntry(const Path& path, const FileIdentity& identity) override { return removeIfStill(path, identity); }
};

}  // namespace

void* growMemory(void* block, std::size_t held, std::size_t& capacity) noexcept {
#ifdef __linux__
    constexpr std::size_t hugePageSize = std::size_t{2} << 20;
    const std::size_t rounded = (capacity + hugePageSize - 1) / hugePageSize * hugePageSize;
    void* p = block ? ::mremap(block, held, rounded, MREMAP_MAYMOVE)
                    : ::mmap(nullptr, rounded, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (p == MAP_FAILED) return nullptr;
    ::madvise(p, rounded, MADV_HUGEPAGE);  // only advice: without it, small pages
    capacity = rounded;
    return p;
#else
    static_cast<void>(held);
    return std::realloc(block, capacity);
#endif
}

void releaseMemory(void* block, std::size_t capacity) noexcept {
#ifdef __linux__
    ::munmap(block, capacity);
#else
    static_cast<void>(capacity);
    std::free(block);
#endif
}

std::size_t fileNameAt(const Path& path) noexcept {
    const std::size_t slash = path.rfind('/');
    return slash == Path::npos ? 0 : slash + 1;
}

FileSystem& systemFiles() {
    static PosixFiles files;
    return files;
}

void removeOwnFilesOnExit() noexcept { removalWanted = true; }

bool startViewer(const Path& file) {
    // A relative path that begins with "-" would be taken as an option.
    std::string name = file;
    if (!name.empty() && name[0] == '-') name.insert(0, "./");
    char opener[] = "xdg-open";
    char* argv[] = {opener, name.data(), nullptr};
    pid_t pid = 0;
    if (posix_spawnp(&pid, opener, nullptr, nullptr, argv, environ) != 0) return false;
    // xdg-open hands the file on and returns; waiting keeps no child behind
    // and tells whether it found a viewer.
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0)
        if (errno != EINTR) return false;
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}  // namespace vantor::platform
