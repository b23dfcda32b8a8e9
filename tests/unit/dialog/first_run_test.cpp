// Opening the dialog for a user with no settings: the window it builds, the captions, the
// option states of a first run, the system menu, painting, the ways the dialog ends, and the
// steps of Print before the job.
#include "support/DialogScenario.h"

#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <tuple>

namespace nv::test {
namespace {

class FirstRun : public ::testing::Test {
protected:
    void SetUp() override {
        s.AddPrinter("Office", "Quillet 100", CapabilityFile("Quillet 100", kEverything));
        ASSERT_EQ(s.Open(), TRUE);
        ASSERT_EQ(s.TakeMessages(), Messages{});
    }
    DialogScenario s;
};

TEST_F(FirstRun, OpensOnTheOnlyPrinterWithTheDefaultsAndCreatesBothKeys) {
    CPdfSendDlg& d = *s.dlg;
    EXPECT_EQ(s.W().GetWindowText(), "report.pdf");
    EXPECT_EQ(d.m_strPrinterName, "Office");
    EXPECT_EQ(s.Text(ctl::kPortText), "socket://Quillet 100");
    EXPECT_EQ(d.m_strCapFile, s.DriverDir() + "nv1.cap");
    EXPECT_EQ(d.m_strDriverDir, s.DriverDir());
    EXPECT_TRUE(s.KeyExists("Settings"));
    EXPECT_TRUE(s.KeyExists("Office"));
    EXPECT_FALSE(s.StoredText("Settings", "Printer")); // opening stores nothing

    EXPECT_EQ(s.Text(ctl::kPaperSourceList), "Auto");
    EXPECT_EQ(s.Text(ctl::kCopiesEdit), "1");
    EXPECT_FALSE(s.Ticked(ctl::kDuplexCheck));
    EXPECT_TRUE(s.Enabled(ctl::kDuplexCheck));
    EXPECT_FALSE(s.Enabled(ctl::kBindingList));
    EXPECT_EQ(s.Selection(ctl::kBindingList), 0);
    EXPECT_EQ(s.W().GetStaticIcon(ctl::kBindingIcon)->GetIcon(), res::icon::kLongEdge);
    EXPECT_TRUE(s.Ticked(ctl::kCollateCheck));
    EXPECT_TRUE(s.Ticked(ctl::kFitToPageCheck));
    EXPECT_FALSE(s.Ticked(ctl::kPageRangeCheck));
    EXPECT_TRUE(s.Enabled(ctl::kPageRangeCheck));
    EXPECT_FALSE(s.Enabled(ctl::kStartPageEdit));
    EXPECT_EQ(s.Text(ctl::kStartPageEdit), "1");
    EXPECT_EQ(s.Text(ctl::kEndPageEdit), "1");
    EXPECT_FALSE(s.Ticked(ctl::kPasswordCheck));
    EXPECT_FALSE(s.Enabled(ctl::kPasswordEdit));
    EXPECT_FALSE(s.Enabled(ctl::kSavePasswordButton));
    EXPECT_FALSE(s.Enabled(ctl::kClearPasswordButton));
    EXPECT_TRUE(s.Enabled(ctl::kPasswordLabel));
    EXPECT_EQ(d.m_bCopiesReady, TRUE);
    EXPECT_EQ(d.m_bPagesReady, TRUE);
}

TEST_F(FirstRun, SetsCaptionsBindingItemsIconsAndTheAboutItem) {
    EXPECT_EQ(s.Text(ctl::kPrinterLabel), "caption 1406");
    EXPECT_EQ(s.Text(ctl::kClearPasswordButton), "caption 1427");
    EXPECT_EQ(s.Text(ctl::kCloseButton), "caption 1425");
    EXPECT_EQ(s.W().GetComboBox(ctl::kBindingList)->items(),
              (std::vector<CString>{"Long edge", "Short edge"}));
    EXPECT_EQ(s.W().GetIcon(true), res::icon::kProgram);
    EXPECT_EQ(s.W().GetIcon(false), res::icon::kProgram);
    EXPECT_EQ(s.W().GetSystemMenu()->Items(),
              (std::vector<platform::MenuItem>{{0, "", true}, {IDM_ABOUTBOX, "About...", false}}));
}

TEST_F(FirstRun, SystemCommandsSixteenToThirtyOneOpenTheAboutBox) {
    for (UINT command : {15u, 16u, 17u, 31u, 32u, 0xF000u}) {
        s.W().ChooseSystemCommand(command);
    }
    EXPECT_EQ(s.aboutRuns, 3);
    EXPECT_TRUE(s.Click(ctl::kAboutButton));
    EXPECT_EQ(s.aboutRuns, 4);
    EXPECT_FALSE(s.W().IsEnded());
    s.W().ChooseSystemCommand(SC_CLOSE);
    EXPECT_EQ(s.W().GetEndResult(), platform::IDCANCEL);
}

TEST_F(FirstRun, CloseEndsWithCancelAndStoresNothing) {
    s.Click(ctl::kDuplexCheck);
    EXPECT_TRUE(s.Click(ctl::kCloseButton));
    EXPECT_TRUE(s.W().IsEnded());
    EXPECT_EQ(s.W().GetEndResult(), platform::IDCANCEL);
    EXPECT_FALSE(s.StoredNumber("Office", "Duplex"));
    EXPECT_FALSE(s.Click(ctl::kCollateCheck)); // an ended dialog takes no input
}

TEST_F(FirstRun, FitToPageClickChangesNoOtherControl) {
    auto snapshot = [&] {
        std::vector<std::tuple<int, CString, bool, UINT>> state;
        for (int id : s.W().ControlIds()) {
            if (id != static_cast<int>(ctl::kFitToPageCheck)) {
                state.emplace_back(id, s.W().GetDlgItemText(id), s.W().IsWindowEnabled(id),
                                   s.W().IsDlgButtonChecked(id));
            }
        }
        return state;
    };
    const auto before = snapshot();
    s.Click(ctl::kFitToPageCheck);
    EXPECT_FALSE(s.Ticked(ctl::kFitToPageCheck));
    EXPECT_EQ(snapshot(), before);
    EXPECT_EQ(s.TakeMessages(), Messages{});
}

// The scenario's program folder holds no command library: Print harvests and validates, then
// the attempt ends silently, without a job, a message or closing the dialog.
TEST_F(FirstRun, PrintWithoutCommandLibraryHarvestsButSendsNothing) {
    s.Type(ctl::kCopiesEdit, "3");
    EXPECT_TRUE(s.Click(ctl::kPrintButton));
    EXPECT_EQ(s.TakeMessages(), Messages{});
    EXPECT_EQ(s.dlg->m_nCopies, 3u);
    EXPECT_EQ(s.dlg->m_strTrayKey, "AutoTray");
    EXPECT_FALSE(s.W().IsEnded());
    EXPECT_TRUE(s.spooler.Jobs().empty());
    EXPECT_EQ(s.spooler.OpenHandles(), 0);
}

TEST(PrintChecks, VersionCheckComesFirst) {
    struct Case {
        const char* name;
        std::string header; // empty: no file
        int answer;
        Messages expected;
        bool harvested;
    };
    const std::vector<Case> cases = {
        {"missing file", "", platform::IDOK, {"cannot open"}, false},
        {"no header line", "hello\n", platform::IDOK, {"cannot open"}, false},
        {"newer version declined", "%PDF-1.7\n", platform::IDNO, {"version?"}, false},
        {"newer version accepted", "%PDF-1.7\n", platform::IDYES, {"version?"}, true},
        {"supported version", "%PDF-1.2\n", platform::IDOK, {}, true},
    };
    for (const Case& c : cases) {
        DialogScenario s;
        s.AddPrinter("Office", "Q", CapabilityFile("Q", kEverything));
        if (c.header.empty()) {
            std::filesystem::remove(s.app.m_strFilePath);
        } else {
            s.dir.Write("report.pdf", c.header);
        }
        ASSERT_EQ(s.Open(), TRUE);
        s.box.Then(c.answer);
        s.Click(ctl::kPrintButton);
        EXPECT_EQ(s.TakeMessages(), c.expected) << c.name;
        EXPECT_EQ(s.dlg->m_strTrayKey.empty(), !c.harvested) << c.name;
        if (!c.expected.empty()) {
            const UINT flags = s.box.calls().back().flags;
            EXPECT_EQ(flags, c.expected[0] == "version?" ? 0x44u : 0x30u) << c.name;
            EXPECT_TRUE(s.box.calls().back().owned);
        }
        EXPECT_FALSE(s.W().IsEnded()) << c.name;
    }
}

TEST(OpenWindow, PrintersLeftOutByTheSpoolerAreReportedOnceAsAWarning) {
    for (const bool atLeast : {false, true}) {
        DialogScenario s;
        s.AddPrinter("Office", "Q", CapabilityFile("Q", kEverything));
        s.spooler.SetLeftOut(platform::LeftOutPrinters{12, atLeast, "/etc/printers.ini", 1 << 20});
        ASSERT_EQ(s.Open(), TRUE);
        EXPECT_EQ(s.TakeMessages(), Messages{std::string(atLeast ? "over " : "") +
                                             "12 left out of /etc/printers.ini past 1024 KiB"});
        EXPECT_EQ(s.box.calls().back().caption, "Warning");
        EXPECT_EQ(s.dlg->m_strPrinterName, "Office"); // the listed printers stay usable
        s.Click(ctl::kPrintButton);
        EXPECT_EQ(s.TakeMessages(), Messages{}); // said once, not again at Print
    }
}

TEST(OpenWindow, WithoutSystemMenuOrAboutTextAddsNoItem) {
    DialogScenario s;
    s.AddPrinter("Office", "Q", CapabilityFile("Q", kEverything));
    s.Build();
    s.dlg->CreateDialogWindow().SetHasSystemMenu(false);
    EXPECT_EQ(s.dlg->OnInitDialog(), TRUE);
    EXPECT_EQ(s.W().GetSystemMenu(), nullptr);

    s.texts.strings_.erase(res::str::kAboutMenuItem);
    EXPECT_EQ(s.Open(), TRUE);
    EXPECT_TRUE(s.W().GetSystemMenu()->Items().empty());
}

TEST(OpenWindow, WithTheBuiltResourceLibrary) {
    const char* programDir = std::getenv("NV_PROGRAM_DIR");
    ASSERT_NE(programDir, nullptr);
    const auto library = platform::ResourceModule::Load(std::string(programDir) + "/Norvres.dll");
    ASSERT_NE(library, nullptr);
    DialogScenario s;
    s.resources = library.get();
    s.AddPrinter("Office", "Q", CapabilityFile("Q", kEverything));
    ASSERT_EQ(s.Open(), TRUE);
    EXPECT_EQ(s.TakeMessages(), Messages{});
    EXPECT_EQ(s.Text(ctl::kPrinterLabel), library->LoadText(res::str::kPrinterLabel));
    EXPECT_FALSE(s.Text(ctl::kPrintButton).empty());
    EXPECT_EQ(s.Text(ctl::kPaperSourceList), library->LoadText(res::str::kTrayAuto));
    EXPECT_EQ(s.W().GetComboBox(ctl::kBindingList)->items(),
              (std::vector<CString>{library->LoadText(res::str::kBindingLongEdge),
                                    library->LoadText(res::str::kBindingShortEdge)}));
    EXPECT_EQ(s.dlg->m_hIconLongEdge, res::icon::kLongEdge);
    EXPECT_EQ(s.dlg->m_hIconShortEdge, res::icon::kShortEdge);
    EXPECT_EQ(s.dlg->m_hIcon, res::icon::kProgram);

    // The tray key of a displayed text is found through the library's own strings.
    s.Pick(ctl::kPaperSourceList, 1);
    s.Type(ctl::kCopiesEdit, "0");
    EXPECT_EQ(s.box.calls().back().text, library->LoadText(res::str::kBadCopies));
    EXPECT_EQ(s.box.calls().back().caption, library->LoadText(res::str::kWarningCaption));
    s.Type(ctl::kCopiesEdit, "2");
    s.Click(ctl::kSaveSettingsButton);
    EXPECT_EQ(s.dlg->m_strTrayKey, "Tray1");
    EXPECT_EQ(s.StoredText("Office", "PaperFeed"), library->LoadText(res::str::kTray1) + '\0');
}

} // namespace
} // namespace nv::test
