// Print pressed on the headless dialog, against the memory spooler and the shipped command
// libraries: the complete job stream of every printer type, and every way an attempt fails,
// each of which leaves no job that could print, nothing held and the dialog open, with a
// message when the cause is known.
#include "job/JobStream.h"
#include "job/PrintJob.h"
#include "job/UelScanner.h"
#include "platform/spooler/memory/MemorySpooler.h"
#include "resources/CommandIds.h"
#include "support/DialogScenario.h"
#include "support/ProgressHook.h"
#include "support/RecordingJobWriter.h"
#include "support/TestPdf.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace nv::test {
namespace {

namespace fs = std::filesystem;
using platform::FailMode;
using platform::RecordedJob;

constexpr std::size_t kChunk = kDocumentChunkSize;
const std::string kPjl = "@PJL\r\n";

std::string ProgramDir() {
    const char* dir = std::getenv("NV_PROGRAM_DIR");
    return dir != nullptr ? std::string(dir) + "/" : std::string();
}

// The dialog on a spooler of the test's choice, with one printer "Office" of printer type
// TYPE whose capability file allows every option, and the shipped command libraries.
class PrintScenario {
public:
    explicit PrintScenario(UINT type = 0,
                           std::unique_ptr<platform::MemorySpooler> spooler =
                               std::make_unique<platform::MemorySpooler>(),
                           const std::string& capName = "nvmodel.cap")
        : memory(std::move(spooler)), type_(type) {
        const std::string driver = "Quillet " + std::to_string(type);
        const std::string cap = s.dir.Write(
            capName, CapabilityFile(driver, kEverything, kTwoTrays,
                                    "DPTray=" + std::to_string(type) + "\nPDFVersion=1.7\n"));
        memory->AddPrinter({"Office", "socket://office", driver},
                           {driver, s.DriverDir() + "driver.so", {cap}});
        SetPdf(TestPdf(3 * kChunk + 123));
    }

    void SetPdf(std::string bytes) {
        pdf = std::move(bytes);
        s.dir.Write("report.pdf", pdf);
    }

    BOOL Open() {
        DialogServices services{&s.box, s.resources, &s.registry, memory.get(),
                                {},     programDir,  &hook,       cancelRequested};
        s.dlg = std::make_unique<CPdfSendDlg>(&s.app, services);
        return s.dlg->Open();
    }

    // Opens the dialog and presses Print.
    void Print() {
        ASSERT_EQ(Open(), TRUE);
        ASSERT_TRUE(s.Click(ctl::kPrintButton));
    }

    // The header and end-of-job line the job of this printer type must carry, composed with
    // the same command library from the options the dialog harvested.
    std::string ExpectedHeader() {
        auto& d = *s.dlg;
        d.m_hCmdLib = platform::ResourceModule::Load(programDir + cmd::CommandLibraryName(type_));
        CString header;
        EXPECT_EQ(d.ComposeJobHeader(header), 1);
        d.m_hCmdLib.reset();
        return header;
    }

    std::string ExpectedStream() {
        const std::string uel(kUel);
        return uel + kPjl + ExpectedHeader() + pdf + uel + kPjl +
               "@PJL EOJ NAME=\"report.pdf\"\r\n" + uel;
    }

    // Nothing held, no job that could print, the dialog still open.
    void ExpectNothingHeld(std::size_t jobs) {
        EXPECT_FALSE(s.W().IsEnded());
        ASSERT_EQ(memory->Jobs().size(), jobs);
        for (const RecordedJob& job : memory->Jobs()) {
            EXPECT_FALSE(job.ended);
            EXPECT_TRUE(job.aborted);
        }
        EXPECT_EQ(memory->OpenHandles(), 0);
        EXPECT_EQ(memory->LiveDocuments(), 0);
        EXPECT_EQ(s.dlg->m_hCmdLib, nullptr);
        EXPECT_EQ(s.dlg->m_hPrinter, nullptr);
        EXPECT_EQ(s.dlg->m_hDocument, nullptr);
        EXPECT_EQ(hook.finished, hook.started);
    }

    DialogScenario s;
    std::unique_ptr<platform::MemorySpooler> memory;
    std::string programDir = ProgramDir();
    std::string pdf;
    std::vector<std::pair<std::uint64_t, std::uint64_t>> progress;
    std::function<void(std::uint64_t)> onProgress;
    ProgressHook hook{[this](std::uint64_t sent, std::uint64_t total) {
        progress.emplace_back(sent, total);
        if (onProgress) {
            onProgress(sent);
        }
    }};
    std::function<bool()> cancelRequested; // the dialog's stop request (none: never)

private:
    UINT type_;
};

class PrintJob : public ::testing::Test {
protected:
    void SetUp() override {
        if (ProgramDir().empty() || !fs::exists(ProgramDir() + cmd::CommandLibraryName(0))) {
            GTEST_SKIP() << "the command libraries are not built (NV_PROGRAM_DIR)";
        }
    }
};

TEST_F(PrintJob, SendsTheWholeStreamForEveryPrinterTypeAndEndsTheDialog) {
    for (UINT type = 0; type <= 4; ++type) {
        SCOPED_TRACE(type);
        PrintScenario p(type);
        p.Print();
        const std::string header = p.ExpectedHeader();
        ASSERT_EQ(header.rfind("@PJL JOB NAME=\"report.pdf\"", 0), 0u);
        ASSERT_EQ(p.memory->Jobs().size(), 1u);
        const RecordedJob& job = p.memory->Jobs()[0];
        EXPECT_TRUE(job.ended);
        EXPECT_FALSE(job.aborted);
        EXPECT_EQ(job.printer, "Office");
        EXPECT_EQ(job.docName, "report.pdf");
        EXPECT_EQ(job.datatype, std::nullopt);
        EXPECT_TRUE(job.data == p.ExpectedStream());
        // One write per row; the header whole; the document in pieces of 514000 bytes.
        const std::vector<DWORD> writes = {
            9, 6, static_cast<DWORD>(header.size()), 514000, 514000, 514000, 123, 9, 6, 28, 9};
        EXPECT_EQ(job.writeSizes, writes);
        EXPECT_TRUE(p.s.W().IsEnded());
        EXPECT_EQ(p.s.W().GetEndResult(), platform::IDOK);
        EXPECT_EQ(p.s.TakeMessages(), Messages{});
        EXPECT_EQ(p.memory->OpenHandles(), 0);
        EXPECT_EQ(p.memory->LiveDocuments(), 0);
        EXPECT_EQ(p.s.dlg->m_hCmdLib, nullptr);
        const std::uint64_t total = p.pdf.size();
        EXPECT_EQ(p.progress,
                  (std::vector<std::pair<std::uint64_t, std::uint64_t>>{
                      {514000, total}, {1028000, total}, {1542000, total}, {total, total}}));
    }
}

TEST_F(PrintJob, DocumentSizesAroundOnePiece) {
    for (const std::size_t size : {kChunk, kChunk + 1}) {
        SCOPED_TRACE(size);
        PrintScenario p;
        p.SetPdf(TestPdf(size));
        p.Print();
        ASSERT_EQ(p.memory->Jobs().size(), 1u);
        const RecordedJob& job = p.memory->Jobs()[0];
        EXPECT_TRUE(job.ended);
        EXPECT_TRUE(job.data == p.ExpectedStream());
        const std::vector<DWORD> pieces(job.writeSizes.begin() + 3, job.writeSizes.end() - 4);
        const std::vector<DWORD> expected =
            size == kChunk ? std::vector<DWORD>{514000} : std::vector<DWORD>{514000, 1};
        EXPECT_EQ(pieces, expected);
    }
}

TEST_F(PrintJob, EmptyDocumentSendsOnlyTheRowsAroundIt) {
    PrintScenario p;
    ASSERT_EQ(p.Open(), TRUE);
    p.SetPdf("");
    auto& d = *p.s.dlg;
    d.HarvestOptions();
    ASSERT_EQ(d.SendJob(), TRUE);
    ASSERT_EQ(p.memory->Jobs().size(), 1u);
    EXPECT_TRUE(p.memory->Jobs()[0].data == p.ExpectedStream());
    EXPECT_TRUE(p.progress.empty());
}

TEST_F(PrintJob, DatatypeFollowsTheCapabilityFileName) {
    const std::vector<std::pair<std::string, std::optional<CString>>> cases = {
        {"/d/nvaat.cap", "XPS_PASS"},  {"/d/NVAAG.CAP", "XPS_PASS"}, {"/d/nvaad.cap", "XPS_PASS"},
        {"/d/nvaay.cap", "XPS_PASS"},  {"/d/nvaai.cap", "XPS_PASS"}, {"/d/nvaaa.cap", std::nullopt},
        {"/d/nvaa.cap", std::nullopt}, {"t.cap", "XPS_PASS"},        {"tcap", "XPS_PASS"},
        {"cap", std::nullopt},         {"", std::nullopt},
    };
    for (const auto& [capFile, datatype] : cases) {
        EXPECT_EQ(DatatypeForCapabilityFile(capFile), datatype) << capFile;
    }
    PrintScenario p(3, std::make_unique<platform::MemorySpooler>(), "nvaat.cap");
    p.Print();
    ASSERT_EQ(p.memory->Jobs().size(), 1u);
    EXPECT_EQ(p.memory->Jobs()[0].datatype, CString("XPS_PASS"));
}

// Each failure after the validation: the job, if one was started, is cancelled with the bytes
// written before the failure and nothing after; a document that can never be sent whole is
// refused before the printer is opened; a message names the cause when it is known.
TEST_F(PrintJob, FailuresCancelTheJobAndKeepTheDialogOpen) {
    const std::size_t head = 15; // UEL and "@PJL"
    const std::size_t trailer = 9 + 6 + 28 + 9;
    std::size_t stream = 0; // the whole stream of a successful job
    {
        PrintScenario probe;
        probe.Print();
        ASSERT_EQ(probe.memory->Jobs().size(), 1u);
        stream = probe.memory->Jobs()[0].data.size();
    }
    struct Case {
        const char* name;
        std::function<std::unique_ptr<platform::MemorySpooler>()> spooler;
        std::function<void(PrintScenario&)> arrange;
        std::size_t jobs;
        std::size_t kept; // bytes the cancelled job holds; 0: not checked
        Messages messages;
        int retryJobs = -1; // jobs after a second press; -1: 0 when none started, else 2
    };
    using platform::SpoolError;
    const auto memory = [] { return std::make_unique<platform::MemorySpooler>(); };
    const auto failing = [](std::uint64_t limit, FailMode mode) {
        return [=] { return std::make_unique<platform::FailingSpooler>(limit, mode); };
    };
    const auto none = [](PrintScenario&) {};
    const auto because = [](SpoolError cause) {
        return [cause](PrintScenario& p) { p.memory->SetFailureCause(cause); };
    };
    const auto withUelAt = [](std::size_t at) {
        return [at](PrintScenario& p) {
            p.SetPdf(p.pdf.replace(at == 0 ? p.pdf.size() - kUel.size() : at, kUel.size(), kUel));
        };
    };
    const std::size_t document = 3 * kChunk + 123;
    const std::size_t header = stream - head - document - trailer;
    const std::size_t midDocument = head + header + 700000;
    const Messages silent;
    const Messages uel = {"holds UEL"};
    const std::vector<Case> cases = {
        {"command library missing", memory,
         [](PrintScenario& p) {
             p.programDir = p.s.DriverDir() + "nowhere/";
             ASSERT_EQ(p.Open(), TRUE);
         },
         0, 0, silent},
        {"printer cannot be opened", memory,
         [](PrintScenario& p) { p.memory->SetUnopenable("Office"); }, 0, 0, silent},
        {"document cannot start", memory,
         [](PrintScenario& p) { p.memory->SetStartDocFails(true); }, 0, 0, silent},
        {"connection refused",
         memory,
         [](PrintScenario& p) {
             p.memory->SetStartDocFails(true);
             p.memory->SetFailureCause(SpoolError::refused);
         },
         0,
         0,
         {"refused"}},
        {"first row fails", failing(4, FailMode::failWrite), none, 1, 4, silent},
        {"header fails", failing(head + 10, FailMode::failWrite), none, 1, head + 10, silent},
        {"header stops being taken", failing(head + 10, FailMode::shortWrite), none, 1, head + 10,
         silent},
        {"document piece fails", failing(midDocument, FailMode::failWrite), none, 1, midDocument,
         silent},
        {"printer resets the connection",
         failing(midDocument, FailMode::failWrite),
         because(SpoolError::reset),
         1,
         midDocument,
         {"reset"}},
        {"printer stops answering",
         failing(midDocument, FailMode::failWrite),
         because(SpoolError::timedOut),
         1,
         midDocument,
         {"timed out"}},
        {"document stops being taken", failing(midDocument, FailMode::shortWrite), none, 1,
         midDocument, silent},
        {"trailer fails", failing(stream - trailer + 3, FailMode::failWrite), none, 1,
         stream - trailer + 3, silent},
        {"end of document fails", memory, [](PrintScenario& p) { p.memory->SetEndDocFails(true); },
         1, stream, silent},
        {"scheduler fails at the end",
         memory,
         [](PrintScenario& p) {
             p.memory->SetEndDocFails(true);
             p.memory->SetFailureCause(SpoolError::scheduler);
         },
         1,
         stream,
         {"scheduler"}},
        {"document truncated while sent",
         memory,
         [](PrintScenario& p) {
             p.onProgress = [&p](std::uint64_t) { fs::resize_file(p.s.app.m_strFilePath, 1000); };
         },
         1,
         head + header + kChunk,
         {"cut while sent"}},
        {"UEL written into the document while sent", memory,
         [](PrintScenario& p) {
             p.onProgress = [&p](std::uint64_t) {
                 std::fstream out(p.s.app.m_strFilePath,
                                  std::ios::in | std::ios::out | std::ios::binary);
                 out.seekp(static_cast<std::streamoff>(2 * kChunk + 10));
                 out << kUel;
             };
         },
         1, head + header + 2 * kChunk, uel, 1},
        {"document gone before the job",
         memory,
         [](PrintScenario& p) { fs::remove(p.s.app.m_strFilePath); },
         0,
         0,
         {"cannot open"}},
        {"UEL inside the first piece", memory, withUelAt(5000), 0, 0, uel},
        {"UEL across the first piece boundary", memory, withUelAt(kChunk - 4), 0, 0, uel},
        {"UEL ending the first piece", memory, withUelAt(kChunk - kUel.size()), 0, 0, uel},
        {"UEL ending the document", memory, withUelAt(0), 0, 0, uel},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
#ifdef _WIN32
        // The exclusive open keeps every other handle out: nobody can change the file there.
        if (std::string(c.name) == "document truncated while sent" ||
            std::string(c.name) == "UEL written into the document while sent") {
            continue;
        }
#endif
        PrintScenario p(0, c.spooler());
        ASSERT_EQ(p.Open(), TRUE);
        c.arrange(p);
        p.s.Click(ctl::kPrintButton);
        EXPECT_EQ(p.s.TakeMessages(), c.messages);
        p.ExpectNothingHeld(c.jobs);
        if (c.jobs == 1) {
            const std::string& data = p.memory->Jobs()[0].data;
            EXPECT_EQ(data.size(), c.kept);
            EXPECT_TRUE(p.ExpectedStream().compare(0, data.size(), data) == 0);
        }
        // The dialog stays usable: a second press runs a whole attempt again.
        p.onProgress = {};
        p.s.Click(ctl::kPrintButton);
        const int retryJobs = c.retryJobs >= 0 ? c.retryJobs : c.jobs == 0 ? 0 : 2;
        EXPECT_EQ(p.memory->Jobs().size(), static_cast<std::size_t>(retryJobs));
    }
}

// A header that cannot be composed (here a paper-source value too long for its line) starts
// no job at all.
TEST_F(PrintJob, HeaderThatCannotBeComposedStartsNoJob) {
    PrintScenario p(1);
    ASSERT_EQ(p.Open(), TRUE);
    p.s.dir.Write("nvmodel.cap", CapabilityFile("Quillet 1", kEverything,
                                                "AutoTray=" + std::string(258, 'X') + "\nTray1=1\n",
                                                "DPTray=1\nPDFVersion=1.7\n"));
    p.s.Click(ctl::kPrintButton);
    EXPECT_EQ(p.s.TakeMessages(), Messages{});
    p.ExpectNothingHeld(0);
    EXPECT_EQ(p.s.dlg->GetJobFailure(), JobFailure::notSent);
}

// A stop requested while the document goes out cancels the job after the piece in flight,
// before any of the trailer; one requested before the job opens nothing.
TEST_F(PrintJob, StopRequestCancelsTheJobSilently) {
    struct Case {
        const char* name;
        std::uint64_t stopAfter; // document bytes sent when the stop is requested
        std::size_t jobs;
        bool ended;
    };
    const std::vector<Case> cases = {
        {"before the job", 0, 0, false},
        {"after the second piece", 2 * kChunk, 1, false},
        {"after the last piece", 3 * kChunk + 123, 1, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PrintScenario p;
        bool stop = c.stopAfter == 0;
        p.onProgress = [&](std::uint64_t sent) { stop = stop || sent >= c.stopAfter; };
        p.cancelRequested = [&] { return stop; };
        p.Print();
        EXPECT_EQ(p.s.TakeMessages(), Messages{});
        EXPECT_EQ(p.s.dlg->GetJobFailure(), JobFailure::cancelled);
        p.ExpectNothingHeld(c.jobs);
        if (c.jobs == 1) {
            const std::string& data = p.memory->Jobs()[0].data;
            // Nothing after the piece that was out when the stop came: no trailer.
            EXPECT_EQ(data.find(std::string(kUel), 15), std::string::npos);
            EXPECT_EQ(p.progress.back().first, c.stopAfter);
        }
    }
}

// A sink that counts the bytes and keeps the last few.
class CountingWriter : public IJobWriter {
public:
    std::int64_t Write(const void* data, std::size_t size) override {
        total += size;
        const auto* bytes = static_cast<const char*>(data);
        last.append(bytes + (size > 16 ? size - 16 : 0), size > 16 ? 16 : size);
        if (last.size() > 16) {
            last.erase(0, last.size() - 16);
        }
        return static_cast<std::int64_t>(size);
    }
    std::uint64_t total = 0;
    std::string last;
};

class SendDocumentData : public ::testing::Test {
protected:
    TempDir dir_;
    platform::ScriptedMessageBox box_;
    StringTableModule texts_;
    CPdfSendApp app_;
    CPdfSendDlg dialog_{&app_, DialogServices{&box_, &texts_}};
    JobProgressScope unwatched_{nullptr};
};

TEST_F(SendDocumentData, SendsADocumentOver4GiBWhole) {
    const std::uint64_t size = (std::uint64_t{1} << 32) + 16;
    app_.m_strFilePath = dir_.Write("big.pdf", "%PDF-1.4\n");
    fs::resize_file(app_.m_strFilePath, size); // sparse: zeros up to the end
    {
        std::fstream out(app_.m_strFilePath, std::ios::in | std::ios::out | std::ios::binary);
        out.seekp(static_cast<std::streamoff>(size - 6));
        out << "%%EOF\n";
    }
    CountingWriter writer;
    EXPECT_EQ(dialog_.SendDocumentData(writer, unwatched_), TRUE);
    EXPECT_EQ(writer.total, size);
    EXPECT_EQ(writer.last.substr(10), "%%EOF\n");
}

TEST_F(SendDocumentData, FailsWithoutWritingWhenTheDocumentIsGone) {
    app_.m_strFilePath = (dir_.Path() / "gone.pdf").string();
    RecordingJobWriter writer;
    EXPECT_EQ(dialog_.SendDocumentData(writer, unwatched_), FALSE);
    EXPECT_EQ(writer.writes, 0);
}

} // namespace
} // namespace nv::test
