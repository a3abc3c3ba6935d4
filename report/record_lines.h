// One report line for every effect and every condition of a trigger.
#pragma once

#include <cstdint>

#include "scenario/body.h"
#include "scenario/trigger_layout.h"

namespace vantor {

class ReportBuffer;

// An effect record, as stored:
//   0          int32     effect type
//   4          int32     F, the number of fields stored (23 as the game saves it)
//   8 + 4k     int32     field k, for k < F; a field k >= F counts as -1
//   8 + 4F     String32  text
//              String32  sound
//              int32 ×   one per selected object (field 4; -1 counts as 0)
//              String32  ×2 the texts of a decision's two options (Definitive
//                        Edition 1.54 and later)
//
// A condition record:
//   0          int32     condition type
//   4          int32     F (16 as the game saves it)
//   8 + 4k     int32     field k, for k < F
//   8 + 4F     String32  a script function's name (Definitive Edition 1.40
//                        and later)
//
// The Definitive Edition's texts are UTF-8: the effect's text is written in
// cp932, and types that only its later versions define have names of their own.
// Each writes one line for the record at the cursor and moves the cursor
// behind it.  On a record that leads outside the body (or a negative field
// count, text length or selected count) they write nothing and leave the
// cursor failed.
void formatEffectLine(BodyCursor& cursor, std::int32_t index, ReportBuffer& out, const TriggerLayout& layout = {});
void formatConditionLine(BodyCursor& cursor, std::int32_t index, ReportBuffer& out, const TriggerLayout& layout = {});

}  // namespace vantor
