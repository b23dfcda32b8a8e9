// The Windows build reads module files through the system loader: it must see what our PE
// reader sees in the same file, take wide file names, and never look a module up on the
// system's search path.
#include "platform/modules/ModuleLanguage.h"
#include "platform/modules/Modules.h"
#include "support/ScratchDir.h"
#include "unit/modules/ModuleFiles.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace nv {
namespace {

using platform::ResourceModule;

std::string Utf8(const std::filesystem::path& path) {
    const std::u8string text = path.u8string();
    return {text.begin(), text.end()};
}

TEST(SystemLoader, SeesWhatThePeReaderSees) {
    for (const char* name : test::kBuiltModules) {
        const std::string path = test::ProgramFile(name);
        auto system = ResourceModule::Load(path);
        auto reader = ResourceModule::LoadFromMemory(test::ReadBytes(path));
        ASSERT_TRUE(system && reader) << name;
        for (UINT type : {platform::kRtIcon, platform::kRtDialog, platform::kRtString,
                          platform::kRtGroupIcon, platform::kRtVersion}) {
            const auto ids = reader->ResourceIds(type);
            EXPECT_EQ(system->ResourceIds(type), ids) << name << " type " << type;
            for (UINT id : ids) {
                EXPECT_EQ(system->FindResourceData(type, id), reader->FindResourceData(type, id))
                    << name << " type " << type << " id " << id;
            }
        }
        const auto strings = reader->StringIds();
        EXPECT_EQ(system->StringIds(), strings) << name;
        for (UINT id : strings) {
            EXPECT_EQ(system->LoadText(id), reader->LoadText(id)) << name << " string " << id;
        }
        EXPECT_EQ(platform::LanguageTagOf(*system), platform::LanguageTagOf(*reader)) << name;
    }
}

TEST(SystemLoader, TakesWideFileNames) {
    test::ScratchDir scratch;
    const auto folder = scratch.Path() / std::filesystem::path(u8"日本語 フォルダ");
    std::filesystem::create_directories(folder);
    const auto copy = folder / "Norvres.dll";
    std::filesystem::copy_file(test::ProgramFile("Norvres.dll"), copy);
    {
        auto module = ResourceModule::Load(Utf8(copy));
        ASSERT_NE(module, nullptr);
        EXPECT_EQ(module->LoadText(1500), "警告");
        DWORD handle = 0;
        EXPECT_GT(platform::GetFileVersionInfoSizeA(Utf8(copy).c_str(), &handle), 0u);
    }
    // Released with its owner, the file can go.
    std::error_code error;
    EXPECT_TRUE(std::filesystem::remove(copy, error)) << error.message();
}

TEST(SystemLoader, BareNamesAreNotSearched) {
    // Every Windows system has this library on its search path; our folder does not hold it.
    EXPECT_EQ(ResourceModule::Load("kernel32.dll"), nullptr);
    DWORD handle = 0;
    EXPECT_EQ(platform::GetFileVersionInfoSizeA("kernel32.dll", &handle), 0u);
    EXPECT_EQ(ResourceModule::Load(""), nullptr);
}

} // namespace
} // namespace nv
