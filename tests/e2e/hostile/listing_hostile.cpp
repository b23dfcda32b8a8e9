// Printer listing under hostile configuration and a hostile scheduler: a scheduler that accepts
// connections and never answers, printers files that are not regular files, and a driver name
// holding a backslash. Each case runs the copied norvane-print with a deadline, so a wait
// without end fails the case instead of holding up the suite.
#include "platform/modules/Modules.h"
#include "support/LoopbackListener.h"
#include "support/ProgramCopy.h"
#include "support/ScratchDir.h"

#include <arpa/inet.h>
#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <sstream>
#include <string>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <utility>
#include <vector>

namespace nv::test {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

const std::string kUel = "\x1b%-12345X";
// Longer than any run may take: a run still going then is a wait without end.
constexpr auto kDeadline = std::chrono::seconds(40);

using Result = ProgramRun;

// A scheduler that takes every connection and never says a word.
class SilentScheduler {
public:
    SilentScheduler() : thread_([this] { Accept(); }) {}
    ~SilentScheduler() {
        stop_ = true;
        thread_.join();
        for (int fd : accepted_) {
            ::close(fd);
        }
    }
    SilentScheduler(const SilentScheduler&) = delete;
    SilentScheduler& operator=(const SilentScheduler&) = delete;

    std::string Address() const { return listener_.Address(); }
    int Connections() const { return connections_; }

private:
    void Accept() {
        while (!stop_) {
            pollfd p{listener_.Fd(), POLLIN, 0};
            if (::poll(&p, 1, 50) > 0) {
                const int fd = listener_.Accept();
                if (fd >= 0) {
                    accepted_.push_back(fd);
                    ++connections_;
                }
            }
        }
    }

    LoopbackListener listener_{64};
    std::vector<int> accepted_;
    std::atomic<int> connections_{0};
    std::atomic<bool> stop_{false};
    std::thread thread_; // last: it starts accepting once everything else is made
};

class ListingHostile : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        scratch_ = new ScratchDir();
        PrepareProgramFolder(Dir());
        UseEnglishLibrary(Dir() / "program");
        fs::create_directories(Dir() / "out");
        // One type-0 model whose job-info library names the printer in the header, offered to
        // a plain driver name and to one holding a backslash.
        WriteFile(Dir() / "drivers" / "nvtest.cap",
                  "[Capability]\nVelmora D=M\nVel\\Q 4200=M\n[M]\nDirectPrint=0x38F\nDPTray=0\n"
                  "JobInfoDll=nvji.dll\nTrayCom=Trays\nPDFVersion=1.7\n[Trays]\nAutoTray=0\n");
        fs::copy_file(NV_JOB_INFO_LIBRARY, Dir() / "drivers" / "nvji.so");
        WriteFile(Dir() / "printers.ini", "[Direct]\nDriver=Velmora D\nPort=file://" +
                                              (Dir() / "out" / "direct.prn").string() +
                                              "\n[Backslash]\nDriver=Vel\\Q 4200\nPort=file://" +
                                              (Dir() / "out" / "backslash.prn").string() + "\n");
        WriteFile(Dir() / "doc.pdf", "%PDF-1.4\n1 0 obj << >> endobj\ntrailer\n%%EOF\n");
        ::setenv("HOME", Dir().c_str(), 1);
        ::unsetenv("NORVANE_SCHEDULER_TIMEOUT");
    }
    static void TearDownTestSuite() {
        delete scratch_;
        scratch_ = nullptr;
    }
    void SetUp() override {
        ++runs_;
        ::setenv("NORVANE_REGISTRY", (Dir() / ("registry-" + std::to_string(runs_))).c_str(), 1);
        ::setenv("NORVANE_PRINTERS", (Dir() / "printers.ini").c_str(), 1);
        ::setenv("CUPS_SERVER", (Dir() / "no-scheduler.sock").c_str(), 1);
    }

    static const fs::path& Dir() { return scratch_->Path(); }
    static std::string Pdf() { return (Dir() / "doc.pdf").string(); }
    static std::string Text(UINT id) {
        return platform::ResourceModule::Load((Dir() / "program" / "Norvres.dll").string())
            ->LoadText(id);
    }

    // Runs the copied norvane-print with ARGS; kills it at the deadline.
    static Result Run(std::vector<std::string> args) {
        RunRequest request;
        request.args = std::move(args);
        request.limit = kDeadline;
        return RunProgram(Dir(), request);
    }

    static ScratchDir* scratch_;
    static int runs_;
};

ScratchDir* ListingHostile::scratch_ = nullptr;
int ListingHostile::runs_ = 0;

// A scheduler that accepts and never answers used to hold every run for good, even one that
// only touches direct printers: now a listing waits on it once, for the time limit, and a run
// whose printer is a direct printer never connects to it.
TEST_F(ListingHostile, SilentSchedulerHoldsUpNoDirectPrinter) {
    const fs::path dry = Dir() / "dry.prn";
    const fs::path direct = Dir() / "out" / "direct.prn";
    struct Case {
        const char* name;
        std::vector<std::string> args;
        fs::path written;   // a file the run writes, or empty
        std::string output; // text standard output holds
        bool asked;         // whether the scheduler is connected to
    };
    const std::vector<Case> cases = {
        {"list", {"--list"}, {}, "Direct  (selected)\n", true},
        {"dry run", {"--printer", "Direct", "--dry-run", dry.string(), Pdf()}, dry, "", false},
        {"print", {"--printer", "Backslash", Pdf()}, Dir() / "out" / "backslash.prn", "", false},
        {"print, another", {"--printer", "Direct", Pdf()}, direct, "", false},
    };
    ::setenv("NORVANE_SCHEDULER_TIMEOUT", "1", 1);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SilentScheduler scheduler;
        ::setenv("CUPS_SERVER", scheduler.Address().c_str(), 1);
        if (!c.written.empty()) {
            fs::remove(c.written);
        }
        const Result result = Run(c.args);
        EXPECT_FALSE(result.hung);
        EXPECT_EQ(result.status, 0) << result.err;
        EXPECT_LT(result.seconds, 15.0); // a few one-second waits at most
        EXPECT_EQ(scheduler.Connections() >= 1, c.asked);
        EXPECT_NE(result.out.find(c.output), std::string::npos) << result.out;
        if (!c.written.empty()) {
            EXPECT_EQ(ReadFile(c.written).rfind(kUel, 0), 0u);
        }
    }
    ::unsetenv("NORVANE_SCHEDULER_TIMEOUT");
}

// A printers file that is a FIFO nobody writes to used to block the run for good; a device or
// a folder is no configuration either. None of them is read: no printer is installed.
TEST_F(ListingHostile, PrintersFileThatIsNoRegularFileListsNoPrinter) {
    const fs::path fifo = Dir() / "printers.fifo";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    fs::create_directories(Dir() / "printers.folder");
    for (const fs::path& path : {fifo, fs::path("/dev/zero"), Dir() / "printers.folder"}) {
        SCOPED_TRACE(path.string());
        ::setenv("NORVANE_PRINTERS", path.c_str(), 1);
        const Result result = Run({"--list"});
        EXPECT_FALSE(result.hung);
        EXPECT_EQ(result.status, 3);
        EXPECT_NE(result.err.find(Text(1510)), std::string::npos) << result.err;
        EXPECT_EQ(result.out, "");
    }
}

// The job-info library lies in the driver folder; a driver name holding a backslash used to
// move that folder to "<drivers>/Vel\", so the library was not found and the header lost the
// command it gives.
TEST_F(ListingHostile, DriverNameWithBackslashKeepsTheDriverFolder) {
    for (const char* printer : {"Direct", "Backslash"}) {
        SCOPED_TRACE(printer);
        const fs::path dry = Dir() / "dry.prn";
        fs::remove(dry);
        const Result result = Run({"--printer", printer, "--dry-run", dry.string(), Pdf()});
        ASSERT_EQ(result.status, 0) << result.err;
        const std::string stream = ReadFile(dry);
        EXPECT_NE(stream.find("@PJL COMMENT " + std::string(printer) + "|" +
                              (Dir() / "drivers" / "nvtest.cap").string() + "|doc.pdf|"),
                  std::string::npos)
            << stream.substr(0, 400);
    }
}

} // namespace
} // namespace nv::test
