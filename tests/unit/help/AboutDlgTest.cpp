// The About box on copies of the program directory: module names and versions, the product
// line, and what missing modules and missing version values show.
#include "help/AboutDlg.h"

#include "platform/files/Files.h"
#include "platform/ui/MessageBox.h"
#include "resources/ResourceIds.h"
#include "unit/modules/ModuleFiles.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace nv::help {
namespace {

namespace fs = std::filesystem;
namespace ctl = res::ctl;

// Records the run and ends the box as a user pressing OK would.
class ClickOkHost final : public platform::IModalHost {
public:
    int RunModal(platform::DialogSurface& surface, UINT templateId) override {
        ++runs;
        shownTemplate = templateId;
        surface.Click(platform::IDOK);
        return surface.GetEndResult();
    }
    int runs = 0;
    UINT shownTemplate = 0;
};

class AboutDlgTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir = fs::temp_directory_path() / ("nv-about-" + std::to_string(::getpid()));
        fs::create_directories(dir);
        exe = (dir / "norvane").string();
        fs::copy_file(platform::GetModuleFileName(), exe);
        resources = platform::ResourceModule::Load(test::ProgramFile("Norvres.dll"));
        ASSERT_NE(resources, nullptr);
    }
    void TearDown() override { fs::remove_all(dir); }
    void Put(const std::string& from, const char* name) {
        fs::copy_file(from, dir / name, fs::copy_options::overwrite_existing);
    }
    std::map<UINT, CString> Open() {
        CAboutDlg about(resources.get(), exe, host);
        EXPECT_EQ(about.DoModal(), platform::IDOK);
        std::map<UINT, CString> texts;
        for (UINT id :
             {ctl::kAboutExeName, ctl::kAboutExeVersion, ctl::kAboutLibName, ctl::kAboutLibVersion,
              ctl::kAboutResName, ctl::kAboutResVersion, ctl::kAboutProductLine}) {
            texts[id] = about.Surface().GetDlgItemText(static_cast<int>(id));
        }
        return texts;
    }

    fs::path dir;
    std::string exe;
    std::unique_ptr<platform::ResourceModule> resources;
    ClickOkHost host;
};

TEST_F(AboutDlgTest, ShowsEveryModuleOfTheProgramDirectory) {
    Put(test::ProgramFile("Norvane.dll"), "Norvane.dll");
    Put(test::ProgramFile("Norvres.dll"), "Norvres.dll");
    auto texts = Open();
    EXPECT_EQ(host.shownTemplate, res::dlg::kAbout);
    EXPECT_EQ(texts[ctl::kAboutExeName], "norvane.exe");
    EXPECT_EQ(texts[ctl::kAboutExeVersion], "3, 0, 0, 3");
    EXPECT_EQ(texts[ctl::kAboutProductLine], "Norvane ﾊﾞｰｼﾞｮﾝ 3, 0, 0, 3");
    EXPECT_EQ(texts[ctl::kAboutLibName], "Norvane.dll");
    EXPECT_EQ(texts[ctl::kAboutLibVersion], "3, 0, 0, 3");
    EXPECT_EQ(texts[ctl::kAboutResName], "Norvres.dll");
    EXPECT_EQ(texts[ctl::kAboutResVersion], "3, 0, 0, 3");
}

TEST_F(AboutDlgTest, MissingModulesAndValues) {
    struct Case {
        const char* name;
        const char* companion; // module copied as Norvane.dll, or null
        const char* resource;  // module copied as Norvres.dll, or null
        const char* libVersion;
        const char* resVersion;
    } const cases[] = {
        // Without a FileVersion the previous module's version stays.
        {"companion missing", nullptr, NV_NO_FILE_VERSION_MODULE, "Unknown", "Unknown"},
        {"companion without FileVersion", NV_NO_FILE_VERSION_MODULE, nullptr, "3, 0, 0, 3",
         "Unknown"},
        {"resource library without translation", nullptr, NV_NO_TRANSLATION_MODULE, "Unknown",
         "Unknown"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fs::remove(dir / res::kCompanionLibrary);
        fs::remove(dir / res::kResourceLibrary);
        if (c.companion != nullptr) {
            Put(c.companion, res::kCompanionLibrary);
        }
        if (c.resource != nullptr) {
            Put(c.resource, res::kResourceLibrary);
        }
        auto texts = Open();
        EXPECT_EQ(texts[ctl::kAboutLibName], "Norvane.dll");
        EXPECT_EQ(texts[ctl::kAboutLibVersion], c.libVersion);
        EXPECT_EQ(texts[ctl::kAboutResName], "Norvres.dll");
        EXPECT_EQ(texts[ctl::kAboutResVersion], c.resVersion);
    }
}

TEST(GetFileVersionStringsTest, OutputsPerModule) {
    struct Case {
        std::string path;
        BOOL result;
        const char* name;
        const char* version;
    } const cases[] = {
        {"/nonexistent/Norvane.dll", FALSE, "Unknown", "Unknown"},
        {NV_NO_TRANSLATION_MODULE, FALSE, "Unknown", "Unknown"},
        {NV_NO_FILE_VERSION_MODULE, TRUE, "kept", "kept"},
        {test::ProgramFile("lang/en/Norvres.dll"), TRUE, "norvres.dll", "3, 0, 0, 3"},
    };
    for (const Case& c : cases) {
        CString name = "kept";
        CString version = "kept";
        EXPECT_EQ(GetFileVersionStrings(c.path, name, version), c.result) << c.path;
        EXPECT_EQ(name, c.name) << c.path;
        EXPECT_EQ(version, c.version) << c.path;
    }
}

TEST(AboutDlgWithoutTemplateTest, MissingTemplateIsNotShown) {
    ClickOkHost host;
    CAboutDlg about(nullptr, platform::GetModuleFileName(), host);
    EXPECT_EQ(about.DoModal(), -1);
    EXPECT_EQ(host.runs, 0);
}

} // namespace
} // namespace nv::help
