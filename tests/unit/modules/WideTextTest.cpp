// Texts outside ASCII and outside the Basic Multilingual Plane come out as UTF-8 from strings
// and version values alike, and a cut never splits a character, a surrogate pair included.
#include "platform/modules/Modules.h"

#include <gtest/gtest.h>

namespace nv {
namespace {

using namespace platform;

TEST(WideTexts, StringsAreCutBetweenCharacters) {
    auto module = ResourceModule::Load(NV_WIDE_TEXTS_MODULE);
    ASSERT_NE(module, nullptr);
    EXPECT_EQ(module->LoadText(1), "𠮷野家");
    const struct {
        int bufferMax;
        int expected;
        const char* text;
    } cuts[] = {{4, 0, ""}, {5, 4, "𠮷"}, {7, 4, "𠮷"}, {8, 7, "𠮷野"}, {11, 10, "𠮷野家"}};
    for (const auto& cut : cuts) {
        char buffer[16];
        EXPECT_EQ(module->LoadStringA(1, buffer, cut.bufferMax), cut.expected)
            << "buffer " << cut.bufferMax;
        EXPECT_STREQ(buffer, cut.text) << "buffer " << cut.bufferMax;
    }
}

TEST(WideTexts, VersionValuesCountUtf8Bytes) {
    DWORD handle = 0;
    const DWORD size = GetFileVersionInfoSizeA(NV_WIDE_TEXTS_MODULE, &handle);
    ASSERT_GT(size, 0u);
    std::vector<std::uint8_t> block(size);
    ASSERT_TRUE(GetFileVersionInfoA(NV_WIDE_TEXTS_MODULE, handle, size, block.data()));
    const struct {
        const char* name;
        const char* text;
        UINT len; // bytes including the NUL
    } values[] = {{"CompanyName", "株式会社テスト", 22}, {"Comments", "𠮷", 5}};
    for (const auto& value : values) {
        void* found = nullptr;
        UINT len = 0;
        const std::string path = std::string("\\StringFileInfo\\041104b0\\") + value.name;
        ASSERT_TRUE(VerQueryValueA(block.data(), path.c_str(), &found, &len)) << value.name;
        EXPECT_EQ(len, value.len) << value.name;
        EXPECT_STREQ(static_cast<const char*>(found), value.text) << value.name;
    }
    auto strings = ReadVersionStrings(NV_WIDE_TEXTS_MODULE);
    ASSERT_TRUE(strings);
    ASSERT_EQ(strings->values.size(), 2u);
    EXPECT_EQ(strings->values[0].value, "株式会社テスト");
}

} // namespace
} // namespace nv
