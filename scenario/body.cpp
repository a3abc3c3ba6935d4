#include "scenario/body.h"

#include <cstdlib>
#include <cstring>
#include <utility>

#ifdef __linux__
#include <sys/mman.h>
#endif

namespace vantor {

BodyBytes::BodyBytes(BodyBytes&& other) noexcept
    : data_(std::exchange(other.data_, nullptr)), capacity_(std::exchange(other.capacity_, 0)) {}

BodyBytes& BodyBytes::operator=(BodyBytes&& other) noexcept {
    if (this != &other) {
        reset();
        data_ = std::exchange(other.data_, nullptr);
        capacity_ = std::exchange(other.capacity_, 0);
    }
    return *this;
}

#ifdef __linux__
namespace {
constexpr std::size_t hugePageSize = std::size_t{2} << 20;
}

bool BodyBytes::reserve(std::size_t capacity) noexcept {
    if (capacity <= capacity_) return true;
    const std::size_t rounded = (capacity + hugePageSize - 1) / hugePageSize * hugePageSize;
    void* p = data_ ? ::mremap(data_, capacity_, rounded, MREMAP_MAYMOVE)
                    : ::mmap(nullptr, rounded, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (p == MAP_FAILED) return false;
    ::madvise(p, rounded, MADV_HUGEPAGE);  // only advice: without it, small pages
    data_ = static_cast<std::uint8_t*>(p);
    capacity_ = rounded;
    return true;
}

void BodyBytes::reset() noexcept {
    if (data_) ::munmap(data_, capacity_);
    data_ = nullptr;
    capacity_ = 0;
}
#else
bool BodyBytes::reserve(std::size_t capacity) noexcept {
    if (capacity <= capacity_) return true;
    void* p = std::realloc(data_, capacity);
    if (!p) return false;
    data_ = static_cast<std::uint8_t*>(p);
    capacity_ = capacity;
    return true;
}

void BodyBytes::reset() noexcept {
    std::free(data_);
    data_ = nullptr;
    capacity_ = 0;
}
#endif

namespace {

BodyText readText(BodyCursor& cursor, std::int32_t length) noexcept {
    const std::uint8_t* p = cursor.take(length);  // a negative length fails here
    if (!p) return {};
    const void* nul = std::memchr(p, 0, static_cast<std::size_t>(length));
    const std::size_t textLength =
        nul ? static_cast<std::size_t>(static_cast<const std::uint8_t*>(nul) - p) : static_cast<std::size_t>(length);
    return {std::string_view(reinterpret_cast<const char*>(p), textLength), length};
}

}  // namespace

BodyText readString16(BodyCursor& cursor) noexcept {
    const std::int16_t length = cursor.readS16();
    return cursor.ok() ? readText(cursor, length) : BodyText{};
}

BodyText readString32(BodyCursor& cursor) noexcept {
    const std::int32_t length = cursor.readS32();
    return cursor.ok() ? readText(cursor, length) : BodyText{};
}

}  // namespace vantor
