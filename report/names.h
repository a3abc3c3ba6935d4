// Japanese names of the identifiers that trigger effects and conditions store.
#pragma once

#include <cstdint>

#include "scenario/versions.h"

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

// Appends the report text of a stored value in a report of a body of
// `version`: its name (cp932; the Definitive Edition's reports also know what
// that edition added), the empty text (-1 of objects, unit groups and unit
// types; any kind outside 1..8), or "不明(%#8x)".  Unit groups and unit types
// carry their own leading label unless told otherwise.  Never fails.  The
// names of effect and condition types are the rows' (report/type_rows.h).
enum class Label { withLabel, bare };
void appendName(ReportBuffer& out, NameKind kind, std::int32_t value, BodyVersion version = {},
                Label label = Label::withLabel);

// "不明(%#8x)": a value that no table names.
void appendUnknown(ReportBuffer& out, std::int32_t value);

}  // namespace vantor
