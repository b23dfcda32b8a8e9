// Code modules: a shared object built for the test is loaded, searched and freed.
#include "platform/modules/Modules.h"

#include <gtest/gtest.h>

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

#ifdef _WIN32
TEST(CodeModule, DllNamesStayAsTheyAre) {
    for (const char* name : {"nvlogext.dll", "JobInfo.DLL", "libjob.so", "x.", ""}) {
        EXPECT_EQ(platform::NativeCodeModuleName(name), name);
    }
}
#else
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
