// The exclusive open on Windows: share mode 0 against other handles in both orders, the causes
// of failure, file names outside the active code page, and the program folder.
#include "../FilesTestSupport.h"
#include "platform/files/Files.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <windows.h>

#undef GetModuleFileName // the layer's function, not the system header's macro

namespace nv::platform {
namespace {

FileCause OpenCause(const std::string& path) {
    FileCause cause = FileCause::generic;
    auto file = ExclusiveFile::Open(path, &cause);
    EXPECT_EQ(file != nullptr, cause == FileCause::none) << path;
    return cause;
}

// A handle another program would hold: read access, sharing reads.
HANDLE OpenShared(const std::string& path) {
    return CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
}

TEST(ExclusiveOpenWin32, CausesOfFailure) {
    test::TempDir dir;
    const std::string file = dir.Write("doc.pdf", "%PDF-1.4\n");
    std::filesystem::create_directory(dir.path() + "\\folder");
    const struct {
        const char* name;
        std::string path;
        FileCause cause;
    } cases[] = {
        {"regular file", file, FileCause::none},
        {"forward slashes", dir.path() + "/doc.pdf", FileCause::none},
        {"empty path", "", FileCause::badPath},
        {"not UTF-8", dir.path() + "\\\xFF.pdf", FileCause::badPath},
        {"missing file", dir.path() + "\\missing.pdf", FileCause::fileNotFound},
        {"missing folder", dir.path() + "\\nowhere\\doc.pdf", FileCause::fileNotFound},
        {"folder", dir.path() + "\\folder", FileCause::accessDenied},
        {"device", "NUL", FileCause::accessDenied},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(OpenCause(c.path), c.cause) << c.name;
    }
}

TEST(ExclusiveOpenWin32, AFileOpenElsewhereIsInUseInBothOrders) {
    test::TempDir dir;
    const std::string file = dir.Write("doc.pdf", "%PDF-1.7\n");

    HANDLE other = OpenShared(file);
    ASSERT_NE(other, INVALID_HANDLE_VALUE);
    EXPECT_EQ(OpenCause(file), FileCause::sharingViolation);
    CloseHandle(other);

    FileCause cause = FileCause::generic;
    auto held = ExclusiveFile::Open(file, &cause);
    ASSERT_NE(held, nullptr);
    EXPECT_EQ(OpenShared(file), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
    EXPECT_EQ(OpenCause(file), FileCause::sharingViolation);
    held.reset();
    EXPECT_EQ(OpenCause(file), FileCause::none);
}

TEST(ExclusiveOpenWin32, NamesOutsideTheCodePageOpenAndRead) {
    test::TempDir dir;
    // "印刷テスト.pdf" in UTF-8.
    const std::string file = dir.Write(
        "\xE5\x8D\xB0\xE5\x88\xB7\xE3\x83\x86\xE3\x82\xB9\xE3\x83\x88.pdf", "%PDF-1.5\nbody");
    auto opened = ExclusiveFile::Open(file, nullptr);
    ASSERT_NE(opened, nullptr);
    EXPECT_EQ(opened->Length(), 13);
    char buffer[16] = {};
    EXPECT_EQ(opened->Read(buffer, sizeof buffer), 13);
    EXPECT_STREQ(buffer, "%PDF-1.5\nbody");
}

TEST(ExclusiveOpenWin32, ProgramDirectoryIsTheExecutablesFolder) {
    const std::string exe = platform::GetModuleFileName();
    const std::string dir = GetProgramDirectory();
    ASSERT_FALSE(dir.empty());
    EXPECT_EQ(dir.back(), '\\');
    EXPECT_EQ(exe.substr(0, dir.size()), dir);
    EXPECT_TRUE(std::filesystem::exists(std::filesystem::u8path(exe)));
    EXPECT_EQ(exe.find('\\', dir.size()), std::string::npos);
}

} // namespace
} // namespace nv::platform
