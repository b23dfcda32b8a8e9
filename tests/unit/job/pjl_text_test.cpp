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

} // namespace
} // namespace nv
