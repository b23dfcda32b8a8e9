// The in-memory spoolers the job tests run on, and the combined spooler.
#include "platform/spooler/CombinedSpooler.h"
#include "platform/spooler/memory/MemorySpooler.h"

#include <gtest/gtest.h>

namespace nv::platform {
namespace {

DriverInfo Driver(const CString& name) {
    return {name, "/drivers/" + name, {"/drivers/nvmodel.cap", "/drivers/readme.txt"}};
}

TEST(MemorySpooler, ListsOpensAndDescribesPrinters) {
    MemorySpooler spooler;
    spooler.AddPrinter({"Office Color", "socket://a", "Quillet 4200"}, Driver("Quillet 4200"));
    spooler.AddPrinter({"Office", "socket://b", "Quillet 100"}, {});
    spooler.AddPrinterWithoutDriver({"Broken", "file:///x", "Gone"});
    spooler.SetDefaultPrinter("Office");

    const std::vector<PrinterInfo> printers = spooler.EnumPrinters();
    ASSERT_EQ(printers.size(), 3u);
    EXPECT_EQ(printers[0].name, "Office Color");
    EXPECT_EQ(printers[1].port, "socket://b");
    EXPECT_EQ(printers[2].driver, "Gone");
    EXPECT_EQ(spooler.GetDefaultPrinter(), "Office");

    EXPECT_EQ(spooler.OpenPrinter("office"), nullptr); // names are case-sensitive here
    EXPECT_EQ(spooler.OpenPrinter("Nobody"), nullptr);

    auto printer = spooler.OpenPrinter("Office Color");
    ASSERT_NE(printer, nullptr);
    DriverInfo info;
    ASSERT_EQ(printer->GetPrinterDriver(&info), TRUE);
    EXPECT_EQ(info.driverPath, "/drivers/Quillet 4200");
    EXPECT_EQ(info.dependentFiles.size(), 2u);

    auto unnamed = spooler.OpenPrinter("Office");
    ASSERT_EQ(unnamed->GetPrinterDriver(&info), TRUE);
    EXPECT_EQ(info.name, "Quillet 100"); // taken from the entry when not given

    DriverInfo untouched{"keep", "", {}};
    EXPECT_EQ(spooler.OpenPrinter("Broken")->GetPrinterDriver(&untouched), FALSE);
    EXPECT_EQ(untouched.name, "keep");

    EXPECT_EQ(spooler.OpenHandles(), 2);
    printer.reset();
    unnamed.reset();
    EXPECT_EQ(spooler.OpenHandles(), 0);

    spooler.SetUnopenable("Office");
    EXPECT_EQ(spooler.OpenPrinter("Office"), nullptr);
}

TEST(MemorySpooler, RecordsJobsAndHowTheyEnded) {
    MemorySpooler spooler;
    spooler.AddPrinter({"P", "socket://p", "D"}, Driver("D"));
    auto printer = spooler.OpenPrinter("P");
    {
        auto doc = printer->StartDocPrinter({"report.pdf", CString("XPS_PASS")});
        ASSERT_NE(doc, nullptr);
        DWORD written = 0;
        EXPECT_EQ(doc->WritePrinter("\x1b%-12345X", 9, &written), TRUE);
        EXPECT_EQ(written, 9u);
        EXPECT_EQ(doc->WritePrinter("", 0, &written), TRUE);
        EXPECT_EQ(doc->EndDocPrinter(), TRUE);
        EXPECT_EQ(doc->WritePrinter("x", 1, &written), FALSE); // nothing after the end
        EXPECT_EQ(doc->EndDocPrinter(), FALSE);
    }
    {
        auto doc = printer->StartDocPrinter({"second.pdf", std::nullopt});
        EXPECT_EQ(WriteAll(*doc, "abc", 3), TRUE);
        EXPECT_EQ(spooler.LiveDocuments(), 1);
        // destroyed without EndDocPrinter: the job is cancelled
    }
    {
        auto doc = printer->StartDocPrinter({"third.pdf", std::nullopt});
        EXPECT_EQ(doc->AbortDocPrinter(), TRUE);
        EXPECT_EQ(doc->AbortDocPrinter(), TRUE);
        EXPECT_EQ(doc->EndDocPrinter(), FALSE);
    }
    EXPECT_EQ(spooler.LiveDocuments(), 0);

    const auto& jobs = spooler.Jobs();
    ASSERT_EQ(jobs.size(), 3u);
    EXPECT_EQ(jobs[0].docName, "report.pdf");
    EXPECT_EQ(jobs[0].datatype, CString("XPS_PASS"));
    EXPECT_EQ(jobs[0].data, "\x1b%-12345X");
    EXPECT_EQ(jobs[0].writeSizes, (std::vector<DWORD>{9, 0, 1}));
    EXPECT_TRUE(jobs[0].ended);
    EXPECT_FALSE(jobs[0].aborted);
    EXPECT_FALSE(jobs[1].datatype.has_value());
    EXPECT_EQ(jobs[1].data, "abc");
    EXPECT_TRUE(jobs[1].aborted);
    EXPECT_FALSE(jobs[1].ended);
    EXPECT_TRUE(jobs[2].aborted);
}

TEST(MemorySpooler, StartAndEndFailuresCanBeForced) {
    MemorySpooler spooler;
    spooler.AddPrinter({"P", "", "D"}, Driver("D"));
    auto printer = spooler.OpenPrinter("P");
    spooler.SetStartDocFails(true);
    EXPECT_EQ(printer->StartDocPrinter({"a.pdf", std::nullopt}), nullptr);
    spooler.SetStartDocFails(false);
    spooler.SetEndDocFails(true);
    auto doc = printer->StartDocPrinter({"a.pdf", std::nullopt});
    EXPECT_EQ(WriteAll(*doc, "data", 4), TRUE);
    EXPECT_EQ(doc->EndDocPrinter(), FALSE);
    EXPECT_TRUE(spooler.Jobs().back().aborted); // a failed end never leaves a half job
    EXPECT_FALSE(spooler.Jobs().back().ended);
}

struct FailCase {
    const char* name;
    FailMode mode;
    std::uint64_t limit;
    std::vector<DWORD> writes; // sizes written in turn
    std::vector<BOOL> results; // WritePrinter's result per write
    std::vector<DWORD> counts; // *written per write
    std::size_t kept;          // bytes the job holds afterwards
};

void PrintTo(const FailCase& c, std::ostream* os) {
    *os << c.name;
}

class FailingSpoolerTest : public ::testing::TestWithParam<FailCase> {};

TEST_P(FailingSpoolerTest, MisbehavesAtItsLimit) {
    const FailCase& c = GetParam();
    FailingSpooler spooler(c.limit, c.mode);
    spooler.AddPrinter({"P", "", "D"}, Driver("D"));
    auto doc = spooler.OpenPrinter("P")->StartDocPrinter({"a.pdf", std::nullopt});
    const std::string data(64, 'x');
    for (std::size_t i = 0; i < c.writes.size(); ++i) {
        DWORD written = 12345;
        EXPECT_EQ(doc->WritePrinter(data.data(), c.writes[i], &written), c.results[i]) << i;
        EXPECT_EQ(written, c.counts[i]) << i;
    }
    EXPECT_EQ(spooler.Jobs()[0].data.size(), c.kept);
}

INSTANTIATE_TEST_SUITE_P(
    Modes, FailingSpoolerTest,
    ::testing::Values(
        FailCase{"FailsOnTheWriteThatCrosses",
                 FailMode::failWrite,
                 10,
                 {6, 6, 1},
                 {TRUE, FALSE, FALSE},
                 {6, 0, 0},
                 10},
        FailCase{"ExactLimitStillSucceeds",
                 FailMode::failWrite,
                 12,
                 {6, 6, 1},
                 {TRUE, TRUE, FALSE},
                 {6, 6, 0},
                 12},
        FailCase{"ZeroLimitFailsAtOnce", FailMode::failWrite, 0, {1, 0}, {FALSE, FALSE}, {0, 0}, 0},
        FailCase{"ShortWriteTakesWhatFits",
                 FailMode::shortWrite,
                 10,
                 {6, 6, 6},
                 {TRUE, TRUE, TRUE},
                 {6, 4, 0},
                 10}),
    [](const auto& param) { return std::string(param.param.name); });

TEST(WriteAll, RepeatsShortWritesAndStopsWhenNothingIsTaken) {
    FailingSpooler spooler(5, FailMode::shortWrite);
    spooler.AddPrinter({"P", "", "D"}, Driver("D"));
    auto printer = spooler.OpenPrinter("P");
    auto doc = printer->StartDocPrinter({"a.pdf", std::nullopt});
    EXPECT_EQ(WriteAll(*doc, "abc", 3), TRUE);
    EXPECT_EQ(WriteAll(*doc, "defg", 4), FALSE); // 2 taken, then nothing: no endless loop
    EXPECT_EQ(spooler.Jobs()[0].data, "abcde");
}

TEST(CombinedSpooler, ListsPartsInOrderAndOpensWhereTheNameIsKnown) {
    auto first = std::make_unique<MemorySpooler>();
    auto second = std::make_unique<MemorySpooler>();
    auto empty = std::make_unique<MemorySpooler>();
    first->AddPrinter({"B", "cups", "D1"}, Driver("D1"));
    second->AddPrinter({"A", "direct", "D2"}, Driver("D2"));
    second->AddPrinter({"B", "direct", "D3"}, Driver("D3"));
    second->SetDefaultPrinter("A");
    MemorySpooler* secondView = second.get();

    std::vector<std::unique_ptr<ISpooler>> parts;
    parts.push_back(std::move(empty));
    parts.push_back(std::move(first));
    parts.push_back(std::move(second));
    CombinedSpooler combined(std::move(parts));

    const auto printers = combined.EnumPrinters();
    ASSERT_EQ(printers.size(), 3u);
    EXPECT_EQ(printers[0].port, "cups");
    EXPECT_EQ(printers[1].name, "A");
    EXPECT_EQ(printers[2].port, "direct");
    EXPECT_EQ(combined.GetDefaultPrinter(), "A");

    DriverInfo info;
    ASSERT_EQ(combined.OpenPrinter("B")->GetPrinterDriver(&info), TRUE);
    EXPECT_EQ(info.name, "D1"); // the first part that knows the name wins
    auto a = combined.OpenPrinter("A");
    ASSERT_NE(a, nullptr);
    auto doc = a->StartDocPrinter({"x.pdf", std::nullopt});
    EXPECT_EQ(doc->EndDocPrinter(), TRUE);
    EXPECT_EQ(secondView->Jobs().size(), 1u);
    EXPECT_EQ(combined.OpenPrinter("C"), nullptr);
}

// A part that counts the lookups it is asked, standing for a scheduler that would make each one
// wait.
class CountingSpooler : public MemorySpooler {
public:
    std::optional<PrinterInfo> FindPrinter(const CString& name) override {
        ++lookups;
        return MemorySpooler::FindPrinter(name);
    }
    std::unique_ptr<IPrinter> OpenPrinter(const CString& name) override {
        ++lookups;
        return MemorySpooler::OpenPrinter(name);
    }
    int lookups = 0;
};

TEST(CombinedSpooler, ALookupAsksOnlyThePartThatListedTheName) {
    struct Case {
        const char* name;
        bool enumerated;      // EnumPrinters ran before the lookups
        const char* port;     // what FindPrinter gives, "" for none
        bool opens;           // OpenPrinter gives a printer
        int firstPartLookups; // lookups the first part saw (of one FindPrinter, one OpenPrinter)
    };
    const std::vector<Case> cases = {
        {"Direct", true, "direct", true, 0},  // listed by the second part only
        {"Both", true, "cups", true, 2},      // the first part listing it keeps it
        {"Direct", false, "direct", true, 2}, // nothing listed yet: every part, in order
        {"Unlisted", true, "", false, 2},     // unknown names ask every part
        {"Gone", true, "direct", false, 1},   // no longer opens on its part: the others are asked
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.name) + (c.enumerated ? " after listing" : ""));
        auto first = std::make_unique<CountingSpooler>();
        auto second = std::make_unique<MemorySpooler>();
        first->AddPrinter({"Both", "cups", "D"}, Driver("D"));
        second->AddPrinter({"Both", "direct", "D"}, Driver("D"));
        second->AddPrinter({"Direct", "direct", "D"}, Driver("D"));
        second->AddPrinter({"Gone", "direct", "D"}, Driver("D"));
        second->SetUnopenable("Gone");
        CountingSpooler* firstView = first.get();
        std::vector<std::unique_ptr<ISpooler>> parts;
        parts.push_back(std::move(first));
        parts.push_back(std::move(second));
        CombinedSpooler combined(std::move(parts));
        if (c.enumerated) {
            ASSERT_EQ(combined.EnumPrinters().size(), 4u);
        }
        const std::optional<PrinterInfo> found = combined.FindPrinter(c.name);
        EXPECT_EQ(found ? found->port : "", c.port);
        EXPECT_EQ(combined.OpenPrinter(c.name) != nullptr, c.opens);
        EXPECT_EQ(firstView->lookups, c.firstPartLookups);
    }
}

} // namespace
} // namespace nv::platform
