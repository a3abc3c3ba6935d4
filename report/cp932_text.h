// Code page 932 both ways, by one generated table (report/cp932_table.inc):
// the Definitive Edition's UTF-8 texts become the cp932 bytes that every
// report carries, and reports and messages become UTF-8 for the systems
// that read that.  The same bytes on every system.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace vantor {

// The well-formed UTF-8 sequence at the start of a text: its length in bytes
// and its code point; length 0 when none starts there (an ASCII byte, a
// stray continuation byte, an overlong form, a surrogate, a sequence cut
// short or past U+10FFFF).
struct Utf8Sequence {
    std::size_t length = 0;
    std::uint32_t codePoint = 0;
};
constexpr Utf8Sequence utf8SequenceAt(std::string_view s) noexcept {
    if (s.empty()) return {};
    const auto b0 = static_cast<unsigned char>(s[0]);
    std::size_t length = 0;
    std::uint32_t cp = 0;
    std::uint32_t lowest = 0;
    if (b0 >= 0xC2 && b0 <= 0xDF) {
        length = 2, cp = b0 & 0x1Fu, lowest = 0x80;
    } else if (b0 >= 0xE0 && b0 <= 0xEF) {
        length = 3, cp = b0 & 0x0Fu, lowest = 0x800;
    } else if (b0 >= 0xF0 && b0 <= 0xF4) {
        length = 4, cp = b0 & 0x07u, lowest = 0x10000;
    } else {
        return {};
    }
    if (s.size() < length) return {};
    for (std::size_t i = 1; i < length; ++i) {
        const auto b = static_cast<unsigned char>(s[i]);
        if ((b & 0xC0) != 0x80) return {};  // not a continuation byte
        cp = (cp << 6) | (b & 0x3Fu);
    }
    // Overlong forms, surrogates and values past U+10FFFF are not UTF-8.
    if (cp < lowest || (cp >= 0xD800 && cp <= 0xDFFF) || cp > 0x10FFFF) return {};
    return {length, cp};
}

// The cp932 form of a UTF-8 text.  A character that cp932 holds becomes its
// one or two bytes; any other character becomes one "?"; a byte that does not
// begin a well-formed UTF-8 sequence passes through as it is.  A text of
// ASCII bytes only is returned as it is; any other is built in `scratch`.
std::string_view utf8ToCp932(std::string_view utf8, std::string& scratch);

// The UTF-8 form of a cp932 text.  A byte sequence that is no cp932
// character becomes U+FFFD.  With lfLineEnds, every CR LF becomes LF.
std::string cp932ToUtf8(std::string_view cp932, bool lfLineEnds = false);

// cp932ToUtf8 for a text that comes in pieces: a character or a CR LF that a
// piece cuts in two is completed by the next piece.
class Utf8Converter {
public:
    explicit Utf8Converter(bool lfLineEnds) : lfLineEnds_(lfLineEnds) {}
    // The UTF-8 of the piece up to its last whole character.
    std::string convert(std::string_view cp932);
    // The UTF-8 of what is held back.
    std::string finish();

private:
    bool lfLineEnds_;
    std::string held_;
};

}  // namespace vantor
