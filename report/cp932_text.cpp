#include "report/cp932_text.h"

#include <algorithm>
#include <cstdint>
#include <iterator>

namespace vantor {
namespace {

// A run of consecutive code points that cp932 holds, and where their codes
// start in cp932Codes.
struct Cp932Run {
    std::uint16_t first;
    std::uint16_t length;
    std::uint16_t offset;
};

#include "report/cp932_table.inc"

constexpr char unmappable = '?';

// The cp932 code of a code point above U+007F, or 0 when cp932 has none.
std::uint16_t cp932Code(std::uint32_t codePoint) {
    if (codePoint > 0xFFFF) return 0;
    const auto after = std::upper_bound(std::begin(cp932Runs), std::end(cp932Runs), codePoint,
                                        [](std::uint32_t cp, const Cp932Run& run) { return cp < run.first; });
    if (after == std::begin(cp932Runs)) return 0;
    const Cp932Run& run = *std::prev(after);
    const std::uint32_t index = codePoint - run.first;
    return index < run.length ? cp932Codes[run.offset + index] : 0;
}

bool isContinuation(unsigned char b) { return (b & 0xC0) == 0x80; }

// The well-formed sequence at the start of `s` (its first byte 0x80 or
// above): its length and code point, or length 0 when there is none.
struct Decoded {
    std::size_t length = 0;
    std::uint32_t codePoint = 0;
};

Decoded decode(std::string_view s) {
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
        if (!isContinuation(b)) return {};
        cp = (cp << 6) | (b & 0x3Fu);
    }
    // Overlong forms, surrogates and values past U+10FFFF are not UTF-8.
    if (cp < lowest || (cp >= 0xD800 && cp <= 0xDFFF) || cp > 0x10FFFF) return {};
    return {length, cp};
}

}  // namespace

std::string_view utf8ToCp932(std::string_view utf8, std::string& scratch) {
    const auto firstHigh =
        std::find_if(utf8.begin(), utf8.end(), [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
    if (firstHigh == utf8.end()) return utf8;

    scratch.assign(utf8.begin(), firstHigh);
    std::string_view rest = utf8.substr(static_cast<std::size_t>(firstHigh - utf8.begin()));
    while (!rest.empty()) {
        const auto b = static_cast<unsigned char>(rest[0]);
        const Decoded d = b < 0x80 ? Decoded{} : decode(rest);
        if (d.length == 0) {  // ASCII, or a byte outside any sequence: as it is
            scratch.push_back(rest[0]);
            rest.remove_prefix(1);
            continue;
        }
        const std::uint16_t code = cp932Code(d.codePoint);
        if (code == 0)
            scratch.push_back(unmappable);
        else if (code < 0x100)
            scratch.push_back(static_cast<char>(code));
        else {
            scratch.push_back(static_cast<char>(code >> 8));
            scratch.push_back(static_cast<char>(code & 0xFF));
        }
        rest.remove_prefix(d.length);
    }
    return scratch;
}

}  // namespace vantor
