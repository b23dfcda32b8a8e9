// The CUPS backend against a private scheduler (started by the test fixture; CUPS_SERVER names
// it): enumeration, driver names and ports, raw jobs arriving byte-exact at a virtual printer
// behind a socket queue, cancelled jobs, and a scheduler that is not there.
#include "platform/spooler/posix/CupsSpooler.h"
#include "platform/spooler/posix/SystemSpooler.h"
#include "support/RunCommand.h"
#include "support/ScratchDir.h"
#include "support/VirtualPrinterProcess.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cups/cups.h>
#include <fstream>
#include <gtest/gtest.h>
#include <memory>
#include <sstream>
#include <thread>

namespace nv::platform {
namespace {

namespace fs = std::filesystem;
using test::RunCommand;
using test::ScopedEnv;
using test::ScratchDir;
using test::VirtualPrinterProcess;

std::string Quoted(const std::string& text) {
    std::string out = "'";
    for (char c : text) {
        out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return out + "'";
}

void AddQueue(const std::string& name, const std::string& uri, const std::string& model) {
    const char* script = std::getenv("NV_CUPS_TEST_SERVER");
    ASSERT_NE(script, nullptr);
    ASSERT_TRUE(RunCommand(Quoted(script) + " add-queue " + Quoted(name) + " " + Quoted(uri) + " " +
                           Quoted(model)));
}

// The state of JOB as the scheduler reports it (0 when it does not know the job).
ipp_jstate_t JobState(int job, std::string* title = nullptr, std::string* format = nullptr) {
    cups_job_t* jobs = nullptr;
    const int count = cupsGetJobs2(CUPS_HTTP_DEFAULT, &jobs, nullptr, 0, CUPS_WHICHJOBS_ALL);
    ipp_jstate_t state = static_cast<ipp_jstate_t>(0);
    for (int i = 0; i < count; ++i) {
        if (jobs[i].id == job) {
            state = jobs[i].state;
            if (title != nullptr) {
                *title = jobs[i].title != nullptr ? jobs[i].title : "";
            }
            if (format != nullptr) {
                *format = jobs[i].format != nullptr ? jobs[i].format : "";
            }
        }
    }
    cupsFreeJobs(count, jobs);
    return state;
}

// Waits until JOB leaves the pending and processing states; returns its last state.
ipp_jstate_t WaitForJobEnd(int job, std::string* title = nullptr, std::string* format = nullptr) {
    ipp_jstate_t state = static_cast<ipp_jstate_t>(0);
    for (int i = 0; i < 300; ++i) {
        state = JobState(job, title, format);
        if (state >= IPP_JSTATE_STOPPED) {
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return state;
}

class CupsSpoolerE2E : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        scratch_ = new ScratchDir();
        printer_ = new VirtualPrinterProcess(scratch_->Path() / "printer");
        ASSERT_NE(printer_->Port(), 0);
        AddQueue("Zeta_Office", printer_->SocketUri(), "Velmora Quillet 4200");
        AddQueue("alpha", "file:///dev/null", "Velmora Quillet 100");
        AddQueue("Mid", "socket://127.0.0.1:1", "Other Maker Model");
        // A queue default of three copies must not multiply a raw job.
        ASSERT_TRUE(RunCommand("lpadmin -p 'Zeta_Office' -o copies-default=3"));
    }
    static void TearDownTestSuite() {
        delete printer_;
        delete scratch_;
    }

    static ScratchDir* scratch_;
    static VirtualPrinterProcess* printer_;
    CupsSpooler spooler_;
};

ScratchDir* CupsSpoolerE2E::scratch_ = nullptr;
VirtualPrinterProcess* CupsSpoolerE2E::printer_ = nullptr;

TEST_F(CupsSpoolerE2E, ListsQueuesInTheSchedulersOrderWithDriverAndPort) {
    const auto listed = RunCommand("lpstat -e");
    ASSERT_TRUE(listed);
    std::vector<std::string> expected;
    std::istringstream lines(*listed);
    for (std::string line; std::getline(lines, line);) {
        expected.push_back(line);
    }
    const auto printers = spooler_.EnumPrinters();
    std::vector<std::string> names;
    for (const PrinterInfo& p : printers) {
        names.push_back(p.name);
    }
    EXPECT_EQ(names, (std::vector<std::string>{"alpha", "Mid", "Zeta_Office"}));
    EXPECT_EQ(names, expected);
    ASSERT_EQ(printers.size(), 3u);
    EXPECT_EQ(printers[0].driver, "Velmora Quillet 100");
    EXPECT_EQ(printers[0].port, "file:///dev/null");
    EXPECT_EQ(printers[2].driver, "Velmora Quillet 4200");
    EXPECT_EQ(printers[2].port, printer_->SocketUri());
}

TEST_F(CupsSpoolerE2E, OpensKnownQueuesOnlyAndReadsTheDriverRecord) {
    EXPECT_EQ(spooler_.OpenPrinter("Nobody"), nullptr);
    EXPECT_EQ(spooler_.OpenPrinter(""), nullptr);
    auto printer = spooler_.OpenPrinter("Zeta_Office");
    ASSERT_NE(printer, nullptr);
    EXPECT_EQ(printer->Name(), "Zeta_Office");

    ScratchDir drivers;
    std::ofstream(drivers / "nvq4200.cap") << "[Capability]\n";
    ScopedEnv driverDir("NORVANE_DRIVER_DIR", drivers.Path().string());
    DriverInfo info;
    ASSERT_EQ(printer->GetPrinterDriver(&info), TRUE);
    EXPECT_EQ(info.name, "Velmora Quillet 4200");
    EXPECT_EQ(info.driverPath, (drivers / "Velmora Quillet 4200").string());
    EXPECT_EQ(info.dependentFiles, (std::vector<CString>{(drivers / "nvq4200.cap").string()}));
}

TEST_F(CupsSpoolerE2E, FindPrinterGivesTheListingsEntryByteForByte) {
    const auto printers = spooler_.EnumPrinters();
    for (const char* name : {"Zeta_Office", "alpha", "Mid", "zeta_office", "ALPHA", "Nobody", ""}) {
        SCOPED_TRACE(name);
        const auto listed = std::find_if(printers.begin(), printers.end(),
                                         [&](const PrinterInfo& p) { return p.name == name; });
        const std::optional<PrinterInfo> found = spooler_.FindPrinter(name);
        ASSERT_EQ(found.has_value(), listed != printers.end());
        if (found) {
            EXPECT_EQ(found->port, listed->port);
            EXPECT_EQ(found->driver, listed->driver);
        }
    }
    // Opening keeps the scheduler's own matching: another case opens the queue by its name.
    auto printer = spooler_.OpenPrinter("zeta_office");
    ASSERT_NE(printer, nullptr);
    EXPECT_EQ(printer->Name(), "Zeta_Office");
}

TEST_F(CupsSpoolerE2E, DefaultPrinterIsTheSchedulersDefault) {
    const char* script = std::getenv("NV_CUPS_TEST_SERVER");
    ASSERT_TRUE(RunCommand(Quoted(script) + " set-default alpha"));
    EXPECT_EQ(spooler_.GetDefaultPrinter(), "alpha");
    ASSERT_TRUE(RunCommand(Quoted(script) + " set-default 'Zeta_Office'"));
    EXPECT_EQ(spooler_.GetDefaultPrinter(), "Zeta_Office");
}

TEST_F(CupsSpoolerE2E, RawJobArrivesOnceAndByteExact) {
    std::string stream =
        "\x1b%-12345X@PJL\r\n@PJL JOB NAME=\"report.pdf\"\r\n@PJL ENTER LANGUAGE=PDF\r\n";
    std::string document = "%PDF-1.4\n";
    for (int i = 0; document.size() < (2u << 20); ++i) {
        document += std::to_string(i * 7919) + " \x1b%-12345 \r\n\xff\x00 "[i % 12];
    }
    stream += document + "\x1b%-12345X@PJL\r\n@PJL EOJ NAME=\"report.pdf\"\r\n\x1b%-12345X";

    auto printer = spooler_.OpenPrinter("Zeta_Office");
    ASSERT_NE(printer, nullptr);
    auto doc = printer->StartDocPrinter({"report.pdf", CString("XPS_PASS")});
    ASSERT_NE(doc, nullptr);
    const int job = static_cast<int>(doc->JobId());
    EXPECT_GT(job, 0);
    for (std::size_t at = 0; at < stream.size(); at += 514000) {
        const auto size = static_cast<DWORD>(std::min<std::size_t>(514000, stream.size() - at));
        ASSERT_EQ(WriteAll(*doc, stream.data() + at, size), TRUE);
    }
    ASSERT_EQ(doc->EndDocPrinter(), TRUE);

    std::string title;
    std::string format;
    EXPECT_EQ(WaitForJobEnd(job, &title, &format), IPP_JSTATE_COMPLETED);
    EXPECT_EQ(title, "report.pdf");
    EXPECT_EQ(format, "application/vnd.cups-raw");
    const std::string summary = printer_->WaitForSummary(1);
    ASSERT_FALSE(summary.empty());
    EXPECT_NE(summary.find("\"total_bytes\": " + std::to_string(stream.size())), std::string::npos)
        << summary;
    EXPECT_NE(summary.find("\"fault_count\": 0"), std::string::npos) << summary;
    EXPECT_TRUE(printer_->Document(1) == document);
}

TEST_F(CupsSpoolerE2E, NamesTheSchedulerWouldDropAreMadeValid) {
    struct Case {
        std::string docName;
        std::string title;
    };
    const Case cases[] = {
        {"r\xe9sum\xe9.pdf", "r?sum?.pdf"},                               // Latin-1 bytes
        {"\xe5\xa0\xb1\xe5\x91\x8a.pdf", "\xe5\xa0\xb1\xe5\x91\x8a.pdf"}, // UTF-8 kept
        {std::string(300, 'n') + ".pdf", std::string(255, 'n')},
        {std::string(254, 'n') + "\xe5\xa0\xb1", std::string(254, 'n')}, // never cut a character
    };
    auto printer = spooler_.OpenPrinter("Mid"); // nothing listens there: the job stays queued
    ASSERT_NE(printer, nullptr);
    for (const Case& c : cases) {
        auto doc = printer->StartDocPrinter({c.docName, std::nullopt});
        ASSERT_NE(doc, nullptr) << c.title;
        std::string title;
        JobState(static_cast<int>(doc->JobId()), &title);
        EXPECT_EQ(title, c.title);
        EXPECT_EQ(doc->AbortDocPrinter(), TRUE);
    }
}

TEST_F(CupsSpoolerE2E, AbortAndUnendedDocumentsCancelTheirJobs) {
    auto printer = spooler_.OpenPrinter("Zeta_Office");
    ASSERT_NE(printer, nullptr);
    int first = 0;
    {
        auto doc = printer->StartDocPrinter({"aborted.pdf", std::nullopt});
        ASSERT_NE(doc, nullptr);
        first = static_cast<int>(doc->JobId());
        ASSERT_EQ(WriteAll(*doc, "\x1b%-12345X@PJL\r\n", 15), TRUE);
        EXPECT_EQ(doc->AbortDocPrinter(), TRUE);
        DWORD written = 0;
        EXPECT_EQ(doc->WritePrinter("x", 1, &written), FALSE);
        EXPECT_EQ(doc->EndDocPrinter(), FALSE);
    }
    int second = 0;
    {
        auto doc = printer->StartDocPrinter({"dropped.pdf", std::nullopt});
        ASSERT_NE(doc, nullptr);
        second = static_cast<int>(doc->JobId());
        ASSERT_EQ(WriteAll(*doc, "%PDF-1.4 partial", 16), TRUE);
        printer.reset(); // closing the printer first changes nothing
    }
    EXPECT_EQ(WaitForJobEnd(first), IPP_JSTATE_CANCELED);
    EXPECT_EQ(WaitForJobEnd(second), IPP_JSTATE_CANCELED);
    // Only the complete job of the other test may ever reach the printer.
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    EXPECT_FALSE(printer_->HasJob(2));
}

TEST_F(CupsSpoolerE2E, SystemSpoolerListsSchedulerPrintersBeforeDirectOnes) {
    ScratchDir dir;
    std::ofstream(dir / "printers.ini")
        << "[Direct One]\nDriver=Velmora Quillet 4200\nPort=socket://127.0.0.1:9\n";
    ScopedEnv printers("NORVANE_PRINTERS", (dir / "printers.ini").string());
    auto system = CreateSystemSpooler();
    const auto listed = system->EnumPrinters();
    ASSERT_EQ(listed.size(), 4u);
    EXPECT_EQ(listed[0].name, "alpha");
    EXPECT_EQ(listed[3].name, "Direct One");
    EXPECT_NE(system->OpenPrinter("Direct One"), nullptr);
    EXPECT_NE(system->OpenPrinter("Mid"), nullptr);
}

TEST(CupsSpoolerAbsent, SchedulerNotRunningGivesNoPrinters) {
    ScratchDir dir;
    std::ofstream(dir / "printers.ini") << "[Direct One]\nPort=socket://127.0.0.1:9\n";
    ScopedEnv server("CUPS_SERVER", (dir / "no-such.sock").string());
    ScopedEnv printers("NORVANE_PRINTERS", (dir / "printers.ini").string());
    cupsSetServer(nullptr); // libcups caches the server name; read it afresh
    CupsSpooler cups;
    EXPECT_TRUE(cups.EnumPrinters().empty());
    EXPECT_EQ(cups.OpenPrinter("alpha"), nullptr);
    EXPECT_EQ(cups.GetDefaultPrinter(), "");
    auto system = CreateSystemSpooler();
    const auto listed = system->EnumPrinters();
    ASSERT_EQ(listed.size(), 1u);
    EXPECT_EQ(listed[0].name, "Direct One");
    cupsSetServer(nullptr);
}

} // namespace
} // namespace nv::platform
