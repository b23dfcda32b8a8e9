// Cases of the profile reader beyond the observed vectors: the UTF-8 code page, UTF-16 files,
// name listings, white space, the bounded file access, and the two places where the reader
// gives the sound result instead of the platform's.
#include "platform/profile/Profile.h"
#include "platform/profile/ProfileText.h"
#include "support/TempDir.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <string_view>
#include <sys/stat.h>
#include <vector>

namespace nv::platform {
namespace {

using namespace std::literals;
using profile::FileBytes;
using profile::ReadProfileInt;
using profile::ReadProfileString;

constexpr char kUnwritten = '\xCC';
constexpr std::size_t kGuard = 4;

// A string read into a buffer of SIZE bytes followed by guard bytes; returns the return value
// and the buffer's leading bytes up to the last one written (unwritten bytes stay 0xCC).
struct StringRead {
    DWORD ret;
    std::string written;
};

StringRead Read(const FileBytes& file, const char* section, const char* key, const char* dflt,
                DWORD size) {
    std::string buffer(size + kGuard, kUnwritten);
    DWORD ret = ReadProfileString(file, section, key, dflt, buffer.data(), size);
    EXPECT_EQ(buffer.substr(size), std::string(kGuard, kUnwritten)) << "wrote past the buffer";
    std::size_t end = buffer.find_last_not_of(kUnwritten);
    return {ret, end == std::string::npos ? std::string() : buffer.substr(0, end + 1)};
}

struct StringCase {
    const char* name;
    std::string file;
    const char* section;
    const char* key;
    const char* dflt;
    DWORD size;
    DWORD ret;
    std::string written;
};

void RunStringCases(const std::vector<StringCase>& cases) {
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        StringRead got = Read(FileBytes(c.file), c.section, c.key, c.dflt, c.size);
        EXPECT_EQ(got.ret, c.ret);
        EXPECT_EQ(got.written, c.written);
    }
}

// Our ANSI code page is UTF-8. Where the platform converted a UTF-8 file to a single-byte
// code page (caf\xE9 under 1252, "??" for Japanese), the text comes back as the UTF-8 bytes of
// the file. Where it cut a double-byte character under 932 (returning nSize-1 with an
// unwritten byte before the NUL), a cut here backs off to the start of the UTF-8 character and
// returns the bytes really copied; bytes that are not well-formed UTF-8 are cut one by one.
TEST(ProfileReader, Utf8CodePage) {
    const std::string nihon = "\xE6\x97\xA5\xE6\x9C\xAC"; // two 3-byte characters
    const std::string file = "[S]\r\nA=" + nihon + "\r\nB=caf\xC3\xA9\r\nC=\"" + nihon +
                             "\"\r\nD=\xF0\x9F\x98\x80\r\nE=\xE6\x97x\r\n";
    RunStringCases({
        {"bom_utf8_cafe", "\xEF\xBB\xBF[S]\r\nA=caf\xC3\xA9\r\n", "S", "A", "D", 64, 5,
         "caf\xC3\xA9\0"s},
        {"bom_utf8_japanese", "\xEF\xBB\xBF[S]\r\nA=" + nihon + "\r\n", "S", "A", "D", 64, 6,
         nihon + "\0"s},
        {"bom_utf8_section", "\xEF\xBB\xBF[\xC3\xA9]\r\nA=1\r\n", "\xC3\xA9", "A", "D", 64, 1,
         "1\0"s},
        {"cut_3byte_size2", file, "S", "A", "D", 2, 0, "\0"s},
        {"cut_3byte_size3", file, "S", "A", "D", 3, 0, "\0"s},
        {"cut_3byte_size4", file, "S", "A", "D", 4, 3, "\xE6\x97\xA5\0"s},
        {"cut_3byte_size7", file, "S", "A", "D", 7, 6, nihon + "\0"s},
        {"cut_2byte", file, "S", "B", "D", 5, 3, "caf\0"s},
        {"cut_quoted_after_unquoting", file, "S", "C", "D", 5, 3, "\xE6\x97\xA5\0"s},
        {"cut_4byte", file, "S", "D", "D", 4, 0, "\0"s},
        {"cut_malformed_bytewise", file, "S", "E", "D", 2, 1, "\xE6\0"s},
        {"cut_default", file, "S", "Z", nihon.c_str(), 5, 3, "\xE6\x97\xA5\0"s},
    });
}

std::string Utf16(std::u16string_view text, bool bigEndian) {
    std::string out = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    for (char16_t unit : text) {
        char hi = static_cast<char>(unit >> 8);
        char lo = static_cast<char>(unit & 0xFF);
        out += bigEndian ? std::string{hi, lo} : std::string{lo, hi};
    }
    return out;
}

TEST(ProfileReader, Utf16FilesComeBackAsUtf8) {
    RunStringCases({
        {"le_latin", Utf16(u"[S]\r\nA=caf\u00E9\r\n", false), "S", "A", "D", 64, 5,
         "caf\xC3\xA9\0"s},
        {"be_latin", Utf16(u"[S]\r\nA=caf\u00E9\r\n", true), "S", "A", "D", 64, 5,
         "caf\xC3\xA9\0"s},
        {"le_japanese_section", Utf16(u"[\u65E5]\r\nA=\u672C\r\n", false), "\xE6\x97\xA5", "A", "D",
         64, 3, "\xE6\x9C\xAC\0"s},
        {"surrogate_pair", Utf16(u"[S]\r\nA=\U0001F600\r\n", false), "S", "A", "D", 64, 4,
         "\xF0\x9F\x98\x80\0"s},
        {"unpaired_surrogate", Utf16(u"[S]\r\nA=x\xD800y\r\n", false), "S", "A", "D", 64, 5,
         "x\xEF\xBF\xBDy\0"s},
        {"odd_last_byte", Utf16(u"[S]\r\nA=v", false) + "\x41", "S", "A", "D", 64, 1, "v\0"s},
        {"bom_only", "\xFF\xFE", "S", "A", "D", 64, 1, "D\0"s},
    });
}

// Listings (a null section or key): names each followed by a NUL, one more NUL at the end; a
// list that does not fit is cut to nSize-2 bytes and closed with two NULs.
TEST(ProfileReader, Listings) {
    const std::string file = "[S]\r\nA=1\r\nBB=2\r\n;C=3\r\nD\r\n#E=4\r\n[T]\r\n[S]\r\nZ=9\r\n"
                             "[U]\r\n=5\r\nK=1\r\n[]\r\nQ=1\r\n";
    RunStringCases({
        {"sections", file, nullptr, nullptr, "DEF", 64, 8, "S\0T\0S\0U\0\0"s},
        {"sections_key_ignored", file, nullptr, "A", "DEF", 64, 8, "S\0T\0S\0U\0\0"s},
        {"sections_cut", file, nullptr, nullptr, "DEF", 5, 3, "S\0T\0\0"s},
        {"sections_cut_at_name_end", file, nullptr, nullptr, "DEF", 4, 2, "S\0\0\0"s},
        {"sections_size1", file, nullptr, nullptr, "DEF", 1, 0, "\0"s},
        {"sections_size2", file, nullptr, nullptr, "DEF", 2, 0, "\0\0"s},
        {"sections_empty_file", "", nullptr, nullptr, "DEF", 64, 0, "\0\0"s},
        {"keys_skip_comments_and_bare_names", file, "S", nullptr, "DEF", 64, 8, "A\0BB\0#E\0\0"s},
        {"keys_cut", file, "S", nullptr, "DEF", 5, 3, "A\0B\0\0"s},
        {"keys_size2_reads_default", file, "S", nullptr, "DEF", 2, 1, "D\0"s},
        {"keys_empty_section_reads_default", file, "T", nullptr, "DEF", 64, 3, "DEF\0"s},
        {"keys_leading_empty_name_reads_default", file, "U", nullptr, "DEF", 64, 3, "DEF\0"s},
        {"keys_missing_section_reads_default", file, "X", nullptr, "DEF", 64, 3, "DEF\0"s},
        {"keys_cut_in_utf8_name", "[S]\r\n\xE6\x97\xA5=1\r\n", "S", nullptr, "DEF", 4, 3, "DEF\0"s},
    });
    // A missing file lists no sections, and its keys read as the default.
    StringRead sections = Read(std::nullopt, nullptr, nullptr, "DEF", 64);
    EXPECT_EQ(sections.ret, 0u);
    EXPECT_EQ(sections.written, "\0\0"s);
    StringRead keys = Read(std::nullopt, "S", nullptr, "DEF", 64);
    EXPECT_EQ(keys.ret, 3u);
    EXPECT_EQ(keys.written, "DEF\0"s);
}

// White space around names and values: space, tab, vertical tab, form feed and 0x1A. Other
// spaces (no-break space) are part of the text; the default loses trailing spaces only.
TEST(ProfileReader, WhiteSpace) {
    const std::string file = "[S]\r\nA=x\x1A\r\nB=\vy\f\r\n\x1A[T]\x1A\r\nC=\xC2\xA0z\xC2\xA0\r\n"
                             "D=\x1A\r\n";
    RunStringCases({
        {"ctrl_z_at_value_end", file, "S", "A", "DEF", 64, 1, "x\0"s},
        {"vt_ff_around_value", file, "S", "B", "DEF", 64, 1, "y\0"s},
        {"ctrl_z_around_header", file, "T", "C", "DEF", 64, 5, "\xC2\xA0z\xC2\xA0\0"s},
        {"ctrl_z_only_value_is_empty", file, "T", "D", "DEF", 64, 0, "\0"s},
        {"requested_names_trimmed", file, "\vS\x1A", "\fA ", "DEF", 64, 1, "x\0"s},
        {"default_keeps_trailing_vt", file, "S", "Z", "dflt\v", 64, 5, "dflt\v\0"s},
        {"missing_file_default_quoted", "", "S", "A", "'q'  ", 64, 1, "q\0"s},
    });
}

// Two deliberate departures from the platform reader, where it loses data:
// - a quoted value read into a buffer exactly one byte longer than the unquoted value comes
//   back whole (the platform dropped its last character);
// - an integer value is parsed in full (the platform parsed only its first 29 characters, so
//   a value with many leading zeros read as 0).
TEST(ProfileReader, SoundResultsWherePlatformLosesData) {
    RunStringCases({
        {"quoted_exact_fit", "[S]\r\nA=\"abcdef\"\r\n", "S", "A", "D", 7, 6, "abcdef\0"s},
        {"quoted_one_short", "[S]\r\nA=\"abcdef\"\r\n", "S", "A", "D", 6, 5, "abcde\0"s},
    });
    FileBytes file("[S]\r\nA=0000000000000000000000000000000000123\r\n"sv);
    EXPECT_EQ(ReadProfileInt(file, "S", "A", 7), 123u);
}

TEST(ProfileReader, Integers) {
    struct Case {
        const char* value;
        UINT expected;
    };
    // Beyond the observed vectors: digits invalid in the base, mixed-case hex digits, leading
    // control bytes, quotes around blanks, signs before prefixes, non-ASCII text.
    const Case cases[] = {
        {"0b2", 0},         {"0o8", 0},       {"0xFfFf", 65535}, {"\x01\x02 5", 5},
        {"\"  12  \"", 12}, {"'-3'", 0u - 3}, {"-0b11", 0u - 3}, {"\xE6\x97\xA5", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.value);
        std::string file = "[S]\r\nA="s + c.value + "\r\n";
        EXPECT_EQ(ReadProfileInt(FileBytes(file), "S", "A", 77), c.expected);
    }
    // The integer reader never lists names: a null section or key reads as the default.
    FileBytes file("[S]\r\nA=5\r\n"sv);
    EXPECT_EQ(ReadProfileInt(file, nullptr, "A", 77), 77u);
    EXPECT_EQ(ReadProfileInt(file, "S", nullptr, 77), 77u);
    EXPECT_EQ(ReadProfileInt(std::nullopt, "S", "A", -1), 0xFFFFFFFFu);
}

// The file access: read afresh at every call, bounded, never blocking, names as given.
class ProfileFile : public ::testing::Test {
protected:
    test::TempDir dir_;

    std::string ReadFile(const std::string& path, const char* key = "A") {
        char buffer[64];
        GetPrivateProfileStringA("S", key, "dflt", buffer, sizeof buffer, path.c_str());
        return buffer;
    }
};

TEST_F(ProfileFile, ReadsTheFileAfreshAtEveryCall) {
    std::string path = dir_.Write("cap.ini", "[S]\nA=1\n");
    EXPECT_EQ(ReadFile(path), "1");
    EXPECT_EQ(GetPrivateProfileIntA("S", "A", 0, path.c_str()), 1u);
    dir_.Write("cap.ini", "[S]\nA=2\n");
    EXPECT_EQ(ReadFile(path), "2");
    EXPECT_EQ(GetPrivateProfileIntA("S", "A", 0, path.c_str()), 2u);
    std::filesystem::remove(path);
    EXPECT_EQ(ReadFile(path), "dflt");
    EXPECT_EQ(GetPrivateProfileIntA("S", "A", 9, path.c_str()), 9u);
}

// How the POSIX file layer finds and bounds the file; on Windows the system's reader does.
#ifndef _WIN32
TEST_F(ProfileFile, UnusableFilesReadAsMissing) {
    EXPECT_EQ(ReadFile(dir_.Path().string()), "dflt"); // a directory
    std::string fifo = (dir_.Path() / "fifo").string();
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_EQ(ReadFile(fifo), "dflt"); // must not wait for a writer
    char buffer[8];
    EXPECT_EQ(GetPrivateProfileStringA("S", "A", "d", buffer, sizeof buffer, nullptr), 1u);
    EXPECT_EQ(GetPrivateProfileStringA("S", "A", "d", buffer, sizeof buffer, ""), 1u);
    EXPECT_EQ(GetPrivateProfileStringA("S", "A", "d", nullptr, 8, ""), 0u);
}

TEST_F(ProfileFile, SizeLimitIsSixteenMebibytes) {
    constexpr std::size_t kLimit = 16 * 1024 * 1024;
    std::string head = "[S]\nA=1\nB=";
    std::string atLimit = head + std::string(kLimit - head.size(), 'x');
    EXPECT_EQ(ReadFile(dir_.Write("limit.ini", atLimit)), "1");
    EXPECT_EQ(ReadFile(dir_.Write("over.ini", atLimit + "x")), "dflt");
}

TEST_F(ProfileFile, NameWithoutSlashIsInTheCurrentDirectory) {
    dir_.Write("relative.ini", "[S]\nA=here\n");
    auto previous = std::filesystem::current_path();
    std::filesystem::current_path(dir_.Path());
    std::string got = ReadFile("relative.ini");
    std::string withExtensionAdded = ReadFile("relative");
    std::filesystem::current_path(previous);
    EXPECT_EQ(got, "here");
    EXPECT_EQ(withExtensionAdded, "dflt"); // the name is used as given
}
#endif

} // namespace
} // namespace nv::platform
