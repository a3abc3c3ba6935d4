#include "scenario/walk.h"

#include <cmath>
#include <optional>

namespace vantor {

// Two tables lead from the body's first byte to its trigger count.
//
// The first is the fixed layout in which The Conquerors' editor saves body
// version 1.22: every part before the trigger section is stepped over with a
// fixed knowledge of its size; only the lengths and counts that size the
// variable parts are read.  It assumes what that editor writes (empty
// build-list and city-plan names, nine players, no victory conditions in the
// player blocks).
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
//
// The second table (further down) reads every part by its stored sizes, with
// rows that say from which body version to which one they apply.  It walks
// every other version, and a 1.22 body that the fixed layout cannot read
// (one written by another editor, or with victory conditions in its player
// blocks).  The Definitive Edition's versions (1.36 and later) share its
// rows where their parts are alike and have rows of their own where not.
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
    c.skipRecords(k, playerEntrySize);
    c.skip(4);
}

// Part 4 of a player block: a float v, then 4·trunc(v) + 13 bytes.
void skipPlayerTail(BodyCursor& c) noexcept {
    const float v = c.readF32();
    if (!c.ok()) return;
    // Truncation of a float outside the integers' range is undefined: only a
    // finite v that truncates to 0 .. 2^31 − 1 is taken.
    c.require(std::isfinite(v) && v > -1.0f && v < 2147483648.0f);
    if (!c.ok()) return;
    const auto t = static_cast<std::int64_t>(v);
    c.skip(4 * t + playerTailPart);
}

WalkResult walkEditorLayout(std::span<const std::uint8_t> body) noexcept {
    BodyCursor c(body);
    // clang-format off
    c.skip(leadingBlock);                                          // 1
    c.skip(c.readS16());                                           // 2
    c.skip(blockBehindFirstText);                                  // 3
    skipString16(c);                                               // 4
    for (int i = 0; i < textsBehindSecondText; ++i) skipString16(c);  // 5

    BodyCursor flagCursor = c;                                     // 6
    const std::int32_t flag = flagCursor.readS32();
    if (!flagCursor.ok()) return {WalkOutcome::unreadableBody};
    if (flag == imageFlag) return {WalkOutcome::backgroundImage};
    // So does any other non-zero flag that is followed by a real width and
    // height.
    const std::int32_t imageWidth = flagCursor.readS32();
    const std::int32_t imageHeight = flagCursor.readS32();
    if (!flagCursor.ok()) return {WalkOutcome::unreadableBody};
    if (flag != 0 && imageWidth > 0 && imageHeight > 0) return {WalkOutcome::backgroundImage};
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
        c.skipRecords(units, unitRecordSize);
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
    return {WalkOutcome::triggerSection, c.position(),
            BodyCursor(body, c.position() - blockBeforeTriggers).readF64()};  // 17
}

// Body versions as numbers: 1.22 gives 122.
using Version = int;
constexpr Version oldest = 118;
constexpr Version lastHd = 126;   // the HD editions' last version
constexpr Version firstDe = 136;  // the Definitive Edition's first
constexpr Version newest = 158;

// The version floats as the editors store them, each with its number.
struct KnownVersion {
    float stored;
    Version number;
};
constexpr KnownVersion knownVersions[] = {
    {1.18f, 118}, {1.19f, 119}, {1.20f, 120}, {1.21f, 121}, {1.22f, 122}, {1.23f, 123}, {1.24f, 124},
    {1.25f, 125}, {1.26f, 126}, {1.36f, 136}, {1.37f, 137}, {1.40f, 140}, {1.41f, 141}, {1.42f, 142},
    {1.43f, 143}, {1.44f, 144}, {1.45f, 145}, {1.46f, 146}, {1.47f, 147}, {1.48f, 148}, {1.49f, 149},
    {1.51f, 151}, {1.53f, 153}, {1.54f, 154}, {1.55f, 155}, {1.56f, 156}, {1.57f, 157}, {1.58f, 158},
};

enum class Part : std::uint8_t {
    fixed,          // count × size bytes
    texts,          // count × String16
    image,          // int32 flag, int32 width, int32 height, 2 bytes; refused when it holds an image
    aiFiles,        // count × (three int32 lengths, then that many bytes)
    separator,      // int32, always -99
    map,            // int32 width, int32 height, size bytes per cell
    worldPlayers,   // int32 n, then n − 1 records of 6 floats (7 from container 1.20)
    units,          // one list per world player: int32 count, count × size bytes
    players,        // int32 n, then n − 1 player blocks
    triggerSystem,  // float64 version of the trigger records, int8
    // The Definitive Edition's own parts:
    civilizations,   // per player: 8 bytes, 2, String16, 2, String16, 4 (civilization, architecture as texts)
    markedTexts,     // count × (a 2-byte mark, String16)
    disabledLists,   // count × (16 int32 counts c, then 4·(c1 + … + c8) bytes: lists of players 1 to 8)
    dePlayers,       // int32 n, then n − 1 player blocks of the Definitive Edition
    captionedUnits,  // one list per world player: int32 count, count × (size bytes, String32)
};

struct Step {
    Version from;   // the first body version that holds the part
    Version until;  // the last one
    Part part;
    std::int32_t count;
    std::int32_t size;
};

// clang-format off
constexpr Step layout[] = {
    // from    until   part                 count  size
    {oldest,  newest, Part::fixed,              1,    8},  // next object id, body version
    {   153,  newest, Part::fixed,              2,    4},  // player capacity, gaia player
    {oldest,  newest, Part::fixed,             16,  256},  // player names
    {oldest,  newest, Part::fixed,             16,    4},  // player name string ids
    {oldest,     139, Part::fixed,             16,   16},  // active, human, civilization, posture
    {   140,     155, Part::fixed,             16,   20},  // the same and architecture
    {   156,  newest, Part::civilizations,     16,    0},
    {firstDe, newest, Part::fixed,             16,    4},  // civilization locks
    {   153,  newest, Part::fixed,             16,    4},  // personality locks
    {oldest,  newest, Part::fixed,              1,    9},  // conquest flag, an empty timeline
    {oldest,  newest, Part::texts,              1,    0},  // file name
    {oldest,  newest, Part::fixed,              5,    4},  // string ids of the five texts below
    {   122,  newest, Part::fixed,              1,    4},  // string id of the scout text
    {oldest,  newest, Part::texts,              5,    0},  // description, hints, victory, loss, history
    {   122,  newest, Part::texts,              1,    0},  // scout text
    {oldest,  newest, Part::texts,              4,    0},  // three cinematics, the image's file name
    {oldest,  newest, Part::image,              1,    0},  // background image
    {oldest,  newest, Part::texts,             48,    0},  // build-list, city-plan and AI names
    {oldest,  newest, Part::aiFiles,           16,    0},  // the embedded AI files
    {   120,  newest, Part::fixed,             16,    1},  // AI types
    {oldest,  newest, Part::separator,          1,    0},
    {oldest,     123, Part::fixed,             16,   24},  // starting resources
    {   124,  newest, Part::fixed,             16,   28},  // starting resources and colour
    {oldest,  newest, Part::separator,          1,    0},
    {oldest,  newest, Part::fixed,             10,    4},  // victory settings
    {oldest,  newest, Part::fixed,           16*16,   4},  // diplomacy
    {oldest,  newest, Part::fixed,           16*12,  60},  // the older victory records
    {oldest,  newest, Part::separator,          1,    0},
    {oldest,  newest, Part::fixed,             16,    4},  // allied victory
    {   123,  newest, Part::fixed,              1,    4},  // team settings
    {oldest,  lastHd, Part::fixed,         2*16*31,   4},  // disabled technologies and units: count, 30 ids
    {oldest,     124, Part::fixed,           16*21,   4},  // disabled buildings: count, 20 ids
    {   125,  lastHd, Part::fixed,           16*31,   4},  // disabled buildings: count, 30 ids
    {firstDe, newest, Part::disabledLists,      3,    0},  // disabled technologies, units, buildings
    {oldest,  newest, Part::fixed,              3,    4},  // combat mode, naval mode, all techs
    {oldest,  newest, Part::fixed,             16,    4},  // starting ages
    {oldest,  newest, Part::separator,          1,    0},
    {   119,  newest, Part::fixed,              2,    4},  // initial view
    {   121,  newest, Part::fixed,              1,    4},  // map type
    {   124,  newest, Part::fixed,             16,    1},  // base priorities
    {firstDe, newest, Part::fixed,              1,    4},  // trigger count, as the header has it
    {firstDe, newest, Part::markedTexts,        2,    0},  // water, colour mood
    {   140,  newest, Part::markedTexts,        1,    0},  // script name
    {firstDe, newest, Part::fixed,              1,    1},  // pathing flag
    {   137,  newest, Part::fixed,              1,    1},  // villagers' drop flag
    {   140,  newest, Part::fixed,             16,    8},  // player views
    {   141,     141, Part::fixed,              1,    1},  // team change lock
    {firstDe,    141, Part::fixed,              2,    4},  // camera
    {   142,  newest, Part::fixed,              1,    1},  // co-op alliance lock
    {   142,     146, Part::fixed,              1,    4},  // AI map type
    {   144,  newest, Part::fixed,             16,    4},  // population caps
    {   145,     146, Part::fixed,              1,    4},  // secondary game mode
    {   142,  newest, Part::fixed,              1,    4},  // game modes
    {   147,  newest, Part::fixed,              1,    4},  // (not known)
    {   142,  newest, Part::fixed,              1,    4},  // (not known)
    {firstDe, newest, Part::fixed,              1,    1},  // waves flag
    {oldest,  lastHd, Part::map,                1,    3},  // terrain, elevation, zone per cell
    {firstDe, newest, Part::map,                1,    7},  // terrain, elevation, 3 bytes, layer per cell
    {oldest,  newest, Part::worldPlayers,       1,    0},
    {oldest,  lastHd, Part::units,              1,   29},
    {oldest,  lastHd, Part::players,            1,    0},
    {firstDe, newest, Part::dePlayers,          1,    0},
    {firstDe,    153, Part::units,              1,   29},
    {   154,     154, Part::units,              1,   33},  // and a caption's string id
    {   155,  newest, Part::captionedUnits,     1,   33},
    {oldest,  newest, Part::triggerSystem,      1,    0},
};
// clang-format on

constexpr std::int32_t separatorValue = -99;
constexpr std::int32_t aiFileLengths = 3;
constexpr std::int64_t imageTail = 2;
constexpr std::int64_t largestMapSide = 0xFFFF;
constexpr std::int32_t mostPlayers = 16;
constexpr std::int64_t worldPlayerFloats = 7;
constexpr Version firstPopulation = 120;   // the container version that adds the 7th float
constexpr Version lastOfAgeOfKings = 120;  // its bodies come in containers without it
constexpr std::int64_t playerViewAndFlag = 13;
constexpr std::int64_t unitDiplomacyAndColour = 9 * 4 + 4;
constexpr std::int64_t victoryConditionSize = 44;
constexpr std::int64_t victoryPointSize = 24;
constexpr std::int64_t victoryPointExtra = 8;
constexpr double oldestTriggerVersion = 1.5;
constexpr std::int64_t markLength = 2;
constexpr std::int32_t listedPlayers = 8;
constexpr std::int64_t victoryExtension = 7;
constexpr std::int64_t victoryEntrySize = 32;
constexpr double newerTriggerVersion = 1.8;

Version versionOf(float stored) noexcept {
    for (const KnownVersion& k : knownVersions)
        if (k.stored == stored) return k.number;
    return 0;
}

// The stored count of players, 1 to 16; anything else fails the cursor.
std::int64_t playerCount(BodyCursor& c) noexcept {
    const std::int32_t n = c.readS32();
    c.require(n >= 1 && n <= mostPlayers);
    return c.ok() ? n : 0;
}

// A player block: name, camera and allied victory, diplomacy (an int16 count
// of one-byte stances), unit diplomacy and colour, then the victory
// conditions: a float version v, an int32 count of 44-byte conditions, a
// state byte; from v = 1 an int32 total and an int32 count of point entries
// (24 bytes each), with v = 2 and later 8 more bytes and 8 more per entry.
void skipPlayerBlock(BodyCursor& c) noexcept {
    skipString16(c);
    c.skip(playerViewAndFlag);
    const std::int16_t stances = c.readS16();
    c.skip(stances);
    c.skip(unitDiplomacyAndColour);
    const float v = c.readF32();
    const std::int32_t conditions = c.readS32();
    c.skip(1);
    c.skipRecords(conditions, victoryConditionSize);
    if (!(v >= 1.0f)) return;
    c.skip(4);
    const std::int32_t points = c.readS32();
    const bool second = v >= 2.0f;
    if (second) c.skip(victoryPointExtra);
    c.skipRecords(points, victoryPointSize + (second ? victoryPointExtra : 0));
}

// A player block of the Definitive Edition: name, camera and allied
// victory, an uint16 count n of one-byte stances, then n int32 (before 1.53:
// nine), colour, and the victory conditions: a float v, an uint16 count m;
// where v is 2 (from 1.53: 2 or more) 7 bytes; 44·m bytes; where v is 2 an
// uint8 count k; 7 bytes, 32·k bytes and 4 more.
void skipDePlayerBlock(BodyCursor& c, Version version) noexcept {
    skipString16(c);
    c.skip(playerViewAndFlag);
    const std::int64_t stances = static_cast<std::uint16_t>(c.readS16());
    c.skip(stances + 4 * (version >= 153 ? stances : 9) + 4);
    const float v = c.readF32();
    const std::int64_t conditions = static_cast<std::uint16_t>(c.readS16());
    const bool extended = version >= 153 ? v >= 2.0f : v == 2.0f;
    if (extended) c.skip(victoryExtension);
    c.skip(victoryConditionSize * conditions);
    const std::int64_t entries = extended ? static_cast<std::uint8_t>(c.readS8()) : 0;
    c.skip(victoryExtension + victoryEntrySize * entries + 4);
}

// The walk through the table for one version.
class VersionWalk {
public:
    VersionWalk(std::span<const std::uint8_t> body, Version version, ContainerFacts container) noexcept
        : c_(body), version_(version), container_(container) {}

    WalkResult run() noexcept {
        for (const Step& step : layout) {
            if (version_ < step.from || version_ > step.until) continue;
            if (step.part == Part::fixed)
                c_.skip(std::int64_t{step.count} * step.size);
            else
                for (std::int32_t i = 0; i < step.count && c_.ok() && !refusal_; ++i) take(step);
            if (!c_.ok()) return {WalkOutcome::unreadableBody};
            if (refusal_) return {*refusal_};
        }
        const TriggerLayout records{version_ >= firstDe ? version_ : 0};
        return {WalkOutcome::triggerSection, c_.position(), triggerVersion_, records};
    }

private:
    void take(const Step& step) noexcept {
        switch (step.part) {
            case Part::fixed: break;  // skipped as one block
            case Part::texts: skipString16(c_); break;
            case Part::image: image(); break;
            case Part::aiFiles: {
                std::int64_t lengths[aiFileLengths];
                for (std::int64_t& n : lengths) n = c_.readS32();
                for (std::int64_t n : lengths) c_.skip(n);
                break;
            }
            case Part::separator:
                if (c_.readS32() != separatorValue && c_.ok()) refuse(WalkOutcome::unsupportedVersion);
                break;
            case Part::map: {
                const std::int64_t width = c_.readS32();
                const std::int64_t height = c_.readS32();
                // Checked before the product, which could overflow.
                c_.require(width >= 0 && height >= 0 && width <= largestMapSide && height <= largestMapSide);
                if (c_.ok()) c_.skip(step.size * width * height);
                break;
            }
            case Part::worldPlayers:
                players_ = playerCount(c_);
                c_.skip((players_ - 1) * 4 * (worldPlayerFloats - (hasPopulation() ? 0 : 1)));
                break;
            case Part::units:
                for (std::int64_t p = 0; p < players_ && c_.ok(); ++p) {
                    const std::int32_t units = c_.readS32();
                    c_.skipRecords(units, step.size);
                }
                break;
            case Part::players: {
                const std::int64_t blocks = playerCount(c_) - 1;
                for (std::int64_t p = 0; p < blocks && c_.ok(); ++p) skipPlayerBlock(c_);
                break;
            }
            case Part::triggerSystem:
                triggerVersion_ = c_.readF64();
                c_.skip(1);
                // The Definitive Edition's records are those of trigger version 1.8 and later.
                if (c_.ok() && !(version_ >= firstDe ? triggerVersion_ >= newerTriggerVersion
                                                     : triggerVersion_ >= oldestTriggerVersion &&
                                                           triggerVersion_ < newerTriggerVersion))
                    refuse(WalkOutcome::unsupportedVersion);
                break;
            case Part::civilizations:
                c_.skip(8 + markLength);  // active, human
                skipString16(c_);
                c_.skip(markLength);
                skipString16(c_);
                c_.skip(4);
                break;
            case Part::markedTexts:
                c_.skip(markLength);
                skipString16(c_);
                break;
            case Part::disabledLists: {
                std::int64_t listed = 0;
                for (std::int32_t p = 0; p < mostPlayers; ++p) {
                    const std::int32_t n = c_.readS32();
                    c_.require(n >= 0);
                    if (p < listedPlayers && n > 0) listed += n;
                }
                c_.skip(4 * listed);
                break;
            }
            case Part::dePlayers: {
                const std::int64_t blocks = playerCount(c_) - 1;
                for (std::int64_t p = 0; p < blocks && c_.ok(); ++p) skipDePlayerBlock(c_, version_);
                break;
            }
            case Part::captionedUnits:
                for (std::int64_t p = 0; p < players_ && c_.ok(); ++p) {
                    const std::int32_t units = c_.readS32();
                    c_.require(units >= 0);
                    for (std::int32_t u = 0; u < units && c_.ok(); ++u) {
                        c_.skip(step.size);
                        c_.skip(c_.readS32());
                    }
                }
                break;
        }
    }

    // Flag 1 holds an image; so does a real width and height with any flag.
    void image() noexcept {
        const std::int32_t flag = c_.readS32();
        const std::int32_t width = c_.readS32();
        const std::int32_t height = c_.readS32();
        c_.skip(imageTail);
        if (c_.ok() && (flag == imageFlag || (width > 0 && height > 0))) refuse(WalkOutcome::backgroundImage);
    }

    // Without a container version, the one that the game stores with the
    // body's version is taken.
    [[nodiscard]] bool hasPopulation() const noexcept {
        return container_.version != 0 ? container_.version >= firstPopulation : version_ > lastOfAgeOfKings;
    }

    void refuse(WalkOutcome outcome) noexcept { refusal_ = outcome; }

    BodyCursor c_;
    Version version_;
    ContainerFacts container_;
    std::int64_t players_ = 0;
    double triggerVersion_ = 0;
    std::optional<WalkOutcome> refusal_;
};

}  // namespace

WalkResult findTriggerSection(std::span<const std::uint8_t> body, ContainerFacts container) noexcept {
    const float stored = BodyCursor(body, versionOffset).readF32();
    if (body.size() < versionOffset + 4) return {WalkOutcome::unreadableBody};
    const Version version = versionOf(stored);
    if (version == 0) return {WalkOutcome::unsupportedVersion};
    if (stored != supportedBodyVersion) return VersionWalk(body, version, container).run();

    const WalkResult fixed = walkEditorLayout(body);
    if (fixed.outcome != WalkOutcome::unreadableBody) return fixed;
    const WalkResult exact = VersionWalk(body, version, container).run();
    return exact.outcome == WalkOutcome::triggerSection ? exact : fixed;
}

}  // namespace vantor
