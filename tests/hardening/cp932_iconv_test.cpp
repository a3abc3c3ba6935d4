// The one cp932 table (report/cp932_table.inc) against glibc's iconv,
// character by character: every byte sequence of cp932 decodes as iconv
// decodes it, and every character that the table encodes comes back from
// iconv as itself.
#include <gtest/gtest.h>
#include <iconv.h>

#include <map>
#include <string>

#include "report/cp932_text.h"

namespace vantor::hardening {
namespace {

class Iconv {
public:
    Iconv(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
    ~Iconv() {
        if (ready()) iconv_close(cd_);
    }
    Iconv(const Iconv&) = delete;
    Iconv& operator=(const Iconv&) = delete;
    [[nodiscard]] bool ready() const { return cd_ != reinterpret_cast<iconv_t>(-1); }

    // The whole text converted, or `fallback` when it does not convert.
    std::string operator()(std::string text, const std::string& fallback) {
        char out[16];
        char* in = text.data();
        char* o = out;
        std::size_t inLeft = text.size(), outLeft = sizeof out;
        const bool converted = iconv(cd_, &in, &inLeft, &o, &outLeft) != static_cast<std::size_t>(-1) && inLeft == 0;
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        return converted ? std::string(out, static_cast<std::size_t>(o - out)) : fallback;
    }

private:
    iconv_t cd_;
};

std::string utf8Of(char32_t cp) {
    std::string s;
    if (cp < 0x80) return std::string(1, static_cast<char>(cp));
    if (cp < 0x800) return s + static_cast<char>(0xC0 | (cp >> 6)) + static_cast<char>(0x80 | (cp & 0x3F));
    return s + static_cast<char>(0xE0 | (cp >> 12)) + static_cast<char>(0x80 | ((cp >> 6) & 0x3F)) +
           static_cast<char>(0x80 | (cp & 0x3F));
}

TEST(Cp932Table, AgreesWithIconvForEveryCharacter) {
    Iconv decode("UTF-8", "CP932");
    ASSERT_TRUE(decode.ready());
    const std::string replacement = "\xEF\xBF\xBD";
    int codes = 0, characters = 0;
    for (int lead = 0x80; lead <= 0xFF; ++lead) {
        const std::string single(1, static_cast<char>(lead));
        EXPECT_EQ(cp932ToUtf8(single), decode(single, replacement)) << std::hex << lead;
        if (!((lead >= 0x81 && lead <= 0x9F) || (lead >= 0xE0 && lead <= 0xFC))) continue;
        for (int trail = 0x40; trail <= 0xFC; ++trail) {
            if (trail == 0x7F) continue;
            const std::string code = single + static_cast<char>(trail);
            const std::string ours = cp932ToUtf8(code);
            EXPECT_EQ(ours, decode(code, replacement)) << std::hex << lead << " " << trail;
            codes += ours != replacement;
        }
    }
    EXPECT_EQ(codes, 9604);  // the table's double-byte codes
    for (char32_t cp = 0x80; cp <= 0xFFFF; ++cp) {
        if (cp >= 0xD800 && cp <= 0xDFFF) continue;
        std::string scratch;
        const std::string ours(utf8ToCp932(utf8Of(cp), scratch));
        if (ours == "?") continue;
        ++characters;
        // Six characters are written as the bytes of their full-width forms,
        // as Windows writes them.  U+0080 and U+F8F0..U+F8F3 are written as
        // the single bytes 0x80, 0xA0, 0xFD..0xFF, which iconv does not take
        // back (nor does the table: they stand for no character of a text).
        static const std::map<char32_t, char32_t> fullWidth = {{0xA2, 0xFFE0},   {0xA3, 0xFFE1},   {0xAC, 0xFFE2},
                                                               {0x2016, 0x2225}, {0x2212, 0xFF0D}, {0x301C, 0xFF5E}};
        const auto wide = fullWidth.find(cp);
        if (cp != 0x80 && (cp < 0xF8F0 || cp > 0xF8F3)) {
            EXPECT_EQ(decode(ours, "none"), utf8Of(wide == fullWidth.end() ? cp : wide->second))
                << std::hex << static_cast<unsigned>(cp);
        }
    }
    EXPECT_EQ(characters, 9280);
}

}  // namespace
}  // namespace vantor::hardening
