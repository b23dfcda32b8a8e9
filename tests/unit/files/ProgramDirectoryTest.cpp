// The program directory of a running executable, also when it was started through a link.
#include "FilesTestSupport.h"
#include "platform/files/Files.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <unistd.h>

namespace nv::platform {
namespace {

std::string Canonical(const std::string& dir) {
    return std::filesystem::canonical(dir).string() + "/";
}

TEST(ProgramDirectory, IsTheFolderOfTheTestBinary) {
    EXPECT_EQ(GetProgramDirectory(), Canonical(NV_TEST_BINARY_DIR));
}

TEST(ProgramDirectory, ResolvesTheLinkTheProgramWasStartedThrough) {
    test::TempDir dir;
    const std::string link = dir.Path().string() + "/linked_probe";
    ASSERT_EQ(::symlink(NV_FILES_PROBE, link.c_str()), 0);
    test::Probe probe(link, {"dir"});
    EXPECT_EQ(probe.FirstLine(), Canonical(NV_TEST_BINARY_DIR));
}

} // namespace
} // namespace nv::platform
