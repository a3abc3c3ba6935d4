#include "scenario/walk.h"

#include <cmath>
#include <optional>

#include "scenario/body.h"
#include "scenario/versions.h"

namespace vantor {
namespace {

// Body versions as numbers in the layouts' rows: 1.22 gives 122.
using Version = int;
constexpr Version oldest = versions::oldest.hundredths();
constexpr Version lastHd = versions::lastHd.hundredths();
constexpr Version firstDe = versions::firstDefinitive.hundredths();
constexpr Version newest = versions::newest.hundredths();
constexpr Version editorVersion = versions::conquerorsEditor.hundredths();

constexpr std::int64_t versionOffset = 4;

// The parts that lie between a body's first byte and its trigger count, each
// stepped over by what it stores.
enum class Part : std::uint8_t {
    fixed,          // count × size bytes
    texts,          // count × String16
    separator,      // int32, always -99
    triggerSystem,  // float64 version of the trigger records, int8
    // The fixed layout of The Conquerors' editor:
    editorImage,    // int32 flag, then 74 bytes; refused when it holds an image
    editorAiFiles,  // count × (8 bytes, int32 m, m bytes)
    squareMap,      // int32 d, and 236 + 3·d·d bytes from the start of d
    editorUnits,    // count × (int32 n, n × size bytes)
    editorPlayers,  // count × (String16, 13, int16 k and 5·k + 4, float v and 4·trunc(v) + 13)
    // Parts read by their stored sizes:
    image,         // int32 flag, int32 width, int32 height, 2 bytes; refused when it holds an image
    aiFiles,       // count × (three int32 lengths, then that many bytes)
    map,           // int32 width, int32 height, size bytes per cell
    worldPlayers,  // int32 n, then n − 1 records of 6 floats (7 from container 1.20)
    units,         // one list per world player: int32 count, count × size bytes
    players,       // int32 n, then n − 1 player blocks
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

// The fixed layout in which The Conquerors' editor saves body version 1.22:
// every part before the trigger section is stepped over with a fixed
// knowledge of its size; only the lengths and counts that size the variable
// parts are read.  It assumes what that editor writes (empty build-list and
// city-plan names, nine players, no victory conditions in the player
// blocks).  The 9 bytes before the trigger count are stepped over unread.
// clang-format off
constexpr Step editorLayout[] = {
    // from         until          part                  count   size
    {editorVersion, editorVersion, Part::fixed,              1,  4433},  //  1 leading block (the version float at 4)
    {editorVersion, editorVersion, Part::texts,              1,     0},  //  2 first text
    {editorVersion, editorVersion, Part::fixed,              1,    24},  //  3
    {editorVersion, editorVersion, Part::texts,             10,     0},  //  4, 5 second text, nine texts
    {editorVersion, editorVersion, Part::editorImage,        1,    78},  //  6, 7 image flag and a fixed block
    {editorVersion, editorVersion, Part::texts,             16,     0},  //  8 sixteen texts
    {editorVersion, editorVersion, Part::editorAiFiles,     16,     8},  //  9 sixteen entries
    {editorVersion, editorVersion, Part::fixed,              1, 18464},  // 10
    {editorVersion, editorVersion, Part::squareMap,          1,     3},  // 11, 12 map dimension and map
    {editorVersion, editorVersion, Part::editorUnits,        9,    29},  // 13 nine unit lists
    {editorVersion, editorVersion, Part::fixed,              1,     4},  // 14
    {editorVersion, editorVersion, Part::editorPlayers,      8,     0},  // 15 eight player blocks
    {editorVersion, editorVersion, Part::fixed,              1,     9},  // 16 before the trigger count
};

// Every version, read by the sizes its parts store; each row says from which
// body version to which one it applies.  The Definitive Edition's versions
// (its early builds' 1.31, 1.32 and 1.35, then 1.36 and later) share rows
// where their parts are alike and have rows of their own where not.
constexpr Step storedLayout[] = {
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
    {   135,  newest, Part::fixed,              1,    4},  // trigger count, as the header has it
    {firstDe, newest, Part::markedTexts,        1,    0},  // water
    {   132,  newest, Part::markedTexts,        1,    0},  // colour mood
    {   140,  newest, Part::markedTexts,        1,    0},  // script name
    {   136,  newest, Part::fixed,              1,    1},  // pathing flag
    {   137,  newest, Part::fixed,              1,    1},  // villagers' drop flag
    {   140,  newest, Part::fixed,             16,    8},  // player views
    {   141,     141, Part::fixed,              1,    1},  // team change lock
    {firstDe,    141, Part::fixed,              2,    4},  // a mark (0xDEADF00D), the map's version
    {   142,  newest, Part::fixed,              1,    1},  // co-op alliance lock
    {   142,     146, Part::fixed,              1,    4},  // AI map type
    {   144,  newest, Part::fixed,             16,    4},  // population caps
    {   145,     146, Part::fixed,              1,    4},  // secondary game mode
    {   142,  newest, Part::fixed,              1,    4},  // game modes
    {   147,  newest, Part::fixed,              1,    4},  // (not known)
    {   142,  newest, Part::fixed,              1,    4},  // (not known)
    {   135,  newest, Part::fixed,              1,    1},  // waves flag
    {oldest,  lastHd, Part::map,                1,    3},  // terrain, elevation, zone per cell
    {firstDe, newest, Part::map,                1,    7},  // terrain, elevation, 3 bytes, layer per cell
    {oldest,  newest, Part::worldPlayers,       1,    0},
    {oldest,  lastHd, Part::units,              1,   29},
    {oldest,  lastHd, Part::players,            1,    0},
    {firstDe,    132, Part::units,              1,   29},  // the early builds: units first
    {firstDe, newest, Part::dePlayers,          1,    0},
    {   135,     153, Part::units,              1,   29},
    {   154,     154, Part::units,              1,   33},  // and a caption's string id
    {   155,  newest, Part::captionedUnits,     1,   33},
    {oldest,  newest, Part::triggerSystem,      1,    0},
};
// clang-format on

// The layouts, and the versions each describes.  A body is walked with the
// first layout of its version; when that cannot read it, a later one that
// reaches the trigger count is taken: The Conquerors' editor writes 1.22
// bodies in the fixed layout, other editors in forms that only a walk by
// stored sizes reads.
struct BodyLayout {
    Version from;
    Version until;
    std::span<const Step> steps;
};
constexpr BodyLayout bodyLayouts[] = {
    {editorVersion, editorVersion, editorLayout},
    {oldest, newest, storedLayout},
};

constexpr std::int32_t imageFlag = 1;
constexpr std::int64_t editorImageRead = 12;  // the flag, the width and the height
constexpr std::int64_t largestMapSide = 0xFFFF;
constexpr std::int64_t mapFixedPart = 236;
constexpr std::int64_t playerFixedPart = 13;
constexpr std::int64_t playerEntrySize = 5;
constexpr std::int64_t playerTailPart = 13;
constexpr std::int32_t separatorValue = -99;
constexpr std::int32_t aiFileLengths = 3;
constexpr std::int64_t imageTail = 2;
constexpr std::int64_t bitmapInfoSize = 40;
constexpr std::int64_t largestImageSide = 0xFFFF;
constexpr std::int32_t mostPlayers = 16;
constexpr std::int64_t worldPlayerFloats = 7;
constexpr Version firstPopulation = 120;  // the container version that adds the 7th float
constexpr Version lastOfAgeOfKings =
    versions::lastOfAgeOfKings.hundredths();  // its bodies come in containers without it
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

// The stored count of players, 1 to 16; anything else fails the cursor.
std::int64_t playerCount(BodyCursor& c) noexcept {
    const std::int32_t n = c.readS32();
    c.require(n >= 1 && n <= mostPlayers);
    return c.ok() ? n : 0;
}

// A player block of the fixed layout: a String16, 13 bytes, a signed 16-bit
// count k in 5·k + 6 bytes, then a float v in 4 + 4·trunc(v) + 13 bytes.
void skipEditorPlayerBlock(BodyCursor& c) noexcept {
    c.skipString16();
    c.skip(playerFixedPart);
    const std::int16_t k = c.readS16();
    c.skipRecords(k, playerEntrySize);
    c.skip(4);
    const float v = c.readF32();
    if (!c.ok()) return;
    // Truncation of a float outside the integers' range is undefined: only a
    // finite v that truncates to 0 .. 2^31 − 1 is taken.
    c.require(std::isfinite(v) && v > -1.0f && v < 2147483648.0f);
    if (!c.ok()) return;
    c.skip(4 * static_cast<std::int64_t>(v) + playerTailPart);
}

// A player block: name, camera and allied victory, diplomacy (an int16 count
// of one-byte stances), unit diplomacy and colour, then the victory
// conditions: a float version v, an int32 count of 44-byte conditions, a
// state byte; from v = 1 an int32 total and an int32 count of point entries
// (24 bytes each), with v = 2 and later 8 more bytes and 8 more per entry.
void skipPlayerBlock(BodyCursor& c) noexcept {
    c.skipString16();
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
    c.skipString16();
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

// One walk of one layout for one version.
class LayoutWalk {
public:
    LayoutWalk(std::span<const std::uint8_t> body, Version version, int containerVersion) noexcept
        : c_(body), version_(version), containerVersion_(containerVersion) {}

    WalkResult run(std::span<const Step> steps) noexcept {
        for (const Step& step : steps) {
            if (version_ < step.from || version_ > step.until) continue;
            if (step.part == Part::fixed)
                c_.skip(std::int64_t{step.count} * step.size);
            else
                for (std::int32_t i = 0; i < step.count && c_.ok() && !refusal_; ++i) take(step);
            if (refusal_) return {*refusal_};
            if (!c_.ok()) return {WalkOutcome::unreadableBody};
        }
        return {WalkOutcome::triggerSection, c_.position(), BodyVersion{version_}, triggerVersion_};
    }

private:
    void take(const Step& step) noexcept {
        switch (step.part) {
            case Part::fixed: break;  // stepped over as one block
            case Part::texts: c_.skipString16(); break;
            case Part::separator:
                if (c_.readS32() != separatorValue && c_.ok()) refuse(WalkOutcome::unsupportedVersion);
                break;
            case Part::triggerSystem: {
                const double triggerVersion = triggerVersion_ = c_.readF64();
                c_.skip(1);
                // The Definitive Edition's records are those of trigger version 1.8 and later.
                if (c_.ok() && !(version_ >= firstDe
                                     ? triggerVersion >= newerTriggerVersion
                                     : triggerVersion >= oldestTriggerVersion && triggerVersion < newerTriggerVersion))
                    refuse(WalkOutcome::unsupportedVersion);
                break;
            }
            case Part::editorImage: editorImage(step.size); break;
            case Part::editorAiFiles:
                c_.skip(step.size);
                c_.skip(c_.readS32());
                break;
            case Part::squareMap: {
                const std::int32_t dimension = c_.at(0).readS32();
                // 3·d·d must fit in what is left; testing d first keeps the product in range.
                c_.require(dimension >= 0 && dimension <= largestMapSide);
                if (c_.ok()) c_.skip(mapFixedPart + step.size * std::int64_t{dimension} * dimension);
                break;
            }
            case Part::editorUnits: {
                const std::int32_t units = c_.readS32();
                c_.skipRecords(units, step.size);
                break;
            }
            case Part::editorPlayers: skipEditorPlayerBlock(c_); break;
            case Part::image: image(); break;
            case Part::aiFiles: {
                std::int64_t lengths[aiFileLengths];
                for (std::int64_t& n : lengths) n = c_.readS32();
                for (std::int64_t n : lengths) c_.skip(n);
                break;
            }
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
            case Part::civilizations:
                c_.skip(8 + markLength);  // active, human
                c_.skipString16();
                c_.skip(markLength);
                c_.skipString16();
                c_.skip(4);
                break;
            case Part::markedTexts:
                c_.skip(markLength);
                c_.skipString16();
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

    // The fixed layout's flag: 1 holds an image, decided before anything
    // behind the flag is read; so does any other flag with a real width and
    // height.  The flag and what follows it are `size` bytes in all.
    void editorImage(std::int64_t size) noexcept {
        const std::int32_t flag = c_.readS32();
        if (c_.ok() && flag == imageFlag) return refuse(WalkOutcome::backgroundImage);
        const std::int32_t width = c_.readS32();
        const std::int32_t height = c_.readS32();
        if (c_.ok() && flag != 0 && width > 0 && height > 0) return refuse(WalkOutcome::backgroundImage);
        c_.skip(size - editorImageRead);
    }

    // Flag 1 holds an image; so does a real width and height with any flag.
    // A 1.22 body's image is refused; any other is stepped over.
    void image() noexcept {
        const std::int32_t flag = c_.readS32();
        const std::int32_t width = c_.readS32();
        const std::int32_t height = c_.readS32();
        c_.skip(imageTail);
        const bool held = flag == imageFlag || (width > 0 && height > 0);
        if (c_.ok() && held && version_ == editorVersion) return refuse(WalkOutcome::backgroundImage);
        if (width > 0 && height > 0) skipBitmap();
    }

    // A device-independent bitmap as the editors write it: the info header
    // (40 bytes: size, width, height, planes, bits per pixel, compression,
    // size of the pixels, two resolutions, colours used, colours important),
    // the palette (4 bytes per colour: those used, else all that the bits per
    // pixel give), then the pixels, rows of whole 32-bit words.  The header's
    // size of the pixels is not taken: editors have written it 2 bytes larger
    // than the rows they stored.
    void skipBitmap() noexcept {
        BodyCursor info = c_;
        c_.skip(bitmapInfoSize);
        info.skip(4);
        const std::int64_t width = info.readS32();
        const std::int64_t height = info.readS32();
        info.skip(2);
        const std::int64_t bits = static_cast<std::uint16_t>(info.readS16());
        info.skip(16);
        const std::int64_t used = info.readU32();
        c_.require(info.ok() && width >= 0 && width <= largestImageSide && height >= -largestImageSide &&
                   height <= largestImageSide &&
                   (bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32));
        if (!c_.ok()) return;
        const std::int64_t colours = used != 0 ? used : bits <= 8 ? std::int64_t{1} << bits : 0;
        const std::int64_t rows = height < 0 ? -height : height;
        c_.require(colours <= 256);
        c_.skip(4 * colours);
        c_.skip(rows * ((width * bits + 31) / 32 * 4));
    }

    // Without a container version, the one that the game stores with the
    // body's version is taken.
    [[nodiscard]] bool hasPopulation() const noexcept {
        return containerVersion_ != 0 ? containerVersion_ >= firstPopulation : version_ > lastOfAgeOfKings;
    }

    void refuse(WalkOutcome outcome) noexcept { refusal_ = outcome; }

    BodyCursor c_;
    Version version_;
    int containerVersion_;
    std::int64_t players_ = 0;
    double triggerVersion_ = 0.0;
    std::optional<WalkOutcome> refusal_;
};

// The version at the start of a body, or 0 when no layout describes it (or
// the body is too short to hold one).
Version bodyVersion(std::span<const std::uint8_t> bodyStart) noexcept {
    if (bodyStart.size() < bodyVersionEnd) return 0;
    return versions::ofStored(BodyCursor(bodyStart, versionOffset).readF32()).hundredths();
}

}  // namespace

bool knownBodyVersion(std::span<const std::uint8_t> bodyStart) noexcept { return bodyVersion(bodyStart) != 0; }

WalkResult findTriggerSection(std::span<const std::uint8_t> body, int containerVersion) noexcept {
    if (body.size() < bodyVersionEnd) return {WalkOutcome::unreadableBody};
    const Version version = bodyVersion(body);
    if (version == 0) return {WalkOutcome::unsupportedVersion};

    // The one place that picks the layout: the first of the version's, unless
    // it cannot read the body and a later one reaches the trigger count.
    std::optional<WalkResult> first;
    for (const BodyLayout& layout : bodyLayouts) {
        if (version < layout.from || version > layout.until) continue;
        const WalkResult walked = LayoutWalk(body, version, containerVersion).run(layout.steps);
        if (!first) {
            first = walked;
            if (walked.outcome != WalkOutcome::unreadableBody) return walked;
        } else if (walked.outcome == WalkOutcome::triggerSection) {
            return walked;
        }
    }
    return *first;
}

}  // namespace vantor
