// The exclusive open against other opens of the same file: in this process and in another,
// in both orders, against plain readers that lock, and its release on close.
#include "FilesTestSupport.h"
#include "platform/files/Files.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <unistd.h>

namespace nv::platform {
namespace {

const std::string kHeld = std::to_string(static_cast<int>(FileCause::none));
const std::string kInUse = std::to_string(static_cast<int>(FileCause::sharingViolation));

FileCause OpenCause(const std::string& path) {
    FileCause cause = FileCause::generic;
    auto file = ExclusiveFile::Open(path, &cause);
    return cause;
}

class FileLock : public ::testing::Test {
protected:
    test::TempDir dir_;
    std::string path_ = dir_.Write("doc.pdf", "%PDF-1.4\n");
};

TEST_F(FileLock, SecondOpenInTheSameProcessFailsUntilTheFirstCloses) {
    auto first = ExclusiveFile::Open(path_, nullptr);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(OpenCause(path_), FileCause::sharingViolation);
    first.reset();
    EXPECT_EQ(OpenCause(path_), FileCause::none);
}

TEST_F(FileLock, OtherProcessHoldingTheFileKeepsUsOut) {
    test::Probe other(NV_FILES_PROBE, {"open", path_});
    ASSERT_EQ(other.FirstLine(), kHeld);
    EXPECT_EQ(OpenCause(path_), FileCause::sharingViolation);
    other.Release();
    EXPECT_EQ(OpenCause(path_), FileCause::none);
}

TEST_F(FileLock, HoldingTheFileKeepsTheOtherProcessOut) {
    auto held = ExclusiveFile::Open(path_, nullptr);
    ASSERT_NE(held, nullptr);
    test::Probe other(NV_FILES_PROBE, {"open", path_});
    EXPECT_EQ(other.FirstLine(), kInUse);
}

TEST_F(FileLock, LockingReadersCountAsUsers) {
    for (const char* reader : {"flock-shared", "record-read"}) {
        test::Probe other(NV_FILES_PROBE, {reader, path_});
        ASSERT_EQ(other.FirstLine(), "0") << reader;
        EXPECT_EQ(OpenCause(path_), FileCause::sharingViolation) << reader;
        other.Release();
        EXPECT_EQ(OpenCause(path_), FileCause::none) << reader;
    }
}

// A reader that locks (shared) cannot start while the file is held, in this process or another.
TEST_F(FileLock, LockingReadersAreKeptOut) {
    auto held = ExclusiveFile::Open(path_, nullptr);
    ASSERT_NE(held, nullptr);
    const int fd = ::open(path_.c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_GE(fd, 0);
    EXPECT_NE(::flock(fd, LOCK_SH | LOCK_NB), 0);
    ::close(fd);
    test::Probe other(NV_FILES_PROBE, {"flock-shared", path_});
    EXPECT_EQ(other.FirstLine(), "1");
}

} // namespace
} // namespace nv::platform
