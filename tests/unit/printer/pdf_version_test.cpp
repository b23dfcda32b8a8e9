// The header line scan, the version parse and the version check on files written by the test.
#include "app/PdfSendApp.h"
#include "platform/files/Files.h"
#include "printer/PdfHeader.h"
#include "support/TempDir.h"

#include <climits>
#include <gtest/gtest.h>
#include <optional>
#include <string>
#include <vector>

namespace nv {
namespace {

using namespace std::string_literals;

TEST(PdfHeaderTest, ParsePdfVersion) {
    const std::vector<std::pair<std::string, PdfVersion>> cases = {
        {"1.3", {1, 3}},      {"2", {2, 0}},
        {"1.4.2", {1, 2}},    {"..1...5..", {1, 5}},
        {"", {0, 0}},         {" 1.10", {1, 10}},
        {"abc.7", {0, 7}},    {"-1.+5", {-1, 5}},
        {"1x.2y", {1, 2}},    {"99999999999.1", {INT_MAX, 1}},
        {"\t2 .\n3", {2, 3}},
    };
    for (const auto& [text, expected] : cases) {
        SCOPED_TRACE(text);
        EXPECT_EQ(ParsePdfVersion(text), expected);
    }
    EXPECT_GT((PdfVersion{1, 10}), (PdfVersion{1, 5}));
    EXPECT_GT((PdfVersion{2, 0}), (PdfVersion{1, 99}));
}

TEST(PdfHeaderTest, FindPdfHeaderLine) {
    const std::vector<std::pair<std::string, std::optional<std::string>>> cases = {
        {"%PDF-1.4\n%\xE2\xE3", "%PDF-1.4"},
        {"\x89junk%PDF-1.7\r\nrest", "%PDF-1.7"},
        {"%comment %PDF-1.5\n", "%comment %PDF-1.5"},
        {"%a\0b%PDF-1.6"s, "%PDF-1.6"},
        {"%PDF-1.2\r%PDF-1.9", "%PDF-1.2"},
        {"%PDF", std::nullopt},
        {"%pdf-1.4", std::nullopt},
        {"", std::nullopt},
        {"%%%%", std::nullopt},
    };
    for (const auto& [data, expected] : cases) {
        SCOPED_TRACE(data);
        const auto line = FindPdfHeaderLine(data);
        EXPECT_EQ(line ? std::optional<std::string>(std::string(*line)) : std::nullopt, expected);
    }
    EXPECT_EQ(VersionTextOfHeaderLine("%comment %PDF-1.5"), "1.5");
}

TEST(PdfHeaderTest, TranslateTextMode) {
    EXPECT_EQ(TranslateTextMode("a\r\nb\rc\n", 100), "a\nb\rc\n");
    EXPECT_EQ(TranslateTextMode("ab\x1A%PDF-1.4", 100), "ab");
    EXPECT_EQ(TranslateTextMode("\r\n\r\nabc", 3), "\n\na");
    EXPECT_EQ(TranslateTextMode("ab\r", 100), "ab\r");
}

class VersionCheckTest : public ::testing::Test {
protected:
    test::TempDir dir_;
    CPdfSendApp app_;

    // PRINTERLINE is the model section's "PDFVersion" line, nothing for none.
    int Check(const std::string& printerLine, const std::string& pdf) {
        const std::string cap = dir_.Write(
            "nvtest.cap", "[Capability]\nQ1=M\n[M]\nDirectPrint=1\n" + printerLine + "\n");
        app_.m_strFilePath = dir_.Write("doc.pdf", pdf);
        return app_.CheckPdfVersion("Q1", cap);
    }
};

TEST_F(VersionCheckTest, ComparesFileAndPrinterVersions) {
    struct Case {
        const char* printer;
        std::string pdf;
        int expected;
    };
    const std::vector<Case> cases = {
        {"", "%PDF-1.4\n", kVersionTooNew},
        {"", "%PDF-1.3\n", kVersionSupported},
        {"", "%PDF-1.2\n", kVersionSupported},
        {"PDFVersion=UnKnown", "%PDF-1.4\n", kVersionTooNew},
        {"PDFVersion=1.5", "%PDF-1.7\n", kVersionTooNew},
        {"PDFVersion=1.5", "%PDF-1.5\n", kVersionSupported},
        {"PDFVersion=1.5", "%PDF-2.0\n", kVersionTooNew},
        {"PDFVersion=1.5", "%PDF-1.10\n", kVersionTooNew},
        {"PDFVersion=2", "%PDF-2.0\r\n", kVersionSupported},
        {"PDFVersion=2", "%PDF-2.1\r", kVersionTooNew},
        {"PDFVersion=1.4.2", "%PDF-1.3\n", kVersionTooNew},
        {"PDFVersion=1.7", "\x89\x50junk%PDF-1.7", kVersionSupported},
        {"PDFVersion=1.6", "%stray %PDF-1.7\n", kVersionTooNew},
        {"PDFVersion=", "%PDF-1.4\n", kVersionUnchecked},
        {"PDFVersion=1.7", "no header here", kVersionUnchecked},
        {"PDFVersion=1.7", "\x1A%PDF-1.4\n", kVersionUnchecked},
        // 600 CR LF pairs are 1200 bytes but only 600 characters when read as text.
        {"PDFVersion=1.7",
         [] {
             std::string crlf;
             for (int i = 0; i < 600; ++i)
                 crlf += "\r\n";
             return crlf + "%PDF-1.7";
         }(),
         kVersionSupported},
        {"PDFVersion=1.7", std::string(1122, ' ') + "%PDF-1.4", kVersionUnchecked},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.printer) + " / " + c.pdf.substr(0, 20));
        EXPECT_EQ(Check(c.printer, c.pdf), c.expected);
    }
}

TEST_F(VersionCheckTest, FileThatCannotBeOpenedIsUnchecked) {
    EXPECT_EQ(Check("PDFVersion=1.7", "%PDF-1.4\n"), kVersionSupported);
    platform::FileCause cause = platform::FileCause::none;
    auto held = platform::ExclusiveFile::Open(app_.m_strFilePath, &cause);
    ASSERT_TRUE(held);
    EXPECT_EQ(app_.CheckPdfVersion("Q1", (dir_.Path() / "nvtest.cap").string()), kVersionUnchecked);
    held.reset();
    app_.m_strFilePath = (dir_.Path() / "missing.pdf").string();
    EXPECT_EQ(app_.CheckPdfVersion("Q1", (dir_.Path() / "nvtest.cap").string()), kVersionUnchecked);
}

TEST_F(VersionCheckTest, MissingCapabilityFileMeansVersion13) {
    app_.m_strFilePath = dir_.Write("doc.pdf", "%PDF-1.3\n");
    EXPECT_EQ(app_.CheckPdfVersion("Q1", (dir_.Path() / "absent.cap").string()), kVersionSupported);
    app_.m_strFilePath = dir_.Write("doc.pdf", "%PDF-1.4\n");
    EXPECT_EQ(app_.CheckPdfVersion("Q1", (dir_.Path() / "absent.cap").string()), kVersionTooNew);
}

} // namespace
} // namespace nv
