// The files of one report: the scenario, read only, and the files created
// beside it.  Scenario folders are often shared, so every name beside a
// scenario may belong to someone else: a file of ours is created new, never
// through a link, readable by no one the scenario does not allow, and removed
// on every way out, a fatal signal included.  Paths are byte strings, as the
// user's system spells them (cp932 on a Japanese Windows).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace vantor {

// A scenario opened for reading.  Only a regular file is taken (a named pipe
// or a device would block or never end), and the open itself never waits.
// While it is held, lock() keeps other runs on the same scenario out of its
// files, on POSIX and Windows alike, across users.
class ScenarioFile {
public:
    ScenarioFile() = default;
    ScenarioFile(const ScenarioFile&) = delete;
    ScenarioFile& operator=(const ScenarioFile&) = delete;
    ~ScenarioFile();

    // False when the path cannot be opened or is not a regular file.
    [[nodiscard]] bool open(const std::string& path) noexcept;
    // Waits until no other run holds the scenario; false if locking failed.
    [[nodiscard]] bool lock() noexcept;

    [[nodiscard]] std::int64_t length() const noexcept { return length_; }
    // The permission bits (POSIX mode & 0666) that the report inherits.
    [[nodiscard]] unsigned permissions() const noexcept { return permissions_; }

    // Reads up to `count` bytes at the current position: the count read
    // (0 at the end), or -1 on an error.
    [[nodiscard]] std::int64_t read(void* buffer, std::size_t count) noexcept;
    [[nodiscard]] bool seek(std::int64_t offset) noexcept;

private:
    int fd_ = -1;
    std::int64_t length_ = 0;
    unsigned permissions_ = 0600;
};

// A file that this run created and nobody else: created exclusively
// (O_CREAT|O_EXCL|O_NOFOLLOW, or CREATE_NEW without following a reparse
// point), and removed when its holder lets it go, or when the process is
// ended by a signal while it exists.
class OwnFile {
public:
    enum class Outcome { created, exists, failed };

    OwnFile() = default;
    OwnFile(const OwnFile&) = delete;
    OwnFile& operator=(const OwnFile&) = delete;
    ~OwnFile() { (void)remove(); }

    // The temporary file: `path` created new, readable by its owner alone.
    // On POSIX a stale file of ours at that name (a regular file of the
    // current user, with no other name) is removed first; anything else
    // stands, and gives `exists`.  On Windows the file goes with its handle,
    // also when the process is ended, so that no stale file of ours can stand
    // there: anything at the name gives `exists` (under Wine a link cannot
    // be told from a file, and removing it would remove its target).
    [[nodiscard]] Outcome createTemporary(const std::string& path) noexcept;
    // `prefix` + a unique suffix, created new with the permission bits `mode`
    // (within the umask); `exists` only when no free name was found.
    [[nodiscard]] Outcome createUnique(const std::string& prefix, unsigned mode) noexcept;

    [[nodiscard]] bool exists() const noexcept { return exists_; }
    [[nodiscard]] const std::string& path() const noexcept { return path_; }

    // Writes every byte; false on any error (a full disk, a file-size limit).
    [[nodiscard]] bool write(const void* data, std::size_t size) noexcept;
    // Closes and deletes the file; true when nothing of it is left (also
    // when there was nothing to remove).
    [[nodiscard]] bool remove() noexcept;
    // Closes the file and renames it over `target`: a file or a link at
    // `target` is replaced, never written through.  Afterwards the file is
    // no longer ours to remove.  On failure it is removed.
    [[nodiscard]] bool renameOver(const std::string& target) noexcept;

private:
    Outcome openNew(const std::string& path, unsigned mode, bool deleteOnClose) noexcept;
    void forget() noexcept;

    int fd_ = -1;
    bool exists_ = false;
    bool deleteOnClose_ = false;  // Windows: the system removes it as it is closed
    std::string path_;
    int slot_ = -1;  // its place among the files removed on a fatal signal
};

// Makes the process remove every OwnFile that exists when SIGINT, SIGTERM,
// SIGHUP or SIGQUIT arrives, and then end by that signal as it would have.
// For programs; does nothing on Windows.
void removeOwnFilesOnSignals() noexcept;

}  // namespace vantor
