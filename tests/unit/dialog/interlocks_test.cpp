// The option interlocks per capability flag: what Defaults and the check boxes enable, tick
// and show, and when a page range is ruled out.
#include "support/DialogScenario.h"

#include <gtest/gtest.h>

namespace nv::test {
namespace {

class Interlocks : public ::testing::Test {
protected:
    void Open(UINT directPrint) {
        s.AddPrinter("Office", "Q", CapabilityFile("Q", directPrint));
        ASSERT_EQ(s.Open(), TRUE);
        ASSERT_EQ(s.TakeMessages(), Messages{});
    }
    // Page-range check box: ticked, enabled; and whether the group follows it.
    std::pair<bool, bool> Range() {
        return {s.Ticked(ctl::kPageRangeCheck), s.Enabled(ctl::kPageRangeCheck)};
    }
    bool GroupEnabled() {
        const bool start = s.Enabled(ctl::kStartPageEdit);
        for (UINT id : {ctl::kEndPageEdit, ctl::kStartPageSpin, ctl::kEndPageSpin,
                        ctl::kRangeLabel1, ctl::kRangeLabel2}) {
            EXPECT_EQ(s.Enabled(id), start) << id;
        }
        return start;
    }
    DialogScenario s;
};

using State = std::pair<bool, bool>;
constexpr State kOff{false, false};
constexpr State kFree{false, true};
constexpr State kOn{true, true};

TEST_F(Interlocks, WithoutPageRangeNothingCanTickIt) {
    Open(kEverything | kNoPageRange);
    EXPECT_EQ(Range(), kOff);
    s.Click(ctl::kDefaultsButton);
    EXPECT_EQ(Range(), kOff);
    for (UINT id : {ctl::kDuplexCheck, ctl::kCollateCheck, ctl::kDuplexCheck}) {
        s.Click(id);
        EXPECT_EQ(Range(), kOff) << id;
    }
    s.Type(ctl::kCopiesEdit, "5");
    EXPECT_EQ(Range(), kOff);
    EXPECT_FALSE(GroupEnabled());
    EXPECT_FALSE(s.Click(ctl::kPageRangeCheck));
}

TEST_F(Interlocks, DuplexRulesOutTheRangeWhenTheModelCannotCombineThem) {
    Open(kEverything & ~kRangeWithDuplex);
    s.Click(ctl::kPageRangeCheck);
    EXPECT_EQ(Range(), kOn);
    EXPECT_TRUE(GroupEnabled());
    s.Click(ctl::kDuplexCheck);
    EXPECT_EQ(Range(), kOff);
    EXPECT_FALSE(GroupEnabled());
    s.Click(ctl::kDuplexCheck);
    EXPECT_EQ(Range(), kFree); // available again, still unticked
    EXPECT_FALSE(GroupEnabled());
    EXPECT_EQ(s.TakeMessages(), Messages{});
}

TEST_F(Interlocks, UncollatedCopiesRuleOutTheRangeWhenTheModelCannotCombineThem) {
    Open(kEverything & ~kRangeWithCopies);
    s.Click(ctl::kPageRangeCheck);
    s.Click(ctl::kCollateCheck); // unticks it
    EXPECT_EQ(Range(), kOn);     // one copy: no rule applies
    s.Type(ctl::kCopiesEdit, "2");
    EXPECT_EQ(Range(), kOff);
    s.Click(ctl::kCollateCheck);
    EXPECT_EQ(Range(), kFree);
    s.Click(ctl::kCollateCheck);
    EXPECT_EQ(Range(), kOff);
    s.Type(ctl::kCopiesEdit, "1");
    EXPECT_EQ(Range(), kFree);
    EXPECT_EQ(s.TakeMessages(), Messages{});
}

TEST_F(Interlocks, ModelsThatCombineEverythingKeepTheRange) {
    Open(kEverything);
    s.Click(ctl::kPageRangeCheck);
    s.Click(ctl::kCollateCheck);
    s.Click(ctl::kDuplexCheck);
    s.Type(ctl::kCopiesEdit, "7");
    EXPECT_EQ(Range(), kOn);
    EXPECT_TRUE(GroupEnabled());
}

TEST_F(Interlocks, DuplexClickEnablesLabelAndListButNotThePicture) {
    Open(kEverything);
    s.Click(ctl::kDuplexCheck);
    EXPECT_EQ(s.dlg->m_bDuplex, TRUE);
    EXPECT_TRUE(s.Enabled(ctl::kBindingLabel));
    EXPECT_TRUE(s.Enabled(ctl::kBindingList));
    EXPECT_FALSE(s.Enabled(ctl::kBindingIcon));
    s.Pick(ctl::kBindingList, 1);
    EXPECT_EQ(s.W().GetStaticIcon(ctl::kBindingIcon)->GetIcon(), res::icon::kShortEdge);
    EXPECT_EQ(s.Selection(ctl::kBindingList), 1);
    s.Pick(ctl::kBindingList, 0);
    EXPECT_EQ(s.W().GetStaticIcon(ctl::kBindingIcon)->GetIcon(), res::icon::kLongEdge);
    s.Click(ctl::kDuplexCheck);
    EXPECT_EQ(s.dlg->m_bDuplex, FALSE);
    EXPECT_FALSE(s.Enabled(ctl::kBindingList));
}

TEST_F(Interlocks, ShortEdgeStaysSelectedWhenTheLongEdgeTextBeginsWithTheShortOne) {
    s.texts.strings_[1418] = "Edge long";
    s.texts.strings_[1419] = "Edge";
    Open(kEverything);
    s.Click(ctl::kDuplexCheck);
    s.Pick(ctl::kBindingList, 1);
    EXPECT_EQ(s.Selection(ctl::kBindingList), 1);
    s.Click(ctl::kSaveSettingsButton);
    EXPECT_EQ(s.StoredNumber("Office", "Binding"), 1u);
}

TEST_F(Interlocks, DefaultsOnAFullModel) {
    s.Store("Settings", "Password", platform::REG_SZ, std::string("1234\0", 5));
    s.Store("Settings", "Password Flag", platform::REG_DWORD, std::string("\1\0\0\0", 4));
    s.Store("Office", "Duplex", platform::REG_DWORD, std::string("\1\0\0\0", 4));
    s.Store("Office", "Binding", platform::REG_DWORD, std::string("\1\0\0\0", 4));
    s.Store("Office", "Qty", platform::REG_DWORD, std::string("\0\0\0\0", 4));
    s.Store("Office", "SetPage", platform::REG_DWORD, std::string("\1\0\0\0", 4));
    s.Store("Office", "PaperFeed", platform::REG_SZ, std::string("Tray 1\0", 7));
    Open(kEverything);
    // Restored first.
    EXPECT_TRUE(s.Ticked(ctl::kDuplexCheck));
    EXPECT_EQ(s.Selection(ctl::kBindingList), 1);
    EXPECT_TRUE(s.Enabled(ctl::kBindingIcon));
    EXPECT_FALSE(s.Ticked(ctl::kCollateCheck));
    EXPECT_EQ(Range(), kOn);
    EXPECT_TRUE(s.Ticked(ctl::kPasswordCheck));
    EXPECT_EQ(s.Text(ctl::kPasswordEdit), "1234");
    EXPECT_EQ(s.Text(ctl::kPaperSourceList), "Tray 1");

    s.Type(ctl::kCopiesEdit, "4");
    s.Click(ctl::kDefaultsButton);
    EXPECT_EQ(s.Text(ctl::kPaperSourceList), "Auto");
    EXPECT_EQ(s.Text(ctl::kCopiesEdit), "1");
    EXPECT_FALSE(s.Ticked(ctl::kDuplexCheck));
    EXPECT_FALSE(s.Enabled(ctl::kBindingList));
    EXPECT_FALSE(s.Enabled(ctl::kBindingIcon));
    EXPECT_EQ(s.Selection(ctl::kBindingList), 0);
    EXPECT_EQ(s.W().GetStaticIcon(ctl::kBindingIcon)->GetIcon(), res::icon::kLongEdge);
    EXPECT_TRUE(s.Ticked(ctl::kCollateCheck));
    EXPECT_TRUE(s.Ticked(ctl::kFitToPageCheck));
    EXPECT_EQ(Range(), kFree);
    EXPECT_EQ(s.Text(ctl::kStartPageEdit), "1");
    EXPECT_EQ(s.Text(ctl::kEndPageEdit), "1");
    EXPECT_FALSE(s.Ticked(ctl::kPasswordCheck));
    EXPECT_TRUE(s.Enabled(ctl::kPasswordCheck));
    EXPECT_EQ(s.Text(ctl::kPasswordEdit), "");
    EXPECT_TRUE(s.Enabled(ctl::kClearPasswordButton)); // still stored
    EXPECT_EQ(s.StoredText("Settings", "Password"), std::string("1234\0", 5));
    EXPECT_EQ(s.TakeMessages(), Messages{});
}

TEST_F(Interlocks, ModelWithoutPasswordDisablesTheGroupEvenWithAStoredPassword) {
    s.Store("Settings", "Password", platform::REG_SZ, std::string("1234\0", 5));
    s.Store("Settings", "Password Flag", platform::REG_DWORD, std::string("\1\0\0\0", 4));
    Open(kEverything & ~kPassword);
    for (UINT id : {ctl::kPasswordCheck, ctl::kPasswordEdit, ctl::kSavePasswordButton,
                    ctl::kClearPasswordButton, ctl::kPasswordLabel}) {
        EXPECT_FALSE(s.Enabled(id)) << id;
    }
    EXPECT_FALSE(s.Ticked(ctl::kPasswordCheck));
    EXPECT_EQ(s.Text(ctl::kPasswordEdit), "");
}

TEST_F(Interlocks, BlankEndPageTurnsIntoZeroWhenTheRulesRun) {
    Open(kEverything);
    s.Click(ctl::kPageRangeCheck);
    s.Type(ctl::kEndPageEdit, "");
    EXPECT_EQ(s.TakeMessages(), Messages{}); // an open end may be blank
    s.dlg->m_bOpenEndRange = FALSE;          // the same on a model without an open end
    s.Type(ctl::kEndPageEdit, "");
    EXPECT_EQ(s.TakeMessages(), Messages{"pages"});
    s.Click(ctl::kDuplexCheck);
    EXPECT_EQ(s.Text(ctl::kEndPageEdit), "0");
    EXPECT_EQ(s.TakeMessages(), Messages{"pages"});
}

TEST_F(Interlocks, BlankOpenEndStaysBlankThroughTheRulesAndThePageRangeCheck) {
    Open(kEverything);
    s.Click(ctl::kPageRangeCheck);
    s.Type(ctl::kStartPageEdit, "3");
    s.Type(ctl::kEndPageEdit, "");
    s.Click(ctl::kDuplexCheck);
    s.Type(ctl::kCopiesEdit, "2");
    s.Click(ctl::kPageRangeCheck);
    s.Click(ctl::kPageRangeCheck);
    EXPECT_EQ(s.Text(ctl::kStartPageEdit), "3");
    EXPECT_EQ(s.Text(ctl::kEndPageEdit), "");
    EXPECT_EQ(s.dlg->m_nEndPage, -1);
    EXPECT_EQ(s.TakeMessages(), Messages{});
    s.Click(ctl::kPrintButton);
    EXPECT_EQ(s.TakeMessages(), Messages{});
    EXPECT_EQ(s.dlg->m_nEndPage, -1);
    EXPECT_EQ(s.dlg->m_nStartPage, 3);
}

TEST_F(Interlocks, PageRangeCheckRewritesThePagesThroughTheSpins) {
    Open(kEverything & ~kOpenEnd);
    s.Click(ctl::kPageRangeCheck);
    s.Type(ctl::kStartPageEdit, "12");
    s.Type(ctl::kEndPageEdit, "40");
    s.W().SetDlgItemTextA(static_cast<int>(ctl::kEndPageEdit), "x"); // not a number
    EXPECT_EQ(s.TakeMessages(), Messages{"pages"});
    s.Click(ctl::kPageRangeCheck);
    EXPECT_FALSE(GroupEnabled());
    // The end page read 0 and was recorded; the spin puts its lowest page there.
    EXPECT_EQ(s.Text(ctl::kStartPageEdit), "12");
    EXPECT_EQ(s.Text(ctl::kEndPageEdit), "1");

    // A start page beyond 16 bits is not wrapped into a valid-looking one.
    s.Click(ctl::kPageRangeCheck);
    s.Type(ctl::kStartPageEdit, "70000");
    EXPECT_EQ(s.TakeMessages(), Messages{"pages"});
    s.Click(ctl::kPageRangeCheck);
    EXPECT_EQ(s.Text(ctl::kStartPageEdit), "9999");
}

} // namespace
} // namespace nv::test
