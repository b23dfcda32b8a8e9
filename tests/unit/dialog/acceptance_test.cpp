// Every combination of the eight capability flags, from open to a validated, harvested and
// saved state: Defaults, every check box there is, and typical typing, with no message.
#include "support/DialogScenario.h"

#include <array>
#include <gtest/gtest.h>

namespace nv::test {
namespace {

constexpr std::array<UINT, 8> kFlags = {kCollate,     kDuplex,  kRangeWithDuplex, kNoPageRange,
                                        kNoFitToPage, kOpenEnd, kPassword,        kRangeWithCopies};

TEST(EveryCapability, ReachesAValidatedHarvestedState) {
    for (unsigned combination = 0; combination < 256; ++combination) {
        UINT directPrint = kSupported;
        for (std::size_t bit = 0; bit < kFlags.size(); ++bit) {
            if ((combination >> bit) & 1u) {
                directPrint |= kFlags[bit];
            }
        }
        SCOPED_TRACE("DirectPrint " + std::to_string(directPrint));
        DialogScenario s;
        s.AddPrinter("Office", "Q", CapabilityFile("Q", directPrint));
        ASSERT_EQ(s.Open(), TRUE);
        CPdfSendDlg& d = *s.dlg;
        s.Click(ctl::kDefaultsButton);

        // Every check box there is, on and off again, then Defaults once more.
        for (UINT box : {ctl::kDuplexCheck, ctl::kCollateCheck, ctl::kFitToPageCheck,
                         ctl::kPageRangeCheck, ctl::kPasswordCheck}) {
            if (s.Enabled(box)) {
                s.Click(box);
                s.Click(box);
            }
        }
        s.Click(ctl::kDefaultsButton);

        // Typical choices: duplex on the short edge, three copies, pages 2 to 5 (2 to the
        // end on an open-end model), a password, the second paper source.
        if (s.Enabled(ctl::kDuplexCheck)) {
            s.Click(ctl::kDuplexCheck);
            s.Pick(ctl::kBindingList, 1);
        }
        s.Type(ctl::kCopiesEdit, "3");
        const bool rangeOffered = s.Enabled(ctl::kPageRangeCheck);
        if (rangeOffered) {
            s.Click(ctl::kPageRangeCheck);
            s.Type(ctl::kStartPageEdit, "2");
            s.Type(ctl::kEndPageEdit, d.m_bOpenEndRange ? "" : "5");
        }
        if (s.Enabled(ctl::kPasswordCheck)) {
            s.Click(ctl::kPasswordCheck);
            s.Type(ctl::kPasswordEdit, "0123");
            s.Click(ctl::kSavePasswordButton);
        }
        s.Pick(ctl::kPaperSourceList, 1);
        s.Click(ctl::kSaveSettingsButton);
        s.Click(ctl::kPrintButton);

        EXPECT_EQ(s.TakeMessages(), Messages{});
        EXPECT_FALSE(s.W().IsEnded());
        EXPECT_EQ(d.ValidateOptions(), TRUE);
        EXPECT_EQ(d.m_nCopies, 3u);
        EXPECT_EQ(d.m_strTrayKey, "Tray1");
        EXPECT_EQ(d.m_bDuplex, d.m_bCanDuplex);
        EXPECT_EQ(d.m_nBinding, d.m_bCanDuplex ? 1 : 0);
        EXPECT_EQ(d.m_bCollate, d.m_bCanCollate);
        EXPECT_EQ(d.m_bFitToPage, d.m_bCanFitToPage);
        EXPECT_EQ(d.m_bUsePassword, d.m_bCanPassword);
        // The range survives unless duplex or the uncollated copies rule it out.
        const bool ruledOut = (d.m_bCanDuplex && !d.m_bRangeWithDuplex) ||
                              (!d.m_bCanCollate && !d.m_bRangeWithCopies);
        EXPECT_EQ(d.m_bPageRange, rangeOffered && !ruledOut ? TRUE : FALSE);
        if (rangeOffered) {
            EXPECT_EQ(d.m_nStartPage, 2);
            EXPECT_EQ(d.m_nEndPage, d.m_bOpenEndRange ? -1 : 5);
        }
        EXPECT_EQ(s.StoredNumber("Office", "Qty"), static_cast<DWORD>(d.m_bCanCollate));
        EXPECT_EQ(s.StoredText("Settings", "Printer"), std::string("Office\0", 7));
        EXPECT_EQ(s.W().DroppedNotifications(), 0);
    }
}

} // namespace
} // namespace nv::test
