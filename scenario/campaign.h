// A campaign file: whole scenario files one after another, behind a table of
// entries that names each and says where its bytes stand.
//
//   version "1.00" (The Age of Kings, The Conquerors, the HD editions: *.cpn, *.cpx)
//     0     4      version
//     4     256    campaign name, up to its first NUL
//     260   uint32 n, the number of scenarios
//     264   n × (int32 size, int32 offset, 255 name, 255 file name, 2):
//                  texts up to their first NUL, in the writer's code page
//   version "2.00" (the Definitive Edition: *.aoe2campaign)
//     0     4      version
//     4     uint32 k, then k int32: the packages it requires
//           256    campaign name, up to its first NUL
//           uint32 n
//           n × (uint32 size, uint32 offset, name, file name)
//   version "1.10" (the Definitive Edition of Age of Empires: *.aoecpn)
//     0     4      version
//     4     uint32 n
//     8     campaign name
//           n × (uint64 size, uint64 offset, name, file name)
//
// The texts of "2.00" and "1.10" are marked: a 2-byte mark (0x0A60), an
// uint16 length, then that many bytes of UTF-8.  Offsets count from the start
// of the file; each scenario stands whole in the file, behind the table,
// and no two share a byte.
#pragma once

#include <cstdint>
#include <string>

#include "scenario/source.h"

namespace vantor {

struct CampaignEntry {
    std::int64_t size = 0;
    std::int64_t offset = 0;
    std::string name{};      // as stored
    std::string fileName{};  // as stored
};

enum class CampaignOutcome {
    campaign,     // the head and every entry are whole
    notCampaign,  // the file does not start as a campaign does (it may be a scenario)
    damaged,      // a count, size, offset or text length leads outside the file, or scenarios overlap
    readFailed,   // the file could not be read
};

struct CampaignHead {
    CampaignOutcome outcome = CampaignOutcome::notCampaign;
    int version = 0;     // 100, 110 or 200
    bool utf8 = false;   // whether its texts are UTF-8 (else the writer's code page)
    std::string name{};  // as stored
    std::uint32_t count = 0;
    std::int64_t entriesAt = 0;  // where the first entry starts
};

// Reads the campaign's head and checks every entry against the file, before
// anything of it is used.  A file that does not start as a campaign does is
// notCampaign, read no further.
CampaignHead readCampaignHead(ScenarioSource& file);

// The entry at `position` of a campaign whose head was read; the position
// moves behind it.  False when the file could not be read there.
[[nodiscard]] bool readCampaignEntry(ScenarioSource& file, const CampaignHead& head, std::int64_t& position,
                                     CampaignEntry& entry);

// One scenario of a campaign, read as a file of its own.
class CampaignPart final : public ScenarioSource {
public:
    CampaignPart(ScenarioSource& campaign, const CampaignEntry& entry) noexcept
        : campaign_(campaign), offset_(entry.offset), size_(entry.size) {}
    [[nodiscard]] std::int64_t length() const override { return size_; }
    [[nodiscard]] std::int64_t readAt(std::int64_t offset, void* buffer, std::size_t count) override;

private:
    ScenarioSource& campaign_;
    std::int64_t offset_;
    std::int64_t size_;
};

}  // namespace vantor
