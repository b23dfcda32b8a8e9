// norvane-print on idle, paused and refusing queues of a private scheduler (--list, the handed
// over job, --wait to each end), then a listing beside a scheduler that never answers.
#include "platform/format/Format.h"
#include "platform/modules/Modules.h"
#include "resources/ResourceIds.h"
#include "support/Contains.h"
#include "support/LoopbackListener.h"
#include "support/ProgramCopy.h"
#include "support/RunCommand.h"
#include "support/ScratchDir.h"

#include <chrono>
#include <filesystem>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace nv::test {
namespace {

namespace fs = std::filesystem;
namespace str = res::str;

class QueuesE2E : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        scratch_ = std::make_unique<ScratchDir>();
        fs::permissions(Dir(), fs::perms::all); // the scheduler's backends run as another user
        const std::string server = std::getenv("CUPS_SERVER");
        PrepareProgramFolder(Dir());
        ::setenv("CUPS_SERVER", server.c_str(), 1);
        WriteFile(Dir() / "drivers" / "nvq.cap",
                  "[Capability]\nVelmora Q=Q\n[Q]\nDirectPrint=0x38F\nDPTray=2\nPDFVersion=1.7\n"
                  "JobInfoDll=No\nTrayCom=Trays\n[Trays]\nAutoTray=auto\n");
        WriteFile(Dir() / "printers.ini", "");
        WriteFile(Dir() / "doc.pdf", "%PDF-1.4\n1 0 obj << >> endobj\ntrailer\n%%EOF\n");
        const std::string script = std::getenv("NV_CUPS_TEST_SERVER");
        for (const char* queue : {"QIdle", "QPaused", "QRejecting"}) {
            ASSERT_TRUE(RunCommand("'" + script + "' add-queue " + queue +
                                   " file:///dev/null 'Velmora Q'"));
        }
        ASSERT_TRUE(RunCommand("cupsdisable -r 'Out of paper' QPaused"));
        ASSERT_TRUE(RunCommand("cupsreject QRejecting"));
    }
    static void TearDownTestSuite() {
        RunCommand("cancel -a QPaused");
        scratch_.reset();
    }
    void SetUp() override {
        ::setenv("NORVANE_REGISTRY", (Dir() / ("registry-" + std::to_string(++runs_))).c_str(), 1);
    }

    static const fs::path& Dir() { return scratch_->Path(); }
    static std::string Pdf() { return (Dir() / "doc.pdf").string(); }
    static std::string Text(UINT id) {
        return platform::ResourceModule::Load((Dir() / "program" / "Norvres.dll").string())
            ->LoadText(id);
    }
    static std::string Text(UINT id, std::initializer_list<platform::FormatArg> args) {
        char line[1024];
        platform::wsprintfA(line, sizeof line, Text(id).c_str(), args);
        return line;
    }
    // The --list block of PRINTER.
    static std::string Block(const std::string& list, const std::string& printer) {
        std::size_t at = list.find(printer + "\n");
        at = at != std::string::npos ? at : list.find(printer + "  (");
        return at == std::string::npos ? "" : list.substr(at, list.find("\nQ", at + 1) - at);
    }

    static std::unique_ptr<ScratchDir> scratch_;
    static int runs_;
};

std::unique_ptr<ScratchDir> QueuesE2E::scratch_;
int QueuesE2E::runs_ = 0;

using platform::FormatArg;

TEST_F(QueuesE2E, ListShowsEachQueuesState) {
    const ProgramRun run = RunProgram(Dir(), {"--list"});
    ASSERT_EQ(run.status, 0) << run.err;
    const std::string label = Text(str::kStateLabel);
    const struct {
        const char* queue;
        std::string state;
    } cases[] = {
        {"QIdle", Text(str::kQueueIdle) + "\n"},
        {"QPaused", Text(str::kQueueIdle + 2) + ": Out of paper\n"},
        // The scheduler gives a rejecting queue a message of its own.
        {"QRejecting", Text(str::kQueueIdle) + ", " + Text(str::kQueueNotAcceptingWord)},
    };
    for (const auto& c : cases) {
        EXPECT_NE(Block(run.out, c.queue).find(label + c.state), std::string::npos)
            << c.queue << "\n"
            << run.out;
    }
}

TEST_F(QueuesE2E, HandedOverJobSaysWhereItWentAndWhatHoldsIt) {
    const ProgramRun idle = RunProgram(Dir(), {"--printer", "QIdle", Pdf()});
    ASSERT_EQ(idle.status, 0) << idle.err;
    EXPECT_TRUE(Contains(idle.out, "doc.pdf"));
    EXPECT_EQ(idle.err, "");

    const ProgramRun quiet = RunProgram(Dir(), {"--quiet", "--printer", "QIdle", Pdf()});
    EXPECT_EQ(quiet.status, 0) << quiet.err;
    EXPECT_EQ(quiet.out, "");

    const ProgramRun paused = RunProgram(Dir(), {"--printer", "QPaused", Pdf()});
    ASSERT_EQ(paused.status, 0) << paused.err;
    EXPECT_EQ(paused.err, Text(str::kQueuedOnPausedQueue, {FormatArg::Text("QPaused")}) + "\n");

    const ProgramRun rejecting = RunProgram(Dir(), {"--printer", "QRejecting", Pdf()});
    EXPECT_EQ(rejecting.status, 1);
    EXPECT_EQ(rejecting.out, "");
    EXPECT_TRUE(
        Contains(rejecting.err, Text(str::kQueueNotAccepting, {FormatArg::Text("QRejecting")})));
}

TEST_F(QueuesE2E, WaitFollowsTheJobToItsEnd) {
    const std::string completed = Text(str::kJobCompleted);
    const ProgramRun done = RunProgram(Dir(), {"--wait", "--printer", "QIdle", Pdf()});
    EXPECT_EQ(done.status, 0) << done.err;
    EXPECT_TRUE(Contains(done.out, ": " + completed + "\n"));

    // Held past the time given: status 7, the job stays queued.
    const ProgramRun held = RunProgram(Dir(), {"--wait=2", "--printer", "QPaused", Pdf()});
    EXPECT_EQ(held.status, 7) << held.err;
    EXPECT_GE(held.seconds, 2.0);
    EXPECT_TRUE(Contains(held.err, Text(str::kJobPending)));

    // Cancelled by someone else meanwhile: status 1, the change shown once.
    RunCommand("cancel -a QPaused");
    RunRequest request;
    request.args = {"--wait=30", "--printer", "QPaused", Pdf()};
    ProgramProcess waiting(Dir(), request);
    for (int i = 0; i < 100 && RunCommand("lpstat -o QPaused").value_or("").empty(); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    ASSERT_TRUE(RunCommand("cancel -a QPaused"));
    const ProgramRun cancelled = waiting.Finish();
    EXPECT_EQ(cancelled.status, 1) << cancelled.err;
    const std::string word = ": " + Text(str::kJobPending + 4) + "\n";
    EXPECT_TRUE(Contains(cancelled.out, word));
    EXPECT_EQ(cancelled.out.find(word), cancelled.out.rfind(word)) << cancelled.out;
}

TEST_F(QueuesE2E, SilentSchedulerCostsTheListingOneShortWait) {
    LoopbackListener silent(16); // takes connections, never answers
    ScopedEnv server("CUPS_SERVER", silent.Address());
    ScopedEnv timeout("NORVANE_SCHEDULER_TIMEOUT", std::nullopt);
    WriteFile(Dir() / "direct.ini", "[Direct Q]\nDriver=Velmora Q\nPort=file:///dev/null\n");
    ScopedEnv printers("NORVANE_PRINTERS", (Dir() / "direct.ini").string());

    const ProgramRun list = RunProgram(Dir(), {"--list"});
    EXPECT_EQ(list.status, 0) << list.err;
    EXPECT_TRUE(Contains(list.out, "Direct Q"));
    EXPECT_TRUE(Contains(list.err, Text(str::kOnlyDirectPrinters)));
    EXPECT_LT(list.seconds, 4.0); // the lookups' limit, not the jobs' 10 seconds

    ScopedEnv none("NORVANE_PRINTERS", (Dir() / "printers.ini").string());
    const ProgramRun nothing = RunProgram(Dir(), {Pdf()});
    EXPECT_EQ(nothing.status, 3);
    EXPECT_TRUE(Contains(
        nothing.err, Text(str::kSchedulerSilentAt, {FormatArg::Text(silent.Address().c_str())})));
}

} // namespace
} // namespace nv::test
