// Which calls notify the dialog and which do not; text reading limits; user input on
// disabled controls.
#include "SurfaceFixture.h"
#include "platform/ui/MessageBox.h"

#include <cstring>
#include <functional>
#include <string>

namespace nv::platform::test {
namespace {

using N = std::vector<Notification>;

TEST_F(SurfaceTest, EveryProgramWriteOfAnEditNotifiesEvenWhenTheTextStaysTheSame) {
    const std::vector<std::function<void()>> writes = {
        [&] { surface.SetDlgItemTextA(kEdit, ""); },    // "" over ""
        [&] { surface.SetDlgItemTextA(kEdit, "abc"); }, // unfiltered on a number edit
        [&] { surface.SetDlgItemTextA(kEdit, "abc"); }, // same text again
        [&] { surface.SetDlgItemInt(kEdit, 5, TRUE); },
        [&] { surface.GetEdit(kEdit)->SetWindowTextA(nullptr); },
    };
    for (const auto& write : writes) {
        write();
        EXPECT_EQ(take(), textWrite(kEdit));
    }
    surface.SetDlgItemTextA(kEdit, "abc");
    EXPECT_EQ(surface.GetDlgItemText(kEdit), "abc");
}

TEST_F(SurfaceTest, ProgramCallsOnOtherControlsNeverNotify) {
    ComboBox& combo = *surface.GetComboBox(kCombo);
    combo.AddString("A4");
    combo.InsertString(0, "Letter");
    combo.SetCurSel(1);
    combo.SelectString(-1, "Let");
    surface.CheckDlgButton(kCheck, BST_CHECKED);
    surface.SetDlgItemTextA(kLabel, "Port");
    surface.SetDlgItemTextA(kCheck, "Duplex printing");
    surface.GetStaticIcon(kIcon)->SetIcon(201);
    surface.EnableWindow(kEdit, FALSE);
    surface.GetUpDown(kSpin)->SetRange(1, 999);
    EXPECT_EQ(take(), N{});
    EXPECT_EQ(combo.GetWindowText(), "Letter");
    EXPECT_EQ(surface.IsDlgButtonChecked(kCheck), BST_CHECKED);
    // A two-state box takes the indeterminate state as checked.
    surface.CheckDlgButton(kCheck, 2);
    EXPECT_EQ(surface.IsDlgButtonChecked(kCheck), BST_CHECKED);
}

TEST_F(SurfaceTest, UserInputSendsWhatAUserWouldWithTheStateAlreadyChanged) {
    surface.GetComboBox(kCombo)->AddString("A");
    surface.GetComboBox(kCombo)->AddString("B");
    std::vector<std::string> seen;
    onNotify = [&](int id, int code) {
        if (id == kCheck && code == BN_CLICKED) {
            seen.push_back("check " + std::to_string(surface.IsDlgButtonChecked(kCheck)));
        } else if (id == kCombo && code == CBN_SELCHANGE) {
            seen.push_back("sel " + surface.GetDlgItemText(kCombo));
        } else if (id == kEdit && code == EN_CHANGE) {
            seen.push_back("edit " + surface.GetDlgItemText(kEdit));
        }
    };
    EXPECT_TRUE(surface.Click(kCheck));
    EXPECT_TRUE(surface.Click(kCheck));
    EXPECT_TRUE(surface.PickItem(kCombo, 1));
    EXPECT_TRUE(surface.PickItem(kCombo, 1)); // picking the selected item again still notifies
    EXPECT_FALSE(surface.PickItem(kCombo, 2));
    EXPECT_TRUE(surface.TypeText(kEdit, "1a2\xEF\xBC\x93")); // letters and a full-width 3 dropped
    EXPECT_TRUE(surface.TypeText(kPassword, "pa55"));
    EXPECT_TRUE(surface.Click(kButton));
    EXPECT_FALSE(surface.Click(kLabel));
    EXPECT_EQ(seen, (std::vector<std::string>{"check 1", "check 0", "sel B", "sel B", "edit 12"}));
    EXPECT_EQ(surface.GetDlgItemText(kPassword), "pa55");
    EXPECT_EQ(log.back(), Notification(kButton, BN_CLICKED));
}

TEST_F(SurfaceTest, DisabledHiddenOrEndedControlsIgnoreUserInput) {
    surface.GetComboBox(kCombo)->AddString("A");
    const std::vector<std::function<bool()>> inputs = {
        [&] { return surface.Click(kCheck); },         [&] { return surface.Click(kButton); },
        [&] { return surface.PickItem(kCombo, 0); },   [&] { return surface.TypeText(kEdit, "5"); },
        [&] { return surface.StepSpin(kSpin, true); },
    };
    const int ids[] = {kCheck, kButton, kCombo, kEdit, kSpin};
    for (std::size_t i = 0; i < inputs.size(); ++i) {
        EXPECT_EQ(surface.EnableWindow(ids[i], FALSE), FALSE); // was enabled
        EXPECT_FALSE(inputs[i]()) << ids[i];
        EXPECT_EQ(surface.EnableWindow(ids[i], TRUE), TRUE); // was disabled
        surface.ShowWindow(ids[i], FALSE);
        EXPECT_FALSE(inputs[i]()) << ids[i];
        surface.ShowWindow(ids[i], TRUE);
    }
    // A spin whose buddy is disabled does not move either.
    surface.EnableWindow(kEdit, FALSE);
    EXPECT_FALSE(surface.StepSpin(kSpin, true));
    surface.EnableWindow(kEdit, TRUE);
    surface.EndDialog(IDCANCEL);
    for (const auto& input : inputs) {
        EXPECT_FALSE(input());
    }
    EXPECT_EQ(take(), N{});
    EXPECT_EQ(surface.IsDlgButtonChecked(kCheck), BST_UNCHECKED);
    EXPECT_EQ(surface.GetEndResult(), IDCANCEL);
}

TEST_F(SurfaceTest, TypingIsLimitedButProgramWritesAreNot) {
    Edit& password = *surface.GetEdit(kPassword);
    password.SetLimitText(4);
    surface.TypeText(kPassword, "\xE3\x81\x82\xE3\x81\x84"
                                "cdef"); // two 3-byte characters
    EXPECT_EQ(surface.GetDlgItemText(kPassword), "\xE3\x81\x82\xE3\x81\x84"
                                                 "cd");
    surface.SetDlgItemTextA(kPassword, "abcdefgh");
    EXPECT_EQ(surface.GetDlgItemText(kPassword), "abcdefgh");
    EXPECT_TRUE(password.IsPassword());
}

TEST_F(SurfaceTest, ReadingTextCutsWithoutSplittingACharacter) {
    surface.SetDlgItemTextA(kPassword, "ab\xE3\x81\x82z");
    struct Case {
        int max;
        const char* text;
        UINT copied;
    };
    const Case cases[] = {{6, "ab\xE3\x81\x82", 5}, {5, "ab", 2}, {3, "ab", 2}, {1, "", 0}};
    for (const Case& c : cases) {
        char buffer[8];
        std::memset(buffer, 'x', sizeof buffer);
        EXPECT_EQ(surface.GetDlgItemTextA(kPassword, buffer, c.max), c.copied) << c.max;
        EXPECT_STREQ(buffer, c.text) << c.max;
        EXPECT_EQ(buffer[c.max], 'x') << "wrote past the buffer";
    }
    char untouched = 'x';
    EXPECT_EQ(surface.GetDlgItemTextA(kPassword, &untouched, 0), 0u);
    EXPECT_EQ(untouched, 'x');
    char buffer[4] = "zzz";
    EXPECT_EQ(surface.GetDlgItemTextA(4242, buffer, 4), 0u); // missing control empties it
    EXPECT_STREQ(buffer, "");
    // An embedded NUL ends a window text.
    surface.SetDlgItemTextA(kPassword, std::string("ab\0cd", 5));
    EXPECT_EQ(surface.GetDlgItemText(kPassword), "ab");
}

TEST_F(SurfaceTest, ObserverSeesEveryStateChangeBeforeTheNotification) {
    std::vector<std::pair<int, Change>> changes;
    surface.SetObserver([&](int id, Change what) { changes.emplace_back(id, what); });
    onNotify = [&](int, int) { changes.emplace_back(-1, Change::Text); };
    surface.Click(kCheck);
    surface.SetWindowTextA("file.pdf");
    surface.EnableWindow(kLabel, FALSE);
    surface.EnableWindow(kLabel, FALSE); // no change, no report
    surface.GetStaticIcon(kIcon)->SetIcon(202);
    const std::vector<std::pair<int, Change>> expected = {{kCheck, Change::Check},
                                                          {-1, Change::Text},
                                                          {DialogSurface::kDialogId, Change::Title},
                                                          {kLabel, Change::Enabled},
                                                          {kIcon, Change::Icon}};
    EXPECT_EQ(changes, expected);
    EXPECT_EQ(surface.GetWindowText(), "file.pdf");
    EXPECT_EQ(surface.GetStaticIcon(kIcon)->SetIcon(0), 202u);
}

TEST_F(SurfaceTest, ControlIdsAreUniqueAndKindsAreChecked) {
    EXPECT_THROW(surface.AddLabel(kEdit), std::invalid_argument);
    EXPECT_THROW(surface.AddLabel(DialogSurface::kDialogId), std::invalid_argument);
    EXPECT_EQ(surface.GetComboBox(kEdit), nullptr);
}

} // namespace
} // namespace nv::platform::test
