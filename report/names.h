// Japanese names of the identifiers that trigger effects and conditions store.
#pragma once

#include <cstdint>

namespace vantor {

class ReportBuffer;

// Selector of the name tables.
enum class NameKind : std::int32_t {
    Technology = 1,
    Object = 2,
    UnitGroup = 3,
    ConditionType = 4,
    EffectType = 5,
    Player = 6,
    Resource = 7,
    UnitType = 8,
};

// Appends the report text of a stored value in a report of the edition whose
// body version is `definitive` (in hundredths; 0 for the editions before the
// Definitive Edition): its name (cp932), the empty text (-1 of objects, unit
// groups and unit types; any kind outside 1..8), or "不明(%#8x)".  Unit
// groups and unit types carry their own leading label.  Never fails.
void appendName(ReportBuffer& out, NameKind kind, std::int32_t value, int definitive = 0);

// The name of an effect or condition type.  Types that only later editions
// define are named only in their reports; any other type is named as
// appendName names it.
void appendTypeName(ReportBuffer& out, NameKind kind, std::int32_t type, int definitive = 0);

}  // namespace vantor
