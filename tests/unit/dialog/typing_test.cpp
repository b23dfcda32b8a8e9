// What the user types into the copies, page and password fields: the checks while typing,
// and the checks of Save and Print on the harvested state.
#include "support/DialogScenario.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace nv::test {
namespace {

class Typing : public ::testing::Test {
protected:
    void Open(UINT directPrint = kEverything) {
        s.AddPrinter("Office", "Q", CapabilityFile("Q", directPrint, kEveryTray));
        ASSERT_EQ(s.Open(), TRUE);
        ASSERT_EQ(s.TakeMessages(), Messages{});
        s.Click(ctl::kPageRangeCheck);
    }
    // Sets edit ID to TEXT as the program would (no digit filter), as a paste of a sign does.
    void Write(UINT id, const char* text) { s.W().SetDlgItemTextA(static_cast<int>(id), text); }

    static constexpr const char* kEveryTray = "AutoTray=0\nTray1=1\nTray2=2\nTray3=3\nTray4=4\n"
                                              "Tray5=5\nMulti Purpose Tray=6\nManual Feed=7\n";
    DialogScenario s;
};

TEST_F(Typing, CopiesOutsideOneToNineHundredNinetyNineWarnAtOnce) {
    Open();
    const std::vector<std::pair<const char*, bool>> cases = {
        {"", true},   {"0", true},    {"1000", true}, {"-1", true},    {"-999", true},
        {"1", false}, {"999", false}, {"42", false},  {"0012", false},
    };
    for (const auto& [text, warns] : cases) {
        Write(ctl::kCopiesEdit, text);
        EXPECT_EQ(s.TakeMessages(), warns ? Messages{"copies"} : Messages{}) << text;
        EXPECT_EQ(s.Text(ctl::kCopiesEdit), text); // nothing is corrected
    }
    EXPECT_EQ(s.box.calls().front().caption, "Warning");
    EXPECT_EQ(s.box.calls().front().flags, 0x30u);
}

TEST_F(Typing, PagesOutsideOneToNineThousandNineHundredNinetyNineWarnAtOnce) {
    Open(kEverything & ~kOpenEnd);
    const std::vector<std::tuple<const char*, bool, int>> cases = {
        {"0", true, 0},  {"-1", true, -1},      {"10000", true, 10000},
        {"1", false, 1}, {"9999", false, 9999}, {"", true, 0},
    };
    for (const auto& [text, warns, recorded] : cases) {
        Write(ctl::kStartPageEdit, text);
        EXPECT_EQ(s.TakeMessages(), warns ? Messages{"pages"} : Messages{}) << text;
        EXPECT_EQ(s.dlg->m_nStartPage, recorded) << text; // recorded in every case
    }
    // The end page: a value below 1 is recorded, one above 9999 is not.
    s.dlg->m_nEndPage = 7;
    Write(ctl::kEndPageEdit, "10000");
    EXPECT_EQ(s.TakeMessages(), Messages{"pages"});
    EXPECT_EQ(s.dlg->m_nEndPage, 7);
    Write(ctl::kEndPageEdit, "-3");
    EXPECT_EQ(s.TakeMessages(), Messages{"pages"});
    EXPECT_EQ(s.dlg->m_nEndPage, -3);

    // A pasted -1 is not taken for "to the last page" on a model without an open end.
    Write(ctl::kStartPageEdit, "1");
    Write(ctl::kEndPageEdit, "-1");
    s.TakeMessages();
    s.Click(ctl::kPrintButton);
    EXPECT_EQ(s.dlg->m_nEndPage, -1);
    EXPECT_EQ(s.TakeMessages(), Messages{"pages"});
}

TEST(SaveAndPrint, ValidateCopiesThenPagesThenPassword) {
    struct Case {
        const char* name;
        const char* copies;
        const char* start;
        const char* end;
        bool rangeTicked;
        bool passwordTicked;
        std::string password;
        Messages atSave;
    };
    const std::string max(128, '7');
    const std::vector<Case> cases = {
        {"valid", "2", "1", "3", true, false, "", {}},
        {"start after end", "1", "5", "3", true, false, "", {"pages"}},
        {"leftover pages, range unticked", "1", "5", "3", false, false, "", {"pages"}},
        {"copies before pages", "0", "5", "3", true, false, "", {"copies"}},
        {"blank end without open end", "1", "1", "", true, false, "", {"pages"}},
        {"password ticked and empty", "1", "1", "1", true, true, "", {"password"}},
        {"password of 128 bytes", "1", "1", "1", true, true, max, {}},
        {"password of 129 bytes", "1", "1", "1", true, true, max + "7", {"password"}},
        {"password with a quote", "1", "1", "1", true, true, "12\"34", {"password"}},
        {"password with a line break", "1", "1", "1", true, true, "12\n34", {"password"}},
        {"password unticked is ignored", "1", "1", "1", true, false, "12\"34", {}},
        {"pages before password", "1", "0", "1", true, true, "", {"pages"}},
    };
    for (const Case& c : cases) {
        for (UINT button : {ctl::kSaveSettingsButton, ctl::kPrintButton}) {
            DialogScenario s;
            s.AddPrinter("Office", "Q", CapabilityFile("Q", kEverything & ~kOpenEnd));
            ASSERT_EQ(s.Open(), TRUE);
            s.SetTicked(ctl::kPageRangeCheck, true);
            s.Type(ctl::kStartPageEdit, c.start);
            s.Type(ctl::kEndPageEdit, c.end);
            s.SetTicked(ctl::kPageRangeCheck, c.rangeTicked);
            s.SetTicked(ctl::kPasswordCheck, true);
            s.W().SetDlgItemTextA(static_cast<int>(ctl::kPasswordEdit), c.password);
            s.SetTicked(ctl::kPasswordCheck, c.passwordTicked);
            s.Type(ctl::kCopiesEdit, c.copies);
            s.TakeMessages();
            s.Click(button);
            EXPECT_EQ(s.TakeMessages(), c.atSave) << c.name << " " << button;
            const bool stored = s.StoredNumber("Office", "Duplex").has_value();
            EXPECT_EQ(stored, button == ctl::kSaveSettingsButton && c.atSave.empty()) << c.name;
            EXPECT_EQ(s.dlg->m_strPassword, c.passwordTicked ? c.password : "") << c.name;
        }
    }
}

// On a model that prints to the last page, a blank end page still needs a start page in range.
TEST(SaveAndPrint, OpenEndStillChecksTheStartPage) {
    struct Case {
        const char* start;
        Messages atPrint;
    };
    const std::vector<Case> cases = {
        {"1", {}}, {"9999", {}}, {"0", {"pages"}}, {"10000", {"pages"}}, {"123456", {"pages"}},
    };
    for (const Case& c : cases) {
        for (UINT button : {ctl::kSaveSettingsButton, ctl::kPrintButton}) {
            SCOPED_TRACE(std::string(c.start) + " " + std::to_string(button));
            DialogScenario s;
            s.AddPrinter("Office", "Q", CapabilityFile("Q", kEverything));
            ASSERT_EQ(s.Open(), TRUE);
            s.SetTicked(ctl::kPageRangeCheck, true);
            s.Type(ctl::kEndPageEdit, "");
            s.Type(ctl::kStartPageEdit, c.start);
            s.TakeMessages();
            s.Click(button);
            EXPECT_EQ(s.TakeMessages(), c.atPrint);
            EXPECT_EQ(s.dlg->m_nEndPage, -1);
        }
    }
}

// A password is refused when the printer's password command cannot carry its escaped form
// (each '\\', '(' and ')' doubles), at Save password as before Print; a dialect whose header
// sends no password takes any valid one.
TEST(SaveAndPrint, PasswordMustFitThePrintersPasswordCommand) {
    const char* programDir = std::getenv("NV_PROGRAM_DIR");
    if (programDir == nullptr) {
        GTEST_SKIP() << "NV_PROGRAM_DIR is not set";
    }
    struct Case {
        const char* name;
        int type;
        std::string password;
        bool accepted;
    };
    // The shipped password command leaves 230 bytes for the escaped password in a line of
    // 255 bytes.
    const std::vector<Case> cases = {
        {"128 digits", 0, std::string(128, '7'), true},
        {"115 backslashes fill the line", 0, std::string(115, '\\'), true},
        {"116 backslashes overflow it", 0, std::string(116, '\\'), false},
        {"parentheses overflow it too", 3, std::string(64, '(') + std::string(64, ')'), false},
        {"mixed, just fitting", 1, std::string(102, ')') + std::string(26, '7'), true},
        {"no password command in the header", 2, std::string(128, '\\'), true},
    };
    for (const Case& c : cases) {
        for (UINT button : {ctl::kSavePasswordButton, ctl::kPrintButton}) {
            SCOPED_TRACE(std::string(c.name) + " " + std::to_string(button));
            DialogScenario s;
            s.programDirectory = std::string(programDir) + "/";
            s.AddPrinter("Office", "Q",
                         CapabilityFile("Q", kEverything, kTwoTrays,
                                        "DPTray=" + std::to_string(c.type) + "\n"));
            ASSERT_EQ(s.Open(), TRUE);
            s.SetTicked(ctl::kPasswordCheck, true);
            s.W().SetDlgItemTextA(static_cast<int>(ctl::kPasswordEdit), c.password);
            s.TakeMessages();
            s.Click(button);
            EXPECT_EQ(s.TakeMessages(), c.accepted ? Messages{} : Messages{"password"});
            if (button == ctl::kSavePasswordButton) {
                EXPECT_EQ(s.StoredText("Settings", "Password").has_value(), c.accepted);
            }
        }
    }
}

TEST_F(Typing, EveryPaperSourceMapsToItsTrayKey) {
    Open();
    const std::vector<const char*> keys = {
        "AutoTray",           "Tray1",      "Tray2", "Tray3", "Tray4", "Tray5",
        "Multi Purpose Tray", "Manual Feed"};
    ASSERT_EQ(s.W().GetComboBox(ctl::kPaperSourceList)->GetCount(), 8);
    for (int i = 0; i < 8; ++i) {
        s.Pick(ctl::kPaperSourceList, i);
        s.dlg->HarvestOptions();
        EXPECT_EQ(s.dlg->m_strTrayKey, keys[static_cast<std::size_t>(i)]) << i;
    }
    EXPECT_EQ(s.dlg->TrayKeyFor("Tray 9"), "AutoTray");
    EXPECT_EQ(s.dlg->TrayKeyFor("tray 1"), "AutoTray"); // compared case-sensitively
}

TEST_F(Typing, HarvestReadsEveryControl) {
    Open();
    s.Click(ctl::kDuplexCheck);
    s.Pick(ctl::kBindingList, 1);
    s.Click(ctl::kCollateCheck);
    s.Click(ctl::kFitToPageCheck);
    s.Type(ctl::kStartPageEdit, "2");
    s.Type(ctl::kEndPageEdit, "8");
    s.Type(ctl::kCopiesEdit, "12");
    s.Click(ctl::kPasswordCheck);
    s.Type(ctl::kPasswordEdit, "secret");
    s.Pick(ctl::kPaperSourceList, 7);
    EXPECT_EQ(s.dlg->HarvestOptions(), TRUE);
    const CPdfSendDlg& d = *s.dlg;
    EXPECT_EQ(d.m_strPaperFeed, "Manual");
    EXPECT_EQ(d.m_strTrayKey, "Manual Feed");
    EXPECT_EQ(d.m_nCopies, 12u);
    EXPECT_EQ(std::tuple(d.m_bDuplex, d.m_nBinding, d.m_bCollate, d.m_bFitToPage, d.m_bPageRange),
              std::tuple(1, 1, 0, 0, 1));
    EXPECT_EQ(std::tuple(d.m_nStartPage, d.m_nEndPage), std::tuple(2, 8));
    EXPECT_EQ(d.m_bUsePassword, TRUE);
    EXPECT_EQ(d.m_strPassword, "secret");
    EXPECT_EQ(s.dlg->ValidateOptions(), TRUE);

    s.W().GetComboBox(ctl::kBindingList)->SetCurSel(-1);
    s.dlg->HarvestOptions();
    EXPECT_EQ(s.dlg->m_nBinding, -1);
}

TEST_F(Typing, TypingInsideAWarningIsHandledBeforeTheRulesGoOn) {
    Open(kEverything & ~kRangeWithCopies);
    s.Click(ctl::kCollateCheck); // uncollated
    // While the copies warning is open the user types 3, which runs the rules inside it.
    s.box.Then(platform::IDOK, [&] { s.Type(ctl::kCopiesEdit, "3"); });
    s.Type(ctl::kCopiesEdit, "0");
    EXPECT_EQ(s.TakeMessages(), Messages{"copies"});
    EXPECT_EQ(s.Text(ctl::kCopiesEdit), "3");
    EXPECT_FALSE(s.Enabled(ctl::kPageRangeCheck));
    EXPECT_EQ(s.W().DroppedNotifications(), 0);
}

} // namespace
} // namespace nv::test
