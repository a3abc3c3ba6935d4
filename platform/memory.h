// Memory for the large buffers of a report (the scenario's body), as the
// system gives it best: on Linux one private mapping that the kernel may back
// with huge pages (a body of megabytes then costs a few page faults instead
// of hundreds), elsewhere the C heap.
#pragma once

#include <cstddef>

namespace vantor::platform {

// A block of at least `capacity` bytes holding the bytes of `block` (which
// it replaces; null for a new one), whose capacity as granted is `held`; or
// null when memory ran out (`block` then stays as it was).  `capacity`
// becomes what was granted.
[[nodiscard]] void* growMemory(void* block, std::size_t held, std::size_t& capacity) noexcept;
// Gives back a block with the capacity it was granted.
void releaseMemory(void* block, std::size_t capacity) noexcept;

}  // namespace vantor::platform
