// The report in the making: cp932 bytes as they will stand in the file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

namespace vantor {

// Where report bytes go as they are made: a file, standard output.
class ReportSink {
public:
    virtual ~ReportSink() = default;
    // False when the bytes could not be written.
    virtual bool write(std::string_view bytes) = 0;
    // Whether a write failed because the output was closed (a reader that
    // went away), not for want of room or of permission.
    [[nodiscard]] virtual bool closed() const { return false; }
};

// A growable byte buffer with the few printf conversions the report uses.
// The report file is a text-mode file: every LF that a line holds is stored
// as CR LF, and so it is here, byte by byte, as it is appended.  Widths count
// bytes before that translation, as printf counts them.
//
// The storage grows with realloc, which for large buffers remaps pages
// instead of copying them, so a report of n bytes touches about n bytes.
// Streamed to a sink, it holds one piece at a time instead: whenever the
// next bytes would not fit, what it holds goes to the sink.
class ReportBuffer {
public:
    ReportBuffer() = default;
    ReportBuffer(const ReportBuffer&) = delete;
    ReportBuffer& operator=(const ReportBuffer&) = delete;
    ReportBuffer(ReportBuffer&& other) noexcept;
    ReportBuffer& operator=(ReportBuffer&& other) noexcept;
    ~ReportBuffer();

    [[nodiscard]] const char* data() const noexcept { return data_; }
    [[nodiscard]] std::size_t size() const noexcept { return size_; }
    [[nodiscard]] std::string_view view() const noexcept { return {data_, size_}; }
    void clear() noexcept { size_ = 0; }
    void reserve(std::size_t capacity);

    // From now on, bytes go on to `sink` in pieces of about `pieceSize`.
    void streamTo(ReportSink& sink, std::size_t pieceSize = std::size_t{256} << 10);
    // Hands what is held to the sink; false when any write to it failed
    // (then every later byte is dropped).
    [[nodiscard]] bool flush();

    // Bytes that hold no LF (the program's own texts, names): as they are.
    void literal(std::string_view s) {
        char* p = grow(s.size());
        if (!s.empty()) std::memcpy(p, s.data(), s.size());
    }
    void literal(char c) { *grow(1) = c; }
    // "\n" of a format: CR LF.
    void newline() { literal(std::string_view("\r\n", 2)); }
    // A text from the scenario: every LF becomes CR LF.
    void text(std::string_view s);
    // "%-Ns": the text, then blanks up to `width` bytes.
    void textLeft(std::string_view s, int width);
    void literalLeft(std::string_view s, int width);

    // "%d", "%-Nd" (leftAlign), "%Nd", "%0Nd" (zeroPad).
    enum class Pad { right, left, zero };
    void integer(std::int32_t value, int width = 0, Pad pad = Pad::right);
    // "%#8x" of the value read as unsigned.
    void alternateHex8(std::uint32_t value);

private:
    char* grow(std::size_t n) {
        if (capacity_ - size_ < n) expand(n);
        char* p = data_ + size_;
        size_ += n;
        return p;
    }
    void expand(std::size_t n);
    void repeat(char c, std::size_t n);

    char* data_ = nullptr;
    std::size_t size_ = 0;
    std::size_t capacity_ = 0;
    ReportSink* sink_ = nullptr;
    bool sinkFailed_ = false;
};

}  // namespace vantor
