#include "scenario/walk_definitive.h"

namespace vantor {

// A Definitive Edition body from its first byte to the trigger count.  v is
// the body version in hundredths; a row marked "v >= n" is there from that
// version on.  Strings are String16 unless marked String32.
//
//  step  width                                      what it is
//   1    8                                          next object id, version
//   2    8                         v >= 153         player capacity, gaia player
//   3    16·256 + 16·4                              player names, their string ids
//   4    16 players: 16; v >= 140: 20;              active, human, civilization,
//        v >= 156: 8, 2, String16, 2, String16, 4   (architecture), mode
//   5    64; v >= 153: 128                          civilization (and personality) locks
//   6    9                                          conquest flag, timeline
//   7    String16                                   file name
//   8    24, 10 × String16                          message ids, messages, cinematics,
//                                                   background file name
//   9    flag, width, height (int32 each), 2        background image: none when flag is
//                                                   not 1 and width or height is 0
//  10    48 × String16                              build lists, city plans, AI names
//  11    16 × (int32 a, b, m; a + b + m bytes)      AI files
//  12    16 + 4                                     AI types, separator
//  13    16·28 + 4                                  starting resources, separator
//  14    40                                         victory settings
//  15    1024 + 11520 + 4 + 64 + 4                  diplomacy, old victory table,
//                                                   separator, allied victory, teams
//  16    3 × (16 counts c; 4·(c1 + … + c8))         disabled techs, units, buildings
//                                                   (lists for players 1 to 8)
//  17    12 + 64 + 32 + 4                           modes, starting ages, views, map
//                                                   type, priorities, trigger count
//  18    2, String16, 2, String16                   water, colour mood
//        v >= 140: 2, String16                      script name
//        1; v >= 137: 1                             pathing, villager flags
//        v >= 140: 128; v = 141: 1                  player views
//        v < 142: 8; else 1, (4 if v < 147),        camera, or team lock, AI map type,
//          (64 if v >= 144), (4 if 145 <= v < 147),  population caps, game modes
//          4, (4 if v >= 147), 4
//        1, int32 w, int32 h, 7·w·h                 waves flag, the map
//  19    int32 s, 8·28, 4                           unit sections, resources, players
//        8 player blocks                            String16, 13, uint16 n, n,
//                                                   4·n (v < 153: 36), 4, float f,
//                                                   uint16 m, (7 if f = 2; v >= 153:
//                                                   f >= 2), 44·m, (uint8 k if so),
//                                                   7, 32·k, 4
//        s unit lists                               int32 n, n units: 29;
//                                                   v >= 154: 33; v >= 155: 33, String32
//  20    8, 1                                       trigger version (float64), a flag
//  21    int32                                      trigger count: the walk ends here
namespace {

struct KnownVersion {
    float stored;
    int hundredths;
};

constexpr KnownVersion knownVersions[] = {
    {1.36f, 136}, {1.37f, 137}, {1.40f, 140}, {1.41f, 141}, {1.42f, 142}, {1.43f, 143}, {1.44f, 144},
    {1.45f, 145}, {1.46f, 146}, {1.47f, 147}, {1.48f, 148}, {1.49f, 149}, {1.51f, 151}, {1.53f, 153},
    {1.54f, 154}, {1.55f, 155}, {1.56f, 156}, {1.57f, 157}, {1.58f, 158},
};

constexpr int players = 16;
constexpr std::int64_t playerNamesAndIds = 16 * 256 + 16 * 4;
constexpr std::int64_t timelineBlock = 9;
constexpr std::int64_t messageIds = 24;
constexpr int textsBehindMessageIds = 10;
constexpr std::int32_t imageFlag = 1;
constexpr std::int64_t imageOrientation = 2;
constexpr int textsBehindImage = 48;
constexpr int aiFiles = 16;
constexpr std::int64_t aiTypesAndSeparator = 16 + 4;
constexpr std::int64_t resourcesAndSeparator = 16 * 28 + 4;
constexpr std::int64_t victoryBlock = 40;
constexpr std::int64_t diplomacyBlock = 1024 + 11520 + 4 + 64 + 4;
constexpr int disabledLists = 3;
constexpr int listedPlayers = 8;
constexpr std::int64_t blockBeforeMapTexts = 12 + 64 + 32 + 4;
constexpr std::int64_t tileSize = 7;
constexpr std::int64_t playerResources = 8 * 28;
constexpr int playerBlocks = 8;
constexpr std::int64_t playerBlockFixed = 13;
constexpr std::int64_t unitSize = 29;
constexpr std::int64_t triggerVersionAndFlag = 9;

void skipString16(BodyCursor& c) noexcept { c.skip(c.readS16()); }  // a negative length fails
void skipString32(BodyCursor& c) noexcept { c.skip(c.readS32()); }

std::int64_t readU16(BodyCursor& c) noexcept { return static_cast<std::uint16_t>(c.readS16()); }

// A count that sizes what follows: a negative one fails the cursor.
std::int64_t readCount(BodyCursor& c) noexcept {
    const std::int32_t n = c.readS32();
    if (n < 0) c.fail();
    return n < 0 ? 0 : n;
}

void skipPlayerEntries(BodyCursor& c, int v) noexcept {  // 4
    for (int i = 0; i < players; ++i) {
        if (v < 156) {
            c.skip(v >= 140 ? 20 : 16);
            continue;
        }
        c.skip(10);
        skipString16(c);
        c.skip(2);
        skipString16(c);
        c.skip(4);
    }
}

void skipDisabledLists(BodyCursor& c) noexcept {  // 16
    for (int list = 0; list < disabledLists; ++list) {
        std::int64_t listed = 0;
        for (int p = 0; p < players; ++p) {
            const std::int64_t n = readCount(c);
            if (p < listedPlayers) listed += n;
        }
        c.skip(4 * listed);
    }
}

void skipMapSettings(BodyCursor& c, int v) noexcept {  // 18, up to the map's size
    c.skip(2);
    skipString16(c);
    c.skip(2);
    skipString16(c);
    if (v >= 140) {
        c.skip(2);
        skipString16(c);
    }
    c.skip(v >= 137 ? 2 : 1);
    if (v >= 140) c.skip(128);
    if (v == 141) c.skip(1);
    if (v < 142) {
        c.skip(8);
    } else {
        c.skip(1);
        if (v < 147) c.skip(4);
        if (v >= 144) c.skip(64);
        if (v >= 145 && v < 147) c.skip(4);
        c.skip(v >= 147 ? 12 : 8);
    }
    c.skip(1);
}

void skipPlayerBlock(BodyCursor& c, int v) noexcept {  // 19
    skipString16(c);
    c.skip(playerBlockFixed);
    const std::int64_t n = readU16(c);
    c.skip(n + 4 * (v >= 153 ? n : 9) + 4);
    const float f = c.readF32();
    const std::int64_t m = readU16(c);
    const bool extended = v >= 153 ? f >= 2.0f : f == 2.0f;
    if (extended) c.skip(7);
    c.skip(44 * m);
    const std::int64_t k = extended ? c.readS8() & 0xFF : 0;
    c.skip(7 + 32 * k + 4);
}

void skipUnits(BodyCursor& c, int v) noexcept {  // 19
    const std::int64_t n = readCount(c);
    if (v < 155) {
        c.skip(n * (v >= 154 ? unitSize + 4 : unitSize));
        return;
    }
    for (std::int64_t i = 0; c.ok() && i < n; ++i) {
        c.skip(unitSize + 4);
        skipString32(c);
    }
}

}  // namespace

int definitiveVersion(float bodyVersion) noexcept {
    for (const KnownVersion& k : knownVersions)
        if (k.stored == bodyVersion) return k.hundredths;
    return 0;
}

WalkResult walkDefinitive(std::span<const std::uint8_t> body, int v) noexcept {
    BodyCursor c(body);
    c.skip(8);                    // 1
    if (v >= 153) c.skip(8);      // 2
    c.skip(playerNamesAndIds);    // 3
    skipPlayerEntries(c, v);      // 4
    c.skip(v >= 153 ? 128 : 64);  // 5
    c.skip(timelineBlock);        // 6
    skipString16(c);              // 7
    c.skip(messageIds);           // 8
    for (int i = 0; i < textsBehindMessageIds; ++i) skipString16(c);

    const std::int32_t flag = c.readS32();  // 9
    const std::int32_t width = c.readS32();
    const std::int32_t height = c.readS32();
    if (!c.ok()) return {WalkOutcome::unreadableBody};
    if (flag == imageFlag || (width > 0 && height > 0)) return {WalkOutcome::backgroundImage};
    if (width != 0 && height != 0) return {WalkOutcome::unreadableBody};
    c.skip(imageOrientation);

    for (int i = 0; i < textsBehindImage; ++i) skipString16(c);  // 10
    for (int i = 0; i < aiFiles; ++i) {                          // 11
        const std::int64_t a = readCount(c);
        const std::int64_t b = readCount(c);
        c.skip(a + b + readCount(c));
    }
    c.skip(aiTypesAndSeparator);    // 12
    c.skip(resourcesAndSeparator);  // 13
    c.skip(victoryBlock);           // 14
    c.skip(diplomacyBlock);         // 15
    skipDisabledLists(c);           // 16
    c.skip(blockBeforeMapTexts);    // 17

    skipMapSettings(c, v);  // 18
    const std::int32_t mapWidth = c.readS32();
    const std::int32_t mapHeight = c.readS32();
    if (!c.ok()) return {WalkOutcome::unreadableBody};
    // 7·w·h must fit in what is left; bounding w and h first keeps the product in range.
    if (mapWidth < 0 || mapHeight < 0 || mapWidth > 0xFFFF || mapHeight > 0xFFFF) return {WalkOutcome::unreadableBody};
    c.skip(tileSize * mapWidth * mapHeight);

    const std::int64_t sections = readCount(c);  // 19
    c.skip(playerResources + 4);
    for (int i = 0; i < playerBlocks; ++i) skipPlayerBlock(c, v);
    for (std::int64_t i = 0; c.ok() && i < sections; ++i) skipUnits(c, v);

    c.skip(triggerVersionAndFlag);  // 20
    if (!c.ok()) return {WalkOutcome::unreadableBody};
    return {WalkOutcome::triggerSection, c.position(), TriggerLayout{v}};  // 21
}

}  // namespace vantor
