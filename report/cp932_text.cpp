#include "report/cp932_text.h"

#include <algorithm>
#include <cstdint>

#include "report/cp932_table.h"

namespace vantor {
namespace {

constexpr char unmappable = '?';
constexpr std::uint32_t replacement = 0xFFFD;

bool isLeadByte(unsigned char byte) { return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC); }
bool isTrailByte(unsigned char byte) { return byte >= 0x40 && byte <= 0xFC && byte != 0x7F; }

// The bytes of the cp932 character at `i`: 2 for a lead byte and a trail
// byte, else 1.
std::size_t characterLength(std::string_view text, std::size_t i) {
    return i + 1 < text.size() && isLeadByte(static_cast<unsigned char>(text[i])) &&
                   isTrailByte(static_cast<unsigned char>(text[i + 1]))
               ? 2
               : 1;
}

// The character of one cp932 character's bytes (above 0x7F).
std::uint32_t decodeCp932(std::string_view ch) {
    const auto b0 = static_cast<unsigned char>(ch[0]);
    if (ch.size() == 1) return b0 >= 0xA1 && b0 <= 0xDF ? 0xFF61 + (b0 - 0xA1u) : replacement;
    const std::uint16_t cp = cp932::characterOf((std::uint32_t{b0} << 8) | static_cast<unsigned char>(ch[1]));
    return cp != 0 ? cp : replacement;
}

void appendUtf8(std::string& out, std::uint32_t cp) {
    if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
    } else {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    }
    out += static_cast<char>(0x80 | (cp & 0x3F));
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
        const Utf8Sequence d = b < 0x80 ? Utf8Sequence{} : utf8SequenceAt(rest);
        if (d.length == 0) {  // ASCII, or a byte outside any sequence: as it is
            scratch.push_back(rest[0]);
            rest.remove_prefix(1);
            continue;
        }
        const std::uint16_t code = cp932::codeOf(d.codePoint);
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

std::string cp932ToUtf8(std::string_view text, bool lfLineEnds) {
    std::string out;
    out.reserve(text.size() + text.size() / 2);
    for (std::size_t i = 0; i < text.size();) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if (byte < 0x80) {  // ASCII is the same in both
            if (!(lfLineEnds && byte == '\r' && i + 1 < text.size() && text[i + 1] == '\n')) out += text[i];
            ++i;
            continue;
        }
        const std::size_t n = characterLength(text, i);
        appendUtf8(out, decodeCp932(text.substr(i, n)));
        i += n;
    }
    return out;
}

std::string Utf8Converter::convert(std::string_view cp932) {
    held_.append(cp932);
    // Up to the last whole character, and short of a CR whose LF may follow.
    std::size_t whole = 0;
    for (std::size_t i = 0; i < held_.size(); i += characterLength(held_, i)) {
        const bool last = i + 1 == held_.size();
        if (last && (isLeadByte(static_cast<unsigned char>(held_[i])) || (lfLineEnds_ && held_[i] == '\r'))) break;
        whole = i + characterLength(held_, i);
    }
    std::string converted = cp932ToUtf8(std::string_view(held_).substr(0, whole), lfLineEnds_);
    held_.erase(0, whole);
    return converted;
}

std::string Utf8Converter::finish() {
    std::string converted = cp932ToUtf8(held_, lfLineEnds_);
    held_.clear();
    return converted;
}

}  // namespace vantor
