// Print pressed on the headless dialog with the system's spooler: every printer type's job
// arrives at a virtual printer byte for byte, and the ways an attempt fails on a real spooler
// leave nothing partial printed. NV_E2E_BACKEND says where the printers are: "cups" (raw
// queues of the private scheduler CUPS_SERVER names) or "direct" (the printers file, with no
// scheduler running).
#include "job/PrintJob.h"
#include "job/UelScanner.h"
#include "platform/spooler/posix/SystemSpooler.h"
#include "support/DialogScenario.h"
#include "support/ProgressHook.h"
#include "support/RunCommand.h"
#include "support/ScratchDir.h"
#include "support/TestPdf.h"
#include "support/VirtualPrinterProcess.h"

#include <chrono>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <thread>

namespace nv::test {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

std::string Env(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

bool UsesScheduler() {
    return Env("NV_E2E_BACKEND") == "cups";
}

std::string JsonString(const std::string& text) {
    std::string out = "\"";
    for (const char c : text) {
        if (c == '"' || c == '\\') {
            out += '\\';
        }
        out += c;
    }
    return out + "\"";
}

class PrintE2E : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        scratch_ = new ScratchDir();
        fs::permissions(scratch_->Path(), fs::perms(0755));
        printer_ = new VirtualPrinterProcess(scratch_->Path() / "printer");
        fs::create_directories(scratch_->Path() / "drivers");
        std::string cap = "[Capability]\n";
        for (int type = 0; type <= 4; ++type) {
            cap += Driver(type) + "=M" + std::to_string(type) + "\n";
        }
        for (int type = 0; type <= 4; ++type) {
            cap += "[M" + std::to_string(type) + "]\nDirectPrint=" + std::to_string(kEverything) +
                   "\nTrayCom=Trays\nDPTray=" + std::to_string(type) + "\nPDFVersion=1.7\n";
        }
        cap += "[Trays]\n" + std::string(kTwoTrays);
        std::ofstream(scratch_->Path() / "drivers" / "nve2e.cap") << cap;
        std::ofstream empty(PrintersFile()); // no direct printers yet
    }
    static void TearDownTestSuite() {
        delete printer_;
        delete scratch_;
    }

    void SetUp() override {
        ASSERT_NE(printer_->Port(), 0);
        ASSERT_FALSE(Env("NV_PROGRAM_DIR").empty());
        if (UsesScheduler()) {
            ASSERT_FALSE(Env("CUPS_SERVER").empty());
        }
    }

    static std::string Driver(int type) { return "Velmora E2E T" + std::to_string(type); }
    static fs::path PrintersFile() { return scratch_->Path() / "printers.ini"; }

    // Adds printer NAME of printer type TYPE whose jobs go to URI, as a raw queue of the
    // scheduler or a direct printer.
    static void AddPrinter(const std::string& name, int type, const std::string& uri) {
        if (UsesScheduler()) {
            ASSERT_TRUE(RunCommand("'" + Env("NV_CUPS_TEST_SERVER") + "' add-queue '" + name +
                                   "' '" + uri + "' '" + Driver(type) + "'"));
        } else {
            std::ofstream(PrintersFile(), std::ios::app)
                << "[" << name << "]\nDriver=" << Driver(type) << "\nPort=" << uri << "\n";
        }
    }
    static void RemovePrinter(const std::string& name) {
        if (UsesScheduler()) {
            ASSERT_TRUE(RunCommand("lpadmin -x '" + name + "'"));
        } else {
            std::ofstream(PrintersFile()) << ""; // the test's printers are added again later
        }
    }

    // Opens the dialog on the system spooler with PRINTER chosen.
    void OpenOn(const std::string& printer) {
        DialogServices services{&s_.box,        s_.resources, &s_.registry,
                                spooler_.get(), {},           Env("NV_PROGRAM_DIR") + "/",
                                &progress_,     cancel_};
        s_.dlg = std::make_unique<CPdfSendDlg>(&s_.app, services);
        ASSERT_EQ(s_.dlg->Open(), TRUE);
        const auto& items = s_.W().GetComboBox(ctl::kPrinterList)->items();
        const auto it = std::find(items.begin(), items.end(), printer);
        ASSERT_NE(it, items.end()) << printer;
        s_.Pick(ctl::kPrinterList, static_cast<int>(it - items.begin()));
        ASSERT_EQ(s_.dlg->m_strPrinterName, printer);
    }

    // The job stream's PJL lines (without CR LF) before the document, as the dialog composes
    // them.
    std::vector<std::string> ExpectedHeaderLines() {
        auto& d = *s_.dlg;
        d.m_hCmdLib = platform::ResourceModule::Load(d.CommandLibraryPath());
        CString header;
        EXPECT_EQ(d.ComposeJobHeader(header), 1);
        d.m_hCmdLib.reset();
        std::vector<std::string> lines = {"@PJL"};
        for (std::size_t at = 0; at < header.size();) {
            std::size_t end = header.find("\r\n", at);
            if (end == std::string::npos) {
                end = header.size();
            }
            lines.push_back(header.substr(at, end - at));
            at = end + 2;
        }
        return lines;
    }

    // True when no further job reaches the printer within a moment.
    static bool NoNewJob() {
        std::this_thread::sleep_for(1500ms);
        return !printer_->HasJob(jobsReceived_ + 1);
    }

    static ScratchDir* scratch_;
    static VirtualPrinterProcess* printer_;
    static int jobsReceived_;
    ScopedEnv printers_{"NORVANE_PRINTERS", PrintersFile().string()};
    ScopedEnv drivers_{"NORVANE_DRIVER_DIR", (scratch_->Path() / "drivers").string()};
    std::unique_ptr<platform::ISpooler> spooler_ = platform::CreateSystemSpooler();
    std::uint64_t sent_ = 0; // document bytes of the last job sent so far
    ProgressHook progress_{[this](std::uint64_t sent, std::uint64_t) { sent_ = sent; }};
    std::function<bool()> cancel_;
    DialogScenario s_;
};

ScratchDir* PrintE2E::scratch_ = nullptr;
VirtualPrinterProcess* PrintE2E::printer_ = nullptr;
int PrintE2E::jobsReceived_ = 0;

TEST_F(PrintE2E, EveryPrinterTypeReceivesTheJobByteForByte) {
    const std::string pdf = TestPdf(2 * kDocumentChunkSize + 777);
    s_.dir.Write("report.pdf", pdf);
    for (int type = 0; type <= 4; ++type) {
        SCOPED_TRACE(type);
        const std::string name = "e2e-type" + std::to_string(type);
        AddPrinter(name, type, printer_->SocketUri());
        OpenOn(name);
        s_.Type(ctl::kCopiesEdit, "2");
        s_.Click(ctl::kPrintButton);
        EXPECT_EQ(s_.TakeMessages(), Messages{});
        ASSERT_TRUE(s_.W().IsEnded());
        EXPECT_EQ(s_.W().GetEndResult(), platform::IDOK);

        const std::string summary = printer_->WaitForSummary(++jobsReceived_);
        ASSERT_FALSE(summary.empty());
        EXPECT_TRUE(printer_->Document(jobsReceived_) == pdf);
        EXPECT_NE(summary.find("\"fault_count\": 0"), std::string::npos) << summary;
        std::string lines;
        for (const std::string& line : ExpectedHeaderLines()) {
            lines += (lines.empty() ? "\n    " : ",\n    ") + JsonString(line);
        }
        EXPECT_NE(summary.find("\"header\": [" + lines + "\n  ]"), std::string::npos)
            << lines << "\n"
            << summary;
        EXPECT_NE(summary.find("\"trailer\": [\n    \"@PJL\",\n    "
                               "\"@PJL EOJ NAME=\\\"report.pdf\\\"\"\n  ]"),
                  std::string::npos)
            << summary;
    }
}

TEST_F(PrintE2E, PrinterThatIsDownGetsNothing) {
    AddPrinter("e2e-down", 3, "socket://127.0.0.1:1");
    OpenOn("e2e-down");
    s_.Click(ctl::kPrintButton);
    if (UsesScheduler()) {
        // The scheduler takes the whole job and holds it until the printer comes back.
        EXPECT_EQ(s_.TakeMessages(), Messages{});
        EXPECT_TRUE(s_.W().IsEnded());
        RunCommand("cancel -a e2e-down");
    } else {
        // Without a scheduler the connection is the job: it fails, says so, and the dialog
        // stays.
        EXPECT_EQ(s_.TakeMessages(), Messages{"refused"});
        EXPECT_FALSE(s_.W().IsEnded());
    }
    EXPECT_TRUE(NoNewJob());
}

TEST_F(PrintE2E, PrinterRemovedAfterListingFailsSilently) {
    AddPrinter("e2e-removed", 1, printer_->SocketUri());
    OpenOn("e2e-removed");
    RemovePrinter("e2e-removed");
    s_.Click(ctl::kPrintButton);
    EXPECT_EQ(s_.TakeMessages(), Messages{});
    EXPECT_FALSE(s_.W().IsEnded());
    EXPECT_EQ(s_.dlg->m_hPrinter, nullptr);
    EXPECT_TRUE(NoNewJob());
}

// Runs only where the test was given a scheduler of its own (NV_E2E_SCHEDULER_DIR), which it
// stops between listing the printers and printing.
TEST_F(PrintE2E, SchedulerStoppedAfterListingFailsSilently) {
    const std::string dir = Env("NV_E2E_SCHEDULER_DIR");
    if (!UsesScheduler() || dir.empty()) {
        GTEST_SKIP() << "needs a scheduler of its own to stop";
    }
    AddPrinter("e2e-stopped", 4, printer_->SocketUri());
    OpenOn("e2e-stopped");
    ASSERT_TRUE(RunCommand("'" + Env("NV_CUPS_TEST_SERVER") + "' stop '" + dir + "'"));
    s_.Click(ctl::kPrintButton);
    EXPECT_EQ(s_.TakeMessages(), Messages{});
    EXPECT_FALSE(s_.W().IsEnded());
    EXPECT_EQ(s_.dlg->m_hPrinter, nullptr);
    EXPECT_TRUE(NoNewJob());
}

TEST_F(PrintE2E, DocumentDeletedAfterOpeningIsReported) {
    AddPrinter("e2e-deleted", 0, printer_->SocketUri());
    OpenOn("e2e-deleted");
    fs::remove(s_.app.m_strFilePath);
    s_.Click(ctl::kPrintButton);
    EXPECT_EQ(s_.TakeMessages(), Messages{"cannot open"});
    EXPECT_FALSE(s_.W().IsEnded());
    EXPECT_TRUE(NoNewJob());
}

TEST_F(PrintE2E, QueueRejectingJobsIsReportedAsTheSchedulersRefusal) {
    if (!UsesScheduler()) {
        GTEST_SKIP() << "a queue's refusal needs the scheduler";
    }
    AddPrinter("e2e-rejecting", 1, printer_->SocketUri());
    ASSERT_TRUE(RunCommand("cupsreject e2e-rejecting"));
    OpenOn("e2e-rejecting");
    s_.Click(ctl::kPrintButton);
    EXPECT_EQ(s_.TakeMessages(), Messages{"scheduler"});
    EXPECT_FALSE(s_.W().IsEnded());
    EXPECT_TRUE(NoNewJob());
}

TEST_F(PrintE2E, DocumentHoldingTheExitSequenceIsRefusedBeforeTheJob) {
    // The UEL 1.2 MB into the file: nothing of the job may reach the printer.
    std::string pdf = TestPdf(3 * kDocumentChunkSize);
    pdf.replace(2 * kDocumentChunkSize + 200000, kUel.size(), kUel);
    s_.dir.Write("report.pdf", pdf);
    AddPrinter("e2e-uel", 2, printer_->SocketUri());
    OpenOn("e2e-uel");
    s_.Click(ctl::kPrintButton);
    EXPECT_EQ(s_.TakeMessages(), Messages{"holds UEL"});
    EXPECT_FALSE(s_.W().IsEnded());
    EXPECT_TRUE(NoNewJob());
    if (UsesScheduler()) {
        const auto jobs = RunCommand("lpstat -W all -o e2e-uel");
        ASSERT_TRUE(jobs);
        EXPECT_EQ(*jobs, "");
    }
}

TEST_F(PrintE2E, JobStoppedWhileSentLeavesNoCompleteJob) {
    // Stopped once two pieces are on their way.
    s_.dir.Write("report.pdf", TestPdf(3 * kDocumentChunkSize));
    cancel_ = [this] { return sent_ >= 2 * kDocumentChunkSize; };
    AddPrinter("e2e-aborted", 2, printer_->SocketUri());
    OpenOn("e2e-aborted");
    s_.Click(ctl::kPrintButton);
    EXPECT_EQ(s_.TakeMessages(), Messages{});
    EXPECT_FALSE(s_.W().IsEnded());
    EXPECT_EQ(s_.dlg->GetJobFailure(), JobFailure::cancelled);
    if (UsesScheduler()) {
        // The scheduler cancels the job before any of it reaches the printer.
        EXPECT_TRUE(NoNewJob());
        const auto jobs = RunCommand("lpstat -W not-completed -o e2e-aborted");
        ASSERT_TRUE(jobs);
        EXPECT_EQ(*jobs, "");
    } else {
        // The printer sees the connection broken: a job it knows to be incomplete.
        const std::string summary = printer_->WaitForSummary(++jobsReceived_);
        EXPECT_NE(summary.find("connection broken"), std::string::npos) << summary;
        EXPECT_NE(summary.find("\"ends_with_uel\": false"), std::string::npos) << summary;
    }
}

} // namespace
} // namespace nv::test
