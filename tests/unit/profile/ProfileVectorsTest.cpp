// Runs every case of tests/data/vectors/ini_vectors.tsv through the profile reader on real
// files: the returned value and every byte of the caller's buffer (written or left alone) must
// be what the platform reader produced. The shared reader runs on the same bytes beside the
// platform's calls, so on Windows, where those calls are the system's own reader, both agree
// on every case.
#include "platform/profile/Profile.h"
#include "platform/profile/ProfileText.h"
#include "platform/text/PrinterText.h"
#include "support/TempDir.h"
#include "support/VectorTable.h"

#include <cctype>
#include <gtest/gtest.h>
#include <map>
#include <optional>
#include <ostream>
#include <string>
#include <vector>
#ifdef _WIN32
#include "platform/text/win32/WideText.h"
#endif

namespace nv::platform {
namespace {

using test::TempDir;
using test::VectorRow;

// What a case must give on our platform when that differs from what was observed.
struct Translation {
    DWORD ret;
    std::string written; // the buffer's leading bytes, "\xCC" for a byte left alone
};

// Cases observed under the Japanese code page (932), and cases whose UTF-8 (BOM) file text
// was converted to a single-byte code page, describe conversions that do not happen here: our
// ANSI code page is UTF-8, so a UTF-8 file comes back byte for byte, and a cut backs off to the
// start of a UTF-8 character instead of leaving a split double-byte character. Each such case
// needs its UTF-8 result listed here; a case that needs one and has none fails, so a new
// vector of that kind is never checked against a result we do not produce.
//
// The Shift-JIS cases observed under 1252 (j_*@cp1252) need no entry: Shift-JIS bytes are not
// well-formed UTF-8, so the UTF-8 cut treats them as single bytes exactly as 1252 does, and
// byte-wise name matching is the same under both. The cases on a BOM file with only ASCII text
// (o_bom_utf8) need none either. The UTF-8 results of the 932 and BOM conversion cases of the
// platform notes are checked in ProfileReaderTest.cpp (Utf8CodePage).
const std::map<std::string, Translation>& Utf8Translations() {
    static const std::map<std::string, Translation> translations;
    return translations;
}

bool HasHighBytes(const std::string& text) {
    for (char c : text) {
        if (static_cast<unsigned char>(c) >= 0x80) {
            return true;
        }
    }
    return false;
}

// True when the observed result of ROW depends on the code page it was observed under.
bool DependsOnCodePage(const VectorRow& row) {
    if (row.Raw("ansi_codepage") != "1252") {
        return true;
    }
    std::optional<std::string> file = row.Text("ini_file_bytes");
    return file && file->starts_with("\xEF\xBB\xBF") && HasHighBytes(file->substr(3));
}

std::string Printable(const std::string& bytes, std::size_t limit = 200) {
    std::string out;
    for (std::size_t i = 0; i < bytes.size() && i < limit; ++i) {
        auto c = static_cast<unsigned char>(bytes[i]);
        if (c >= 0x20 && c < 0x7F && c != '\\') {
            out.push_back(static_cast<char>(c));
        } else {
            static const char digits[] = "0123456789ABCDEF";
            out += "\\x";
            out.push_back(digits[c >> 4]);
            out.push_back(digits[c & 15]);
        }
    }
    return bytes.size() > limit ? out + "..." : out;
}

const char* OrNull(const std::optional<std::string>& text) {
    return text ? text->c_str() : nullptr;
}

// On Windows the profile calls are the system's wide reader, whose texts are UTF-8: a file in
// the ANSI code page (1252 here, as observed) reads as its conversion, and names are given in
// UTF-8. A case observed on such a file with bytes beyond ASCII must there give what the shared
// reader gives on the file's UTF-16 form, with the names converted the same way.
bool ReadsThroughTheCodePage(const VectorRow& row) {
#ifdef _WIN32
    std::optional<std::string> file = row.Text("ini_file_bytes");
    return row.Raw("ansi_codepage") == "1252" && row.Raw("ini_file_bytes") != "<NOFILE>" && file &&
           !file->starts_with("\xEF\xBB\xBF") && !file->starts_with("\xFF\xFE") &&
           !file->starts_with("\xFE\xFF") &&
           (HasHighBytes(*file) || HasHighBytes(row.Text("default").value_or("")));
#else
    (void)row;
    return false;
#endif
}

std::optional<std::string> Converted(const std::optional<std::string>& text) {
    return text ? std::optional<std::string>(text::FromPrinterText(*text)) : std::nullopt;
}

// FILE (in the ANSI code page) as UTF-16 little-endian with a byte-order mark.
std::string Utf16Form(const std::string& file) {
    std::string out = "\xFF\xFE";
#ifdef _WIN32
    for (const wchar_t unit : WideFromAnsi(file)) {
        out.push_back(static_cast<char>(unit & 0xFF));
        out.push_back(static_cast<char>((unit >> 8) & 0xFF));
    }
#else
    (void)file;
#endif
    return out;
}

} // namespace
} // namespace nv::platform

namespace nv::test {
// Names a case by its id in test output instead of dumping the row's bytes.
void PrintTo(const VectorRow& row, std::ostream* out) {
    *out << row.Raw("case_id");
}
} // namespace nv::test

namespace nv::platform {
namespace {

class IniVectors : public ::testing::TestWithParam<VectorRow> {};

// LastError is not checked: this layer has no last-error state, and no caller reads it.
TEST_P(IniVectors, MatchesObservedReader) {
    const VectorRow& row = GetParam();
    const std::string caseId = row.Raw("case_id");
    auto translation = Utf8Translations().find(caseId);
    if (DependsOnCodePage(row) && translation == Utf8Translations().end()) {
        FAIL() << caseId << " was observed under code page " << row.Raw("ansi_codepage")
               << " with a conversion; list what the UTF-8 code page gives in Utf8Translations";
    }

    TempDir dir;
    std::string path = (dir.Path() / "absent.ini").string();
    if (row.Raw("ini_file_bytes") != "<NOFILE>") {
        path = dir.Write("case.ini", *row.Text("ini_file_bytes"));
    }
    std::optional<std::string> section = row.Text("section");
    std::optional<std::string> key = row.Text("key");

    std::optional<std::string> fileBytes;
    if (row.Raw("ini_file_bytes") != "<NOFILE>") {
        fileBytes = row.Text("ini_file_bytes");
    }
    const profile::FileBytes shared =
        fileBytes ? profile::FileBytes(*fileBytes) : profile::FileBytes();

    if (row.Raw("function") == "int") {
        const int defaultValue = static_cast<int>(row.Number("default"));
        UINT got = GetPrivateProfileIntA(OrNull(section), OrNull(key), defaultValue, path.c_str());
        EXPECT_EQ(got, static_cast<UINT>(row.Number("observed_return")));
        EXPECT_EQ(static_cast<int>(got), static_cast<int>(row.Number("observed_return_as_int")));
        EXPECT_EQ(profile::ReadProfileInt(shared, OrNull(section), OrNull(key), defaultValue), got)
            << "shared reader";
        return;
    }

    auto size = static_cast<DWORD>(row.Number("buffer_size"));
    constexpr std::size_t kGuard = 16; // bytes past the buffer that must never be touched
    if (ReadsThroughTheCodePage(row) && fileBytes) {
        const std::string wide = Utf16Form(*fileBytes);
        const std::optional<std::string> wideSection = Converted(section);
        const std::optional<std::string> wideKey = Converted(key);
        const std::optional<std::string> wideDefault = Converted(row.Text("default"));
        std::string expected(size + kGuard, '\xCC');
        const DWORD expectedRet =
            profile::ReadProfileString(profile::FileBytes(wide), OrNull(wideSection),
                                       OrNull(wideKey), OrNull(wideDefault), expected.data(), size);
        std::string buffer(size + kGuard, '\xCC');
        EXPECT_EQ(GetPrivateProfileStringA(OrNull(wideSection), OrNull(wideKey),
                                           OrNull(wideDefault), buffer.data(), size, path.c_str()),
                  expectedRet);
        EXPECT_TRUE(buffer == expected)
            << "buffer   " << Printable(buffer) << "\nexpected " << Printable(expected);
    }

    DWORD expectedRet = static_cast<DWORD>(row.Number("observed_return"));
    std::string written = *row.Text("buffer_bytes_written");
    if (translation != Utf8Translations().end()) {
        expectedRet = translation->second.ret;
        written = translation->second.written;
    }
    std::string buffer(size + kGuard, '\xCC');
    ASSERT_LE(written.size(), buffer.size());
    std::string expected = written + std::string(buffer.size() - written.size(), '\xCC');
    if (!ReadsThroughTheCodePage(row)) {
        DWORD ret =
            GetPrivateProfileStringA(OrNull(section), OrNull(key), OrNull(row.Text("default")),
                                     buffer.data(), size, path.c_str());
        EXPECT_EQ(ret, expectedRet);
        EXPECT_TRUE(buffer == expected)
            << "buffer   " << Printable(buffer) << "\nexpected " << Printable(expected);
    }
    std::string sharedBuffer(size + kGuard, '\xCC');
    EXPECT_EQ(profile::ReadProfileString(shared, OrNull(section), OrNull(key),
                                         OrNull(row.Text("default")), sharedBuffer.data(), size),
              expectedRet)
        << "shared reader";
    EXPECT_TRUE(sharedBuffer == expected)
        << "shared   " << Printable(sharedBuffer) << "\nexpected " << Printable(expected);
    if (size > 0 && translation == Utf8Translations().end() && !ReadsThroughTheCodePage(row)) {
        EXPECT_EQ(std::string(buffer.c_str()), *row.Text("observed_text"));
    }
}

std::string CaseName(const ::testing::TestParamInfo<VectorRow>& info) {
    std::string name = info.param.Raw("case_id");
    for (char& c : name) {
        if (!std::isalnum(static_cast<unsigned char>(c))) {
            c = '_';
        }
    }
    return name;
}

INSTANTIATE_TEST_SUITE_P(Observed, IniVectors,
                         ::testing::ValuesIn(test::LoadVectorTable("ini_vectors.tsv")), CaseName);

// Guards against a table that silently lost rows (a bad merge, a truncated copy).
TEST(IniVectorTable, HoldsEveryCase) {
    EXPECT_EQ(test::LoadVectorTable("ini_vectors.tsv").size(), 176u);
}

} // namespace
} // namespace nv::platform
