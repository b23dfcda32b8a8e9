// Where a job's bytes go besides the spooler: the dry run's file, and the progress a view
// shows, which must end however the job ends.
#include "app/JobProgressRelay.h"
#include "cli/DryRunSpooler.h"
#include "cli/TerminalProgress.h"
#include "platform/spooler/memory/MemorySpooler.h"
#include "support/TempDir.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>

namespace nv::cli {
namespace {

namespace fs = std::filesystem;

TEST(DryRunTest, FileHoldsOnlyWholeJobs) {
    test::TempDir dir;
    const std::string path = (dir.Path() / "job.prn").string();
    {
        auto doc = StartFileDocument(path);
        ASSERT_NE(doc, nullptr);
        DWORD written = 0;
        EXPECT_TRUE(doc->WritePrinter("abc", 3, &written));
        EXPECT_EQ(written, 3u);
        // Destroyed before it ended: nothing is left, not even the part written.
    }
    EXPECT_FALSE(fs::exists(path));
    EXPECT_FALSE(fs::exists(path + ".part"));

    auto doc = StartFileDocument(path);
    ASSERT_NE(doc, nullptr);
    DWORD written = 0;
    EXPECT_TRUE(doc->WritePrinter("\x1b%-12345X", 9, &written));
    EXPECT_TRUE(doc->WritePrinter("\0\xff", 2, &written));
    EXPECT_TRUE(doc->EndDocPrinter());
    EXPECT_FALSE(doc->WritePrinter("x", 1, &written));
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    EXPECT_EQ(bytes.str(), std::string("\x1b%-12345X\0\xff", 11));
    EXPECT_FALSE(fs::exists(path + ".part"));

    EXPECT_EQ(StartFileDocument((dir.Path() / "no" / "such" / "dir.prn").string()), nullptr);
}

TEST(DryRunTest, PrintersComeFromTheRealSpooler) {
    test::TempDir dir;
    platform::MemorySpooler real;
    real.AddPrinter({"Office", "socket://x", "Model"}, {"Model", "/d/Model", {"/d/nvm.cap"}});
    real.SetDefaultPrinter("Office");
    DryRunSpooler dry(real, (dir.Path() / "out.prn").string());
    EXPECT_EQ(dry.EnumPrinters().size(), 1u);
    EXPECT_EQ(dry.GetDefaultPrinter(), "Office");
    EXPECT_EQ(dry.OpenPrinter("Missing"), nullptr);
    auto printer = dry.OpenPrinter("Office");
    ASSERT_NE(printer, nullptr);
    platform::DriverInfo driver;
    EXPECT_TRUE(printer->GetPrinterDriver(&driver));
    EXPECT_EQ(driver.dependentFiles, std::vector<CString>{"/d/nvm.cap"});
    auto doc = printer->StartDocPrinter({"a.pdf", std::nullopt});
    ASSERT_NE(doc, nullptr);
    EXPECT_TRUE(doc->EndDocPrinter());
    EXPECT_TRUE(real.Jobs().empty());
    EXPECT_TRUE(fs::exists(dir.Path() / "out.prn"));
}

class RecordingProgress final : public platform::IJobProgress {
public:
    void Started(std::uint64_t total) override { events += "S" + std::to_string(total) + " "; }
    void Advanced(std::uint64_t sent) override { events += "A" + std::to_string(sent) + " "; }
    void Finished() override { events += "F "; }
    std::string events;
};

TEST(JobProgressRelayTest, EveryJobEndsWhenItsDocumentIsReleased) {
    platform::MemorySpooler real;
    real.AddPrinter({"Office", "socket://x", "Model"}, {"Model", "/d/Model", {}});
    RecordingProgress progress;
    JobProgressRelay relay(real, progress);
    auto hook = relay.Hook();
    auto printer = relay.Spooler().OpenPrinter("Office");
    ASSERT_NE(printer, nullptr);
    {
        // A job that stops halfway, without ending its document.
        auto doc = printer->StartDocPrinter({"a.pdf", std::nullopt});
        hook(10, 30);
        hook(20, 30);
    }
    EXPECT_EQ(progress.events, "S30 A10 A20 F ");
    progress.events.clear();
    {
        auto doc = printer->StartDocPrinter({"b.pdf", std::nullopt});
        hook(5, 5);
        EXPECT_TRUE(doc->EndDocPrinter());
    }
    EXPECT_EQ(progress.events, "S5 A5 F ");
    progress.events.clear();
    {
        // A job that never got to the document's bytes reports nothing.
        auto doc = printer->StartDocPrinter({"c.pdf", std::nullopt});
    }
    EXPECT_EQ(progress.events, "");
    EXPECT_EQ(real.Jobs().size(), 3u);
}

TEST(TerminalProgressTest, LineShowsShareAndSize) {
    EXPECT_EQ(TerminalProgress::Line("a.pdf", 0, 100u << 20), "a.pdf:   0% (0.0 of 100.0 MiB)");
    EXPECT_EQ(TerminalProgress::Line("a.pdf", 50u << 20, 100u << 20),
              "a.pdf:  50% (50.0 of 100.0 MiB)");
    EXPECT_EQ(TerminalProgress::Line("a.pdf", 200u << 20, 100u << 20),
              "a.pdf: 100% (100.0 of 100.0 MiB)");
    EXPECT_EQ(TerminalProgress::Line("a.pdf", 3u << 20, 0), "a.pdf: 3.0 MiB sent");
}

} // namespace
} // namespace nv::cli
