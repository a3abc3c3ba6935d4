#include "scenario/campaign.h"

#include <algorithm>
#include <cstring>

#include "scenario/body.h"

namespace vantor {
namespace {

constexpr std::int64_t versionLength = 4;
constexpr std::int64_t fixedName = 256;
constexpr std::int64_t fixedEntryText = 255;
constexpr std::int64_t fixedEntryTail = 2;
constexpr std::uint16_t textMark = 0x0A60;

// Reads fields one after another where they stand; a field past the end of
// the file, or a failed read, stops it for good.
class FieldReader {
public:
    FieldReader(ScenarioSource& file, std::int64_t position) noexcept : file_(file), position_(position) {}

    std::uint64_t unsignedField(int bytes) {
        std::uint8_t b[8] = {};
        if (!read(b, bytes)) return 0;
        std::uint64_t value = 0;
        for (int i = bytes - 1; i >= 0; --i) value = (value << 8) | b[i];
        return value;
    }
    // A fixed-size text, up to its first NUL.
    std::string fixedText(std::int64_t size) {
        std::string text(static_cast<std::size_t>(size), '\0');
        if (!read(text.data(), size)) return {};
        text.resize(std::strlen(text.c_str()));
        return text;
    }
    // A marked text: the mark, an uint16 length, that many bytes.
    std::string markedText() {
        if (unsignedField(2) != textMark) outside_ = true;
        const auto length = static_cast<std::int64_t>(unsignedField(2));
        std::string text(static_cast<std::size_t>(ok() ? length : 0), '\0');
        if (!read(text.data(), static_cast<std::int64_t>(text.size()))) return {};
        return text;
    }
    void skip(std::int64_t count) {
        if (fits(count)) position_ += count;
    }
    [[nodiscard]] bool ok() const noexcept { return !outside_ && !failed_; }
    [[nodiscard]] bool readFailed() const noexcept { return failed_; }
    [[nodiscard]] std::int64_t position() const noexcept { return position_; }
    [[nodiscard]] std::int64_t remaining() const { return file_.length() - position_; }

private:
    bool fits(std::int64_t count) {
        if (ok() && (count < 0 || count > remaining())) outside_ = true;
        return ok();
    }
    bool read(void* buffer, std::int64_t count) {
        if (!fits(count)) return false;
        if (count > 0 && file_.readAt(position_, buffer, static_cast<std::size_t>(count)) != count) failed_ = true;
        position_ += count;
        return ok();
    }

    ScenarioSource& file_;
    std::int64_t position_;
    bool outside_ = false;
    bool failed_ = false;
};

// The smallest entry of each version, to check the count against the file
// before any entry is read.
std::int64_t smallestEntry(int version) {
    switch (version) {
        case 100: return 8 + 2 * fixedEntryText + fixedEntryTail;
        case 110: return 16 + 2 * 4;
        default: return 8 + 2 * 4;
    }
}

bool readEntry(FieldReader& r, int version, CampaignEntry& entry) {
    if (version == 100) {
        entry.size = static_cast<std::int32_t>(r.unsignedField(4));
        entry.offset = static_cast<std::int32_t>(r.unsignedField(4));
        entry.name = r.fixedText(fixedEntryText);
        entry.fileName = r.fixedText(fixedEntryText);
        r.skip(fixedEntryTail);
    } else {
        const int width = version == 110 ? 8 : 4;
        const std::uint64_t size = r.unsignedField(width), offset = r.unsignedField(width);
        // Past 2^62 no file is this long: kept from wrapping when added.
        entry.size = static_cast<std::int64_t>(std::min<std::uint64_t>(size, std::uint64_t{1} << 62));
        entry.offset = static_cast<std::int64_t>(std::min<std::uint64_t>(offset, std::uint64_t{1} << 62));
        entry.name = r.markedText();
        entry.fileName = r.markedText();
    }
    return r.ok();
}

}  // namespace

CampaignHead readCampaignHead(ScenarioSource& file) {
    CampaignHead head;
    char version[versionLength];
    if (file.length() < versionLength) return head;
    if (file.readAt(0, version, sizeof version) != versionLength) return {CampaignOutcome::readFailed};
    const std::string_view text(version, sizeof version);
    FieldReader r(file, versionLength);
    if (text == "1.00") {
        head.version = 100;
        head.name = r.fixedText(fixedName);
        head.count = static_cast<std::uint32_t>(r.unsignedField(4));
    } else if (text == "2.00") {
        head.version = 200;
        r.skip(4 * static_cast<std::int64_t>(r.unsignedField(4)));  // required packages
        head.name = r.fixedText(fixedName);
        head.count = static_cast<std::uint32_t>(r.unsignedField(4));
    } else if (text == "1.10") {
        // A scenario of Age of Empires starts so too: a campaign names itself
        // with a marked text behind its count.
        FieldReader mark(file, 8);
        if (mark.unsignedField(2) != textMark) return {mark.readFailed() ? CampaignOutcome::readFailed : head.outcome};
        head.version = 110;
        head.count = static_cast<std::uint32_t>(r.unsignedField(4));
        head.name = r.markedText();
    } else {
        return head;
    }
    head.utf8 = head.version != 100;
    head.entriesAt = r.position();
    head.outcome = CampaignOutcome::damaged;
    if (r.readFailed()) return {CampaignOutcome::readFailed};
    if (!r.ok() || head.count > r.remaining() / smallestEntry(head.version)) return head;

    // Every entry whole, and every scenario inside the file.
    for (std::uint32_t i = 0; i < head.count; ++i) {
        CampaignEntry entry;
        if (!readEntry(r, head.version, entry))
            return r.readFailed() ? CampaignHead{CampaignOutcome::readFailed} : head;
        if (entry.size < 0 || entry.offset < 0 || entry.offset > file.length() - entry.size) return head;
    }
    head.outcome = CampaignOutcome::campaign;
    return head;
}

bool readCampaignEntry(ScenarioSource& file, const CampaignHead& head, std::int64_t& position, CampaignEntry& entry) {
    FieldReader r(file, position);
    const bool read = readEntry(r, head.version, entry);
    position = r.position();
    return read;
}

std::int64_t CampaignPart::readAt(std::int64_t offset, void* buffer, std::size_t count) {
    if (offset < 0 || offset >= size_) return 0;
    const auto left = static_cast<std::size_t>(size_ - offset);
    return campaign_.readAt(offset_ + offset, buffer, std::min(count, left));
}

}  // namespace vantor
