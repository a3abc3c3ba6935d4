// The files of one report beside its scenario: the scenario itself, read
// only; the temporary file that receives its body (x.scx.dat); the report
// (x.scx.txt), written under a name of its own and renamed over the report
// when it is whole.  Every name beside a scenario may be someone else's:
// what is found there is removed or replaced only when it is recognisably
// ours, and the scenario itself is never touched.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "platform/files.h"
#include "report/report_buffer.h"
#include "scenario/extract.h"
#include "scenario/source.h"

namespace vantor {

using platform::FileFacts;
using platform::FileSystem;
using platform::Path;

// x.scx gives x.scx.txt and x.scx.dat.
Path reportPathFor(const Path& scenario);
Path temporaryPathFor(const Path& scenario);

// The scenario, open for reading.
class ScenarioFile final : public ScenarioSource {
public:
    explicit ScenarioFile(FileSystem& files) : files_(files) {}
    ~ScenarioFile() override;
    ScenarioFile(const ScenarioFile&) = delete;
    ScenarioFile& operator=(const ScenarioFile&) = delete;

    // False when the path cannot be opened or is not a regular file.
    [[nodiscard]] bool open(const Path& path);
    // Keeps other runs on this scenario out of its files while it is held:
    // waits for one that holds it, but never longer than lockWaitMilliseconds;
    // false when it goes on without (the files of a run are its own in any
    // case).
    [[nodiscard]] bool lock();
    // Whether `path` still leads to this file, unchanged since it was opened.
    [[nodiscard]] bool stillAt(const Path& path) const;
    // Whether the entry at `path` is this very file.
    [[nodiscard]] bool isAt(const Path& path) const;

    [[nodiscard]] const FileFacts& facts() const noexcept { return facts_; }
    [[nodiscard]] std::int64_t length() const override { return facts_.length; }
    [[nodiscard]] std::int64_t readAt(std::int64_t offset, void* buffer, std::size_t count) override;

    static constexpr int lockWaitMilliseconds = 3000;

private:
    FileSystem& files_;
    FileSystem::Handle handle_ = FileSystem::noHandle;
    FileFacts facts_;
};

// A file of ours beside the scenario, removed with its holder unless it was
// handed on.
class OwnFile {
public:
    explicit OwnFile(FileSystem& files) : files_(files) {}
    ~OwnFile() { static_cast<void>(remove()); }
    OwnFile(const OwnFile&) = delete;
    OwnFile& operator=(const OwnFile&) = delete;

    [[nodiscard]] platform::Created create(const Path& path, unsigned permissions, bool deleteOnClose);
    // `prefix` and a unique suffix (the prefix's name cut short where the
    // system finds the whole too long); `exists` only when no free name was found.
    [[nodiscard]] platform::Created createUnique(const Path& prefix, unsigned permissions, bool deleteOnClose);
    [[nodiscard]] bool exists() const noexcept { return handle_ != FileSystem::noHandle || closed_; }
    [[nodiscard]] const Path& path() const noexcept { return path_; }
    [[nodiscard]] bool write(std::span<const std::uint8_t> bytes);
    [[nodiscard]] bool restrictLike(const FileFacts& scenario);
    // Closes the file and renames it over `target`, after which it is no
    // longer ours to remove; false when the system reports a failure of
    // either (the file is then still ours).
    [[nodiscard]] bool renameOver(const Path& target);
    // True when nothing of ours is left (also when there was nothing).
    [[nodiscard]] bool remove();

private:
    FileSystem& files_;
    FileSystem::Handle handle_ = FileSystem::noHandle;
    bool closed_ = false;  // closed, not yet renamed or removed
    Path path_;
    platform::FileIdentity identity_;
};

// The temporary file x.scx.dat: created new, readable by its owner alone, as
// the body's first bytes arrive.  A file found at its name is removed first
// only when it is a piece of this very body that a run of ours left; anything
// else stays, and the body is not kept.  A run that goes on without the
// scenario's lock (another run holds it) takes a name of its own instead
// where the name is taken.
class TemporaryFile final : public BodySink {
public:
    TemporaryFile(FileSystem& files, Path path, bool locked)
        : file_(files), files_(files), path_(std::move(path)), locked_(locked) {}
    [[nodiscard]] bool keep(std::span<const std::uint8_t> bytes) override;
    // True when nothing of ours is left.
    [[nodiscard]] bool remove() { return file_.remove(); }

private:
    [[nodiscard]] bool isStalePieceOf(std::span<const std::uint8_t> bodyStart, FileFacts& stale);

    OwnFile file_;
    FileSystem& files_;
    Path path_;
    bool locked_;
};

// A report on its way to its file: written into a partial file of its own
// beside the report (a unique name, as readable as the scenario; created as
// the first bytes arrive), renamed over the report only when every byte is
// written, so that the report appears whole or not at all, and an older one
// stays as it was otherwise.  The partial file goes with its holder unless
// published.
class PartialReport final : public ReportSink {
public:
    PartialReport(FileSystem& files, Path reportPath, const FileFacts& scenario)
        : file_(files), reportPath_(std::move(reportPath)), scenario_(scenario) {}
    bool write(std::string_view bytes) override;
    // Renames the partial file over the report; false (the older report as
    // it was) when that failed.
    [[nodiscard]] bool publish() { return file_.renameOver(reportPath_); }
    // Removes the partial file unless it was published; true when nothing of
    // it is left.
    [[nodiscard]] bool remove() { return file_.remove(); }

private:
    OwnFile file_;
    Path reportPath_;
    FileFacts scenario_;
};

}  // namespace vantor
