#include "report/report_buffer.h"

#include <charconv>
#include <cstdlib>
#include <new>
#include <utility>

namespace vantor {

ReportBuffer::ReportBuffer(ReportBuffer&& other) noexcept
    : data_(std::exchange(other.data_, nullptr)),
      size_(std::exchange(other.size_, 0)),
      capacity_(std::exchange(other.capacity_, 0)),
      sink_(std::exchange(other.sink_, nullptr)),
      sinkFailed_(std::exchange(other.sinkFailed_, false)) {}

ReportBuffer& ReportBuffer::operator=(ReportBuffer&& other) noexcept {
    if (this != &other) {
        std::free(data_);
        data_ = std::exchange(other.data_, nullptr);
        size_ = std::exchange(other.size_, 0);
        capacity_ = std::exchange(other.capacity_, 0);
        sink_ = std::exchange(other.sink_, nullptr);
        sinkFailed_ = std::exchange(other.sinkFailed_, false);
    }
    return *this;
}

void ReportBuffer::streamTo(ReportSink& sink, std::size_t pieceSize) {
    sink_ = &sink;
    sinkFailed_ = false;
    reserve(pieceSize);
}

bool ReportBuffer::flush() {
    if (!sink_) return true;
    if (size_ > 0 && !sinkFailed_) sinkFailed_ = !sink_->write(view());
    size_ = 0;
    return !sinkFailed_;
}

ReportBuffer::~ReportBuffer() { std::free(data_); }

void ReportBuffer::reserve(std::size_t capacity) {
    if (capacity <= capacity_) return;
    void* p = std::realloc(data_, capacity);
    if (!p) throw std::bad_alloc();
    data_ = static_cast<char*>(p);
    capacity_ = capacity;
}

void ReportBuffer::expand(std::size_t n) {
    if (sink_) {
        (void)flush();  // a failure stays in sinkFailed_
        if (capacity_ >= n) return;
    }
    if (n > SIZE_MAX / 2 - size_) throw std::bad_alloc();
    std::size_t wanted = capacity_ < 4096 ? 4096 : capacity_ * 2;
    if (wanted < size_ + n) wanted = size_ + n;
    reserve(wanted);
}

void ReportBuffer::text(std::string_view s) {
    while (!s.empty()) {
        const void* lf = std::memchr(s.data(), '\n', s.size());
        if (!lf) {
            literal(s);
            return;
        }
        const std::size_t n = static_cast<std::size_t>(static_cast<const char*>(lf) - s.data());
        literal(s.substr(0, n));
        newline();
        s.remove_prefix(n + 1);
    }
}

void ReportBuffer::repeat(char c, std::size_t n) {
    if (n == 0) return;
    char* p = grow(n);
    std::memset(p, c, n);
}

void ReportBuffer::textLeft(std::string_view s, int width) {
    text(s);
    if (s.size() < static_cast<std::size_t>(width)) repeat(' ', static_cast<std::size_t>(width) - s.size());
}

void ReportBuffer::literalLeft(std::string_view s, int width) {
    literal(s);
    if (s.size() < static_cast<std::size_t>(width)) repeat(' ', static_cast<std::size_t>(width) - s.size());
}

void ReportBuffer::integer(std::int32_t value, int width, Pad pad) {
    // The digits from the last, then the whole field in one piece.
    char digits[10];
    std::size_t count = 0;
    const bool negative = value < 0;
    // The magnitude as unsigned, so that INT32_MIN needs no negation.
    std::uint32_t magnitude = negative ? 0u - static_cast<std::uint32_t>(value) : static_cast<std::uint32_t>(value);
    do {
        digits[count++] = static_cast<char>('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    const std::size_t length = count + (negative ? 1 : 0);
    const std::size_t fill = static_cast<std::size_t>(width) > length ? static_cast<std::size_t>(width) - length : 0;

    char* p = grow(length + fill);
    if (pad == Pad::right)
        for (std::size_t i = 0; i < fill; ++i) *p++ = ' ';
    if (negative) *p++ = '-';
    if (pad == Pad::zero)
        for (std::size_t i = 0; i < fill; ++i) *p++ = '0';
    while (count > 0) *p++ = digits[--count];
    if (pad == Pad::left)
        for (std::size_t i = 0; i < fill; ++i) *p++ = ' ';
}

void ReportBuffer::alternateHex8(std::uint32_t value) {
    if (value == 0) {  // "%#x" writes 0 without its prefix
        repeat(' ', 7);
        literal('0');
        return;
    }
    char digits[8];
    const auto end = std::to_chars(digits, digits + sizeof digits, value, 16).ptr;
    const std::size_t length = static_cast<std::size_t>(end - digits) + 2;
    if (length < 8) repeat(' ', 8 - length);
    literal("0x");
    literal(std::string_view(digits, static_cast<std::size_t>(end - digits)));
}

}  // namespace vantor
