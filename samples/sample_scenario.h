// The bundled sample scenario (samples/sample.scx): a few triggers that show
// every kind of line the report has.
#pragma once

#include "tests/support/scenario_builder.h"

namespace vantor::testing {

BodySpec sampleScenario();

}  // namespace vantor::testing
