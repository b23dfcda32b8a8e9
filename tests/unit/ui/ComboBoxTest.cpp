// Drop-down lists, on the item list the platform was observed with.
#include "SurfaceFixture.h"

namespace nv::platform::test {
namespace {

class ComboTest : public SurfaceTest {
protected:
    ComboTest() : combo(*surface.GetComboBox(kCombo)) {
        for (const char* item : {"Office Color", "Office", "office", "Photo", "Text"}) {
            combo.InsertString(combo.GetCount(), item);
        }
    }
    ComboBox& combo;
};

TEST_F(ComboTest, FreshListHasNoSelectionAndTopIndexZero) {
    EXPECT_EQ(combo.GetCurSel(), CB_ERR);
    EXPECT_EQ(surface.GetDlgItemText(kCombo), "");
    EXPECT_EQ(combo.GetWindowTextLength(), 0);
    EXPECT_EQ(combo.GetTopIndex(), 0);
}

TEST_F(ComboTest, FindStringExactMatchesWholeTextsWithoutCaseAndWraps) {
    struct Case {
        int start;
        const char* text;
        int found;
    };
    const Case cases[] = {
        {-1, "Office", 1},     {-1, "office", 1}, {-1, "OFFICE", 1}, {0, "Office", 1},
        {1, "Office", 2},      {2, "Office", 1},  {4, "Office", 1},  {5, "Office", 1},
        {100, "Office", 1},    {3, "Photo", 3},   {4, "Photo", 3},   {-1, "Office ", CB_ERR},
        {-1, "Offic", CB_ERR}, {-1, "", CB_ERR},  {-7, "Text", 4}, // below -1: from the top
    };
    for (const Case& c : cases) {
        EXPECT_EQ(combo.FindStringExact(c.start, c.text), c.found) << c.start << " " << c.text;
    }
}

TEST_F(ComboTest, SelectStringTakesTheFirstPrefixMatchAfterStart) {
    struct Case {
        int start;
        const char* text;
        int result;
        int selected;
    };
    const Case cases[] = {{-1, "Office", 0, 0}, {0, "off", 1, 1},   {1, "off", 2, 2},
                          {2, "off", 0, 0},     {-1, "TEXT", 4, 4}, {-1, "zzz", CB_ERR, 4},
                          {-1, "", CB_ERR, 4}};
    for (const Case& c : cases) {
        EXPECT_EQ(combo.SelectString(c.start, c.text), c.result) << c.text;
        EXPECT_EQ(combo.GetCurSel(), c.selected) << c.text; // unchanged when nothing matches
    }
    EXPECT_EQ(combo.FindString(-1, "Office"), 0);
}

TEST_F(ComboTest, SetCurSelAndTheWindowText) {
    EXPECT_EQ(combo.SetCurSel(2), 2);
    EXPECT_EQ(surface.GetDlgItemText(kCombo), "office");
    char buffer[4];
    EXPECT_EQ(surface.GetDlgItemTextA(kCombo, buffer, 4), 3u);
    EXPECT_STREQ(buffer, "off");
    EXPECT_EQ(combo.SetCurSel(99), CB_ERR); // out of range keeps the selection
    EXPECT_EQ(combo.GetCurSel(), 2);
    EXPECT_EQ(combo.SetCurSel(-1), CB_ERR);
    EXPECT_EQ(combo.GetCurSel(), CB_ERR);
    EXPECT_EQ(surface.GetDlgItemText(kCombo), "");
    // Setting the text of a drop-down list is refused and selects nothing.
    EXPECT_EQ(surface.SetDlgItemTextA(kCombo, "Photo"), CB_ERR);
    EXPECT_EQ(combo.GetCurSel(), CB_ERR);
    EXPECT_EQ(take(), std::vector<Notification>{});
}

TEST_F(ComboTest, TheSelectionFollowsItsItemThroughInsertAndDelete) {
    combo.SetCurSel(3); // Photo
    EXPECT_EQ(combo.InsertString(combo.GetCount() + 1, "x"), CB_ERR);
    EXPECT_EQ(combo.InsertString(-1, "Last"), 5);
    EXPECT_EQ(combo.InsertString(0, "First"), 0);
    EXPECT_EQ(surface.GetDlgItemText(kCombo), "Photo");
    EXPECT_EQ(combo.DeleteString(4), 6);
    EXPECT_EQ(combo.GetCurSel(), CB_ERR);
    CString text = "stale";
    EXPECT_EQ(combo.GetLBText(7, text), CB_ERR);
    EXPECT_EQ(text, "");
    char small[3];
    EXPECT_EQ(combo.GetLBText(0, small, 3), 2);
    EXPECT_STREQ(small, "Fi");
}

TEST(ComboCase, CaseIsIgnoredBeyondAscii) {
    DialogSurface surface;
    ComboBox& combo = surface.AddComboBox(1);
    combo.AddString("Drucker \xC3\x9C"
                    "ber");                      // Über
    combo.AddString("\xD0\x9F\xD1\x80\xD0\xB8"); // При
    combo.AddString("\xEF\xBC\xA1");             // full-width A
    combo.AddString("\xE8\x87\xAA\xE5\x8B\x95"); // 自動 (no case)
    EXPECT_EQ(combo.FindStringExact(-1, "DRUCKER \xC3\xBC"
                                        "BER"),
              0);
    EXPECT_EQ(combo.FindStringExact(-1, "\xD0\xBF\xD0\xA0\xD0\x98"), 1);
    EXPECT_EQ(combo.FindStringExact(-1, "\xEF\xBD\x81"), 2);
    EXPECT_EQ(combo.SelectString(-1, "\xE8\x87\xAA"), 3);
    // Stray bytes compare as themselves and never as characters.
    combo.AddString("\xC3");
    EXPECT_EQ(combo.FindStringExact(-1, "\xC3"), 4);
    EXPECT_EQ(combo.FindStringExact(-1, "\xC3\xA3"), CB_ERR);
}

} // namespace
} // namespace nv::platform::test
