// CheckInputFile on files and paths made by the test.
#include "app/PdfSendApp.h"
#include "platform/files/Files.h"
#include "support/TempDir.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace nv {
namespace {

using namespace std::string_literals;

TEST(InputCheckTest, ClassifiesFiles) {
    struct Case {
        const char* name;
        std::string file; // written under this name, unless empty
        std::string content;
        std::string checked; // the path checked, relative to the folder
        int expected;
    };
    const std::string marker1121 = std::string(1121, 'x') + "%PDF-";
    const std::string marker1122 = std::string(1122, 'x') + "%PDF-";
    const std::vector<Case> cases = {
        {"plain PDF", "a.pdf", "%PDF-1.4\n", "a.pdf", kInputIsPdf},
        {"capital extension", "b.PDF", "%PDF-1.4\n", "b.PDF", kInputIsPdf},
        {"mixed-case extension", "c.Pdf", "%PDF-2.0\n", "c.Pdf", kInputIsPdf},
        {"marker after binary bytes", "d.pdf", "\x01\x00\xFF%PDF-1.7"s, "d.pdf", kInputIsPdf},
        {"marker at the last offset that fits", "e.pdf", marker1121, "e.pdf", kInputIsPdf},
        {"marker one byte too late", "f.pdf", marker1122, "f.pdf", kInputNotSupported},
        {"empty file", "g.pdf", "", "g.pdf", kInputNotSupported},
        {"no dash", "h.pdf", "%PDF1.4", "h.pdf", kInputNotSupported},
        {"lower-case marker", "i.pdf", "%pdf-1.4", "i.pdf", kInputNotSupported},
        {"other extension", "j.pdfx", "%PDF-1.4", "j.pdfx", kInputNotSupported},
        {"short extension", "k.pd", "%PDF-1.4", "k.pd", kInputNotSupported},
        {"no extension", "report", "%PDF-1.4", "report", kInputNotSupported},
        {"quoted path", "", "", "l.pdf\"", kInputNotSupported},
        {"dot only in a folder name", "x.pdf/report", "%PDF-1.4", "x.pdf/report",
         kInputNotSupported},
        {"missing file", "", "", "missing.pdf", kInputNotFound},
        {"missing folder", "", "", "nowhere/m.pdf", kInputNotFound},
        {"a folder", "dir.pdf/inner", "", "dir.pdf", kInputNotFound},
    };
    test::TempDir dir;
    const CPdfSendApp app;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (!c.file.empty()) {
            std::filesystem::create_directories(
                std::filesystem::path((dir.Path() / c.file).string()).parent_path());
            dir.Write(c.file, c.content);
        }
        EXPECT_EQ(app.CheckInputFile((dir.Path() / c.checked).string()), c.expected);
    }
}

TEST(InputCheckTest, FileHeldOpenIsInUse) {
    test::TempDir dir;
    const std::string path = dir.Write("held.pdf", "%PDF-1.4\n");
    const CPdfSendApp app;
    auto held = platform::ExclusiveFile::Open(path, nullptr);
    ASSERT_TRUE(held);
    EXPECT_EQ(app.CheckInputFile(path), kInputInUse);
    held.reset();
    EXPECT_EQ(app.CheckInputFile(path), kInputIsPdf);
}

TEST(InputCheckTest, LongPathsAreNeverCut) {
    test::TempDir dir;
    // Folders that make the path far longer than 259 bytes; cut at 259 it would name a folder.
    std::string relative;
    for (int i = 0; i < 6; ++i) {
        relative += std::string(60, static_cast<char>('a' + i)) + "/";
    }
    std::filesystem::create_directories((dir.Path() / relative).string());
    const std::string path = dir.Write(relative + "long.pdf", "%PDF-1.4\n");
    ASSERT_GT(path.size(), 259u);
    EXPECT_EQ(CPdfSendApp().CheckInputFile(path), kInputIsPdf);
}

} // namespace
} // namespace nv
