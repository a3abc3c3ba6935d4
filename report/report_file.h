// The files of one report beside its scenario: the scenario itself, read
// only; the temporary file that receives its body (x.scx.dat); the report
// (x.scx.txt), written under a name of its own and renamed over the report
// when it is whole.  Every name beside a scenario may be someone else's:
// what is found there is removed or replaced only when it is recognisably
// ours, and the scenario itself is never touched.  Whenever the system
// cannot tell what stands at a name, something is in the way.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

#include "platform/files.h"
#include "report/messages.h"
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

// What a look at a name told: yes, no, or nothing (the system failed).
enum class Seen { yes, no, unknown };

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
    // false when it goes on without.
    [[nodiscard]] bool lock();
    // Whether `path` still leads to this file, unchanged since it was opened.
    [[nodiscard]] Seen stillAt(const Path& path) const;
    // Whether the entry at `path` is this very file.
    [[nodiscard]] Seen isAt(const Path& path) const;

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

    [[nodiscard]] platform::Created create(const Path& path, bool deleteOnClose);
    // `prefix` and a unique suffix (the prefix's name cut short where the
    // system finds the whole too long); `exists` only when no free name was found.
    [[nodiscard]] platform::Created createUnique(const Path& prefix, bool deleteOnClose);
    // Whether a file of ours is open, or stands closed at path() to be removed.
    [[nodiscard]] bool exists() const noexcept { return handle_ != FileSystem::noHandle || pending_; }
    [[nodiscard]] const Path& path() const noexcept { return path_; }
    [[nodiscard]] bool write(std::span<const std::uint8_t> bytes);
    [[nodiscard]] bool shareLike(const FileFacts& scenario);
    // Closes the file and puts it at `target` (FileSystem::replace); what
    // stood there and now stands at path() is ours to remove from then on.
    [[nodiscard]] platform::Replaced replaceOver(const Path& target);
    // Whether the entry at `target` is the file we created.
    [[nodiscard]] Seen isAt(const Path& target) const;
    // Undoes replaceOver(): what stood at `target` goes back there where it
    // can, and the file we created is ours to remove again.
    void putBack(platform::Replaced how, const Path& target);
    // True when nothing of ours is left (also when there was nothing).
    [[nodiscard]] bool remove();

private:
    FileSystem& files_;
    FileSystem::Handle handle_ = FileSystem::noHandle;
    bool pending_ = false;  // a closed file of ours stands at path_
    Path path_;
    platform::FileIdentity identity_;  // of the file of ours at path_
    platform::FileIdentity created_;   // of the file we created
};

// Removes the files that runs of ours which were killed left beside the
// scenario under `prefix` and a unique suffix, when they hold what
// `ourStart` recognises in their first `startSize` bytes (or fewer, for a
// shorter file).
void removeLeftFiles(FileSystem& files, const Path& prefix, std::size_t startSize,
                     bool (*ourStart)(std::span<const std::uint8_t> start, const void* context), const void* context);

// The temporary file x.scx.dat: created new, readable by its owner alone, as
// the body's first bytes arrive.  A file found at its name is removed first
// only when it is a piece of this very body that a run of ours left; one
// that a run at work holds stays, and this run takes a name of its own
// (x.scx.dat.XXXXXX); anything else stays, and the body is not kept.
class TemporaryFile final : public BodySink {
public:
    TemporaryFile(FileSystem& files, Path path) : file_(files), files_(files), path_(std::move(path)) {}
    [[nodiscard]] bool keep(std::span<const std::uint8_t> bytes) override;
    // True when nothing of ours is left.
    [[nodiscard]] bool remove() { return file_.remove(); }

private:
    OwnFile file_;
    FileSystem& files_;
    Path path_;
};

// A report on its way to its file: written into a partial file of its own
// beside the report (a unique name, created as the first bytes arrive,
// readable by its owner alone until it has the scenario's group and bits,
// which it has before its first byte), put at the report's name only when
// every byte is written, so that the report appears whole or not at all,
// and an older one stays as it was otherwise.  The partial file goes with
// its holder unless published.
class PartialReport final : public ReportSink {
public:
    PartialReport(FileSystem& files, Path reportPath, const FileFacts& scenario)
        : file_(files), files_(files), reportPath_(std::move(reportPath)), scenario_(scenario) {}
    bool write(std::string_view bytes) override;
    // Puts the partial file at the report's name, in turn with every other
    // run that publishes there: only while `scenario` is still the file at
    // `scenarioPath`, and only the file written here; else what stood there
    // stays or is put back.  The message of what stood in the way, if
    // anything did.  Files of ours that killed runs left are removed then.
    [[nodiscard]] std::optional<Message> publish(const ScenarioFile& scenario, const Path& scenarioPath);
    // Removes what is left of ours (the partial file unless published, the
    // older report it replaced); true when nothing of it is left.
    [[nodiscard]] bool remove() { return file_.remove(); }

private:
    OwnFile file_;
    FileSystem& files_;
    Path reportPath_;
    FileFacts scenario_;
};

}  // namespace vantor
