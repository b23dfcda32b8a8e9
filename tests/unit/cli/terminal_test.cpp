// What reaches the terminal from outside: names with control bytes, and lines read from
// standard input that may have no end.
#include "cli/Terminal.h"
#include "cli/TerminalText.h"

#include <cstdio>
#include <gtest/gtest.h>
#include <string>

namespace nv::cli {
namespace {

TEST(TerminalSafeTest, ControlBytesAreEscapedAndTextIsKept) {
    struct Case {
        std::string in;
        std::string out;
        bool keepLineBreaks;
    } cases[] = {
        {"Office 3", "Office 3", false},
        {"\\\\srv\\queue", "\\\\srv\\queue", false},
        {"\xE5\x8D\xB0\xE5\x88\xB7.pdf", "\xE5\x8D\xB0\xE5\x88\xB7.pdf", false}, // Japanese
        {"\xF0\x9F\x96\xA8", "\xF0\x9F\x96\xA8", false},                         // 4 bytes
        {"a\x1b]2;owned\x07z", "a\\x1b]2;owned\\x07z", false},                   // title
        {"x\x1b[2Jy", "x\\x1b[2Jy", false},                                      // clear
        {"a\rb\nc\td", "a\\x0db\\x0ac\\x09d", false},
        {"a\rb\nc", "a\\x0db\nc", true},
        {std::string("n\0l", 3), "n\\x00l", false},
        {"del\x7f", "del\\x7f", false},
        {"c1\xC2\x9B"
         "31m",
         "c1\\xc2\\x9b31m", false}, // CSI as a character
        {"raw\x9b"
         "31m",
         "raw\\x9b31m", false},                           // CSI as a lone byte
        {"cut\xE5\x8D", "cut\\xe5\\x8d", false},          // sequence cut off
        {"over\xC0\xAF", "over\\xc0\\xaf", false},        // overlong '/'
        {"sur\xED\xA0\x80", "sur\\xed\\xa0\\x80", false}, // surrogate
        {"\xC2\xA0nbsp", "\xC2\xA0nbsp", false},          // U+00A0 is printable
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.in);
        EXPECT_EQ(TerminalSafe(c.in, c.keepLineBreaks), c.out);
    }
}

// Standard input as a file holding INPUT, read from the start.
std::FILE* InputOf(const std::string& input) {
    std::FILE* file = std::tmpfile();
    std::fwrite(input.data(), 1, input.size(), file);
    std::rewind(file);
    return file;
}

TEST(ReadLineTest, ReadsNoMoreThanOneByteBeyondTheLimit) {
    struct Case {
        std::string input;
        std::optional<std::string> line;
        long consumed; // bytes read from the input
    } cases[] = {
        {"", std::nullopt, 0},
        {"1234\n", "1234", 5},
        {"1234\r\nrest", "1234", 6},
        {"1234\r", "1234", 5},
        {"12345678\n", "12345678", 9},    // exactly the limit
        {"1234567\r\n", "1234567", 9},    // CR at the limit
        {"12345678\r\n", "12345678", 10}, // CR beyond the limit still ends the line
        {"123456789\n", "123456789", 9},  // too long: the dialog will refuse it
        {std::string(100000, 'x'), std::string(9, 'x'), 9}, // no line end at all
        {"12345678\rx", "12345678\r", 9},                   // a CR that does not end the line
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.input.substr(0, 20));
        std::FILE* in = InputOf(c.input);
        EXPECT_EQ(ReadLine(in, 8), c.line);
        EXPECT_EQ(std::ftell(in), c.consumed);
        std::fclose(in);
    }
}

} // namespace
} // namespace nv::cli
