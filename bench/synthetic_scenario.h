// Scenario files of any size, for timing: long Japanese descriptions, names
// longer than the name column, and a mix of effects and conditions that gives
// every kind of report line.
#pragma once

#include <cstdint>

#include "tests/support/scenario_builder.h"

namespace vantor::bench {

// The decompressed body of a scenario with `triggerCount` triggers.  The
// same count always gives the same bytes.
testing::Bytes syntheticBody(std::int32_t triggerCount);

// The same as a Definitive Edition 1.58 body: UTF-8 texts, the newer effect
// types among the others, and the records' later fields.
testing::Bytes syntheticDefinitiveBody(std::int32_t triggerCount);

}  // namespace vantor::bench
