// Code modules: a shared object built for the test is loaded, searched and freed.
#include "platform/modules/Modules.h"

#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace nv {
namespace {

using platform::CodeModule;

TEST(CodeModule, LoadsLooksUpAndFrees) {
    auto module = CodeModule::Load(NV_TEST_CODE_MODULE);
    ASSERT_NE(module, nullptr);
    auto* answer = reinterpret_cast<int (*)()>(module->GetProcAddress("NvTestAnswer"));
    ASSERT_NE(answer, nullptr);
    EXPECT_EQ(answer(), 42);
    EXPECT_EQ(module->GetProcAddress("NoSuchEntry"), nullptr);
    EXPECT_EQ(module->GetProcAddress(nullptr), nullptr);
}

TEST(CodeModule, MissingFileIsAResult) {
    EXPECT_EQ(CodeModule::Load("/nonexistent/nvlogext.so"), nullptr);
    EXPECT_EQ(CodeModule::Load(""), nullptr);
}

TEST(CodeModule, SideLibraryNamesArePlainFileNames) {
    const std::pair<const char*, bool> cases[] = {
        {"jobinfo.dll", true}, {"noext", true},      {"", false},
        {"/abs.dll", false},   {"sub/x.dll", false}, {"sub\\x.dll", false},
        {"..", false},         {"a..dll", false},    {"C:x.dll", false},
    };
    for (const auto& [name, plain] : cases) {
        EXPECT_EQ(platform::IsPlainFileName(name), plain) << name;
    }
}

#ifdef _WIN32
TEST(CodeModule, DllNamesStayAsTheyAre) {
    for (const char* name : {"nvlogext.dll", "JobInfo.DLL", "libjob.so", ""}) {
        EXPECT_EQ(platform::NativeCodeModuleName(name), name);
    }
}
#else
TEST(CodeModule, OnlyRegularFilesByPathAreLoaded) {
    // A bare name would be searched for on the library path.
    EXPECT_EQ(CodeModule::Load("libc.so.6"), nullptr);
    // A FIFO is refused at once instead of blocking the load.
    const std::string fifo = testing::TempDir() + "/nv-code-module-fifo.so";
    ::unlink(fifo.c_str());
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_EQ(CodeModule::Load(fifo), nullptr);
    ::unlink(fifo.c_str());
}

TEST(CodeModule, DllNamesMapToSharedObjects) {
    const std::pair<const char*, const char*> cases[] = {
        {"nvlogext.dll", "nvlogext.so"},
        {"JobInfo.DLL", "JobInfo.so"},
        {"a.Dll", "a.so"},
        {"libjob.so", "libjob.so"},
        {".dll", ".so"},
        {"dll", "dll.so"},
        {"x.dllx", "x.dllx"},
        {"noext", "noext.so"},
        {"noext.", "noext"},
        {"/drv/v1.2/noext", "/drv/v1.2/noext.so"},
        {"", ""},
    };
    for (const auto& [name, expected] : cases) {
        EXPECT_EQ(platform::NativeCodeModuleName(name), expected) << name;
    }
}
#endif

} // namespace
} // namespace nv
