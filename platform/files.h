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
    // The entry at `path` itself, a link not followed; false when there is none.
    [[nodiscard]] virtual bool entryFacts(const Path& path, FileFacts& out) = 0;
    // The file that `path` leads to, links followed; false when there is none.
    [[nodiscard]] virtual bool targetFacts(const Path& path, FileFacts& out) = 0;
    // Up to `count` bytes at `offset`: the count read, 0 at the end, -1 on an error.
    [[nodiscard]] virtual std::int64_t readAt(Handle file, std::int64_t offset, void* buffer, std::size_t count) = 0;
    // The lock that keeps other runs (of any user) out of this scenario's
    // files, taken without waiting: false while another holds it.  A file
    // system without locks counts as locked.  It goes with the handle.
    [[nodiscard]] virtual bool tryLock(Handle file) = 0;
    virtual void close(Handle file) = 0;

    // --- Files of our own ---------------------------------------------------

    // `path` created new for reading and writing, never through a link, with
    // the permission bits `permissions` (within the umask; POSIX only).  A
    // deleteOnClose file is removed by the system as it is closed (Windows;
    // elsewhere it is removed by discard()).  Until it is replaced or
    // discarded, the file is removed on every way out of the process.
    [[nodiscard]] virtual Created createNew(const Path& path, unsigned permissions, bool deleteOnClose,
                                            Handle& file) = 0;
    // Every byte; false on any error (a full disk, a file-size limit).
    [[nodiscard]] virtual bool write(Handle file, const void* data, std::size_t size) = 0;
    // Makes a file of ours readable by no one who cannot read `scenario`: the
    // scenario's group where the system lets us give it, else no group at all.
    [[nodiscard]] virtual bool restrictLike(Handle file, const FileFacts& scenario) = 0;
    // Closes a file of ours; false when the system reports there that the
    // file could not be written whole.
    [[nodiscard]] virtual bool finish(Handle file) = 0;
    // Renames a closed file of ours over `target`, replacing whatever entry
    // is there (a link is replaced, never followed).
    [[nodiscard]] virtual bool replace(const Path& ours, const Path& target) = 0;
    // Removes a file of ours, still open (`file`) or closed (noHandle): only
    // while the entry at `path` is still `identity`, so that a file put there
    // since stays.  True when nothing of ours is left there.
    [[nodiscard]] virtual bool discard(Handle file, const Path& path, const FileIdentity& identity) = 0;
    // Removes the entry at `path` if it is still `identity` (a stale file that
    // a run of ours left); false when it could not.
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
