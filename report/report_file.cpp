#include "report/report_file.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstring>
#include <memory>
#include <random>
#include <thread>
#include <utility>

namespace vantor {
namespace {

using platform::Created;

Path withSuffix(Path path, std::string_view suffix) {
    path.insert(path.end(), suffix.begin(), suffix.end());  // ASCII, the same in every encoding
    return path;
}

// Six letters that make a name unlikely to be taken (exclusive creation
// keeps it safe whatever they are).
std::string uniqueSuffix() {
    static const unsigned long long seed = [] {
        try {
            return (static_cast<unsigned long long>(std::random_device{}()) << 32) ^ std::random_device{}();
        } catch (...) {
            return static_cast<unsigned long long>(std::chrono::steady_clock::now().time_since_epoch().count());
        }
    }();
    static std::atomic<unsigned> counter{0};
    unsigned long long mix =
        seed ^ (++counter * 0x9E3779B97F4A7C15ULL) ^
        static_cast<unsigned long long>(std::chrono::steady_clock::now().time_since_epoch().count());
    mix ^= mix >> 29;
    std::string suffix = ".";
    for (int i = 0; i < 6; ++i, mix >>= 5) suffix += "abcdefghijklmnopqrstuvwxyz012345"[mix & 31];
    return suffix;
}

// The report's name, cut short enough for a suffix where the system finds
// it too long (but never inside a character, on systems that count them).
Path shortenedForSuffix(const Path& report, std::size_t suffixLength) {
    const std::size_t name = platform::fileNameAt(report), length = report.size() - name;
    std::size_t cut = length > suffixLength ? length - suffixLength : 0;
    // A UTF-8 continuation byte or a UTF-16 low surrogate continues a character.
    const auto continues = [&report, name](std::size_t at) {
        const auto unit = static_cast<std::uint32_t>(report[name + at]);
        return sizeof report[0] == 1 ? (unit & 0xC0) == 0x80 : (unit & 0xFC00) == 0xDC00;
    };
    while (cut > 0 && cut < length && continues(cut)) --cut;
    return report.substr(0, name + cut);
}

constexpr std::size_t uniqueSuffixLength = 7;  // "." and six letters

// Whether `name` is `prefix` with a suffix of uniqueSuffix()'s form.
bool hasUniqueSuffix(const Path& name, const Path& prefix) {
    if (name.size() != prefix.size() + uniqueSuffixLength || name.compare(0, prefix.size(), prefix) != 0) return false;
    if (name[prefix.size()] != '.') return false;
    for (std::size_t i = prefix.size() + 1; i < name.size(); ++i) {
        const auto c = static_cast<std::uint32_t>(name[i]);
        if (!((c >= 'a' && c <= 'z') || (c >= '0' && c <= '5'))) return false;
    }
    return true;
}

// Tries `attempt` until it succeeds, but no longer than the wait for a lock.
template <class Attempt>
bool tryForAWhile(Attempt attempt) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(ScenarioFile::lockWaitMilliseconds);
    for (;;) {
        if (attempt()) return true;
        if (std::chrono::steady_clock::now() >= until) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

// The turn of one run to put a report in place; after the wait for a lock
// it goes on without (every file is still its own, and checked).
class PublicationTurn {
public:
    PublicationTurn(FileSystem& files, const Path& report) : files_(files) {
        static_cast<void>(tryForAWhile([&] { return files.tryLockName(report, lock_) != platform::Locking::busy; }));
    }
    ~PublicationTurn() {
        if (lock_ != FileSystem::noHandle) files_.unlockName(lock_);
    }
    PublicationTurn(const PublicationTurn&) = delete;
    PublicationTurn& operator=(const PublicationTurn&) = delete;

private:
    FileSystem& files_;
    FileSystem::Handle lock_ = FileSystem::noHandle;
};

enum class Left { removed, atWork, other };

// Removes the file at `path` if a run of ours that was killed left it: of
// this user, with no other name, held by no run at work, holding what
// `ourStart` recognises.
Left removeIfLeft(FileSystem& files, const Path& path, std::size_t startSize,
                  bool (*ourStart)(std::span<const std::uint8_t>, const void*), const void* context) {
    FileSystem::Handle file = FileSystem::noHandle;
    FileFacts facts;
    switch (files.claimLeft(path, file, facts)) {
        case platform::Claim::claimed: break;
        case platform::Claim::gone: return Left::removed;
        case platform::Claim::atWork: return Left::atWork;
        case platform::Claim::other: return Left::other;
    }
    const std::size_t size = std::min(startSize, static_cast<std::size_t>(std::max<std::int64_t>(facts.length, 0)));
    const auto start = std::make_unique_for_overwrite<std::uint8_t[]>(size);
    // Removed while its lock is ours, so that no run takes it up meanwhile.
    const bool removed = files.readAt(file, 0, start.get(), size) == static_cast<std::int64_t>(size) &&
                         ourStart(std::span(start.get(), size), context) && files.removeEntry(path, facts.identity);
    files.close(file);
    return removed ? Left::removed : Left::other;
}

// A piece of this very body: its first bytes.
bool startsTheBody(std::span<const std::uint8_t> start, const void* body) {
    const auto& bodyStart = *static_cast<const std::span<const std::uint8_t>*>(body);
    return start.size() <= bodyStart.size() && std::equal(start.begin(), start.end(), bodyStart.begin());
}

// The first bytes of a report, 全 (cp932, or UTF-8), or nothing yet.
bool startsAReport(std::span<const std::uint8_t> start, const void*) {
    const std::string_view bytes(reinterpret_cast<const char*>(start.data()), start.size());
    return bytes.empty() || bytes.starts_with("\x91\x53") || bytes.starts_with("\xe5\x85\xa8");
}

}  // namespace

Path reportPathFor(const Path& scenario) { return withSuffix(scenario, ".txt"); }
Path temporaryPathFor(const Path& scenario) { return withSuffix(scenario, ".dat"); }

void removeLeftFiles(FileSystem& files, const Path& prefix, std::size_t startSize,
                     bool (*ourStart)(std::span<const std::uint8_t>, const void*), const void* context) {
    for (const Path& name : files.namesBeginningWith(prefix))
        if (hasUniqueSuffix(name, prefix)) static_cast<void>(removeIfLeft(files, name, startSize, ourStart, context));
}

// --- ScenarioFile ------------------------------------------------------------

ScenarioFile::~ScenarioFile() {
    if (handle_ != FileSystem::noHandle) files_.close(handle_);  // the lock goes with it
}

bool ScenarioFile::open(const Path& path) {
    handle_ = files_.openForReading(path, true);
    if (handle_ == FileSystem::noHandle) return false;
    return files_.facts(handle_, facts_);
}

bool ScenarioFile::lock() {
    // A file system without locks lets the run go on at once.
    return tryForAWhile([this] { return files_.tryLock(handle_) != platform::Locking::busy; });
}

Seen ScenarioFile::stillAt(const Path& path) const {
    FileFacts now, opened;
    switch (files_.targetFacts(path, now)) {
        case platform::Lookup::found: break;
        case platform::Lookup::absent: return Seen::no;
        case platform::Lookup::failed: return Seen::unknown;
    }
    if (!files_.facts(handle_, opened)) return Seen::unknown;
    const bool same =
        now.identity == facts_.identity && opened.length == facts_.length && opened.changed == facts_.changed;
    return same ? Seen::yes : Seen::no;
}

Seen ScenarioFile::isAt(const Path& path) const {
    FileFacts there;
    switch (files_.entryFacts(path, there)) {
        case platform::Lookup::found: return there.identity == facts_.identity ? Seen::yes : Seen::no;
        case platform::Lookup::absent: return Seen::no;
        case platform::Lookup::failed: break;
    }
    return Seen::unknown;
}

std::int64_t ScenarioFile::readAt(std::int64_t offset, void* buffer, std::size_t count) {
    return files_.readAt(handle_, offset, buffer, count);
}

// --- OwnFile -------------------------------------------------------------------

Created OwnFile::create(const Path& path, bool deleteOnClose) {
    if (exists()) return Created::failed;
    path_ = path;
    FileSystem::Handle handle = FileSystem::noHandle;
    platform::FileIdentity identity;
    const Created created = files_.createNew(path, deleteOnClose, handle, identity);
    if (created != Created::created) return created;
    handle_ = handle;
    identity_ = created_ = identity;
    return created;
}

Created OwnFile::createUnique(const Path& prefix, bool deleteOnClose) {
    Path shortened = prefix;
    for (int attempt = 0; attempt < 64; ++attempt) {
        const std::string suffix = uniqueSuffix();
        const Created created = create(withSuffix(shortened, suffix), deleteOnClose);
        if (created == Created::nameTooLong && shortened == prefix) {
            shortened = shortenedForSuffix(prefix, suffix.size());
            continue;
        }
        if (created != Created::exists) return created;
    }
    return Created::exists;
}

bool OwnFile::write(std::span<const std::uint8_t> bytes) { return files_.write(handle_, bytes.data(), bytes.size()); }

bool OwnFile::shareLike(const FileFacts& scenario) { return files_.shareLike(handle_, scenario); }

platform::Replaced OwnFile::replaceOver(const Path& target) {
    if (handle_ == FileSystem::noHandle) return platform::Replaced::failed;
    platform::FileIdentity displaced;
    const platform::Replaced how = files_.replace(handle_, path_, created_, target, displaced);
    handle_ = FileSystem::noHandle;  // closed by now
    pending_ = how != platform::Replaced::renamed;
    if (how == platform::Replaced::exchanged) identity_ = displaced;
    return how;
}

Seen OwnFile::isAt(const Path& target) const {
    FileFacts there;
    switch (files_.entryFacts(target, there)) {
        case platform::Lookup::found: return there.identity == created_ ? Seen::yes : Seen::no;
        case platform::Lookup::absent: return Seen::no;
        case platform::Lookup::failed: break;
    }
    return Seen::unknown;
}

void OwnFile::putBack(platform::Replaced how, const Path& target) {
    if (how == platform::Replaced::exchanged && files_.exchangeBack(path_, target, created_)) {
        identity_ = created_;
        return;
    }
    // Renamed (what stood there is gone), or not to be exchanged back: the
    // older file stays where it stands, and the file we created is removed
    // from the report's name while it is still there.
    path_ = target;
    identity_ = created_;
    pending_ = true;
}

bool OwnFile::remove() {
    if (!exists()) return true;
    if (!files_.discard(handle_, path_, identity_)) {
        handle_ = FileSystem::noHandle;  // closed by now
        pending_ = true;
        return false;
    }
    handle_ = FileSystem::noHandle;
    pending_ = false;
    return true;
}

// --- TemporaryFile ---------------------------------------------------------------

bool TemporaryFile::keep(std::span<const std::uint8_t> bytes) {
    if (!file_.exists()) {
        constexpr bool deleteOnClose = true;
        Created created = file_.create(path_, deleteOnClose);
        if (created == Created::exists) {
            switch (removeIfLeft(files_, path_, bytes.size(), startsTheBody, &bytes)) {
                case Left::removed: created = file_.create(path_, deleteOnClose); break;
                case Left::atWork: created = Created::exists; break;
                case Left::other: return false;
            }
            // A run at work holds the name (its file goes with it): one of our own.
            if (created == Created::exists) created = file_.createUnique(path_, deleteOnClose);
        }
        if (created != Created::created) return false;
        removeLeftFiles(files_, path_, bytes.size(), startsTheBody, &bytes);
    }
    return file_.write(bytes);
}

// --- PartialReport -------------------------------------------------------------

bool PartialReport::write(std::string_view bytes) {
    // Else removed by remove(), or with the holder.
    if (!file_.exists() && (file_.createUnique(reportPath_, false) != Created::created || !file_.shareLike(scenario_)))
        return false;
    return file_.write(std::span(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()));
}

namespace {

// The message when the scenario is not (or may not be) the file reported.
std::optional<Message> stillReported(const ScenarioFile& scenario, const Path& scenarioPath) {
    switch (scenario.stillAt(scenarioPath)) {
        case Seen::yes: return {};
        case Seen::no: return Message::scenarioReplaced;
        case Seen::unknown: break;
    }
    return Message::openFailed;
}

}  // namespace

std::optional<Message> PartialReport::publish(const ScenarioFile& scenario, const Path& scenarioPath) {
    const PublicationTurn turn(files_, reportPath_);
    // A scenario saved anew meanwhile is reported by the run that reads it.
    if (const auto failure = stillReported(scenario, scenarioPath)) return failure;
    const platform::Replaced how = file_.replaceOver(reportPath_);
    if (how == platform::Replaced::failed) return Message::createFailed;
    // Now the report's name must hold the file written here (a process of
    // this user may have put another at the partial file's name), and the
    // scenario must still be the file it describes.
    std::optional<Message> failure;
    if (file_.isAt(reportPath_) != Seen::yes)
        failure = Message::createFailed;
    else
        failure = stillReported(scenario, scenarioPath);
    if (failure) {
        file_.putBack(how, reportPath_);
        return failure;
    }
    removeLeftFiles(files_, reportPath_, 3, startsAReport, nullptr);
    return {};
}

}  // namespace vantor
