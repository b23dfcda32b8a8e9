// norvane-print against documents and printers that work against it, run from a copy of the
// program directory on direct printers of the test's own: a document carrying the PJL exit
// sequence, printers that refuse, reset, fill up or never read, and signals arriving while a
// job is sent. Each case asserts the exit status (or the signal that ended the run), the
// message, and what the printer received.
#include "platform/modules/Modules.h"
#include "resources/ResourceIds.h"
#include "support/LoopbackListener.h"
#include "support/ProgramCopy.h"
#include "support/ScratchDir.h"

#include <arpa/inet.h>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <netinet/in.h>
#include <sstream>
#include <string>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace nv::test {
namespace {

namespace fs = std::filesystem;
namespace str = res::str;
using namespace std::chrono_literals;

const std::string kUel = "\x1b%-12345X";

// A PDF of SIZE bytes (at least 16): its header, filler lines, and its end marker.
void WritePdf(const fs::path& path, std::size_t size, std::size_t uelAt = 0) {
    std::string pdf = "%PDF-1.4\n";
    const std::string line = "% filler line of the hostile suite\n";
    while (pdf.size() + line.size() + 6 <= size) {
        pdf += line;
    }
    pdf.append(size - 6 - pdf.size(), ' ');
    pdf += "%%EOF\n";
    if (uelAt != 0) {
        pdf.replace(uelAt, kUel.size(), kUel);
    }
    std::ofstream(path, std::ios::binary | std::ios::trunc) << pdf;
}

// A loopback printer of the test's making. It accepts one connection and reads what comes,
// stopping after STALLAFTER bytes until Resume() when asked to (a printer that stops taking
// data); RESETATONCE makes it break every connection off as soon as it is made.
class TestPrinter {
public:
    explicit TestPrinter(std::size_t stallAfter = SIZE_MAX, bool resetAtOnce = false)
        : thread_([this, stallAfter, resetAtOnce] { Serve(stallAfter, resetAtOnce); }) {}
    ~TestPrinter() {
        Resume();
        ::shutdown(listener_.Fd(), SHUT_RDWR);
        thread_.join();
    }
    TestPrinter(const TestPrinter&) = delete;
    TestPrinter& operator=(const TestPrinter&) = delete;

    std::string Uri() const { return listener_.Uri(); }
    bool Connected() const { return connected_; }
    bool Stalled() const { return stalled_; }
    void Resume() { resume_ = true; }
    std::size_t Received() const { return received_; }
    // Waits for the connection to end; 0 for a clean close, the errno of a reset, -1 when it
    // did not end in time (or never began).
    int Ending(std::chrono::seconds timeout = 20s) const {
        const auto end = std::chrono::steady_clock::now() + timeout;
        while (ending_ == -1 && std::chrono::steady_clock::now() < end) {
            std::this_thread::sleep_for(10ms);
        }
        return ending_;
    }

private:
    void Serve(std::size_t stallAfter, bool resetAtOnce) {
        const int connection = listener_.Accept();
        if (connection < 0) {
            return;
        }
        connected_ = true;
        if (resetAtOnce) {
            const linger reset{1, 0};
            ::setsockopt(connection, SOL_SOCKET, SO_LINGER, &reset, sizeof reset);
            ::close(connection);
            return;
        }
        std::vector<char> buffer(1 << 16);
        for (;;) {
            if (received_ >= stallAfter && !resume_) {
                stalled_ = true;
                std::this_thread::sleep_for(10ms);
                continue;
            }
            const ssize_t n = ::recv(connection, buffer.data(), buffer.size(), 0);
            if (n > 0) {
                received_ += static_cast<std::size_t>(n);
            } else if (n == 0) {
                ending_ = 0;
                break;
            } else if (errno != EINTR) {
                ending_ = errno;
                break;
            }
        }
        ::close(connection);
    }

    LoopbackListener listener_;
    std::atomic<bool> connected_{false};
    std::atomic<bool> stalled_{false};
    std::atomic<bool> resume_{false};
    std::atomic<std::size_t> received_{0};
    std::atomic<int> ending_{-1};
    std::thread thread_; // last: it starts serving once everything else is made
};

class SendHostile : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        scratch_ = new ScratchDir();
        PrepareProgramFolder(Dir());
        UseEnglishLibrary(Dir() / "program");
        std::ofstream(Dir() / "drivers" / "nvhostile.cap")
            << "[Capability]\nVelmora Hostile=M\n[M]\nDirectPrint=1\nDPTray=3\nJobInfoDll=No\n"
               "TrayCom=Trays\nPDFVersion=1.7\n[Trays]\nAutoTray=auto\n";
        ::setenv("NORVANE_REGISTRY", (Dir() / "registry").c_str(), 1);
    }
    static void TearDownTestSuite() {
        delete scratch_;
        scratch_ = nullptr;
    }

    static const fs::path& Dir() { return scratch_->Path(); }
    static std::string Text(UINT id) {
        return platform::ResourceModule::Load((Dir() / "program" / "Norvres.dll").string())
            ->LoadText(id);
    }
    // The one direct printer "H", whose jobs go to PORT.
    static void UsePort(const std::string& port) {
        std::ofstream(Dir() / "printers.ini", std::ios::trunc)
            << "[H]\nDriver=Velmora Hostile\nPort=" << port << "\n";
    }

    // Starts norvane-print on PDF; a run not ended within 20 s is killed and counts as hung.
    static std::unique_ptr<ProgramProcess> Start(const fs::path& pdf) {
        RunRequest request;
        request.args = {"--printer", "H", "--quiet", pdf.string()};
        request.limit = 20s;
        return std::make_unique<ProgramProcess>(Dir(), request);
    }

    static ScratchDir* scratch_;
};

ScratchDir* SendHostile::scratch_ = nullptr;

// Failures of the printer path: each ends the run with status 1 and the message that names
// its cause, in time, and never with part of a job at the printer.
TEST_F(SendHostile, SendFailuresAreNamedAndLeaveNothingPartial) {
    struct Case {
        const char* name;
        std::size_t size;      // the document's size
        std::size_t uelAt;     // where a UEL is planted, 0 for nowhere
        std::string port;      // the printer's port; empty: the test printer's socket
        bool resetAtOnce;      // the test printer breaks the connection off
        UINT message;          // the message expected
        bool printerConnected; // whether the printer may see a connection at all
    };
    const fs::path fifo = Dir() / "fifo";
    ::mkfifo(fifo.c_str(), 0600);
    std::string closedPort;
    {
        TestPrinter gone;
        closedPort = gone.Uri();
    }
    const std::vector<Case> cases = {
        {"UEL 1.2 MB into the document", 3 << 20, 1200000, "", false, str::kDocumentHoldsUel,
         false},
        {"nobody listens", 4096, 0, closedPort, false, str::kPrinterRefused, false},
        {"printer resets the connection", 20 << 20, 0, "", true, str::kPrinterReset, true},
        {"file port on a full device", 1 << 20, 0, "file:///dev/full", false, str::kDiskFull,
         false},
        {"file port on a pipe nobody reads", 4096, 0, "file://" + fifo.string(), false,
         str::kPrinterRefused, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.port == "file:///dev/full" && !fs::exists("/dev/full")) {
            continue;
        }
        TestPrinter printer(SIZE_MAX, c.resetAtOnce);
        UsePort(c.port.empty() ? printer.Uri() : c.port);
        WritePdf(Dir() / "doc.pdf", c.size, c.uelAt);
        const ProgramRun outcome = Start(Dir() / "doc.pdf")->Finish();
        EXPECT_FALSE(outcome.hung);
        EXPECT_EQ(outcome.status, 1) << outcome.err;
        EXPECT_NE(outcome.err.find(Text(c.message)), std::string::npos) << outcome.err;
        if (!c.printerConnected) {
            std::this_thread::sleep_for(100ms);
            EXPECT_FALSE(printer.Connected());
            EXPECT_EQ(printer.Received(), 0u);
        }
    }
}

// SIGINT, SIGTERM or SIGHUP while a job is sent: the run ends by that signal after aborting
// the job, so a socket printer sees the connection reset (not closed as if the job were
// whole) and a file port leaves neither its temporary file nor a target behind.
TEST_F(SendHostile, SignalsMidSendAbortTheJob) {
    for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
        SCOPED_TRACE(strsignal(signal));
        // A socket printer that stops reading after 2 MB of a 20 MB job.
        TestPrinter printer(2 << 20);
        UsePort(printer.Uri());
        WritePdf(Dir() / "doc.pdf", 20 << 20);
        const auto run = Start(Dir() / "doc.pdf");
        for (int i = 0; i < 2000 && !printer.Stalled(); ++i) {
            std::this_thread::sleep_for(5ms);
        }
        ASSERT_TRUE(printer.Stalled());
        std::this_thread::sleep_for(300ms); // the sender fills the connection and waits
        ::kill(run->Pid(), signal);
        const ProgramRun outcome = run->Finish();
        EXPECT_FALSE(outcome.hung);
        EXPECT_EQ(outcome.signal, signal) << outcome.err;
        EXPECT_NE(outcome.err.find("interrupted"), std::string::npos) << outcome.err;
        printer.Resume();
        EXPECT_EQ(printer.Ending(), ECONNRESET);
        EXPECT_LT(printer.Received(), std::size_t{20} << 20);
    }

    // A file port: the signal comes as soon as the temporary file appears.
    const fs::path out = Dir() / "out";
    fs::create_directories(out);
    UsePort("file://" + (out / "job.prn").string());
    WritePdf(Dir() / "big.pdf", 160 << 20);
    const auto run = Start(Dir() / "big.pdf");
    bool seen = false;
    for (int i = 0; i < 20000 && !seen; ++i) {
        seen = fs::directory_iterator(out) != fs::directory_iterator();
        if (!seen) {
            std::this_thread::sleep_for(1ms);
        }
    }
    ASSERT_TRUE(seen);
    ::kill(run->Pid(), SIGTERM);
    const ProgramRun outcome = run->Finish();
    EXPECT_EQ(outcome.signal, SIGTERM) << outcome.err;
    EXPECT_TRUE(fs::directory_iterator(out) == fs::directory_iterator());
    fs::remove(Dir() / "big.pdf");
}

} // namespace
} // namespace nv::test
