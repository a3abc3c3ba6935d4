// The walk from the first byte of a scenario body to its trigger count.
#pragma once

#include <cstdint>

#include "scenario/body.h"
#include "scenario/trigger_layout.h"

namespace vantor {

// The one body version whose layout the walk knows (the float at offset 4).
inline constexpr float supportedBodyVersion = 1.22f;

enum class [[nodiscard]] WalkOutcome{
    triggerSection,      // position = the trigger count
    unsupportedVersion,  // the body is of another version than 1.22
    backgroundImage,     // the scenario holds a background image
    unreadableBody,      // a length, count or position leads outside the body
};

struct WalkResult {
    WalkOutcome outcome;
    std::int64_t position = 0;
    TriggerLayout layout{};
};

// Checks the body version, then walks the fixed layout to the trigger count.
// Reads nothing outside the body and changes nothing in it.
WalkResult findTriggerSection(std::span<const std::uint8_t> body) noexcept;

}  // namespace vantor
