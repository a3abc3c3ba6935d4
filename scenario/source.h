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

// Reads fields one after another where they stand in a source; what it
// steps over is never read.  A field past the end of the source (or a
// negative count), or a failed read, stops it for good: every later field is
// then 0 or empty.
class SourceReader {
public:
    SourceReader(ScenarioSource& source, std::int64_t position) noexcept : source_(source), position_(position) {}

    // A little-endian unsigned field of 1 to 8 bytes.
    std::uint64_t unsignedField(int bytes) {
        std::uint8_t b[8] = {};
        if (!read(b, bytes)) return 0;
        std::uint64_t value = 0;
        for (int i = bytes - 1; i >= 0; --i) value = (value << 8) | b[i];
        return value;
    }
    std::uint32_t u32() { return static_cast<std::uint32_t>(unsignedField(4)); }
    // `count` bytes into `buffer`; false once the reader has stopped.
    bool read(void* buffer, std::int64_t count) {
        if (!fits(count)) return false;
        if (count > 0 && source_.readAt(position_, buffer, static_cast<std::size_t>(count)) != count) failed_ = true;
        position_ += count;
        return ok();
    }
    void skip(std::int64_t count) {
        if (fits(count)) position_ += count;
    }

    [[nodiscard]] bool ok() const noexcept { return !outside_ && !failed_; }
    [[nodiscard]] bool readFailed() const noexcept { return failed_; }
    // Stops the reader as a field outside the source does (for a field that
    // holds what the format does not allow).
    void refuse() noexcept { outside_ = true; }
    [[nodiscard]] std::int64_t position() const noexcept { return position_; }
    [[nodiscard]] std::int64_t remaining() const { return source_.length() - position_; }

private:
    bool fits(std::int64_t count) {
        if (ok() && (count < 0 || count > remaining())) outside_ = true;
        return ok();
    }

    ScenarioSource& source_;
    std::int64_t position_;
    bool outside_ = false;
    bool failed_ = false;
};

}  // namespace vantor
