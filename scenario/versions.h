// The body versions that the walk and the trigger reader know, and the
// versions from which a record holds more: one place for every version.
#pragma once

#include <compare>
#include <cstdint>

namespace vantor {

// A scenario body's version in hundredths, as the float at its offset 4
// gives it (1.22 is 122); 0 for none that we know.
class BodyVersion {
public:
    constexpr BodyVersion() = default;
    constexpr explicit BodyVersion(int hundredths) : hundredths_(hundredths) {}

    [[nodiscard]] constexpr int hundredths() const { return hundredths_; }
    [[nodiscard]] constexpr bool known() const { return hundredths_ != 0; }
    // Whether the body is the Definitive Edition's, whose texts are UTF-8 and
    // whose trigger records hold more.
    [[nodiscard]] constexpr bool definitive() const;
    // The version whose trigger types and parameters the body's records
    // have: the Definitive Edition's early builds (1.31 to 1.35) have those
    // of its first release.
    [[nodiscard]] constexpr BodyVersion ofTriggerTypes() const;

    friend constexpr auto operator<=>(BodyVersion, BodyVersion) = default;

private:
    int hundredths_ = 0;
};

namespace versions {

// The editions.
inline constexpr BodyVersion oldest{118};            // Age of Kings
inline constexpr BodyVersion lastOfAgeOfKings{120};  // its bodies come in containers of 1.18
inline constexpr BodyVersion conquerorsEditor{122};  // The Conquerors' editor: the fixed layout
inline constexpr BodyVersion lastHd{126};            // the HD editions' last
inline constexpr BodyVersion firstDefinitive{131};   // the Definitive Edition's early builds
inline constexpr BodyVersion firstRelease{136};      // its first release
inline constexpr BodyVersion newest{158};

// Trigger records: the versions from which they hold more.
inline constexpr BodyVersion conditionScriptText{140};  // a condition's script function name
inline constexpr BodyVersion effectOptionTexts{154};    // the two texts of a decision's options
inline constexpr BodyVersion executeOnLoadFlag{155};    // a trigger's "run when loaded" byte

// The version floats as the editors store them, each with its version.
struct StoredVersion {
    float stored;
    BodyVersion version;
};
// clang-format off
inline constexpr StoredVersion known[] = {
    {1.18f, BodyVersion{118}}, {1.19f, BodyVersion{119}}, {1.20f, BodyVersion{120}}, {1.21f, BodyVersion{121}},
    {1.22f, BodyVersion{122}}, {1.23f, BodyVersion{123}}, {1.24f, BodyVersion{124}}, {1.25f, BodyVersion{125}},
    {1.26f, BodyVersion{126}}, {1.31f, BodyVersion{131}}, {1.32f, BodyVersion{132}}, {1.35f, BodyVersion{135}},
    {1.36f, BodyVersion{136}}, {1.37f, BodyVersion{137}}, {1.40f, BodyVersion{140}}, {1.41f, BodyVersion{141}},
    {1.42f, BodyVersion{142}}, {1.43f, BodyVersion{143}}, {1.44f, BodyVersion{144}}, {1.45f, BodyVersion{145}},
    {1.46f, BodyVersion{146}}, {1.47f, BodyVersion{147}}, {1.48f, BodyVersion{148}}, {1.49f, BodyVersion{149}},
    {1.51f, BodyVersion{151}}, {1.53f, BodyVersion{153}}, {1.54f, BodyVersion{154}}, {1.55f, BodyVersion{155}},
    {1.56f, BodyVersion{156}}, {1.57f, BodyVersion{157}}, {1.58f, BodyVersion{158}},
};
// clang-format on

// The version of a stored float, or none.
constexpr BodyVersion ofStored(float stored) {
    for (const StoredVersion& k : known)
        if (k.stored == stored) return k.version;
    return {};
}

}  // namespace versions

constexpr bool BodyVersion::definitive() const { return *this >= versions::firstDefinitive; }

constexpr BodyVersion BodyVersion::ofTriggerTypes() const {
    return definitive() && *this < versions::firstRelease ? versions::firstRelease : *this;
}

}  // namespace vantor
