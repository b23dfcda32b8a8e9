// Version information of the built modules and of an executable that carries its own,
// read in the platform's size-then-data shape and queried by path.
#include "platform/files/Files.h"
#include "platform/modules/Modules.h"
#include "unit/modules/ModuleFiles.h"

#include <cstring>
#include <filesystem>
#include <gtest/gtest.h>

namespace nv {
namespace {

using namespace platform;

// The version block of PATH, read as the About box reads it.
std::vector<std::uint8_t> ReadBlock(const std::string& path) {
    DWORD handle = 7;
    const DWORD size = GetFileVersionInfoSizeA(path.c_str(), &handle);
    EXPECT_EQ(handle, 0u);
    std::vector<std::uint8_t> block(size);
    if (size == 0 || !GetFileVersionInfoA(path.c_str(), handle, size, block.data())) {
        ADD_FAILURE() << "no version information in " << path;
        return {};
    }
    return block;
}

std::optional<std::string> Query(std::vector<std::uint8_t>& block, const char* path, UINT* len) {
    void* value = nullptr;
    if (!VerQueryValueA(block.data(), path, &value, len)) {
        return std::nullopt;
    }
    EXPECT_GE(static_cast<std::uint8_t*>(value), block.data());
    EXPECT_LE(static_cast<std::uint8_t*>(value) + *len, block.data() + block.size());
    return *len == 0 ? std::string() : std::string(static_cast<const char*>(value));
}

struct Expected {
    const char* module;
    const char* block;
    const char* originalFilename;
};

void PrintTo(const Expected& expected, std::ostream* out) {
    *out << expected.module;
}

class ModuleVersion : public testing::TestWithParam<Expected> {};

TEST_P(ModuleVersion, AboutBoxQueriesAnswer) {
    const auto& expected = GetParam();
    auto block = ReadBlock(test::ProgramFile(expected.module));
    ASSERT_FALSE(block.empty());

    void* value = nullptr;
    UINT len = 0;
    ASSERT_TRUE(VerQueryValueA(block.data(), "\\VarFileInfo\\Translation", &value, &len));
    ASSERT_EQ(len, 4u);
    char name[9];
    const auto* words = static_cast<const std::uint8_t*>(value);
    std::snprintf(name, sizeof name, "%04x%04x", words[0] | (words[1] << 8),
                  words[2] | (words[3] << 8));
    EXPECT_STREQ(name, expected.block);

    const std::string prefix = std::string("\\StringFileInfo\\") + expected.block + "\\";
    EXPECT_EQ(Query(block, (prefix + "FileVersion").c_str(), &len), "3, 0, 0, 3");
    EXPECT_EQ(len, 11u); // bytes including the NUL
    EXPECT_EQ(Query(block, (prefix + "OriginalFilename").c_str(), &len), expected.originalFilename);
    EXPECT_EQ(Query(block, (prefix + "ProductName").c_str(), &len), "Velmora Quillet");
}

INSTANTIATE_TEST_SUITE_P(Modules, ModuleVersion,
                         testing::Values(Expected{"Norvres.dll", "041104b0", "Norvres.dll"},
                                         Expected{"lang/en/Norvres.dll", "040904b0", "Norvres.dll"},
                                         Expected{"Norvane.dll", "041104b0", "Norvane.dll"},
                                         Expected{"nvaComDLL.dll", "041104b0", "nvaComDLL.dll"},
                                         Expected{"nvbComDLL.dll", "041104b0", "nvbComDLL.dll"},
                                         Expected{"nvcComDLL.dll", "041104b0", "nvcComDLL.dll"}),
                         [](const testing::TestParamInfo<Expected>& module) {
                             std::string name;
                             for (const char* c = module.param.module; *c != '\0'; ++c) {
                                 name += std::isalnum(static_cast<unsigned char>(*c)) ? *c : '_';
                             }
                             return name;
                         });

struct PathCase {
    const char* path;
    bool found;
    UINT len;
    const char* text; // null: not compared
};

TEST(Version, QueryPathsFollowThePlatform) {
    auto block = ReadBlock(test::ProgramFile("Norvane.dll"));
    ASSERT_FALSE(block.empty());
    const PathCase cases[] = {
        {"\\StringFileInfo\\041104b0\\FileVersion", true, 11, "3, 0, 0, 3"},
        {"\\StringFileInfo\\041104B0\\fileversion", true, 11, "3, 0, 0, 3"},
        {"StringFileInfo\\041104b0\\FileVersion\\", true, 11, "3, 0, 0, 3"},
        {"\\StringFileInfo\\041104b0\\Comments", true, 1, ""},
        {"\\StringFileInfo\\041104b0\\NoSuchValue", false, 0, nullptr},
        {"\\StringFileInfo\\040904e4\\FileVersion", false, 0, nullptr},
        {"\\StringFileInfo\\041104b0", true, 0, nullptr},
        {"\\", true, 52, nullptr},
    };
    for (const auto& c : cases) {
        void* value = nullptr;
        UINT len = 99;
        EXPECT_EQ(VerQueryValueA(block.data(), c.path, &value, &len), c.found ? TRUE : FALSE)
            << c.path;
        EXPECT_EQ(len, c.len) << c.path;
        if (c.text != nullptr) {
            EXPECT_STREQ(static_cast<const char*>(value), c.text) << c.path;
        }
    }
    // The fixed part: signature and version 3.0.0.3.
    void* fixed = nullptr;
    UINT len = 0;
    ASSERT_TRUE(VerQueryValueA(block.data(), "\\", &fixed, &len));
    std::uint32_t words[4];
    std::memcpy(words, fixed, sizeof words);
    EXPECT_EQ(words[0], 0xFEEF04BDu);
    EXPECT_EQ(words[2], 0x00030000u);
    EXPECT_EQ(words[3], 0x00000003u);
}

TEST(Version, MissingOrTooSmall) {
    DWORD handle = 0;
    EXPECT_EQ(GetFileVersionInfoSizeA("/nonexistent/Norvane.dll", &handle), 0u);
    EXPECT_EQ(GetFileVersionInfoSizeA(nullptr, &handle), 0u);
    const std::string path = test::ProgramFile("Norvane.dll");
    const DWORD size = GetFileVersionInfoSizeA(path.c_str(), &handle);
    ASSERT_GT(size, 0u);
    std::vector<std::uint8_t> small(size - 1);
    EXPECT_FALSE(GetFileVersionInfoA(path.c_str(), 0, size - 1, small.data()));
    EXPECT_FALSE(ReadVersionStrings("/nonexistent/Norvane.dll"));
}

// The test program carries the executable's version information the same way the program
// does (see nv_executable_version), so reading its own file reads that.
TEST(Version, ExecutableCarriesItsOwnVersion) {
    const std::string self = platform::GetModuleFileName();
    auto block = ReadBlock(self);
    ASSERT_FALSE(block.empty());
    UINT len = 0;
    const char* prefix = "\\StringFileInfo\\041104b0\\";
    const std::pair<const char*, const char*> values[] = {
        {"FileVersion", "3, 0, 0, 3"},
        {"ProductVersion", "3, 0, 0, 3"},
        {"FileDescription", "PDF Quillet Execute File"},
        {"InternalName", "Velmora Quillet"},
        {"OriginalFilename", "norvane"},
        {"CompanyName", "VELMORA"},
        {"ProductName", "Velmora Quillet"},
        {"Comments", ""},
        {"LegalTrademarks", ""},
        {"PrivateBuild", ""},
        {"SpecialBuild", ""},
    };
    for (const auto& [name, text] : values) {
        EXPECT_EQ(Query(block, (std::string(prefix) + name).c_str(), &len), text) << name;
    }
    auto strings = ReadVersionStrings(self);
    ASSERT_TRUE(strings);
    ASSERT_EQ(strings->translations.size(), 1u);
    EXPECT_EQ(strings->translations[0], (std::pair<WORD, WORD>{0x0411, 1200}));
}

} // namespace
} // namespace nv
