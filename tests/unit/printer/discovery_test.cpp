// Which printers the dialog offers and which it chooses at start: the capability-file walk of
// each driver, the spooler's order, the saved printer, the default printer and the top entry,
// and what a change of the selection reloads.
#include "support/DialogScenario.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace nv::test {
namespace {

std::vector<CString> Listed(DialogScenario& s) {
    return s.W().GetComboBox(ctl::kPrinterList)->items();
}

TEST(Discovery, OffersSupportedPrintersInTheSpoolersOrder) {
    DialogScenario s;
    s.AddPrinter("Zeta", "Q", CapabilityFile("Q", kEverything));
    s.AddPrinter("Plain", "Other", CapabilityFile("Q", kEverything)); // no key for its driver
    s.AddPrinter("Alpha", "Q", CapabilityFile("Q", kEverything & ~kSupported));
    s.AddPrinter("Mid", "Q", CapabilityFile("Q", kSupported));
    s.spooler.AddPrinterWithoutDriver({"NoDriver", "x", "Q"});
    s.AddPrinter("Locked", "Q", CapabilityFile("Q", kEverything));
    s.spooler.SetUnopenable("Locked");
    ASSERT_EQ(s.Open(), TRUE);
    EXPECT_EQ(Listed(s), (std::vector<CString>{"Zeta", "Mid"}));
    EXPECT_EQ(s.dlg->m_strPrinterName, "Zeta");
    EXPECT_EQ(s.TakeMessages(), Messages{});
}

TEST(Discovery, CandidateFilesBeginWithNvAndEndInCapIgnoringCase) {
    struct Case {
        const char* file;
        bool candidate;
    };
    const std::vector<Case> cases = {
        {"nvmodel.cap", true}, {"NVMODEL.CAP", true}, {"Nv.Cap", true}, {"model.cap", false},
        {"nv.capx", false},    {"xnv.cap", false},    {"nv", false},    {"cap", false},
    };
    for (const Case& c : cases) {
        DialogScenario s;
        const std::string path = s.dir.Write(c.file, CapabilityFile("Q", kEverything));
        s.AddPrinterWithFiles("P", "Q", {path});
        s.AddPrinter("Fallback", "F", CapabilityFile("F", kEverything));
        ASSERT_EQ(s.Open(), TRUE) << c.file;
        EXPECT_EQ(Listed(s).size(), c.candidate ? 2u : 1u) << c.file;
    }
}

TEST(Discovery, FirstSupportingCandidateWinsAndTheWalkStopsAtAnEmptyEntry) {
    DialogScenario s;
    const std::string plain = s.dir.Write("readme.txt", "");
    const std::string rejected = s.dir.Write("nvold.cap", CapabilityFile("Q", kEverything & ~1u));
    const std::string accepted = s.dir.Write("nvnew.cap", CapabilityFile("Q", kEverything));
    const std::string later = s.dir.Write("nvlater.cap", CapabilityFile("Q", kEverything));
    s.AddPrinterWithFiles("Second", "Q", {plain, rejected, accepted, later});
    s.AddPrinterWithFiles("AfterEmpty", "Q", {plain, "", accepted});
    s.AddPrinterWithFiles("EmptyFirst", "Q", {"", accepted});
    ASSERT_EQ(s.Open(), TRUE);
    EXPECT_EQ(Listed(s), (std::vector<CString>{"Second"}));
    EXPECT_EQ(s.dlg->m_strCapFile, accepted);
}

TEST(Discovery, AFileWithoutDirectoryIsReadFromTheDriversDirectory) {
    DialogScenario s;
    s.dir.Write("nvbare.cap", CapabilityFile("Q", kEverything));
    std::filesystem::create_directory(s.dir.Path() / "elsewhere");
    const std::string other =
        s.dir.Write("elsewhere/nvother.cap", CapabilityFile("R", kEverything));
    s.spooler.AddPrinter({"Bare", "p", "Q"}, {"Q", s.DriverDir() + "driver.so", {"nvbare.cap"}});
    s.spooler.AddPrinter({"Other", "p", "R"},
                         {"R", s.DriverDir() + "elsewhere/driver.so", {other}});
    ASSERT_EQ(s.Open(), TRUE);
    EXPECT_EQ(s.dlg->m_strCapFile, s.DriverDir() + "nvbare.cap");
    EXPECT_EQ(s.dlg->m_strDriverDir, s.DriverDir());
    s.Pick(ctl::kPrinterList, 1);
    EXPECT_EQ(s.dlg->m_strCapFile, other);
    EXPECT_EQ(s.dlg->m_strDriverDir, s.DriverDir() + "elsewhere/");
}

TEST(Discovery, TheDriverFolderIsTheOneTheDriverRecordNames) {
    DialogScenario s;
    const std::string cap = s.dir.Write("nvq.cap", CapabilityFile("Vel\\Q", kEverything));
    platform::DriverInfo driver{"Vel\\Q", s.DriverDir() + "Vel\\Q", {cap}};
    driver.directory = s.DriverDir();
    s.spooler.AddPrinter({"Backslash", "p", "Vel\\Q"}, driver);
    ASSERT_EQ(s.Open(), TRUE);
    EXPECT_EQ(s.dlg->m_strCapFile, cap);
    EXPECT_EQ(s.dlg->m_strDriverDir, s.DriverDir()); // not cut at the backslash of the name
}

TEST(Discovery, NoPrinterOrNoSupportedPrinterEndsTheDialogBeforeItIsShown) {
    DialogScenario none;
    EXPECT_EQ(none.Open(), FALSE);
    EXPECT_EQ(none.TakeMessages(), Messages{"no printer"});
    EXPECT_EQ(none.box.calls()[0].caption, "Error");
    EXPECT_EQ(none.box.calls()[0].flags, 0x30u);
    EXPECT_EQ(none.W().GetEndResult(), platform::IDCANCEL);

    DialogScenario unsupported;
    unsupported.AddPrinter("P", "Q", "[Capability]\n");
    EXPECT_EQ(unsupported.Open(), FALSE);
    EXPECT_EQ(unsupported.TakeMessages(), Messages{"no supported printer"});
    EXPECT_TRUE(unsupported.W().IsEnded());
    EXPECT_FALSE(unsupported.KeyExists("P")); // no settings were loaded
}

class InitialPrinter : public ::testing::Test {
protected:
    void SetUp() override {
        s.AddPrinter("Office Color", "Q", CapabilityFile("Q", kEverything));
        s.AddPrinter("Office", "Q", CapabilityFile("Q", kEverything));
        s.AddPrinter("Unsupported", "U", "");
    }
    CString Open() {
        EXPECT_EQ(s.Open(), TRUE);
        const CString name = s.dlg->m_strPrinterName;
        EXPECT_EQ(s.Text(ctl::kPrinterList), name); // the selection is the printer loaded
        return name;
    }
    void Save(const std::string& name) {
        s.Store("Settings", "Printer", platform::REG_SZ, name + '\0');
    }
    DialogScenario s;
};

TEST_F(InitialPrinter, SavedPrinterFirst) {
    Save("Office");
    s.spooler.SetDefaultPrinter("Office Color");
    EXPECT_EQ(Open(), "Office"); // not its prefix "Office Color" above it
}

TEST_F(InitialPrinter, SavedNameInAnotherCaseIsReplacedByTheListedForm) {
    Save("OFFICE");
    EXPECT_EQ(Open(), "Office");
}

TEST_F(InitialPrinter, SavedPrinterNoLongerListedGivesTheTopEntry) {
    Save("Gone");
    s.spooler.SetDefaultPrinter("Office");
    EXPECT_EQ(Open(), "Office Color");
    Save("Unsupported");
    EXPECT_EQ(Open(), "Office Color");
    EXPECT_EQ(s.TakeMessages(), Messages{});
}

TEST_F(InitialPrinter, WithoutASavedPrinterTheSupportedDefault) {
    s.spooler.SetDefaultPrinter("Office");
    EXPECT_EQ(Open(), "Office");
    s.spooler.SetDefaultPrinter("Unsupported");
    EXPECT_EQ(Open(), "Office Color");
    s.spooler.SetDefaultPrinter("");
    EXPECT_EQ(Open(), "Office Color");
}

TEST_F(InitialPrinter, SelectionLoadsIdentityCapabilityAndPapersAfresh) {
    s.AddPrinter("Simplex", "S",
                 CapabilityFile("S", kSupported | kNoPageRange, "Manual Feed=0\n", "DPTray=2\n"));
    EXPECT_EQ(Open(), "Office Color");
    EXPECT_EQ(s.dlg->m_bCanDuplex, TRUE);
    s.Pick(ctl::kPrinterList, 2);
    const CPdfSendDlg& d = *s.dlg;
    EXPECT_EQ(d.m_strPrinterName, "Simplex");
    EXPECT_EQ(d.m_strDriverName, "S");
    EXPECT_EQ(d.m_strPortName, "socket://S");
    EXPECT_EQ(s.Text(ctl::kPortText), "socket://S");
    EXPECT_EQ(d.m_nPrinterType, 2u);
    EXPECT_EQ(d.m_bCanDuplex, FALSE);
    EXPECT_FALSE(s.Enabled(ctl::kDuplexCheck));
    EXPECT_FALSE(s.Enabled(ctl::kPageRangeCheck));
    EXPECT_EQ(s.W().GetComboBox(ctl::kPaperSourceList)->items(), (std::vector<CString>{"Manual"}));
    EXPECT_EQ(std::pair(d.m_nStartPage, d.m_nEndPage), std::pair(1, 1));
    EXPECT_TRUE(s.KeyExists("Simplex"));
}

TEST_F(InitialPrinter, AnOutOfRangePrinterTypeIsReportedOnEachLoad) {
    s.AddPrinter("Bad", "B", CapabilityFile("B", kEverything, kTwoTrays, "DPTray=5\n"));
    Save("Bad");
    EXPECT_EQ(Open(), "Bad");
    EXPECT_EQ(s.TakeMessages(), (Messages{"bad type", "bad type"}));
    s.Pick(ctl::kPrinterList, 0);
    s.Pick(ctl::kPrinterList, 2);
    EXPECT_EQ(s.TakeMessages(), Messages{"bad type"});
    // The previous model's dialect is still held: Print refuses the printer again.
    s.dlg->TakeOutcome();
    s.Click(ctl::kPrintButton);
    EXPECT_EQ(s.TakeMessages(), Messages{"bad type"});
    EXPECT_EQ(s.dlg->TakeOutcome(), DialogOutcome::unavailable);
}

} // namespace
} // namespace nv::test
