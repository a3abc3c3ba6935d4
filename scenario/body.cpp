#include "scenario/body.h"

#include <cstring>
#include <utility>

#include "platform/memory.h"

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

bool BodyBytes::reserve(std::size_t capacity) noexcept {
    if (capacity <= capacity_) return true;
    std::size_t granted = capacity;
    void* p = platform::growMemory(data_, capacity_, granted);
    if (!p) return false;
    data_ = static_cast<std::uint8_t*>(p);
    capacity_ = granted;
    return true;
}

void BodyBytes::reset() noexcept {
    if (data_) platform::releaseMemory(data_, capacity_);
    data_ = nullptr;
    capacity_ = 0;
}

BodyText BodyCursor::readText(std::int32_t length) noexcept {
    const std::uint8_t* p = take(length);  // a negative length fails here
    if (!p) return {};
    const void* nul = std::memchr(p, 0, static_cast<std::size_t>(length));
    const std::size_t textLength =
        nul ? static_cast<std::size_t>(static_cast<const std::uint8_t*>(nul) - p) : static_cast<std::size_t>(length);
    return {std::string_view(reinterpret_cast<const char*>(p), textLength), length};
}

BodyText BodyCursor::readString32() noexcept {
    const std::int32_t length = readS32();
    return ok() ? readText(length) : BodyText{};
}

}  // namespace vantor
