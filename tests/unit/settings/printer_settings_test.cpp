// The per-user settings through the dialog: options saved per printer and reloaded across
// two printers and a second run, the comma form of network printer names, the saved password,
// stored values of unexpected shape, and a store that cannot be opened.
#include "settings/SettingsStore.h"
#include "support/DialogScenario.h"

#include <gtest/gtest.h>

namespace nv::test {
namespace {

std::string Sz(const std::string& text) {
    return text + '\0';
}
std::string Dword(DWORD value) {
    return std::string{static_cast<char>(value & 0xFF), static_cast<char>((value >> 8) & 0xFF),
                       static_cast<char>((value >> 16) & 0xFF), static_cast<char>(value >> 24)};
}

// Paper source, duplex, binding, collate, fit, range as the controls show them.
using Options = std::tuple<CString, bool, int, bool, bool, bool>;
Options ShownBy(DialogScenario& s) {
    return {s.Text(ctl::kPaperSourceList),  s.Ticked(ctl::kDuplexCheck),
            s.Selection(ctl::kBindingList), s.Ticked(ctl::kCollateCheck),
            s.Ticked(ctl::kFitToPageCheck), s.Ticked(ctl::kPageRangeCheck)};
}
const Options kDefaults{"Auto", false, 0, true, true, false};

class Settings : public ::testing::Test {
protected:
    void SetUp() override {
        s.AddPrinter("Office A", "QA", CapabilityFile("QA", kEverything));
        s.AddPrinter("Office B", "QB", CapabilityFile("QB", kEverything, "AutoTray=0\nTray2=2\n"));
    }
    // Ticks the options away from the defaults on the selected printer.
    void ChangeEverything() {
        s.Pick(ctl::kPaperSourceList, 1);
        s.Click(ctl::kDuplexCheck);
        s.Pick(ctl::kBindingList, 1);
        s.Click(ctl::kCollateCheck);
        s.Click(ctl::kFitToPageCheck);
        s.Click(ctl::kPageRangeCheck);
    }
    Options Shown() { return ShownBy(s); }
    DialogScenario s;
};

TEST_F(Settings, SavesTheOptionsOfThePrinterInTheirTypes) {
    ASSERT_EQ(s.Open(), TRUE);
    ChangeEverything();
    const int before = s.registry.ChangesWritten();
    s.Click(ctl::kSaveSettingsButton);
    EXPECT_EQ(s.TakeMessages(), Messages{});
    // "Printer", then the printer's whole key as one change: a save killed halfway or meeting
    // another one leaves no mix of two.
    EXPECT_EQ(s.registry.ChangesWritten() - before, 2);
    EXPECT_EQ(s.StoredText("Settings", "Printer"), Sz("Office A"));
    EXPECT_EQ(s.StoredText("Office A", "PaperFeed"), Sz("Tray 1"));
    for (const auto& [name, value] : std::vector<std::pair<const char*, DWORD>>{
             {"Duplex", 1}, {"Binding", 1}, {"FitToPage", 0}, {"Qty", 0}, {"SetPage", 1}}) {
        EXPECT_EQ(s.StoredNumber("Office A", name), value) << name;
    }
    EXPECT_FALSE(s.StoredText("Office A", "Copies"));   // copies are not stored
    EXPECT_FALSE(s.StoredText("Settings", "Password")); // nor the password
}

TEST_F(Settings, EachPrinterGetsItsOwnOptionsBackAcrossSelectionsAndRuns) {
    ASSERT_EQ(s.Open(), TRUE);
    ChangeEverything();
    s.Click(ctl::kSaveSettingsButton);
    const Options saved = Shown();

    s.Pick(ctl::kPrinterList, 1);
    EXPECT_EQ(s.dlg->m_strPrinterName, "Office B");
    EXPECT_EQ(Shown(), kDefaults);
    EXPECT_TRUE(s.KeyExists("Office B")); // loading creates the key
    s.Click(ctl::kDuplexCheck);           // unsaved, lost on the next selection
    s.Pick(ctl::kPrinterList, 0);
    EXPECT_EQ(Shown(), saved);
    s.Pick(ctl::kPrinterList, 1);
    EXPECT_EQ(Shown(), kDefaults);
    s.Click(ctl::kCloseButton);

    // A second run starts on the printer saved last, with its options.
    ASSERT_EQ(s.Open(), TRUE);
    EXPECT_EQ(s.dlg->m_strPrinterName, "Office A");
    EXPECT_EQ(s.Selection(ctl::kPrinterList), 0);
    EXPECT_EQ(Shown(), saved);
    s.Pick(ctl::kPrinterList, 1);
    s.Click(ctl::kSaveSettingsButton);
    ASSERT_EQ(s.Open(), TRUE);
    EXPECT_EQ(s.dlg->m_strPrinterName, "Office B");
    EXPECT_EQ(s.TakeMessages(), Messages{});
}

TEST_F(Settings, SavedPaperSourceTheNewPrinterLacksFallsBackToItsFirst) {
    ASSERT_EQ(s.Open(), TRUE);
    s.Pick(ctl::kPaperSourceList, 1); // Tray 1
    s.Click(ctl::kSaveSettingsButton);
    s.Store("Office B", "PaperFeed", platform::REG_SZ, Sz("Tray 1"));
    s.Pick(ctl::kPrinterList, 1);
    EXPECT_EQ(s.Text(ctl::kPaperSourceList), "Auto");
    EXPECT_EQ(s.dlg->m_strPaperFeed, "Tray 1"); // until the next harvest
}

TEST(NetworkPrinter, IsStoredInTheCommaFormAndRestored) {
    DialogScenario s;
    s.AddPrinter("Local", "Q", CapabilityFile("Q", kEverything));
    s.AddPrinter("\\\\server\\queue", "Q", CapabilityFile("Q", kEverything));
    ASSERT_EQ(s.Open(), TRUE);
    s.Pick(ctl::kPrinterList, 1);
    s.Click(ctl::kDuplexCheck);
    s.Click(ctl::kSaveSettingsButton);
    EXPECT_EQ(s.StoredText("Settings", "Printer"), Sz(",,server,queue"));
    EXPECT_EQ(s.StoredNumber(",,server,queue", "Duplex"), 1u);
    ASSERT_EQ(s.Open(), TRUE);
    EXPECT_EQ(s.dlg->m_strPrinterName, "\\\\server\\queue");
    EXPECT_EQ(s.Selection(ctl::kPrinterList), 1);
    EXPECT_TRUE(s.Ticked(ctl::kDuplexCheck));
    EXPECT_EQ(CommaForm("a\\b\\c"), "a,b,c");
    EXPECT_EQ(FromCommaForm(",,s,q"), "\\\\s\\q");
}

TEST_F(Settings, PasswordIsSavedOnlyWhenItCanBeSentAndClearedOnRequest) {
    ASSERT_EQ(s.Open(), TRUE);
    s.Click(ctl::kPasswordCheck);
    struct Case {
        std::string password;
        bool saved;
    };
    const std::vector<Case> cases = {
        {"", false},    {std::string(129, '1'), false}, {"12\"3", false}, {"12\t3", false},
        {"1234", true}, {std::string(128, '9'), true},
    };
    for (const Case& c : cases) {
        s.W().SetDlgItemTextA(static_cast<int>(ctl::kPasswordEdit), c.password);
        s.Click(ctl::kSavePasswordButton);
        EXPECT_EQ(s.TakeMessages(), c.saved ? Messages{} : Messages{"password"}) << c.password;
        EXPECT_EQ(s.StoredText("Settings", "Password") == Sz(c.password), c.saved) << c.password;
        EXPECT_EQ(s.dlg->m_strPassword, c.password); // taken in either case
    }
    EXPECT_EQ(s.StoredNumber("Settings", "Password Flag"), 1u);
    EXPECT_TRUE(s.Enabled(ctl::kClearPasswordButton));

    // The saved password comes back on the next printer selection, ticked.
    s.Click(ctl::kPasswordCheck);
    s.Pick(ctl::kPrinterList, 1);
    EXPECT_TRUE(s.Ticked(ctl::kPasswordCheck));
    EXPECT_EQ(s.Text(ctl::kPasswordEdit), std::string(128, '9'));

    s.Click(ctl::kClearPasswordButton);
    EXPECT_FALSE(s.StoredText("Settings", "Password"));
    EXPECT_FALSE(s.StoredNumber("Settings", "Password Flag"));
    EXPECT_FALSE(s.Enabled(ctl::kClearPasswordButton));
    EXPECT_TRUE(s.Ticked(ctl::kPasswordCheck)); // the controls stay as they are
    EXPECT_EQ(s.Text(ctl::kPasswordEdit), std::string(128, '9'));
    EXPECT_EQ(s.TakeMessages(), Messages{});
}

TEST_F(Settings, ClearWithNothingSavedIsNoError) {
    s.Store("Settings", "Password", platform::REG_SZ, Sz("1"));
    ASSERT_EQ(s.Open(), TRUE);
    EXPECT_TRUE(s.Enabled(ctl::kClearPasswordButton));
    s.Click(ctl::kClearPasswordButton);
    s.dlg->OnClearPassword();
    EXPECT_FALSE(s.Enabled(ctl::kClearPasswordButton));
    EXPECT_EQ(s.TakeMessages(), Messages{});
}

TEST_F(Settings, PasswordFlagSavedUntickedLeavesTheBoxUntickedOnRestore) {
    s.Store("Settings", "Password", platform::REG_SZ, Sz("4321"));
    s.Store("Settings", "Password Flag", platform::REG_DWORD, Dword(0));
    ASSERT_EQ(s.Open(), TRUE);
    EXPECT_FALSE(s.Ticked(ctl::kPasswordCheck));
    EXPECT_EQ(s.Text(ctl::kPasswordEdit), "");
    EXPECT_FALSE(s.Enabled(ctl::kPasswordEdit));
    EXPECT_TRUE(s.Enabled(ctl::kClearPasswordButton));
    EXPECT_EQ(s.dlg->m_strPassword, "4321");
}

TEST_F(Settings, StoredValuesOfUnexpectedShapeReadAsTheirDefaults) {
    struct Case {
        const char* name;
        const char* value;
        DWORD type;
        std::string bytes;
        Options expected;
    };
    const std::vector<Case> cases = {
        {"text without its NUL",
         "PaperFeed",
         platform::REG_SZ,
         "Tray 1",
         {"Tray 1", false, 0, true, true, false}},
        {"text too long for its buffer", "PaperFeed", platform::REG_SZ, std::string(300, 'T'),
         kDefaults},
        {"number of 2 bytes", "Duplex", platform::REG_BINARY, "\1\0", kDefaults},
        {"number of 8 bytes", "FitToPage", platform::REG_BINARY, std::string(8, '\0'), kDefaults},
        {"number stored as text",
         "Qty",
         platform::REG_SZ,
         std::string(4, '\0'),
         {"Auto", false, 0, false, true, false}},
        {"binding other than 0 or 1", "Binding", platform::REG_DWORD, Dword(7), kDefaults},
    };
    for (const Case& c : cases) {
        DialogScenario t;
        t.AddPrinter("Office", "Q", CapabilityFile("Q", kEverything));
        t.Store("Office", c.value, c.type, c.bytes);
        ASSERT_EQ(t.Open(), TRUE);
        EXPECT_EQ(ShownBy(t), c.expected) << c.name;
        EXPECT_EQ(t.TakeMessages(), Messages{}) << c.name;
    }
}

TEST_F(Settings, OverlongSavedPasswordOrPrinterReadsAsAbsent) {
    s.Store("Settings", "Password", platform::REG_SZ, Sz(std::string(300, '1')));
    s.Store("Settings", "Password Flag", platform::REG_DWORD, Dword(1));
    s.Store("Settings", "Printer", platform::REG_SZ, Sz(std::string(300, 'P')));
    s.spooler.SetDefaultPrinter("Office B");
    ASSERT_EQ(s.Open(), TRUE);
    EXPECT_EQ(s.dlg->m_strPrinterName, "Office B"); // as if nothing were saved
    EXPECT_TRUE(s.Ticked(ctl::kPasswordCheck));
    EXPECT_EQ(s.Text(ctl::kPasswordEdit), "");
}

TEST_F(Settings, AStoreThatCannotBeOpenedIsSilent) {
    s.Store("Settings", "Printer", platform::REG_SZ, Sz("Office B"));
    s.registry.FailOpensWith(platform::ERROR_ACCESS_DENIED);
    ASSERT_EQ(s.Open(), TRUE);
    EXPECT_EQ(s.dlg->m_strPrinterName, "Office A"); // the top entry: nothing was consulted
    EXPECT_EQ(Shown(), kDefaults);
    ChangeEverything();
    s.Click(ctl::kPasswordCheck);
    s.Type(ctl::kPasswordEdit, "1234");
    s.Click(ctl::kSavePasswordButton);
    s.Click(ctl::kSaveSettingsButton);
    EXPECT_EQ(s.dlg->SavePrinterSettings("Office A"), 0);
    EXPECT_EQ(s.dlg->LoadPrinterSettings("Office A"), 0);
    EXPECT_EQ(s.dlg->ApplyPassword(TRUE), FALSE);
    EXPECT_TRUE(s.Enabled(ctl::kClearPasswordButton)); // left as the window came
    EXPECT_EQ(s.TakeMessages(), Messages{});
    s.registry.FailOpensWith(0);
    EXPECT_FALSE(s.StoredText("Office A", "PaperFeed"));
    EXPECT_FALSE(s.StoredText("Settings", "Password"));
}

TEST_F(Settings, InvalidOptionsAreNotStored) {
    ASSERT_EQ(s.Open(), TRUE);
    s.Type(ctl::kCopiesEdit, "");
    s.Click(ctl::kSaveSettingsButton);
    EXPECT_EQ(s.TakeMessages(), (Messages{"copies", "copies"}));
    EXPECT_FALSE(s.StoredText("Settings", "Printer"));
    EXPECT_FALSE(s.StoredNumber("Office A", "Duplex"));
}

} // namespace
} // namespace nv::test
