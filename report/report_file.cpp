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

}  // namespace

Path reportPathFor(const Path& scenario) { return withSuffix(scenario, ".txt"); }
Path temporaryPathFor(const Path& scenario) { return withSuffix(scenario, ".dat"); }

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
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(lockWaitMilliseconds);
    for (;;) {
        if (files_.tryLock(handle_)) return true;
        if (std::chrono::steady_clock::now() >= until) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

bool ScenarioFile::stillAt(const Path& path) const {
    FileFacts now, opened;
    return files_.targetFacts(path, now) && now.identity == facts_.identity && files_.facts(handle_, opened) &&
           opened.length == facts_.length && opened.changed == facts_.changed;
}

bool ScenarioFile::isAt(const Path& path) const {
    FileFacts there;
    return files_.entryFacts(path, there) && there.identity == facts_.identity;
}

std::int64_t ScenarioFile::readAt(std::int64_t offset, void* buffer, std::size_t count) {
    return files_.readAt(handle_, offset, buffer, count);
}

// --- OwnFile -------------------------------------------------------------------

Created OwnFile::create(const Path& path, unsigned permissions, bool deleteOnClose) {
    if (exists()) return Created::failed;
    path_ = path;
    FileSystem::Handle handle = FileSystem::noHandle;
    const Created created = files_.createNew(path, permissions, deleteOnClose, handle);
    if (created != Created::created) return created;
    handle_ = handle;
    FileFacts facts;
    if (!files_.facts(handle_, facts)) {
        static_cast<void>(remove());
        return Created::failed;
    }
    identity_ = facts.identity;
    return created;
}

Created OwnFile::createUnique(const Path& prefix, unsigned permissions, bool deleteOnClose) {
    Path shortened = prefix;
    for (int attempt = 0; attempt < 64; ++attempt) {
        const std::string suffix = uniqueSuffix();
        const Created created = create(withSuffix(shortened, suffix), permissions, deleteOnClose);
        if (created == Created::nameTooLong && shortened == prefix) {
            shortened = shortenedForSuffix(prefix, suffix.size());
            continue;
        }
        if (created != Created::exists) return created;
    }
    return Created::exists;
}

bool OwnFile::write(std::span<const std::uint8_t> bytes) { return files_.write(handle_, bytes.data(), bytes.size()); }

bool OwnFile::restrictLike(const FileFacts& scenario) { return files_.restrictLike(handle_, scenario); }

bool OwnFile::renameOver(const Path& target) {
    if (handle_ == FileSystem::noHandle) return false;
    const bool finished = files_.finish(std::exchange(handle_, FileSystem::noHandle));
    closed_ = true;
    if (!finished || !files_.replace(path_, target)) return false;
    closed_ = false;
    return true;
}

bool OwnFile::remove() {
    if (!exists()) return true;
    if (!files_.discard(handle_, path_, identity_)) {
        handle_ = FileSystem::noHandle;  // closed by now
        closed_ = true;
        return false;
    }
    handle_ = FileSystem::noHandle;
    closed_ = false;
    return true;
}

// --- TemporaryFile ---------------------------------------------------------------

bool TemporaryFile::keep(std::span<const std::uint8_t> bytes) {
    if (!file_.exists()) {
        constexpr unsigned ownerOnly = 0600;
        Created created = file_.create(path_, ownerOnly, true);
        FileFacts stale;
        if (created == Created::exists && isStalePieceOf(bytes, stale) && files_.removeEntry(path_, stale.identity))
            created = file_.create(path_, ownerOnly, true);
        // Another run at work holds the name (its file goes with it).
        if (created == Created::exists && !locked_) created = file_.createUnique(path_, ownerOnly, true);
        if (created != Created::created) return false;
    }
    return file_.write(bytes);
}

bool TemporaryFile::isStalePieceOf(std::span<const std::uint8_t> bodyStart, FileFacts& stale) {
    if (!files_.entryFacts(path_, stale) || !stale.leftByUs || stale.length <= 0) return false;
    const FileSystem::Handle handle = files_.openForReading(path_, false);
    if (handle == FileSystem::noHandle) return false;
    FileFacts opened;
    const std::size_t compared = std::min(bodyStart.size(), static_cast<std::size_t>(stale.length));
    const auto held = std::make_unique_for_overwrite<std::uint8_t[]>(compared);
    const bool same = files_.facts(handle, opened) && opened.identity == stale.identity &&
                      files_.readAt(handle, 0, held.get(), compared) == static_cast<std::int64_t>(compared) &&
                      std::memcmp(held.get(), bodyStart.data(), compared) == 0;
    files_.close(handle);
    return same;
}

// --- PartialReport -------------------------------------------------------------

bool PartialReport::write(std::string_view bytes) {
    // Else removed by remove(), or with the holder.
    if (!file_.exists() && (file_.createUnique(reportPath_, scenario_.permissions, false) != Created::created ||
                            !file_.restrictLike(scenario_)))
        return false;
    return file_.write(std::span(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()));
}

}  // namespace vantor
