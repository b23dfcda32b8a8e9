// Direct printers that misbehave (the failures norvane-print meets quickly are driven by the
// hostile suite): no wait outlasts its time limit or a stop request, a pipe whose reader left
// fails the write without ending the process, and a job broken off (even by the end of the
// process) reaches a socket printer as a reset connection, never as a complete job.
#include "platform/spooler/posix/DirectSpooler.h"
#include "support/LoopbackListener.h"
#include "support/ScratchDir.h"

#include <arpa/inet.h>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace nv::platform {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using test::ScratchDir;

constexpr int kShortTimeoutMs = 300;

using Listener = test::LoopbackListener;

// Reads CONNECTION to its end: 0 after a clean close, the errno of a reset otherwise.
int ReadToTheEnd(int connection) {
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::recv(connection, buffer, sizeof buffer, 0);
        if (n == 0) {
            return 0;
        }
        if (n < 0 && errno != EINTR) {
            return errno;
        }
    }
}

class PortFaults : public ::testing::Test {
protected:
    // A direct printer "P" on PORT whose waits give up after TIMEOUTMS.
    std::unique_ptr<IPrinter> Printer(const std::string& port, int timeoutMs) {
        std::ofstream(printers_) << "[P]\nDriver=Q\nPort=" << port << "\n";
        spooler_ = std::make_unique<DirectSpooler>(printers_.string(), timeoutMs);
        return spooler_->OpenPrinter("P");
    }

    // Writes up to 64 MiB in pieces until a write fails; true when one did.
    static bool WriteUntilFailure(IPrintDocument& doc) {
        const std::string piece(1 << 16, 'x');
        for (int i = 0; i < 1024; ++i) {
            if (!WriteAll(doc, piece.data(), static_cast<DWORD>(piece.size()))) {
                return true;
            }
        }
        return false;
    }

    ScratchDir dir_;
    fs::path printers_ = dir_ / "printers.ini";
    std::unique_ptr<DirectSpooler> spooler_;
};

// A printer that takes the connection but never reads: the write that finds no room gives up
// at the time limit, or at once when the caller asks to stop.
TEST_F(PortFaults, SocketWaitsEndAtTheirLimitOrOnAStop) {
    struct Case {
        const char* name;
        int timeoutMs;
        bool stopAfterAMoment; // the caller asks to stop 200 ms into the job
        SpoolError expected;
    };
    const std::vector<Case> cases = {
        {"time limit", kShortTimeoutMs, false, SpoolError::timedOut},
        {"stop requested", kDirectSocketTimeoutMs, true, SpoolError::cancelled},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Listener listener;
        std::thread printer([&] {
            const int connection = listener.Accept();
            std::this_thread::sleep_for(1s);
            ::close(connection);
        });
        const auto start = Clock::now();
        DocInfo info{"a.pdf", std::nullopt};
        if (c.stopAfterAMoment) {
            info.cancelRequested = [start] { return Clock::now() - start > 200ms; };
        }
        auto doc = Printer(listener.Uri(), c.timeoutMs)->StartDocPrinter(info);
        ASSERT_NE(doc, nullptr);
        EXPECT_TRUE(WriteUntilFailure(*doc));
        EXPECT_EQ(doc->LastError(), c.expected);
        EXPECT_LT(Clock::now() - start, 2s);
        doc.reset();
        printer.join();
    }
}

// A job that is never ended reaches the printer as a reset, also when the process sending it
// ends without cancelling it (as on a signal); an ended job closes cleanly.
TEST_F(PortFaults, UnendedSocketJobIsResetEvenWhenTheProcessEnds) {
    struct Case {
        const char* name;
        std::function<void(IPrintDocument&)> finish; // runs in a child process, which then ends
        int expected;                                // how the printer's reading ends
    };
    const std::vector<Case> cases = {
        {"process ends mid-job", [](IPrintDocument&) {}, ECONNRESET},
        {"job ended", [](IPrintDocument& doc) { doc.EndDocPrinter(); }, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Listener listener;
        auto printer = Printer(listener.Uri(), 2000);
        std::atomic<int> ending{-1};
        std::thread reader([&] {
            const int connection = listener.Accept();
            ending = ReadToTheEnd(connection);
            ::close(connection);
        });
        const pid_t child = ::fork();
        if (child == 0) {
            auto doc = printer->StartDocPrinter({"a.pdf", std::nullopt});
            const bool written = doc != nullptr && WriteAll(*doc, "%PDF-1.7\n", 9);
            if (written) {
                c.finish(*doc);
            }
            ::_exit(written ? 0 : 1); // no destructor runs: the document is left as it is
        }
        int status = 0;
        ::waitpid(child, &status, 0);
        EXPECT_EQ(WEXITSTATUS(status), 0);
        reader.join();
        EXPECT_EQ(ending, c.expected);
    }
}

TEST_F(PortFaults, PipeFailuresNameTheirCause) {
    const fs::path fifo = dir_ / "fifo";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const std::string fifoUri = "file://" + fifo.string();
    struct Case {
        const char* name;
        std::string port;
        std::function<int()> reader; // opens the reader end, -1 for none
        bool readerLeaves;           // the reader closes once the document started
        SpoolError expected;
    };
    const auto openReader = [&] { return ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC); };
    const std::vector<Case> cases = {
        {"pipe whose reader never reads", fifoUri, openReader, false, SpoolError::timedOut},
        {"pipe whose reader went away", fifoUri, openReader, true, SpoolError::reset},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const int reader = c.reader();
        const auto start = Clock::now();
        auto doc = Printer(c.port, kShortTimeoutMs)->StartDocPrinter({"a.pdf", std::nullopt});
        ASSERT_NE(doc, nullptr);
        if (c.readerLeaves) {
            ::close(reader);
        }
        EXPECT_TRUE(WriteUntilFailure(*doc));
        EXPECT_EQ(doc->LastError(), c.expected);
        EXPECT_LT(Clock::now() - start, 2s);
        if (reader >= 0 && !c.readerLeaves) {
            ::close(reader);
        }
    }
}

} // namespace
} // namespace nv::platform
