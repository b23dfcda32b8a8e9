// ReadCapability, and the dialog's LoadCapability and FillPaperSourceList, on capability files
// written by the test.
#include "dialog/PdfSendDlg.h"
#include "platform/ui/DialogSurface.h"
#include "platform/ui/memory/ScriptedMessageBox.h"
#include "printer/Capability.h"
#include "support/StringTableModule.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace nv {
namespace {

const std::map<UINT, std::string> kTexts = {
    {93, "自動選択"}, {94, "ﾄﾚｲ1"},         {95, "ﾄﾚｲ2"},    {96, "ﾄﾚｲ3"},     {97, "ﾄﾚｲ4"},
    {98, "ﾄﾚｲ5"},     {99, "ﾏﾙﾁﾊﾟｰﾊﾟｽﾄﾚｲ"}, {100, "手差し"}, {1501, "エラー"}, {1514, "bad type"},
};

// The capability values, in the order the inspection tool prints them.
struct Capability {
    CapabilityRead result;
    UINT type;
    std::vector<BOOL> flags; // collate, duplex, rangeWithDuplex, pageRange, fitToPage,
                             // openEndRange, password, rangeWithCopies, hasJobInfoDll
    std::string jobInfoDll;
};

struct LoadCase {
    const char* name;
    std::string file; // empty: no file at all
    const char* driver;
    Capability expected;
};

// What the value holds before the read, so that the cases show what a read leaves alone.
constexpr PrinterDialect kPreviousType = kDialectMediaSource;
const std::vector<BOOL> kPreviousFlags = {1, 0, 1, 0, 1, 0, 1, 0, 1};

class CapabilityTest : public ::testing::Test {
protected:
    test::StringTableModule texts_{kTexts};
    platform::ScriptedMessageBox messages_;
    CPdfSendApp* app_ = nullptr;
    CPdfSendDlg dialog_{app_, DialogServices{&messages_, &texts_}};
    test::TempDir dir_;

    std::string CapFile(const std::string& contents) {
        return contents.empty() ? (dir_.Path() / "absent.cap").string()
                                : dir_.Write("nvtest.cap", contents);
    }

    Capability Read(const LoadCase& c) {
        PrinterCapability capability;
        capability.m_nPrinterType = kPreviousType;
        std::vector<BOOL*> values = {&capability.m_bCanCollate,      &capability.m_bCanDuplex,
                                     &capability.m_bRangeWithDuplex, &capability.m_bCanPageRange,
                                     &capability.m_bCanFitToPage,    &capability.m_bOpenEndRange,
                                     &capability.m_bCanPassword,     &capability.m_bRangeWithCopies,
                                     &capability.m_bHasJobInfoDll};
        for (std::size_t i = 0; i < values.size(); ++i) {
            *values[i] = kPreviousFlags[i];
        }
        capability.m_strJobInfoDll = "previous.dll";
        Capability got;
        got.result = ReadCapability(c.driver, CapFile(c.file), capability);
        got.type = capability.m_nPrinterType;
        for (BOOL* value : values) {
            got.flags.push_back(*value);
        }
        got.jobInfoDll = capability.m_strJobInfoDll;
        return got;
    }
};

const char* const kHead = "[Capability]\nVelmora Q1=ModelA\nVelmora Q2 = ModelA\n[ModelA]\n";

TEST_F(CapabilityTest, ReadCapabilityTakesOverTypeAndFlags) {
    using R = CapabilityRead;
    const std::vector<LoadCase> cases = {
        {"only the supported bit",
         std::string(kHead) + "DirectPrint=1\n",
         "Velmora Q1",
         {R::taken, 0, {0, 0, 0, 1, 1, 0, 0, 0, 0}, ""}},
        {"page range and fit to page refused",
         std::string(kHead) + "DirectPrint=0x31\n",
         "Velmora Q2",
         {R::taken, 0, {0, 0, 0, 0, 0, 0, 0, 0, 0}, ""}},
        {"every bit, type 4",
         std::string(kHead) + "DirectPrint=0x3FF\nDPTray=4\n",
         "Velmora Q1",
         {R::taken, 4, {1, 1, 1, 0, 0, 1, 1, 1, 0}, ""}},
        {"job-info library named",
         std::string(kHead) + "DirectPrint=3\nJobInfoDll=nvji.dll\n",
         "Velmora Q1",
         {R::taken, 0, {1, 0, 0, 1, 1, 0, 0, 0, 1}, "nvji.dll"}},
        {"lower-case no names a library",
         std::string(kHead) + "DirectPrint=1\nJobInfoDll=no\n",
         "Velmora Q1",
         {R::taken, 0, {0, 0, 0, 1, 1, 0, 0, 0, 1}, "no"}},
        {"No is no library",
         std::string(kHead) + "DirectPrint=1\nJobInfoDll=No\n",
         "Velmora Q1",
         {R::taken, 0, {0, 0, 0, 1, 1, 0, 0, 0, 0}, ""}},
        {"type above 4 changes nothing",
         std::string(kHead) + "DirectPrint=0x3FF\nDPTray=5\n",
         "Velmora Q1",
         {R::unknownType, kPreviousType, kPreviousFlags, "previous.dll"}},
        {"negative type is above 4",
         std::string(kHead) + "DirectPrint=1\nDPTray=-1\n",
         "Velmora Q1",
         {R::unknownType, kPreviousType, kPreviousFlags, "previous.dll"}},
        {"DirectPrint 0 takes the type only",
         std::string(kHead) + "DPTray=2\n",
         "Velmora Q1",
         {R::typeOnly, 2, kPreviousFlags, "previous.dll"}},
        {"unknown driver",
         std::string(kHead) + "DirectPrint=0x3FF\nDPTray=4\n",
         "Velmora Q9",
         {R::typeOnly, 0, kPreviousFlags, "previous.dll"}},
        {"no capability file", "", "Velmora Q1", {R::typeOnly, 0, kPreviousFlags, "previous.dll"}},
    };
    for (const LoadCase& c : cases) {
        SCOPED_TRACE(c.name);
        const Capability got = Read(c);
        EXPECT_EQ(got.result, c.expected.result);
        EXPECT_EQ(got.type, c.expected.type);
        EXPECT_EQ(got.flags, c.expected.flags);
        EXPECT_EQ(got.jobInfoDll, c.expected.jobInfoDll);
    }
}

// The dialog tells the user about a type it has no dialect for, and takes nothing over.
TEST_F(CapabilityTest, DialogShowsAnUnknownType) {
    dialog_.m_nPrinterType = kPreviousType;
    EXPECT_EQ(dialog_.LoadCapability("Velmora Q1", CapFile(std::string(kHead) + "DPTray=5\n")), 0);
    EXPECT_EQ(dialog_.m_nPrinterType, kPreviousType);
    ASSERT_EQ(messages_.calls().size(), 1u);
    const platform::MessageBoxCall& shown = messages_.calls().back();
    EXPECT_EQ(shown.text, "bad type");
    EXPECT_EQ(shown.caption, "エラー");
    EXPECT_EQ(shown.flags, 0x30u);
    EXPECT_TRUE(shown.owned);
}

struct FillCase {
    const char* name;
    std::string traySection; // the lines of section [Trays]
    int useSaved;
    std::string savedFeed;
    std::vector<std::string> expectedList;
    int expectedSelection;
    std::string expectedFeed;
};

TEST_F(CapabilityTest, FillPaperSourceListFollowsTheTrayOrder) {
    const std::vector<FillCase> cases = {
        {"file order does not matter, unknown keys are never offered",
         "Manual Feed=1\nTray6=3\nTray2=0\nAutoTray=7\nMulti Purpose Tray=x\n",
         0,
         "ﾄﾚｲ3",
         {"自動選択", "ﾄﾚｲ2", "ﾏﾙﾁﾊﾟｰﾊﾟｽﾄﾚｲ", "手差し"},
         0,
         "自動選択"},
        {"a key reading -1 is not offered", "Tray1=-1\nTray3=2\n", 0, "", {"ﾄﾚｲ3"}, 0, "ﾄﾚｲ3"},
        {"saved source offered",
         "AutoTray=0\nTray1=1\nTray2=2\n",
         1,
         "ﾄﾚｲ2",
         {"自動選択", "ﾄﾚｲ1", "ﾄﾚｲ2"},
         2,
         "ﾄﾚｲ2"},
        {"saved source not offered: top entry, saved text kept",
         "AutoTray=0\nTray1=1\n",
         1,
         "ﾄﾚｲ5",
         {"自動選択", "ﾄﾚｲ1"},
         0,
         "ﾄﾚｲ5"},
        {"nothing saved", "Tray4=4\nTray5=5\n", 1, "", {"ﾄﾚｲ4", "ﾄﾚｲ5"}, 0, ""},
        {"empty section", "", 0, "ﾄﾚｲ1", {}, -1, ""},
    };
    for (const FillCase& c : cases) {
        SCOPED_TRACE(c.name);
        platform::DialogSurface surface;
        platform::ComboBox& list = surface.AddComboBox(1006);
        list.InsertString(-1, "left over");
        list.SetCurSel(0);
        dialog_.m_pPaperSourceList = &list;
        dialog_.m_strDriverName = "Velmora Q1";
        dialog_.m_strCapFile = dir_.Write(
            "nvtest.cap", std::string(kHead) + "TrayCom=Trays\n[Trays]\n" + c.traySection);
        dialog_.m_strPaperFeed = c.savedFeed;
        dialog_.FillPaperSourceList(c.useSaved);
        std::vector<std::string> got;
        for (int i = 0; i < list.GetCount(); ++i) {
            CString text;
            list.GetLBText(i, text);
            got.push_back(text);
        }
        EXPECT_EQ(got, c.expectedList);
        EXPECT_EQ(list.GetCurSel(), c.expectedSelection);
        EXPECT_EQ(dialog_.m_strPaperFeed, c.expectedFeed);
    }
}

TEST_F(CapabilityTest, NoTrayComOffersNothing) {
    platform::DialogSurface surface;
    platform::ComboBox& list = surface.AddComboBox(1006);
    dialog_.m_pPaperSourceList = &list;
    dialog_.m_strDriverName = "Velmora Q1";
    dialog_.m_strCapFile = dir_.Write("nvtest.cap", std::string(kHead) + "[Other]\nTray1=1\n");
    dialog_.FillPaperSourceList(0);
    EXPECT_EQ(list.GetCount(), 0);
}

} // namespace
} // namespace nv
