#include "scenario/campaign.h"

#include <algorithm>
#include <cstring>
#include <utility>
#include <vector>

namespace vantor {
namespace {

constexpr std::int64_t versionLength = 4;
constexpr std::int64_t fixedName = 256;
constexpr std::int64_t fixedEntryText = 255;
constexpr std::int64_t fixedEntryTail = 2;
constexpr std::uint16_t textMark = 0x0A60;

// A fixed-size text, up to its first NUL.
std::string fixedText(SourceReader& r, std::int64_t size) {
    std::string text(static_cast<std::size_t>(size), '\0');
    if (!r.read(text.data(), size)) return {};
    text.resize(std::strlen(text.c_str()));
    return text;
}

// A marked text: the mark, an uint16 length, that many bytes.
std::string markedText(SourceReader& r) {
    if (r.unsignedField(2) != textMark) r.refuse();
    const auto length = static_cast<std::int64_t>(r.unsignedField(2));
    std::string text(static_cast<std::size_t>(r.ok() ? length : 0), '\0');
    if (!r.read(text.data(), static_cast<std::int64_t>(text.size()))) return {};
    return text;
}

// The smallest entry of each version, to check the count against the file
// before any entry is read.
std::int64_t smallestEntry(int version) {
    switch (version) {
        case 100: return 8 + 2 * fixedEntryText + fixedEntryTail;
        case 110: return 16 + 2 * 4;
        default: return 8 + 2 * 4;
    }
}

bool readEntry(SourceReader& r, int version, CampaignEntry& entry) {
    if (version == 100) {
        entry.size = static_cast<std::int32_t>(r.unsignedField(4));
        entry.offset = static_cast<std::int32_t>(r.unsignedField(4));
        entry.name = fixedText(r, fixedEntryText);
        entry.fileName = fixedText(r, fixedEntryText);
        r.skip(fixedEntryTail);
    } else {
        const int width = version == 110 ? 8 : 4;
        const std::uint64_t size = r.unsignedField(width), offset = r.unsignedField(width);
        // Past 2^62 no file is this long: kept from wrapping when added.
        entry.size = static_cast<std::int64_t>(std::min<std::uint64_t>(size, std::uint64_t{1} << 62));
        entry.offset = static_cast<std::int64_t>(std::min<std::uint64_t>(offset, std::uint64_t{1} << 62));
        entry.name = markedText(r);
        entry.fileName = markedText(r);
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
    SourceReader r(file, versionLength);
    if (text == "1.00") {
        head.version = 100;
        head.name = fixedText(r, fixedName);
        head.count = static_cast<std::uint32_t>(r.unsignedField(4));
    } else if (text == "2.00") {
        head.version = 200;
        r.skip(4 * static_cast<std::int64_t>(r.unsignedField(4)));  // required packages
        head.name = fixedText(r, fixedName);
        head.count = static_cast<std::uint32_t>(r.unsignedField(4));
    } else if (text == "1.10") {
        // A scenario of Age of Empires starts so too: a campaign names itself
        // with a marked text behind its count.
        SourceReader mark(file, 8);
        if (mark.unsignedField(2) != textMark) return {mark.readFailed() ? CampaignOutcome::readFailed : head.outcome};
        head.version = 110;
        head.count = static_cast<std::uint32_t>(r.unsignedField(4));
        head.name = markedText(r);
    } else {
        return head;
    }
    head.utf8 = head.version != 100;
    head.entriesAt = r.position();
    head.outcome = CampaignOutcome::damaged;
    if (r.readFailed()) return {CampaignOutcome::readFailed};
    if (!r.ok() || head.count > r.remaining() / smallestEntry(head.version)) return head;

    // Every entry whole, and every scenario inside the file, behind the
    // table and apart from every other: no byte is a scenario twice.
    std::vector<std::pair<std::int64_t, std::int64_t>> parts;  // where each scenario starts and ends
    for (std::uint32_t i = 0; i < head.count; ++i) {
        CampaignEntry entry;
        if (!readEntry(r, head.version, entry))
            return r.readFailed() ? CampaignHead{CampaignOutcome::readFailed} : head;
        if (entry.size < 0 || entry.offset < 0 || entry.offset > file.length() - entry.size) return head;
        if (entry.size > 0) parts.emplace_back(entry.offset, entry.offset + entry.size);
    }
    std::sort(parts.begin(), parts.end());
    std::int64_t free = r.position();
    for (const auto& [start, end] : parts) {
        if (start < free) return head;
        free = end;
    }
    head.outcome = CampaignOutcome::campaign;
    return head;
}

bool readCampaignEntry(ScenarioSource& file, const CampaignHead& head, std::int64_t& position, CampaignEntry& entry) {
    SourceReader r(file, position);
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
