// Code page 932 both ways as constant tables (report/cp932_table.inc, made
// by tools/make_cp932_table.py): for the conversions of report/cp932_text.cpp
// at run time, and for the program's own texts as it is compiled
// (report/cp932_literal.h).
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <iterator>

namespace vantor::cp932 {

// A run of consecutive keys (code points, or double-byte codes) that the
// table holds, and where their values start in the flat array beside it.
struct Cp932Run {
    std::uint16_t first;
    std::uint16_t length;
    std::uint16_t offset;
};

#include "report/cp932_table.inc"

// The value of `key` in a run table, or 0 when it has none.
template <std::size_t Runs, std::size_t Values>
constexpr std::uint16_t lookUp(const Cp932Run (&runs)[Runs], const std::uint16_t (&values)[Values], std::uint32_t key) {
    if (key > 0xFFFF) return 0;
    const auto after = std::upper_bound(std::begin(runs), std::end(runs), key,
                                        [](std::uint32_t k, const Cp932Run& run) { return k < run.first; });
    if (after == std::begin(runs)) return 0;
    const Cp932Run& run = *std::prev(after);
    const std::uint32_t index = key - run.first;
    return index < run.length ? values[run.offset + index] : 0;
}

// The cp932 code of a character above U+007F (a single byte below 0x100,
// else its lead byte and trail byte), or 0 when cp932 does not hold it.
constexpr std::uint16_t codeOf(std::uint32_t codePoint) { return lookUp(cp932Runs, cp932Codes, codePoint); }

// The character of a double-byte code, or 0 when it is none.
constexpr std::uint16_t characterOf(std::uint32_t code) { return lookUp(cp932DecodeRuns, cp932CodePoints, code); }

}  // namespace vantor::cp932
