// Text-mode line reading as the version check and other first-line readers use it.
#include "FilesTestSupport.h"
#include "platform/files/BufferedFile.h"
#include "platform/files/Files.h"

#include <cstring>
#include <gtest/gtest.h>
#include <vector>

namespace nv::platform {
namespace {

using Lines = std::vector<std::string>;

// Every line ReadTextLine gives for BYTES with a buffer of SIZE, each checked to be
// NUL-terminated right after the expected bytes (lines may hold NUL bytes).
void ExpectLines(const std::string& bytes, std::size_t size, const Lines& expected) {
    test::TempDir dir;
    auto file = ExclusiveFile::Open(dir.Write("doc.pdf", bytes), nullptr);
    ASSERT_NE(file, nullptr);
    std::vector<char> buffer(size + 1, '\x55');
    for (const std::string& line : expected) {
        ASSERT_TRUE(file->ReadTextLine(buffer.data(), size)) << "expected " << line;
        EXPECT_EQ(std::string(buffer.data(), line.size() + 1), line + '\0');
    }
    EXPECT_FALSE(file->ReadTextLine(buffer.data(), size));
    if (size > 0) {
        EXPECT_EQ(buffer[0], '\0');
    }
    EXPECT_FALSE(file->ReadTextLine(buffer.data(), size)) << "the end must stay the end";
    EXPECT_EQ(buffer[size], '\x55') << "wrote past the buffer";
}

TEST(TextLine, LineEndsAndEndOfData) {
    const struct {
        const char* name;
        std::string bytes;
        std::size_t size;
        Lines lines;
    } cases[] = {
        {"CR LF read as LF", "a\r\nb\r\n", 16, {"a\n", "b\n"}},
        {"last line without LF", "a\nb", 16, {"a\n", "b"}},
        {"lone CR is kept", "a\rb\r", 16, {"a\rb\r"}},
        {"CR before CR LF", "a\r\r\nb", 16, {"a\r\n", "b"}},
        {"empty lines", "\n\r\n", 16, {"\n", "\n"}},
        {"0x1A ends the data", std::string("ab\x1A\r\ncd\n"), 16, {"ab"}},
        {"0x1A first", std::string("\x1A%PDF-1.4\n"), 16, {}},
        {"CR before 0x1A", std::string("a\r\x1A\n"), 16, {"a\r"}},
        {"empty file", "", 16, {}},
        {"NUL byte stored", std::string("a\0b\n", 4), 16, {std::string("a\0b\n", 4)}},
        {"long line continues", "abcdef\n", 4, {"abc", "def", "\n"}},
        {"LF kept when it fits", "ab\nc", 4, {"ab\n", "c"}},
        {"LF in the next call", "ab\ncd", 3, {"ab", "\n", "cd"}},
        {"CR LF across the cut", "ab\r\n", 3, {"ab", "\n"}},
        {"no room for a character", "abc", 1, {}},
        {"no buffer", "abc", 0, {}},
        {"header line",
         "%PDF-1.7\r\n%\xE2\xE3\xCF\xD3\r\n",
         1127,
         {"%PDF-1.7\n", "%\xE2\xE3\xCF\xD3\n"}},
        {"header after binary bytes",
         std::string("\x00\xFF junk %PDF-2.0\r", 16) + "1 0 obj",
         1127,
         {std::string("\x00\xFF junk %PDF-2.0\r", 16) + "1 0 obj"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ExpectLines(c.bytes, c.size, c.lines);
    }
}

// A CR LF pair split by a refill of the internal buffer still reads as one LF.
TEST(TextLine, LineEndAcrossBufferRefills) {
    constexpr std::size_t kBlock = BufferedFile::kBufferSize;
    for (std::size_t at = kBlock - 2; at <= kBlock + 1; ++at) {
        SCOPED_TRACE(at);
        const std::string first(at, 'x');
        ExpectLines(first + "\r\ny\r\n", 3 * kBlock, {first + "\n", "y\n"});
    }
}

// Binary reads and text lines share one position; a 0x1A that ends the text leaves the bytes
// readable in binary.
TEST(TextLine, BinaryReadsGoOnWhereTheLineEnded) {
    test::TempDir dir;
    auto file = ExclusiveFile::Open(dir.Write("doc.pdf", "L1\r\nrest\x1A"
                                                         "bin"),
                                    nullptr);
    ASSERT_NE(file, nullptr);
    char line[16];
    ASSERT_TRUE(file->ReadTextLine(line, sizeof line));
    EXPECT_STREQ(line, "L1\n");
    char rest[16] = {};
    EXPECT_EQ(file->Read(rest, 4), 4);
    EXPECT_EQ(std::string(rest, 4), "rest");
    EXPECT_FALSE(file->ReadTextLine(line, sizeof line));
    EXPECT_EQ(file->Read(rest, sizeof rest), 4);
    EXPECT_EQ(std::string(rest, 4), "\x1A"
                                    "bin");
}

} // namespace
} // namespace nv::platform
