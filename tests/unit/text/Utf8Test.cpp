// UTF-8 sequences, cuts and UTF-16 conversion as every reader and writer of text sees them;
// and hexadecimal digits.
#include "platform/text/Utf8.h"

#include "platform/text/Hex.h"

#include <gtest/gtest.h>
#include <string>

namespace nv::platform::text {
namespace {

using namespace std::string_literals;

TEST(Utf8, SequenceLengthAndCuts) {
    struct Case {
        const char* name;
        std::string text;
        std::size_t sequence; // Utf8SequenceLength(text, 0)
        std::size_t max;
        std::size_t prefix; // Utf8PrefixLength(text, max)
    };
    const Case cases[] = {
        {"ascii", "ab", 1, 1, 1},
        {"nul is a character", "\0a"s, 1, 1, 1},
        {"two bytes", "\xC3\xA9x", 2, 1, 0},
        {"three bytes", "\xE6\x97\xA5", 3, 2, 0},
        {"four bytes", "\xF0\x9F\x98\x80", 4, 3, 0},
        {"cut after a whole character", "\xC3\xA9\xC3\xA9", 2, 2, 2},
        {"cut inside the second", "a\xE6\x97\xA5", 1, 3, 1},
        {"overlong two bytes", "\xC0\xAF\xC1\xBF", 0, 1, 1},
        {"overlong three bytes", "\xE0\x80\xAF", 0, 2, 2},
        {"surrogate", "\xED\xA0\x80", 0, 2, 2},
        {"last before surrogates", "\xED\x9F\xBF", 3, 2, 0},
        {"above U+10FFFF", "\xF4\x90\x80\x80", 0, 3, 3},
        {"U+10FFFF", "\xF4\x8F\xBF\xBF", 4, 3, 0},
        {"no such lead byte", "\xF5\x80\x80\x80", 0, 2, 2},
        {"stray continuation bytes", "\x80\x80\x80\x80", 0, 2, 2},
        {"lead byte cut short by the end", "\xE6\x97", 0, 1, 1},
        {"lead byte before a non-continuation",
         "\xE6"
         "a\x97",
         0, 1, 1},
        {"text shorter than the limit", "\xE6\x97\xA5", 3, 9, 3},
        {"limit zero", "\xC3\xA9", 2, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Utf8SequenceLength(c.text, 0), c.sequence);
        EXPECT_EQ(Utf8PrefixLength(c.text, c.max), c.prefix);
    }
    EXPECT_EQ(Utf8SequenceLength("a", 1), 0u) << "past the end";
}

std::string Bytes(std::u16string_view units, bool bigEndian) {
    std::string out;
    for (const char16_t u : units) {
        const char hi = static_cast<char>(u >> 8), lo = static_cast<char>(u & 0xFF);
        out += bigEndian ? std::string{hi, lo} : std::string{lo, hi};
    }
    return out;
}

TEST(Utf8, FromUtf16AndCodePoints) {
    struct Case {
        const char* name;
        std::u16string units;
        std::string utf8;
    };
    const Case cases[] = {
        {"latin and nul", u"caf\u00E9\0!"s, "caf\xC3\xA9\0!"s},
        {"japanese", u"\u65E5\u672C", "\xE6\x97\xA5\xE6\x9C\xAC"},
        {"pair", u"\U0001F600", "\xF0\x9F\x98\x80"},
        {"lone high surrogate", u"x\xD800y", "x\xEF\xBF\xBDy"},
        {"high surrogate at the end", u"x\xDBFF", "x\xEF\xBF\xBD"},
        {"lone low surrogate", u"\xDC00\xD800", "\xEF\xBF\xBD\xEF\xBF\xBD"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Utf16ToUtf8(Bytes(c.units, false), false), c.utf8);
        EXPECT_EQ(Utf16ToUtf8(Bytes(c.units, true), true), c.utf8);
        const std::string le = Bytes(c.units, false);
        EXPECT_EQ(Utf16LeToUtf8(reinterpret_cast<const std::uint8_t*>(le.data()), c.units.size()),
                  c.utf8);
    }
    EXPECT_EQ(Utf16ToUtf8("v\0A"s, false), "v") << "an odd last byte is ignored";

    std::string out;
    for (const char32_t cp :
         {U'\x7F', U'\x80', U'\x7FF', U'\x800', U'\xFFFF', U'\x10000', U'\x10FFFF'}) {
        AppendUtf8(out, cp);
    }
    EXPECT_EQ(out, "\x7F\xC2\x80\xDF\xBF\xE0\xA0\x80\xEF\xBF\xBF\xF0\x90\x80\x80\xF4\x8F\xBF\xBF");
}

TEST(Hex, DigitValues) {
    const std::string digits = "0123456789abcdefABCDEF";
    const int values[] = {0,  1,  2,  3,  4,  5,  6,  7,  8,  9,  10,
                          11, 12, 13, 14, 15, 10, 11, 12, 13, 14, 15};
    for (std::size_t i = 0; i < digits.size(); ++i) {
        EXPECT_EQ(HexDigitValue(digits[i]), values[i]) << digits[i];
    }
    for (const char c : "gG/:@`\xC3 "s) {
        EXPECT_EQ(HexDigitValue(c), -1) << c;
    }
}

} // namespace
} // namespace nv::platform::text
