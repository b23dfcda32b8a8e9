// Handlers that write controls or show message boxes before they return, as the dialog's
// change checks do.
#include "SurfaceFixture.h"
#include "platform/ui/memory/ScriptedMessageBox.h"

#include <string>

namespace nv::platform::test {
namespace {

TEST_F(SurfaceTest, AHandlerMayRewriteItsOwnEditInsideTheNotification) {
    int rewrites = 0;
    onNotify = [&](int id, int code) {
        if (id == kEdit && code == EN_CHANGE && rewrites == 0) {
            ++rewrites;
            surface.SetDlgItemTextA(kEdit, "999");
        }
    };
    surface.SetDlgItemTextA(kEdit, "1000");
    EXPECT_EQ(surface.GetDlgItemText(kEdit), "999");
    const std::vector<Notification> expected = {
        {kEdit, EN_UPDATE}, {kEdit, EN_CHANGE}, {kEdit, EN_UPDATE}, {kEdit, EN_CHANGE}};
    EXPECT_EQ(log, expected);
}

TEST_F(SurfaceTest, MessageBoxesAndUserInputNestInsideAChangeCheck) {
    ScriptedMessageBox boxes;
    boxes.Strict();
    // The copies check warns, and while its box is open the user types a bad page number,
    // whose own check warns in turn; after the first box closes the copies check rewrites the
    // page edit, which is checked once more.
    boxes.Then(IDOK, [&] { surface.TypeText(kNumberEdit, "0"); }).Then(IDOK).Then(IDOK);
    std::vector<std::string> trace;
    onNotify = [&](int id, int code) {
        if (code != EN_CHANGE) {
            return;
        }
        if (id == kEdit) {
            trace.push_back("copies in");
            boxes.Show("copies", "warning", MB_OK | MB_ICONEXCLAMATION, true);
            surface.SetDlgItemInt(kNumberEdit, surface.GetDlgItemInt(kNumberEdit, nullptr, TRUE),
                                  TRUE);
            trace.push_back("copies out");
        } else if (id == kNumberEdit) {
            trace.push_back("page " + surface.GetDlgItemText(kNumberEdit));
            if (surface.GetDlgItemInt(kNumberEdit, nullptr, TRUE) < 1) {
                boxes.Show("page", "warning", MB_OK | MB_ICONEXCLAMATION, true);
            }
        }
    };
    surface.TypeText(kEdit, "0");
    EXPECT_EQ(trace, (std::vector<std::string>{"copies in", "page 0", "page 0", "copies out"}));
    EXPECT_EQ(boxes.texts(), (std::vector<CString>{"copies", "page", "page"}));
    EXPECT_TRUE(boxes.errors().empty());
    EXPECT_EQ(boxes.remaining(), 0u);
}

TEST_F(SurfaceTest, SpinWritesNestWithoutLosingThePreviousPosition) {
    UpDown& spin = *surface.GetUpDown(kSpin);
    spin.SetRange(1, 999);
    spin.SetPos32(5);
    // The buddy's handler pulls a big number back to 999 through the spin itself.
    onNotify = [&](int id, int code) {
        if (id == kEdit && code == EN_CHANGE && surface.GetDlgItemInt(kEdit, nullptr, TRUE) > 999) {
            spin.SetPos32(999);
        }
    };
    surface.TypeText(kEdit, "5000");
    EXPECT_EQ(surface.GetDlgItemText(kEdit), "999");
    EXPECT_EQ(spin.SetPos32(7), 999);
}

TEST_F(SurfaceTest, AHandlerMayRefillTheComboThatNotified) {
    ComboBox& combo = *surface.GetComboBox(kCombo);
    for (const char* item : {"A", "B", "C"}) {
        combo.AddString(item);
    }
    onNotify = [&](int id, int code) {
        if (id == kCombo && code == CBN_SELCHANGE) {
            const CString picked = combo.GetWindowText();
            combo.ResetContent();
            for (const char* item : {"X", "Y", "B"}) {
                combo.AddString(item);
            }
            combo.SelectString(-1, picked);
        }
    };
    EXPECT_TRUE(surface.PickItem(kCombo, 1));
    EXPECT_EQ(combo.GetCurSel(), 2);
    EXPECT_EQ(combo.GetWindowText(), "B");
}

TEST_F(SurfaceTest, TheSinkMayBeReplacedWhileItRuns) {
    std::vector<Notification> second;
    onNotify = [&](int, int) {
        surface.SetNotifySink([&](int id, int code) { second.emplace_back(id, code); });
    };
    surface.SetDlgItemTextA(kEdit, "1");
    EXPECT_EQ(log, (std::vector<Notification>{{kEdit, EN_UPDATE}}));
    EXPECT_EQ(second, (std::vector<Notification>{{kEdit, EN_CHANGE}}));
}

TEST_F(SurfaceTest, RunawayRewritingIsCutOffInsteadOfExhaustingTheStack) {
    int calls = 0;
    onNotify = [&](int id, int code) {
        if (id == kEdit && code == EN_CHANGE) {
            ++calls;
            surface.SetDlgItemInt(kEdit, static_cast<UINT>(calls), TRUE);
        }
    };
    surface.SetDlgItemTextA(kEdit, "0");
    EXPECT_GT(surface.DroppedNotifications(), 0);
    EXPECT_EQ(calls, DialogSurface::kMaxNotifyDepth);
    EXPECT_EQ(surface.GetDlgItemText(kEdit), std::to_string(calls));
}

} // namespace
} // namespace nv::platform::test
