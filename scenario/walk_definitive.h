// The walk through a Definitive Edition body (*.aoe2scenario).
#pragma once

#include <cstdint>
#include <span>

#include "scenario/walk.h"

namespace vantor {

// The Definitive Edition body version that `bodyVersion` (the float at
// offset 4) stands for, in hundredths (136 for 1.36); 0 for a version whose
// layout the walk does not know.
[[nodiscard]] int definitiveVersion(float bodyVersion) noexcept;

// Walks a body of the given version (in hundredths, as definitiveVersion
// gives it) to its trigger count.
WalkResult walkDefinitive(std::span<const std::uint8_t> body, int version) noexcept;

}  // namespace vantor
