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

}  // namespace vantor::bench
