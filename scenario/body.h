// The decompressed scenario body and the cursor that walks it.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>

namespace vantor {

// The bytes of a body as they are allocated and grown, in the memory that
// the platform gives large buffers (platform/memory.h).
class BodyBytes {
public:
    BodyBytes() = default;
    BodyBytes(BodyBytes&& other) noexcept;
    BodyBytes& operator=(BodyBytes&& other) noexcept;
    BodyBytes(const BodyBytes&) = delete;
    BodyBytes& operator=(const BodyBytes&) = delete;
    ~BodyBytes() { reset(); }

    // Makes room for at least `capacity` bytes, keeping those held; false
    // when memory ran out (what was held stays).
    [[nodiscard]] bool reserve(std::size_t capacity) noexcept;
    void reset() noexcept;

    [[nodiscard]] std::uint8_t* get() const noexcept { return data_; }
    [[nodiscard]] std::size_t capacity() const noexcept { return capacity_; }

private:
    std::uint8_t* data_ = nullptr;
    std::size_t capacity_ = 0;
};

// The decompressed bytes of one scenario.  size 0 means "no body"; while it
// is 0 the bytes are never read.
struct ScenarioBody {
    std::uint32_t size = 0;
    BodyBytes bytes;
    // The version of the container it came in (1.21 gives 121), or 0 when
    // the container tells none.
    int containerVersion = 0;

    void clear() noexcept {
        bytes.reset();
        size = 0;
        containerVersion = 0;
    }
    [[nodiscard]] bool empty() const noexcept { return size == 0; }
    [[nodiscard]] std::span<const std::uint8_t> view() const noexcept { return {bytes.get(), size}; }
};

// The largest body we hold, 256 MiB: well above any real one (the largest
// known is 3.3 MB), and small enough that a small file that inflates past it
// costs little (every position in it fits a signed 32-bit offset too).
inline constexpr std::uint32_t maxBodySize = std::uint32_t{256} << 20;

// The little-endian 32-bit value at p, each byte widened before it is shifted.
inline std::uint32_t loadU32(const std::uint8_t* p) noexcept {
    return std::uint32_t{p[0]} | (std::uint32_t{p[1]} << 8) | (std::uint32_t{p[2]} << 16) | (std::uint32_t{p[3]} << 24);
}

// A run of int32 values as stored in the body (a record's fields, the
// numbers of its selected objects).  A place past the stored count reads as
// unset, -1, as the game fills a field that a record does not store.
class StoredValues {
public:
    static constexpr std::int32_t unset = -1;

    StoredValues() = default;
    StoredValues(const std::uint8_t* first, std::size_t count) noexcept : first_(first), count_(count) {}

    [[nodiscard]] std::size_t count() const noexcept { return count_; }
    [[nodiscard]] std::int32_t at(std::size_t k) const noexcept {
        return k < count_ ? static_cast<std::int32_t>(loadU32(first_ + 4 * k)) : unset;
    }

private:
    const std::uint8_t* first_ = nullptr;
    std::size_t count_ = 0;
};

// A position in the body with a sticky failure.  Every read goes through one
// bounds check; a read or a skip that would leave the body fails, does not
// move the cursor, yields 0 and leaves the cursor failed for good.  Callers
// read a run of fields and test ok() once before acting on a value.
//
// Offsets and lengths are taken as 64-bit values so that no sum of stored
// values can wrap around; the position itself always stays within the body.
class BodyCursor {
public:
    BodyCursor(std::span<const std::uint8_t> body, std::int64_t position = 0) noexcept
        : body_(body), position_(position) {
        if (position < 0 || position > static_cast<std::int64_t>(body.size())) fail();
    }

    [[nodiscard]] bool ok() const noexcept { return ok_; }
    [[nodiscard]] std::int64_t position() const noexcept { return position_; }
    [[nodiscard]] std::int64_t remaining() const noexcept {
        return static_cast<std::int64_t>(body_.size()) - position_;
    }

    // Fails the cursor unless a value read holds what the format allows.
    void require(bool holds) noexcept {
        if (!holds) fail();
    }

    // Moves by count bytes; a negative count, or one past the end, fails.
    void skip(std::int64_t count) noexcept { static_cast<void>(take(count)); }
    // Moves over `count` records of `size` bytes; a negative count fails.
    void skipRecords(std::int64_t count, std::int64_t size) noexcept {
        require(count >= 0);
        skip(count * size);
    }

    // A cursor at `offset` bytes from this one, which is left as it is.
    [[nodiscard]] BodyCursor at(std::int64_t offset) const noexcept {
        BodyCursor c = *this;
        c.skip(offset);
        return c;
    }

    std::int8_t readS8() noexcept {
        const std::uint8_t* p = take(1);
        return p ? static_cast<std::int8_t>(p[0]) : 0;
    }
    std::int16_t readS16() noexcept {
        const std::uint8_t* p = take(2);
        if (!p) return 0;
        return static_cast<std::int16_t>(static_cast<std::uint16_t>(p[0] | (std::uint32_t{p[1]} << 8)));
    }
    std::int32_t readS32() noexcept { return static_cast<std::int32_t>(readU32()); }
    std::uint32_t readU32() noexcept {
        const std::uint8_t* p = take(4);
        return p ? loadU32(p) : 0;
    }
    float readF32() noexcept { return std::bit_cast<float>(readU32()); }
    double readF64() noexcept {
        const std::uint8_t* p = take(8);
        return p ? std::bit_cast<double>(loadU32(p) | (std::uint64_t{loadU32(p + 4)} << 32)) : 0.0;
    }

    // `count` int32 values; a negative count fails.
    StoredValues readValues(std::int32_t count) noexcept {
        require(count >= 0);
        const std::uint8_t* p = take(std::int64_t{4} * count);
        return ok() ? StoredValues(p, static_cast<std::size_t>(count)) : StoredValues();
    }
    // A record's fields: an int32 count F, then F int32 values.
    StoredValues readCountedValues() noexcept { return readValues(readS32()); }

    // String16: signed 16-bit length n, then n bytes.  String32: signed 32-bit
    // length n, then n bytes.  The reader takes all n bytes as stored (a
    // text stops at the first NUL among them: StoredText, scenario/
    // triggers.h); a negative length, or one past the end of the body, fails
    // the cursor and yields nothing.  The skips step over a text by its
    // length without looking at it.
    std::string_view readStored32() noexcept {
        const std::int32_t length = readS32();
        const std::uint8_t* p = take(length);  // a negative length fails here
        return p ? std::string_view(reinterpret_cast<const char*>(p), static_cast<std::size_t>(length))
                 : std::string_view();
    }
    void skipString16() noexcept { skip(readS16()); }
    void skipString32() noexcept { skip(readS32()); }

private:
    void fail() noexcept { ok_ = false; }

    // Takes `count` bytes and returns where they start, or nullptr on failure.
    const std::uint8_t* take(std::int64_t count) noexcept {
        if (!ok_ || count < 0 || count > remaining()) {
            fail();
            return nullptr;
        }
        const std::uint8_t* p = body_.data() + position_;
        position_ += count;
        return p;
    }

    std::span<const std::uint8_t> body_;
    std::int64_t position_;
    bool ok_ = true;
};

}  // namespace vantor
