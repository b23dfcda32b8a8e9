// The rules for names and passwords that go into PJL lines.
#include "job/PjlText.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace nv {
namespace {

TEST(PjlTextTest, SafeTextKeepsOrdinaryNames) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"report.pdf", "report.pdf"},
        {"Bericht über 2024 (final).pdf", "Bericht über 2024 (final).pdf"},
        {"報告書.pdf", "報告書.pdf"},
        {"say \"hi\".pdf", "say 'hi'.pdf"},
        {"a\r\nb\tc\x1B%-12345X\x7F.pdf", "a??b?c?%-12345X?.pdf"},
        {std::string("nul\0byte", 8), "nul?byte"},
    };
    for (const auto& [text, expected] : cases) {
        EXPECT_EQ(PjlSafeText(text), expected);
    }
}

TEST(PjlTextTest, PasswordRules) {
    EXPECT_EQ(EscapePassword("a(b)c\\d"), "a\\(b\\)c\\\\d");
    EXPECT_EQ(EscapePassword("\\("), "\\\\\\(");
    EXPECT_TRUE(IsPjlSafePassword("0123456789 ()\\'"));
    EXPECT_FALSE(IsPjlSafePassword("12\n34"));
    EXPECT_FALSE(IsPjlSafePassword("12\"34"));
    EXPECT_FALSE(IsPjlSafePassword("\x1B"));
}

TEST(PjlTextTest, Utf8PrefixLengthNeverSplitsACharacter) {
    const std::string text = "a\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80"; // a é € 😀
    const std::vector<std::pair<std::size_t, std::size_t>> cases = {
        {0, 0}, {1, 1}, {2, 1}, {3, 3}, {4, 3}, {5, 3}, {6, 6}, {7, 6}, {9, 6}, {10, 10}, {99, 10},
    };
    for (const auto& [max, expected] : cases) {
        EXPECT_EQ(Utf8PrefixLength(text, max), expected) << max;
    }
    EXPECT_EQ(Utf8PrefixLength("ab\x80\x80\x80\x80\x80", 4), 4u); // stray bytes stand alone
}

} // namespace
} // namespace nv
