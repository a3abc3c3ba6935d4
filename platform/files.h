// The system's services that a report needs: the scenario, read and never
// changed; files of our own beside it; their removal on every way out; the
// viewer.  One implementation per system (files_posix.cpp, files_win32.cpp)
// behind one interface, so that tests can put one of their own in front of
// it and make any call fail.
//
// Scenario folders are often shared: every name beside a scenario may belong
// to someone else.  A file of ours is created new and never through a link,
// and only the file we created is ever removed or renamed.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace vantor::platform {

// A path as the system spells it: bytes on POSIX, UTF-16 on Windows.
#ifdef _WIN32
using Path = std::wstring;
#else
using Path = std::string;
#endif

// Where the last component of a path (its file name) begins.
[[nodiscard]] std::size_t fileNameAt(const Path& path) noexcept;

// Which file a name or a handle leads to: the device and inode, or on Windows
// the volume's serial number and the file index.  Equal identities are one
// file, whatever its names.
struct FileIdentity {
    std::uint64_t volume = 0;
    std::uint64_t index = 0;
    friend bool operator==(const FileIdentity&, const FileIdentity&) = default;
};

// What the system tells of a file.
struct FileFacts {
    FileIdentity identity;
    std::int64_t length = 0;
    std::int64_t changed = 0;  // a stamp of its last change, compared only for equality
    bool regular = false;
    // A file that a run of ours may have left: of the user running us, with
    // no other name.  Never on Windows, where our temporary files go with
    // their handles.
    bool leftByUs = false;
    unsigned permissions = 0600;  // POSIX: the read and write bits of its mode
    std::uint32_t group = 0;      // POSIX: its group
};

enum class Created { created, exists, nameTooLong, failed };

// What a look at a name found: an entry, none, or no answer from the system
// (which every check takes as "something in the way").
enum class Lookup { found, absent, failed };

// A lock tried without waiting: taken, held by another, or none to be had
// (a file system without locks, or an object that takes none).
enum class Locking { taken, busy, none };

// How a file of ours was put at the report's name: renamed over what stood
// there, or exchanged with the regular file that stood there (which then
// stands at our file's name, still to be removed or put back).
enum class Replaced { renamed, exchanged, failed };

// A look at a file that a run of ours may have left: claimed (its lock is
// ours now), at work in a run that holds it, gone, or anything else (another
// user's, a second name, a link, no answer from the system).
enum class Claim { claimed, atWork, gone, other };

class FileSystem {
public:
    // A descriptor or a handle of the system.
    using Handle = std::intptr_t;
    static constexpr Handle noHandle = -1;

    virtual ~FileSystem() = default;

    // --- Reading -------------------------------------------------------------

    // A regular file opened for reading, or noHandle.  The open never waits
    // (a named pipe at the path would), and nobody is kept from changing or
    // removing the file meanwhile.  With followLinks false, a link at the
    // path is not opened.
    [[nodiscard]] virtual Handle openForReading(const Path& path, bool followLinks) = 0;
    [[nodiscard]] virtual bool facts(Handle file, FileFacts& out) = 0;
    // The entry at `path` itself, a link not followed.
    [[nodiscard]] virtual Lookup entryFacts(const Path& path, FileFacts& out) = 0;
    // The file that `path` leads to, links followed.
    [[nodiscard]] virtual Lookup targetFacts(const Path& path, FileFacts& out) = 0;
    // Up to `count` bytes at `offset`: the count read, 0 at the end, -1 on an error.
    [[nodiscard]] virtual std::int64_t readAt(Handle file, std::int64_t offset, void* buffer, std::size_t count) = 0;
    // The scenario's lock, which keeps other runs (of any user) out of its
    // files while they take turns.  It goes with the handle.
    [[nodiscard]] virtual Locking tryLock(Handle file) = 0;
    // The lock that puts the runs that publish one report (of any user,
    // whichever file stands at the scenario's name) in turn; given back by
    // unlockName().
    [[nodiscard]] virtual Locking tryLockName(const Path& report, Handle& lock) = 0;
    virtual void unlockName(Handle lock) = 0;
    virtual void close(Handle file) = 0;
    // The entries of the folder of `prefix` whose names begin with its name
    // and go on: where a run of ours that was killed may have left files of
    // its own (never on Windows, where they go with their handles).
    [[nodiscard]] virtual std::vector<Path> namesBeginningWith(const Path& prefix) = 0;
    // Opens the file at `path` if a run of ours may have left it there: a
    // regular file of this user with no other name, at work in no run (its
    // lock is taken now and held by `file`, with its facts, until closed).
    [[nodiscard]] virtual Claim claimLeft(const Path& path, Handle& file, FileFacts& facts) = 0;

    // --- Files of our own ---------------------------------------------------

    // `path` created new for reading and writing, never through a link,
    // readable and writable by its owner alone, and held by its own lock
    // while it is open; `identity` is the file's.  A deleteOnClose file is
    // removed by the system as it is closed (Windows; elsewhere it is removed
    // by discard()).  Until it is replaced or discarded, the file is removed
    // on every way out of the process.
    [[nodiscard]] virtual Created createNew(const Path& path, bool deleteOnClose, Handle& file,
                                            FileIdentity& identity) = 0;
    // Every byte; false on any error (a full disk, a file-size limit).
    [[nodiscard]] virtual bool write(Handle file, const void* data, std::size_t size) = 0;
    // Gives a file of ours the access that `scenario` gives, before its first
    // byte: the scenario's group and permission bits where the system lets
    // us give that group, else its bits with no group permissions and others
    // only what its group may; so no one reads it who cannot read the
    // scenario.  (On Windows a new file takes the folder's permissions.)
    [[nodiscard]] virtual bool shareLike(Handle file, const FileFacts& scenario) = 0;
    // Closes the file of ours open as `file` (at `path`, of `identity`) and
    // puts it at `target` in one step, replacing whatever entry stands there
    // (a link is replaced, never followed): on Windows the open file itself
    // is renamed, elsewhere the name once it is seen to be still ours.  When
    // `exchanged`, the regular file that stood at `target` stands at `path`,
    // as `displaced`, a file of ours from now on.  When `failed` the system
    // reported an error (a close can be the first to report a failed write),
    // or `path` was no longer ours: nothing was put at `target`.
    [[nodiscard]] virtual Replaced replace(Handle file, const Path& path, const FileIdentity& identity,
                                           const Path& target, FileIdentity& displaced) = 0;
    // Exchanges the entries at `path` and `target` back after replace();
    // the file of ours at `path` is then `nowAtPath`.
    [[nodiscard]] virtual bool exchangeBack(const Path& path, const Path& target, const FileIdentity& nowAtPath) = 0;
    // Removes a file of ours, still open (`file`) or closed (noHandle): only
    // while the entry at `path` is still `identity`, so that a file put there
    // since stays.  True when nothing of ours is left there.
    [[nodiscard]] virtual bool discard(Handle file, const Path& path, const FileIdentity& identity) = 0;
    // Removes the entry at `path` if it is still `identity` (a file that a
    // run of ours left); false when it could not.
    [[nodiscard]] virtual bool removeEntry(const Path& path, const FileIdentity& identity) = 0;
};

// The system's own.
FileSystem& systemFiles();

// From now on, a fatal signal (POSIX) or a console's Ctrl+C, Ctrl+Break or
// close (Windows) first removes every file of ours that still exists, then
// ends the process as it would have.  For programs.
void removeOwnFilesOnExit() noexcept;

// Hands a file to the user's viewer for text files (xdg-open; the shell's
// "open" verb on Windows) without waiting for it; false when none could be
// started or it refused the file.
[[nodiscard]] bool startViewer(const Path& file);

}  // namespace vantor::platform
