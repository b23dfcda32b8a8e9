// Up-down controls: range, clamping, when the buddy is written and how it is read back.
#include "SurfaceFixture.h"

namespace nv::platform::test {
namespace {

using N = std::vector<Notification>;

TEST_F(SurfaceTest, UpDownStartsLikeAFreshPlatformControl) {
    UpDown& spin = *surface.GetUpDown(kSpin);
    EXPECT_EQ(spin.GetRange(), 0x00640000u); // lower 100, upper 0
    EXPECT_EQ(spin.GetBuddy(), kEdit);
    EXPECT_EQ(surface.GetDlgItemText(kEdit), "");
    spin.SetRange(1, 9999);
    spin.SetRange32(1, 9999);
    EXPECT_EQ(take(), N{}); // the range never touches the buddy
    EXPECT_EQ(surface.GetDlgItemText(kEdit), "");
    BOOL error = FALSE;
    EXPECT_EQ(spin.GetPos32(&error), 1); // the old position 0 reads clamped into the range
    EXPECT_EQ(error, TRUE);
    spin.SetRange32(10, 20);
    EXPECT_EQ(spin.GetPos32(), 10);
}

TEST_F(SurfaceTest, SetPosClampsAndWritesOnlyWhenTheTextDiffers) {
    UpDown& spin = *surface.GetUpDown(kSpin);
    spin.SetRange(1, 9999);
    struct Case {
        const char* before; // buddy text before the call
        int pos;
        bool use32;
        const char* after;
        bool written;
    };
    const Case cases[] = {
        {"", 5, false, "5", true},           {"5", 5, true, "5", false},
        {"012", 12, true, "12", true},       {"7", -1, true, "1", true},
        {"3", 20000, true, "9999", true},    {"3", 0, true, "1", true},
        {"1", 0xFFFF, false, "1", false},    // -1 as a 16-bit position, clamped to 1
        {"x", 0x12345, false, "9029", true}, // cut to the 16-bit position 0x2345
    };
    for (const Case& c : cases) {
        surface.SetDlgItemTextA(kEdit, c.before);
        take();
        if (c.use32) {
            spin.SetPos32(c.pos);
        } else {
            spin.SetPos(c.pos);
        }
        EXPECT_EQ(surface.GetDlgItemText(kEdit), c.after) << c.before << " " << c.pos;
        EXPECT_EQ(take(), c.written ? textWrite(kEdit) : N{}) << c.before << " " << c.pos;
    }
    // SetPos returns the previous position.
    spin.SetPos32(42);
    EXPECT_EQ(spin.SetPos32(43), 42);
    EXPECT_EQ(spin.SetPos(44), 43);
}

TEST_F(SurfaceTest, GetPosReadsTheBuddyBack) {
    UpDown& spin = *surface.GetUpDown(kSpin);
    spin.SetRange(1, 9999);
    spin.SetPos32(77);
    struct Case {
        const char* text;
        int pos;
        BOOL error;
    };
    // The last good position is returned on every error.
    const Case cases[] = {{"77", 77, FALSE},    {"1,500", 1500, FALSE}, {"abc", 1500, TRUE},
                          {"", 1500, TRUE},     {"-3", 1500, TRUE},     {"99999", 1500, TRUE},
                          {" 12 ", 1500, TRUE}, {" 12", 12, FALSE},     {"+9", 9, FALSE}};
    for (const Case& c : cases) {
        surface.SetDlgItemTextA(kEdit, c.text);
        BOOL error = 2;
        EXPECT_EQ(spin.GetPos32(&error), c.pos) << c.text;
        EXPECT_EQ(error, c.error) << c.text;
    }
    surface.SetDlgItemTextA(kEdit, "abc");
    surface.SetDlgItemTextA(kEdit, "77");
    EXPECT_EQ(spin.GetPos(), 0x0000004Du);
    surface.SetDlgItemTextA(kEdit, "abc");
    EXPECT_EQ(spin.GetPos(), 0x0001004Du);
}

TEST(UpDownThousands, WithoutNoThousandsTheBuddyGetsSeparators) {
    DialogSurface surface;
    surface.AddEdit(1);
    UpDown& spin = surface.AddUpDown(2, 1, UDS_SETBUDDYINT);
    spin.SetRange32(-100000, 100000);
    const std::pair<int, const char*> cases[] = {
        {1234, "1,234"}, {999, "999"}, {-1234, "-1,234"}, {100000, "100,000"}};
    for (const auto& [pos, text] : cases) {
        spin.SetPos32(pos);
        EXPECT_EQ(surface.GetDlgItemText(1), text);
    }
    // "1,234" is the text of 1234 already: nothing is written.
    int writes = 0;
    surface.SetNotifySink([&](int, int code) { writes += code == EN_CHANGE; });
    spin.SetPos32(1234);
    spin.SetPos32(1234);
    EXPECT_EQ(writes, 1);
    // And the number reader stops at the separator, which is why the dialog's spins avoid it.
    EXPECT_EQ(surface.GetDlgItemInt(1, nullptr, TRUE), 1u);
}

TEST_F(SurfaceTest, SpinArrowsStepInsideTheRange) {
    UpDown& spin = *surface.GetUpDown(kSpin);
    spin.SetRange(1, 3);
    spin.SetPos32(2);
    take();
    EXPECT_TRUE(surface.StepSpin(kSpin, true));
    EXPECT_EQ(surface.GetDlgItemText(kEdit), "3");
    EXPECT_EQ(take(), textWrite(kEdit));
    EXPECT_TRUE(surface.StepSpin(kSpin, true)); // at the top: nothing moves
    EXPECT_EQ(take(), N{});
    surface.TypeText(kEdit, "2");
    take();
    surface.StepSpin(kSpin, false); // starts from what the user typed
    EXPECT_EQ(surface.GetDlgItemText(kEdit), "1");
}

} // namespace
} // namespace nv::platform::test
