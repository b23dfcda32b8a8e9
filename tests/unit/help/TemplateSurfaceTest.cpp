// Surfaces built from the resource library's templates, and the template reader on damaged
// data.
#include "platform/ui/TemplateSurface.h"

#include "platform/modules/DialogTemplate.h"
#include "platform/modules/ModuleLanguage.h"
#include "platform/modules/Modules.h"
#include "resources/ResourceIds.h"
#include "unit/modules/ModuleFiles.h"

#include <gtest/gtest.h>

namespace nv::platform {
namespace {

TEST(TemplateSurfaceTest, SettingsTemplateGivesEveryControlItsKind) {
    for (const char* file : {"Norvres.dll", "lang/en/Norvres.dll"}) {
        SCOPED_TRACE(file);
        auto module = ResourceModule::Load(test::ProgramFile(file));
        ASSERT_NE(module, nullptr);
        auto dialog = LoadDialogTemplate(*module, res::dlg::kSettings);
        ASSERT_TRUE(dialog.has_value());
        DialogSurface surface;
        EXPECT_EQ(BuildSurfaceFromTemplate(surface, *dialog,
                                           [](UINT id) { return static_cast<IconHandle>(id); }),
                  34);
        EXPECT_EQ(surface.GetWindowText(), "Norvane");
        EXPECT_NE(surface.GetComboBox(1001), nullptr);
        EXPECT_NE(surface.GetLabel(1003), nullptr);
        EXPECT_TRUE(surface.GetEdit(1008)->IsNumber());
        EXPECT_TRUE(surface.GetEdit(1027)->IsPassword());
        EXPECT_EQ(surface.GetUpDown(1009)->GetBuddy(), 1008);
        EXPECT_EQ(surface.GetUpDown(1018)->GetBuddy(), 1014);
        EXPECT_EQ(surface.GetUpDown(1019)->GetBuddy(), 1015);
        EXPECT_EQ(surface.GetStaticIcon(1022)->GetIcon(), 201u);
        EXPECT_NE(surface.GetCheckBox(1026), nullptr);
        EXPECT_NE(surface.GetPushButton(1029), nullptr);
        EXPECT_FALSE(surface.GetDlgItemText(102).empty()) << "captions that come with the template";
    }
}

TEST(TemplateSurfaceTest, AboutTemplateAndLanguages) {
    struct Case {
        const char* file;
        const char* language;
    } const cases[] = {{"Norvres.dll", "ja"}, {"lang/en/Norvres.dll", "en"}};
    for (const Case& c : cases) {
        auto module = ResourceModule::Load(test::ProgramFile(c.file));
        ASSERT_NE(module, nullptr);
        EXPECT_EQ(LanguageTagOf(*module), c.language);
        auto dialog = LoadDialogTemplate(*module, res::dlg::kAbout);
        ASSERT_TRUE(dialog.has_value());
        DialogSurface surface;
        BuildSurfaceFromTemplate(surface, *dialog);
        EXPECT_EQ(surface.ControlIds(),
                  (std::vector<int>{1513, 1200, 1201, 1202, 1203, 1204, 1205, 1}))
            << "the icon without an ID of its own is left out";
        EXPECT_EQ(surface.GetDlgItemText(1), "OK");
    }
}

TEST(TemplateSurfaceTest, DamagedTemplatesAreRefused) {
    auto module = ResourceModule::Load(test::ProgramFile("Norvres.dll"));
    ASSERT_NE(module, nullptr);
    const std::vector<std::uint8_t> data = module->FindResourceData(kRtDialog, 300);
    ASSERT_FALSE(data.empty());
    for (std::size_t cut = 0; cut < data.size(); cut += 7) {
        EXPECT_FALSE(ParseDialogTemplate(pe::Bytes(data.data(), cut)).has_value()) << cut;
    }
    std::vector<std::uint8_t> huge = data;
    huge[16] = 0xFF; // item count
    huge[17] = 0xFF;
    EXPECT_FALSE(ParseDialogTemplate(huge).has_value());
}

} // namespace
} // namespace nv::platform
