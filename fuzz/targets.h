// The two fuzz targets, as plain functions so that the libFuzzer entries, the
// replay program and the regression tests all run the same code.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace vantor::fuzz {

// Each target runs one input and checks what must hold for every input.  It
// returns an empty text when all held, else what went wrong.

// The bytes of a scenario file: stored as x.scx in a scratch folder, then the
// whole report command (container, inflate through x.scx.dat, walk, report
// into memory).  Checks that the scenario is unchanged, that nothing is left
// beside it, that a failure shows exactly one message and yields no report,
// and that a report is well formed and the same when made again.
std::string runScenarioFile(std::span<const std::uint8_t> data);

// A decompressed body: the walk and the report into memory.  Checks that the
// report is well formed and agrees with the walk.
std::string runScenarioBody(std::span<const std::uint8_t> data);

}  // namespace vantor::fuzz
