// The walk from the first byte of a scenario body to its trigger count.
#pragma once

#include <cstdint>

#include "scenario/body.h"
#include "scenario/trigger_layout.h"

namespace vantor {

// The body version of The Conquerors as its editor saves it (the float at
// offset 4), walked with the fixed layout first.
inline constexpr float supportedBodyVersion = 1.22f;

enum class [[nodiscard]] WalkOutcome{
    triggerSection,      // position = the trigger count
    unsupportedVersion,  // a body version, or a layout, that no table describes
    backgroundImage,     // the scenario holds a background image
    unreadableBody,      // a length, count or position leads outside the body
};

struct WalkResult {
    WalkOutcome outcome;
    std::int64_t position = 0;
    // The version of the trigger records (the float64 nine bytes before the
    // trigger count), when the walk got there.
    double triggerVersion = 0;
    // How the trigger records are laid out.
    TriggerLayout layout{};
};

// Picks the layout by the body version (and, where they differ, by the
// container version), then walks it to the trigger count.  Reads nothing
// outside the body and changes nothing in it.
WalkResult findTriggerSection(std::span<const std::uint8_t> body, ContainerFacts container = {}) noexcept;

}  // namespace vantor
