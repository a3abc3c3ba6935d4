#include "scenario/walk.h"

#include <cmath>

#include "scenario/walk_definitive.h"

namespace vantor {

// The body from its first byte to the trigger count.  Everything before the
// trigger section is stepped over with a fixed knowledge of its layout; only
// the lengths and counts that size the variable parts are read.
//
//  step  width                               what it is
//   1    4433                                leading block (the version float at 4)
//   2    String16                            first text: only its length is read
//   3    24                                  fixed block
//   4    String16                            second text
//   5    9 × String16                        nine texts
//   6    int32                               background-image flag
//   7    78 from the flag                    the flag and a fixed block
//   8    16 × String16                       sixteen texts
//   9    16 × (8 + int32 m + m)              sixteen entries
//  10    18464                               fixed block
//  11    int32 d (at the start of step 12)   map dimension
//  12    236 + 3·d·d                         the map, its dimension included
//  13    9 × (int32 n + 29·n)                nine unit lists
//  14    4                                   fixed
//  15    8 player blocks                     String16, 13, (int16 k: 5k+6),
//                                            (float v: 4 + 4·trunc(v) + 13)
//  16    9                                   fixed
//  17    int32                               trigger count: the walk ends here
namespace {

constexpr std::int64_t leadingBlock = 4433;
constexpr std::int64_t versionOffset = 4;
constexpr std::int64_t blockBehindFirstText = 24;
constexpr int textsBehindSecondText = 9;
constexpr std::int64_t flagAndFixedBlock = 78;
constexpr int textsBehindFlag = 16;
constexpr int entriesBehindTexts = 16;
constexpr std::int64_t entryHead = 8;
constexpr std::int64_t blockBeforeMap = 18464;
constexpr std::int64_t mapFixedPart = 236;
constexpr std::int64_t mapCellSize = 3;
constexpr int unitLists = 9;
constexpr std::int64_t unitRecordSize = 29;
constexpr std::int64_t blockBehindUnits = 4;
constexpr int playerBlocks = 8;
constexpr std::int64_t playerFixedPart = 13;
constexpr std::int64_t playerEntrySize = 5;
constexpr std::int64_t playerTailPart = 13;
constexpr std::int64_t blockBeforeTriggers = 9;

constexpr std::int32_t imageFlag = 1;

void skipString16(BodyCursor& c) noexcept {
    const std::int16_t n = c.readS16();
    c.skip(n);  // a negative length fails the cursor
}

// Part 3 of a player block: a signed 16-bit count k, 5·k + 6 bytes in all.
void skipPlayerEntries(BodyCursor& c) noexcept {
    const std::int16_t k = c.readS16();
    c.skip(k < 0 ? -1 : playerEntrySize * k + 4);
}

// Part 4 of a player block: a float v, then 4·trunc(v) + 13 bytes.
void skipPlayerTail(BodyCursor& c) noexcept {
    const float v = c.readF32();
    if (!c.ok()) return;
    // Truncation of a float outside the integers' range is undefined: only a
    // finite v that truncates to 0 .. 2^31 − 1 is taken.
    if (!std::isfinite(v) || v <= -1.0f || v >= 2147483648.0f) {
        c.fail();
        return;
    }
    const auto t = static_cast<std::int64_t>(v);
    c.skip(4 * t + playerTailPart);
}

}  // namespace

WalkResult findTriggerSection(std::span<const std::uint8_t> body) noexcept {
    BodyCursor c(body);
    const float version = c.at(versionOffset).readF32();
    if (body.size() < versionOffset + 4) return {WalkOutcome::unreadableBody};
    if (const int definitive = definitiveVersion(version)) return walkDefinitive(body, definitive);
    if (version != supportedBodyVersion) return {WalkOutcome::unsupportedVersion};

    // clang-format off
    c.skip(leadingBlock);                                          // 1
    c.skip(c.readS16());                                           // 2
    c.skip(blockBehindFirstText);                                  // 3
    skipString16(c);                                               // 4
    for (int i = 0; i < textsBehindSecondText; ++i) skipString16(c);  // 5

    BodyCursor flagCursor = c;                                     // 6
    const std::int32_t flag = flagCursor.readS32();
    const std::int32_t imageWidth = flagCursor.readS32();
    const std::int32_t imageHeight = flagCursor.readS32();
    if (!flagCursor.ok()) return {WalkOutcome::unreadableBody};
    // Flag 1 holds an image; so does any other non-zero flag that is followed
    // by a real width and height.
    if (flag == imageFlag || (flag != 0 && imageWidth > 0 && imageHeight > 0))
        return {WalkOutcome::backgroundImage};
    c.skip(flagAndFixedBlock);                                     // 7

    for (int i = 0; i < textsBehindFlag; ++i) skipString16(c);     // 8
    for (int i = 0; i < entriesBehindTexts; ++i) {                 // 9
        c.skip(entryHead);
        c.skip(c.readS32());
    }

    c.skip(blockBeforeMap);                                        // 10
    const std::int32_t dimension = c.at(0).readS32();              // 11
    if (!c.ok()) return {WalkOutcome::unreadableBody};
    // 3·d·d must fit in what is left; testing d first keeps the product in range.
    if (dimension < 0 || dimension > 0xFFFF) return {WalkOutcome::unreadableBody};
    c.skip(mapFixedPart + mapCellSize * dimension * dimension);    // 12

    for (int i = 0; i < unitLists; ++i) {                          // 13
        const std::int32_t units = c.readS32();
        c.skip(units < 0 ? -1 : unitRecordSize * units);
    }
    c.skip(blockBehindUnits);                                      // 14

    for (int i = 0; i < playerBlocks; ++i) {                       // 15
        skipString16(c);
        c.skip(playerFixedPart);
        skipPlayerEntries(c);
        skipPlayerTail(c);
    }
    c.skip(blockBeforeTriggers);                                   // 16
    // clang-format on

    if (!c.ok()) return {WalkOutcome::unreadableBody};
    return {WalkOutcome::triggerSection, c.position()};  // 17
}

}  // namespace vantor
