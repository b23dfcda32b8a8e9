// The formatter's own decisions: arguments that do not match their conversions, missing and
// extra arguments, the conversions the vectors do not cover, and the output limits.
#include "platform/format/Format.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace nv::platform {
namespace {

struct Case {
    const char* name;
    const char* format;
    std::vector<FormatArg> args;
    std::string expected;
};

std::string Format(const char* format, const std::vector<FormatArg>& args) {
    char buffer[kWsprintfMax];
    const FormatResult result = FormatChecked(buffer, sizeof buffer, format, args);
    return std::string(buffer, static_cast<std::size_t>(result.length));
}

void RunCases(const std::vector<Case>& cases) {
    for (const Case& c : cases) {
        EXPECT_EQ(Format(c.format, c.args), c.expected) << c.name;
    }
}

TEST(FormatRules, MismatchedArgumentsAreConsumedAndFormattedSafely) {
    using A = FormatArg;
    RunCases({
        {"int as text", "[%s]", {A::Int(-7)}, "[-7]"},
        {"uint as text", "[%s]", {A::UInt(4000000000u)}, "[4000000000]"},
        {"number as padded text", "[%5s|%-4hs]", {A::Int(42), A::UInt(7)}, "[   42|7   ]"},
        {"number cut as text", "[%.1s]", {A::Int(42)}, "[4]"},
        {"zero as text", "[%s]", {A::Int(0)}, "[0]"},
        {"text as number",
         "[%d|%u|%x|%I64d]",
         {A::Text("12"), A::Text("a"), A::Text("b"), A::Text("c")},
         "[0|0|0|0]"},
        {"text as character", "[%c]", {A::Text("A")}, std::string("[\0]", 3)},
        {"text as pointer", "[%p]", {A::Text("A")}, "[0000000000000000]"},
        {"mismatch keeps order", "%d=%s;%s", {A::Text("k"), A::Int(5), A::Text("v")}, "0=5;v"},
        {"unsupported takes nothing", "[%f|%d]", {A::Int(7)}, "[f|7]"},
        {"uint as signed", "[%d]", {A::UInt(0xFFFFFFFFu)}, "[-1]"},
    });
}

TEST(FormatRules, MissingArgumentsFormatAsZeroOrNull) {
    using A = FormatArg;
    RunCases({
        {"none at all", "[%d|%u|%x|%s|%ls|%p]", {}, "[0|0|0|(null)|(null)|0000000000000000]"},
        {"character", "[%c]", {}, std::string("[\0]", 3)},
        {"after the given ones", "%s=%d;%s", {A::Text("a")}, "a=0;(null)"},
        {"padded", "[%5d|%-7s]", {}, "[    0|(null) ]"},
        {"extra ignored", "[%d]", {A::Int(1), A::Int(2), A::Text("x")}, "[1]"},
        {"null format", nullptr, {A::Int(1)}, ""},
    });
}

TEST(FormatRules, ConversionsBeyondTheVectors) {
    using A = FormatArg;
    RunCases({
        {"64-bit signed of Int",
         "[%I64d|%Id]",
         {A::Int(-1), A::Int(INT32_MIN)},
         "[-1|-2147483648]"},
        {"64-bit unsigned of Int", "[%I64u]", {A::Int(-5)}, "[18446744073709551611]"},
        {"64-bit hex of UInt",
         "[%I64x|%I64X]",
         {A::UInt(0xFFFFFFFFu), A::Int(-1)},
         "[ffffffff|FFFFFFFFFFFFFFFF]"},
        {"32-bit size prefix", "[%I32u]", {A::Int(-1)}, "[4294967295]"},
        {"pointer of Int", "[%p]", {A::Int(-1)}, "[FFFFFFFFFFFFFFFF]"},
        {"pointer width", "[%20p]", {A::UInt(1)}, "[    0000000000000001]"},
        {"wide characters in UTF-8",
         "[%lc%C%wc%hC]",
         {A::UInt(0xE9), A::UInt(0x20AC), A::Int('w'), A::UInt(0x141)},
         "[\xC3\xA9\xE2\x82\xAC"
         "wA]"},
        {"surrogate half", "[%lc]", {A::UInt(0xD800)}, "[?]"},
        {"narrow character keeps the low byte", "[%c]", {A::UInt(0x141)}, "[A]"},
        {"flags in any order",
         "[%0-5d|%0#6x|%#-6x]",
         {A::Int(1), A::Int(255), A::Int(255)},
         "[1    |0x00ff|0xff  ]"},
        {"prefix counts in precision", "[%#.6x]", {A::Int(255)}, "[0x00ff]"},
        {"left text cut", "[%-6.3s]", {A::Text("abcdef")}, "[abc   ]"},
        {"lone percent after flags", "ab%-5", {}, "ab"},
        {"double size prefix", "[%hhd|%llu]", {}, "[hd|lu]"},
        {"unsupported after width", "[%5q]", {A::Int(1)}, "[q]"},
    });
}

// Every output size the callers use, with a result shorter than, equal to and longer than the
// room: the stored prefix, the NUL, the truncation flag and untouched bytes after the limit.
TEST(FormatRules, OutputSizesBoundEveryWrite) {
    const std::string text(1500, 'x');
    for (std::size_t size : {0u, 1u, 2u, 128u, 260u, 320u, 1024u, 2000u}) {
        const std::size_t room = std::min<std::size_t>(size, kWsprintfMax);
        for (std::size_t length : {std::size_t{0}, room > 0 ? room - 1 : 0, room, text.size()}) {
            SCOPED_TRACE("size " + std::to_string(size) + " length " + std::to_string(length));
            const std::string arg = text.substr(0, length);
            std::vector<char> buffer(size + 16, '\xCC');
            const FormatResult result =
                FormatChecked(buffer.data(), size, "%s", {FormatArg::Text(arg.c_str())});
            const std::size_t stored = room > 0 ? std::min(length, room - 1) : 0;
            EXPECT_EQ(result.length, static_cast<int>(stored));
            EXPECT_EQ(result.truncated, length > stored);
            if (room > 0) {
                EXPECT_EQ(std::string(buffer.data(), stored), arg.substr(0, stored));
                EXPECT_EQ(buffer[stored], '\0');
            }
            for (std::size_t i = room; i < buffer.size(); ++i) {
                ASSERT_EQ(buffer[i], '\xCC') << "byte " << i;
            }
            buffer.assign(size + 16, '\xCC');
            const int platform =
                wsprintfA(buffer.data(), size, "%s", {FormatArg::Text(arg.c_str())});
            const bool filledCap = size >= kWsprintfMax && stored == kWsprintfMax - 1;
            EXPECT_EQ(platform, filledCap ? static_cast<int>(kWsprintfMax) : result.length);
        }
    }
}

// Near the limit the width is cut to the room before padding, so the digits keep their place
// (as the platform does); the result is still reported as truncated when bytes are lost.
TEST(FormatRules, PaddingNearTheLimit) {
    char buffer[8];
    FormatResult result = FormatChecked(buffer, sizeof buffer, "abcd%10d", {FormatArg::Int(5)});
    EXPECT_EQ(std::string(buffer), "abcd  5");
    EXPECT_TRUE(result.truncated);
    result = FormatChecked(buffer, sizeof buffer, "ab%-9s", {FormatArg::Text("xy")});
    EXPECT_EQ(std::string(buffer), "abxy   ");
    EXPECT_TRUE(result.truncated);
    result = FormatChecked(buffer, sizeof buffer, "%07d", {FormatArg::Int(-42)});
    EXPECT_EQ(std::string(buffer), "-000042");
    EXPECT_FALSE(result.truncated);
    result = FormatChecked(buffer, sizeof buffer, "%1000000000000000000000d", {FormatArg::Int(1)});
    EXPECT_EQ(std::string(buffer), "      1");
    EXPECT_TRUE(result.truncated);
}

// TextPrecisions finds the precision that cuts each argument exactly where the formatter takes
// the arguments; checked against what the formatter really keeps of a long text.
TEST(FormatRules, TextPrecisionsFollowTheFormattersArguments) {
    struct PrecisionCase {
        const char* format;
        std::vector<std::size_t> expected;
    };
    const std::vector<PrecisionCase> cases = {
        {"@PJL JOB NAME=\"%.80s\"%s", {80, 0}},
        {"USER=%.64s DOCUMENT=%.80s%s", {64, 80, 0}},
        {"%%.3s %.4s", {4, 0}},            // "%%" takes no argument
        {"%f %.3s", {3, 0}},               // an unsupported letter takes none either
        {"%.0s %-12.7ls %.2d", {0, 7, 0}}, // precision 0 is none; numbers are not cut
        {"%.3s", {3, 0, 0}},               // arguments no conversion takes
    };
    const std::string text(300, 'x');
    for (const PrecisionCase& c : cases) {
        SCOPED_TRACE(c.format);
        EXPECT_EQ(TextPrecisions(c.format, c.expected.size()), c.expected);
        for (std::size_t i = 0; i < c.expected.size(); ++i) {
            if (c.expected[i] == 0) {
                continue;
            }
            std::vector<FormatArg> args(c.expected.size(), FormatArg::Int(1));
            args[i] = FormatArg::Text(text.c_str());
            const std::string out = Format(c.format, args);
            EXPECT_EQ(static_cast<std::size_t>(std::count(out.begin(), out.end(), 'x')),
                      c.expected[i]);
        }
    }
}

} // namespace
} // namespace nv::platform
