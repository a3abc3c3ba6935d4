// Builds scenario bytes for tests, benchmarks, fuzz seeds and the bundled
// sample: a body laid out as the walk expects it, its triggers, and the
// container around it.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "scenario/trigger_fields.h"

namespace vantor::testing {

using Bytes = std::vector<std::uint8_t>;

// An effect or a condition; its fields' size is the stored field count, and
// fields not set stay -1, as the game saves them.  A field is set by its name
// (scenario/trigger_fields.h); one past the stored count grows them.
struct Effect {
    std::int32_t type = 0;
    std::vector<std::int32_t> fields = std::vector<std::int32_t>(23, -1);
    std::string text;  // String32 bytes as stored (add a NUL yourself)
    std::string sound;
    std::vector<std::int32_t> selectedObjects;  // written as they are; field 4 sizes them
    std::array<std::string, 2> optionTexts;     // Definitive Edition 1.54 and later

    Effect& set(EffectField field, std::int32_t value);
    Effect& select(std::vector<std::int32_t> ids);  // also sets the selected count to theirs
};

struct Condition {
    std::int32_t type = 0;
    std::vector<std::int32_t> fields = std::vector<std::int32_t>(16, -1);
    std::string scriptText;  // Definitive Edition 1.40 and later

    Condition& set(ConditionField field, std::int32_t value);
};

inline Effect effect(std::int32_t type) {
    Effect e;
    e.type = type;
    return e;
}
inline Condition condition(std::int32_t type) {
    Condition c;
    c.type = type;
    return c;
}

struct Trigger {
    std::int32_t enabled = 1;
    std::int8_t loop = 0;
    std::int8_t objective = 0;
    std::int32_t descriptionOrder = 0;
    std::string description;
    std::string name;
    std::vector<Effect> effects;
    std::vector<Condition> conditions;
    std::string shortDescription;   // Definitive Edition only
    std::int8_t executeOnLoad = 0;  // Definitive Edition 1.55 and later
    // Stored counts; when unset, the sizes of the lists.
    std::int64_t effectCount = unset;
    std::int64_t conditionCount = unset;
    static constexpr std::int64_t unset = -1000000000000;
};

struct PlayerBlock {
    std::string name;
    std::int16_t entryCount = 0;         // fixed: 5·k + 6 bytes; stored: k stances
    float tailCount = 0.0f;              // fixed: 4 + 4·trunc(v) + 13 bytes; stored: the victory version
    std::int32_t victoryConditions = 0;  // stored only: 44 bytes each
};

// How the body is laid out up to the trigger section:
//  - fixed: as the fixed walk of body 1.22 expects it, fixed blocks filled;
//  - stored: as the game stores `version` (1.18 to 1.26), every part that a
//    walk by stored sizes reads written with its real size and separators.
//    With nine stances and victory version 2.0 in every player block, a 1.22
//    body of this layout is also read by the fixed walk.
enum class Layout { fixed, stored };

struct BodySpec {
    Layout layout = Layout::fixed;
    float version = 1.22f;
    double triggerVersion = 1.6;  // stored layout
    std::string firstText;
    std::string secondText;
    std::array<std::string, 9> textsBehindSecondText;
    std::int32_t imageFlag = 0;
    std::int32_t imageWidth = 0;
    std::int32_t imageHeight = 0;
    std::array<std::string, 16> textsBehindFlag;
    std::array<std::string, 16> entries;  // each: 8 bytes, int32 m, m bytes
    std::int32_t mapDimension = 0;
    std::array<std::int32_t, 9> unitCounts{};
    std::array<PlayerBlock, 8> players;
    std::vector<Trigger> triggers;
    std::int64_t triggerCount = Trigger::unset;  // stored count; when unset, the list's size
    std::string trailing;                        // bytes behind the trigger section
};

struct BuiltBody {
    Bytes bytes;
    std::size_t flagOffset = 0;          // the background-image flag
    std::size_t mapStepOffset = 0;       // fixed: the 18464-byte block before the map; DE: the map's width
    std::size_t mapOffset = 0;           // stored: the map's dimensions
    std::size_t triggerCountOffset = 0;  // the trigger count
};

BuiltBody buildBody(const BodySpec& spec);

// A Definitive Edition body (*.aoe2scenario).  Every part that the walk
// sizes by a stored length or count holds something, so that a misstep shows.
struct DefinitiveSpec {
    int version = 158;  // the body version in hundredths: 136 for 1.36; 131, 132, 135 of the early builds
    std::int32_t imageFlag = 3;
    std::int32_t imageWidth = 0;
    std::int32_t imageHeight = 0;
    std::int32_t mapWidth = 3;
    std::int32_t mapHeight = 2;
    std::vector<Trigger> triggers;
    std::int64_t triggerCount = Trigger::unset;
    // When given, what stands behind the triggers of trigger records 2.2 and
    // later: their order, the variables' values, no technologies, and these
    // variables' numbers and names.
    std::optional<std::vector<std::pair<std::uint32_t, std::string>>> variables;
    std::string trailing;
};

BuiltBody buildDefinitiveBody(const DefinitiveSpec& spec);
// The stored field counts of effects and conditions as the version saves them.
std::size_t definitiveEffectFields(int version);
std::size_t definitiveConditionFields(int version);

// A campaign of version 100 ("1.00"), 110 or 200 that holds the scenario
// files one after another; names are written as given (cp932 for 100, UTF-8
// for the others).
struct CampaignScenario {
    std::string name;
    std::string fileName;
    Bytes file;
};
Bytes buildCampaign(int version, const std::string& name, const std::vector<CampaignScenario>& scenarios);

// Raw deflate (window bits -15) of the bytes.
Bytes rawDeflate(const Bytes& bytes, int level = 6);

// The container: 4 leading bytes, header length, header, raw-deflated body.
Bytes buildContainer(const Bytes& body, const std::string& header = "scenario header",
                     const std::string& leading = "1.21");
// A container whose header has its fields: version 2 (save time, description,
// two counts) or 3 (and the data set and add-ons, with a version in front of
// the data set unless `dataSetFirst`); with storeLength false its length is
// stored as 0.
struct HeaderSpec {
    std::uint32_t version = 2;
    bool storeLength = true;
    std::string description = "described";
    bool dataSetFirst = false;
    std::string leading = "1.21";
};
Bytes buildContainer(const Bytes& body, const HeaderSpec& header);
// As the Definitive Edition writes it: header length 0, the header field by
// field (version 5 before 1.40, else 6).
Bytes buildDefinitiveContainer(const Bytes& body, int version);

// The same triggers in the layout of every edition the walk reads, each in
// the container its game writes: Age of Kings 1.18 to 1.20, The Conquerors
// 1.21 and 1.22 (once more with victory conditions in its player blocks), the
// HD editions 1.23 to 1.26 with headers of version 2 and 3, with and without
// their length, and the Definitive Edition's versions.  Records stored with
// the game's field counts get the counts of each edition.
struct Edition {
    std::string name;
    Bytes body;
    Bytes file;
};
std::vector<Edition> everyEdition(const std::vector<Trigger>& triggers);

// Little-endian writers, and the records every edition shares: type, stored
// field count, fields, and for effects the two texts and the selected objects.
void putS32(Bytes& out, std::int32_t value);
void putS16(Bytes& out, std::int16_t value);
void putF32(Bytes& out, float value);
void putString32(Bytes& out, const std::string& text);
void putString16(Bytes& out, const std::string& text);
void putEffect(Bytes& out, const Effect& e);
void putCondition(Bytes& out, const Condition& c);
void putF64(Bytes& out, double value);
// A background image of width × height (nothing unless both are above 0):
// the bitmap's info header, a palette of 256 colours and the pixels.
void putBitmap(Bytes& out, std::int32_t width, std::int32_t height);
// The trigger count at `triggerCountOffset` (the given one or the list's
// size), the triggers, the trailing bytes; `definitive` is the Definitive
// Edition's body version, whose records hold more (0 before it).
void putTriggerSection(BuiltBody& built, const std::vector<Trigger>& triggers, std::int64_t triggerCount,
                       const std::string& trailing, int definitive = 0);
// Fixed blocks hold 0xA5, so that a misplaced read shows.
void putFiller(Bytes& out, std::size_t count);

Bytes readFile(const std::filesystem::path& path);
std::string readText(const std::filesystem::path& path);  // the same bytes as a string
void writeFile(const std::filesystem::path& path, const Bytes& bytes);

}  // namespace vantor::testing
