// The bytes of a scenario file as the reader takes them: a file, or the part
// of a campaign file that holds one scenario.
#pragma once

#include <cstddef>
#include <cstdint>

namespace vantor {

class ScenarioSource {
public:
    virtual ~ScenarioSource() = default;
    [[nodiscard]] virtual std::int64_t length() const = 0;
    // Up to `count` bytes at `offset`: the count read, 0 at the end, -1 when
    // the bytes cannot be read.
    [[nodiscard]] virtual std::int64_t readAt(std::int64_t offset, void* buffer, std::size_t count) = 0;
};

}  // namespace vantor
