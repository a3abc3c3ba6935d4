// The walk from the first byte of a scenario body to its trigger count.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "scenario/versions.h"

namespace vantor {

enum class [[nodiscard]] WalkOutcome{
    triggerSection,      // position = the trigger count
    unsupportedVersion,  // a body version, or a layout, that no table describes
    backgroundImage,     // the scenario holds a background image
    unreadableBody,      // a length, count or position leads outside the body
};

struct WalkResult {
    WalkOutcome outcome;
    std::int64_t position = 0;
    // The body's version, which decides how its trigger records are laid out.
    BodyVersion version{};
    // The trigger records' version as stored before the count; 0 where the
    // layout steps over it unread.
    double triggerVersion = 0.0;
};

// The body's version stands in its first bytes (a float at offset 4).
inline constexpr std::size_t bodyVersionEnd = 8;
// Whether a layout describes the version at the start of a body.
[[nodiscard]] bool knownBodyVersion(std::span<const std::uint8_t> bodyStart) noexcept;

// Picks the layout by the body version (and, where they differ, by the
// version of the container it came in: 0 when unknown), then walks it to the
// trigger count.  Reads nothing outside the body and changes nothing in it.
WalkResult findTriggerSection(std::span<const std::uint8_t> body, int containerVersion = 0) noexcept;

}  // namespace vantor
