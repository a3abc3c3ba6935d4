#include "scenario/body.h"

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

}  // namespace vantor
