// The program's own Japanese texts, written as UTF-8 in the source and
// carried as cp932 bytes: "位置"_cp932 is the cp932 of its UTF-8, made as the
// program is compiled.  A character that cp932 does not hold, or bytes that
// are no UTF-8, stop the compilation.
#pragma once

#include <array>
#include <cstddef>
#include <string_view>

#include "report/cp932_table.h"
#include "report/cp932_text.h"

namespace vantor {
namespace cp932 {

template <std::size_t N>
struct Utf8Literal {
    char text[N];
    consteval Utf8Literal(const char (&s)[N]) {  // NOLINT: a literal turns into it
        for (std::size_t i = 0; i < N; ++i) text[i] = s[i];
    }
    [[nodiscard]] constexpr std::string_view view() const { return {text, N - 1}; }
};

// The cp932 bytes of a UTF-8 text, written into `out` when it is given;
// their number.
constexpr std::size_t encode(std::string_view utf8, char* out = nullptr) {
    std::size_t n = 0;
    const auto put = [&](char c) {
        if (out) out[n] = c;
        ++n;
    };
    while (!utf8.empty()) {
        const auto b = static_cast<unsigned char>(utf8[0]);
        if (b < 0x80) {
            put(utf8[0]);
            utf8.remove_prefix(1);
            continue;
        }
        const Utf8Sequence s = utf8SequenceAt(utf8);
        if (s.length == 0) throw "a text of the program that is no UTF-8";
        const std::uint16_t code = codeOf(s.codePoint);
        if (code == 0) throw "a character of the program's texts that cp932 does not hold";
        if (code >= 0x100) put(static_cast<char>(code >> 8));
        put(static_cast<char>(code & 0xFF));
        utf8.remove_prefix(s.length);
    }
    return n;
}

template <Utf8Literal S>
struct Encoded {
    static constexpr std::array<char, encode(S.view())> bytes = [] {
        std::array<char, encode(S.view())> a{};
        encode(S.view(), a.data());
        return a;
    }();
};

}  // namespace cp932

template <cp932::Utf8Literal S>
consteval std::string_view operator""_cp932() {
    return {cp932::Encoded<S>::bytes.data(), cp932::Encoded<S>::bytes.size()};
}

}  // namespace vantor
