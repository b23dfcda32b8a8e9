// The direct-printer backend: the printers file, the driver directory, and documents sent to a
// file port and to a virtual AppSocket printer.
#include "platform/spooler/posix/DirectSpooler.h"
#include "platform/spooler/posix/DriverDirectory.h"
#include "platform/spooler/posix/PrintersFile.h"
#include "support/LoopbackListener.h"
#include "support/ScratchDir.h"
#include "support/VirtualPrinterProcess.h"

#include <algorithm>
#include <fstream>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <thread>
#include <tuple>
#include <unistd.h>
#include <utility>

namespace nv::platform {
namespace {

namespace fs = std::filesystem;
using test::ReadWholeFile;
using test::ScopedEnv;
using test::ScratchDir;

void WriteFile(const fs::path& path, const std::string& text) {
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << text;
}

struct ParseCase {
    const char* name;
    const char* text;
    std::vector<DirectPrinterEntry> expected;
};

void PrintTo(const ParseCase& c, std::ostream* os) {
    *os << c.name;
}

class PrintersFileTest : public ::testing::TestWithParam<ParseCase> {};

TEST_P(PrintersFileTest, Parses) {
    const auto entries = ParsePrintersFile(GetParam().text);
    ASSERT_EQ(entries.size(), GetParam().expected.size());
    for (std::size_t i = 0; i < entries.size(); ++i) {
        EXPECT_EQ(entries[i].name, GetParam().expected[i].name);
        EXPECT_EQ(entries[i].driver, GetParam().expected[i].driver);
        EXPECT_EQ(entries[i].port, GetParam().expected[i].port);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PrintersFileTest,
    ::testing::Values(
        ParseCase{"InFileOrder",
                  "[Zeta]\nDriver=Q 1\nPort=socket://h:9100\n[Alpha]\r\nPort = file:///tmp/x \r\n"
                  "Driver = Q 2\r\n",
                  {{"Zeta", "Q 1", "socket://h:9100"}, {"Alpha", "Q 2", "file:///tmp/x"}}},
        ParseCase{"KeysIgnoreCaseFirstWins",
                  "[P]\nPORT=socket://a\nport=socket://b\ndriver=D\nDRIVER=E\n",
                  {{"P", "D", "socket://a"}}},
        ParseCase{"FirstSectionOfANameWins",
                  "[P]\nPort=socket://a\n[P]\nPort=socket://b\n",
                  {{"P", "", "socket://a"}}},
        ParseCase{"SectionWithoutPortLeftOut",
                  "[NoPort]\nDriver=D\n[Ok]\nPort=socket://a\n",
                  {{"Ok", "", "socket://a"}}},
        ParseCase{"CommentsBomAndStrayLines",
                  "\xEF\xBB\xBFPort=socket://orphan\n; [Hidden]\n# x\n[ P 1 ]\nnonsense\n"
                  "Port=socket://a=b\n[Unclosed\nPort=socket://c\n",
                  {{"P 1", "", "socket://a=b"}}},
        ParseCase{"EmptyNameLeftOut", "[]\nPort=socket://a\n", {}}, ParseCase{"Empty", "", {}}),
    [](const auto& param) { return std::string(param.param.name); });

// Up to the size bound every printer is listed; past it none is listed with a value cut short,
// and the rest are counted, in memory and when read from a file alike.
TEST(PrintersFile, ListsUpToTheSizeBoundAndCountsTheRest) {
    const std::string port = "socket://printer.example:9100/queue";
    for (const std::size_t printers : {3000u, 30000u}) {
        SCOPED_TRACE(printers);
        std::string text;
        for (std::size_t i = 0; i < printers; ++i) {
            text += "[Printer " + std::to_string(i) + "]\nDriver=D\nPort=" + port + "\n";
        }
        const bool pastBound = text.size() > kMaxPrintersFileBytes;
        ASSERT_EQ(pastBound, printers == 30000u);
        ScratchDir dir;
        WriteFile(dir / "printers.ini", text);
        DirectSpooler spooler((dir / "printers.ini").string());
        const std::vector<PrinterInfo> listed = spooler.EnumPrinters();
        const PrintersFileContent parsed = ParsePrintersText(text);
        EXPECT_EQ(listed.size(), parsed.printers.size());
        EXPECT_EQ(listed.size() + parsed.leftOut, printers);
        EXPECT_FALSE(parsed.leftOutAtLeast);
        for (const PrinterInfo& printer : listed) {
            ASSERT_EQ(printer.port, port) << printer.name;
        }
        ASSERT_EQ(spooler.LeftOut().has_value(), pastBound);
        if (pastBound) {
            EXPECT_EQ(spooler.LeftOut()->count, parsed.leftOut);
            EXPECT_EQ(spooler.LeftOut()->source, (dir / "printers.ini").string());
            EXPECT_EQ(spooler.FindPrinter(listed.back().name)->port, port);
            EXPECT_EQ(spooler.FindPrinter("Printer " + std::to_string(printers - 1)), std::nullopt);
        }
    }
}

TEST(PrintersFile, OnlyARegularFileIsReadAsConfiguration) {
    ScratchDir dir;
    WriteFile(dir / "printers.ini", "[P]\nPort=socket://h\n");
    ASSERT_EQ(::mkfifo((dir / "fifo").c_str(), 0600), 0); // nobody ever writes to it
    fs::create_directories(dir / "folder");
    fs::create_symlink(dir / "printers.ini", dir / "link");
    const std::vector<std::pair<fs::path, std::size_t>> cases = {
        {dir / "printers.ini", 1}, {dir / "link", 1}, {dir / "fifo", 0},
        {dir / "folder", 0},       {"/dev/zero", 0},  {dir / "missing", 0},
    };
    for (const auto& [path, printers] : cases) {
        SCOPED_TRACE(path.string());
        EXPECT_EQ(ReadPrintersFile(path.string()).size(), printers);
        EXPECT_EQ(DirectSpooler(path.string()).EnumPrinters().size(), printers);
        PrintersFileCache cache;
        EXPECT_EQ(cache.Read(path.string()).printers.size(), printers);
    }
}

TEST(DriverDirectory, TheRecordNamesTheFolderWhateverTheDriverName) {
    ScratchDir dir;
    ScopedEnv driverDir("NORVANE_DRIVER_DIR", dir.Path().string());
    for (const char* name :
         {"Velmora Quillet", "Vel\\Quillet 4200", "A/B", "x\\", "\\\\server\\q"}) {
        SCOPED_TRACE(name);
        DriverInfo info;
        ASSERT_EQ(ReadDriverRecord(name, &info), TRUE);
        EXPECT_EQ(info.directory, dir.Path().string() + "/");
        EXPECT_EQ(info.driverPath.rfind(info.directory, 0), 0u);
    }
}

TEST(DriverDirectory, FirstExistingFolderAndItsRegularFilesSortedByteWise) {
    ScratchDir dir;
    const fs::path over = dir / "override";
    const fs::path user = dir / "data/velmora-quillet/drivers";
    const fs::path system = dir / "sys2/velmora-quillet/drivers";
    WriteFile(user / "nvb.cap", "");
    WriteFile(user / "NVA.CAP", "");
    WriteFile(user / "a b.so", "");
    fs::create_directories(user / "subdir");
    WriteFile(system / "nvsys.cap", "");
    fs::create_directories(over);

    ScopedEnv home("HOME", (dir / "home").string());
    ScopedEnv dataDirs("XDG_DATA_DIRS",
                       (dir / "sys1").string() + ":relative:" + (dir / "sys2").string());
    DriverInfo info;
    {
        ScopedEnv driverDir("NORVANE_DRIVER_DIR", over.string() + "/");
        ScopedEnv dataHome("XDG_DATA_HOME", (dir / "data").string());
        ASSERT_EQ(ReadDriverRecord("Quillet A/B", &info), TRUE);
        EXPECT_EQ(info.name, "Quillet A/B");
        EXPECT_EQ(info.driverPath, over.string() + "/Quillet A_B");
        EXPECT_TRUE(info.dependentFiles.empty());
    }
    {
        ScopedEnv driverDir("NORVANE_DRIVER_DIR", (dir / "missing").string());
        ScopedEnv dataHome("XDG_DATA_HOME", (dir / "data").string());
        ASSERT_EQ(ReadDriverRecord("Q", &info), TRUE);
        EXPECT_EQ(info.dependentFiles,
                  (std::vector<CString>{(user / "NVA.CAP").string(), (user / "a b.so").string(),
                                        (user / "nvb.cap").string()}));
    }
    {
        ScopedEnv driverDir("NORVANE_DRIVER_DIR", std::nullopt);
        ScopedEnv dataHome("XDG_DATA_HOME", "relative/ignored");
        ASSERT_EQ(ReadDriverRecord("Q", &info), TRUE);
        EXPECT_EQ(info.dependentFiles, (std::vector<CString>{(system / "nvsys.cap").string()}));
        EXPECT_EQ(*FindDriverDirectory(), system.string());
    }
    {
        ScopedEnv driverDir("NORVANE_DRIVER_DIR", std::nullopt);
        ScopedEnv dataHome("XDG_DATA_HOME", std::nullopt);
        ScopedEnv noDirs("XDG_DATA_DIRS", (dir / "none").string());
        DriverInfo untouched{"keep", "", {}};
        EXPECT_EQ(ReadDriverRecord("Q", &untouched), FALSE);
        EXPECT_EQ(untouched.name, "keep");
    }
}

// A cache reads the folder once: a file added later is not seen through it.
TEST(DriverDirectory, ACacheReadsTheFolderOnce) {
    ScratchDir dir;
    WriteFile(dir.Path() / "drivers/nva.cap", "");
    ScopedEnv driverDir("NORVANE_DRIVER_DIR", (dir.Path() / "drivers").string());
    DriverDirectoryCache cache;
    DriverInfo first, second, fresh;
    ASSERT_EQ(cache.Read("Q", &first), TRUE);
    WriteFile(dir.Path() / "drivers/nvb.cap", "");
    ASSERT_EQ(cache.Read("R", &second), TRUE);
    ASSERT_EQ(ReadDriverRecord("R", &fresh), TRUE);
    EXPECT_EQ(second.dependentFiles, first.dependentFiles);
    EXPECT_EQ(second.name, "R");
    EXPECT_EQ(fresh.dependentFiles.size(), 2u);
}

class DirectSpoolerTest : public ::testing::Test {
protected:
    void SetUp() override {
        WriteFile(dir_ / "drivers/nvq.cap", "");
        WriteFile(printers_, "[Files]\nDriver=Quillet F\nPort=file://" +
                                 (dir_ / "out/job.prn").string() +
                                 "\n[Nowhere]\nDriver=Quillet N\nPort=socket://127.0.0.1:1\n"
                                 "[Bad]\nPort=lpt1:\n[BadFile]\nPort=file://relative/x\n");
        fs::create_directories(dir_ / "out");
    }

    ScratchDir dir_;
    fs::path printers_ = dir_ / "printers.ini";
    ScopedEnv driverDir_{"NORVANE_DRIVER_DIR", (dir_ / "drivers").string()};
};

TEST_F(DirectSpoolerTest, ListsAndOpensThePrintersOfItsFile) {
    DirectSpooler spooler(printers_.string());
    const auto printers = spooler.EnumPrinters();
    ASSERT_EQ(printers.size(), 4u);
    EXPECT_EQ(printers[0].name, "Files");
    EXPECT_EQ(printers[1].driver, "Quillet N");
    EXPECT_EQ(printers[1].port, "socket://127.0.0.1:1");
    EXPECT_EQ(spooler.GetDefaultPrinter(), "");
    EXPECT_EQ(spooler.OpenPrinter("files"), nullptr);
    EXPECT_EQ(spooler.OpenPrinter("Missing"), nullptr);

    auto printer = spooler.OpenPrinter("Nowhere");
    ASSERT_NE(printer, nullptr);
    DriverInfo info;
    ASSERT_EQ(printer->GetPrinterDriver(&info), TRUE);
    EXPECT_EQ(info.name, "Quillet N");
    EXPECT_EQ(info.dependentFiles, (std::vector<CString>{(dir_ / "drivers/nvq.cap").string()}));
    // Nothing listens on port 1, and malformed ports never start a document.
    EXPECT_EQ(printer->StartDocPrinter({"a.pdf", std::nullopt}), nullptr);
    EXPECT_EQ(spooler.OpenPrinter("Bad")->StartDocPrinter({"a.pdf", std::nullopt}), nullptr);
    EXPECT_EQ(spooler.OpenPrinter("BadFile")->StartDocPrinter({"a.pdf", std::nullopt}), nullptr);
}

// A host name that does not resolve is told apart from a printer that refuses.
TEST_F(DirectSpoolerTest, AnUnknownHostIsItsOwnFailure) {
    WriteFile(printers_, "[Gone]\nPort=socket://no-such-printer.invalid:9100\n"
                         "[Nowhere]\nPort=socket://127.0.0.1:1\n");
    DirectSpooler spooler(printers_.string());
    for (const auto& [name, error] :
         {std::pair{"Gone", SpoolError::hostUnknown}, std::pair{"Nowhere", SpoolError::refused}}) {
        auto printer = spooler.OpenPrinter(name);
        ASSERT_NE(printer, nullptr) << name;
        EXPECT_EQ(printer->StartDocPrinter({"a.pdf", std::nullopt}), nullptr);
        EXPECT_EQ(printer->LastError(), error) << name;
    }
}

TEST_F(DirectSpoolerTest, UserFileComesFirstAndTheOverrideReplacesBoth) {
    ScratchDir home;
    WriteFile(home / "config/velmora-quillet/printers.ini",
              "[Mine]\nPort=socket://m\n[Files]\nPort=socket://user\n");
    ScopedEnv config("XDG_CONFIG_HOME", (home / "config").string());
    {
        ScopedEnv none("NORVANE_PRINTERS", std::nullopt);
        const auto printers = DirectSpooler().EnumPrinters();
        ASSERT_GE(printers.size(), 2u);
        EXPECT_EQ(printers[0].name, "Mine");
        EXPECT_EQ(printers[1].port, "socket://user");
    }
    {
        ScopedEnv overridden("NORVANE_PRINTERS", printers_.string());
        EXPECT_EQ(DirectSpooler().EnumPrinters().size(), 4u);
    }
}

TEST_F(DirectSpoolerTest, AnEditOfThePrintersFileIsSeenAtOnce) {
    DirectSpooler spooler(printers_.string());
    ASSERT_EQ(spooler.EnumPrinters().size(), 4u);
    // Rewritten in place with the same size, then replaced by another file.
    std::string text = ReadWholeFile(printers_);
    text.replace(text.find("127.0.0.1:1"), 11, "127.0.0.1:2");
    WriteFile(printers_, text);
    EXPECT_EQ(spooler.FindPrinter("Nowhere")->port, "socket://127.0.0.1:2");
    WriteFile(dir_ / "other.ini", "[Only]\nPort=socket://o\n");
    fs::rename(dir_ / "other.ini", printers_);
    EXPECT_EQ(spooler.EnumPrinters().size(), 1u);
    EXPECT_EQ(spooler.FindPrinter("Nowhere"), std::nullopt);
    EXPECT_EQ(spooler.OpenPrinter("Nowhere"), nullptr);
    fs::remove(printers_);
    EXPECT_TRUE(spooler.EnumPrinters().empty());
    EXPECT_EQ(spooler.OpenPrinter("Only"), nullptr);
}

TEST(DirectSpooler, FindPrinterGivesWhatTheEnumerationLists) {
    ScratchDir dir;
    // Of the second file, a name the first has is left out and the others follow the first's.
    constexpr std::size_t kFirstFile = 1000;
    std::string first = "[Mine]\nPort=socket://m\n[Shared]\nPort=socket://first\n";
    for (std::size_t i = 0; i + 2 < kFirstFile; ++i) {
        first += "[U" + std::to_string(i) + "]\nPort=socket://u\n";
    }
    WriteFile(dir / "first.ini", first);
    WriteFile(dir / "second.ini", "[Shared]\nPort=socket://second\n[Extra]\nPort=socket://x\n"
                                  "[Beyond]\nPort=socket://b\n");
    DirectSpooler spooler(
        std::vector<std::string>{(dir / "first.ini").string(), (dir / "second.ini").string()});
    const std::vector<PrinterInfo> listed = spooler.EnumPrinters();
    ASSERT_EQ(listed.size(), kFirstFile + 2);
    for (const char* name : {"Mine", "Shared", "U0", "Extra", "Beyond", "Absent"}) {
        SCOPED_TRACE(name);
        const auto inList = std::find_if(listed.begin(), listed.end(),
                                         [&](const PrinterInfo& p) { return p.name == name; });
        const std::optional<PrinterInfo> found = spooler.FindPrinter(name);
        ASSERT_EQ(found.has_value(), inList != listed.end());
        if (found) {
            EXPECT_EQ(found->port, inList->port);
        }
    }
    EXPECT_EQ(spooler.FindPrinter("Shared")->port, "socket://first");
    EXPECT_EQ(spooler.FindPrinter("Beyond")->port, "socket://b");
    EXPECT_FALSE(spooler.LeftOut().has_value());
}

TEST_F(DirectSpoolerTest, FilePortShowsOnlyCompleteDocuments) {
    DirectSpooler spooler(printers_.string());
    auto printer = spooler.OpenPrinter("Files");
    const fs::path target = dir_ / "out/job.prn";
    WriteFile(target, "previous");

    auto doc = printer->StartDocPrinter({"a.pdf", std::nullopt});
    ASSERT_NE(doc, nullptr);
    ASSERT_EQ(WriteAll(*doc, "new job", 7), TRUE);
    EXPECT_EQ(ReadWholeFile(target), "previous"); // not replaced before the end
    ASSERT_EQ(doc->EndDocPrinter(), TRUE);
    EXPECT_EQ(ReadWholeFile(target), "new job");

    auto aborted = printer->StartDocPrinter({"b.pdf", std::nullopt});
    ASSERT_EQ(WriteAll(*aborted, "half", 4), TRUE);
    aborted.reset(); // never ended: cancelled
    EXPECT_EQ(ReadWholeFile(target), "new job");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir_ / "out"), fs::directory_iterator()), 1);
}

TEST_F(DirectSpoolerTest, SocketPortDeliversTheJobByteExactly) {
    test::VirtualPrinterProcess printerProcess(dir_ / "vp");
    ASSERT_NE(printerProcess.Port(), 0);
    WriteFile(printers_, "[Quillet]\nDriver=Q\nPort=" + printerProcess.SocketUri() + "\n");
    DirectSpooler spooler(printers_.string());
    auto printer = spooler.OpenPrinter("Quillet");

    std::string document = "%PDF-1.7\n";
    for (int i = 0; document.size() < (3u << 20); ++i) {
        document += "line " + std::to_string(i) + " \x1b%-1234 almost a UEL\n";
    }
    const std::string stream = "\x1b%-12345X@PJL\r\n@PJL JOB NAME=\"a.pdf\"\r\n"
                               "@PJL ENTER LANGUAGE=PDF\r\n" +
                               document +
                               "\x1b%-12345X@PJL\r\n@PJL EOJ NAME=\"a.pdf\"\r\n\x1b%-12345X";
    auto doc = printer->StartDocPrinter({"a.pdf", std::nullopt});
    ASSERT_NE(doc, nullptr);
    for (std::size_t at = 0; at < stream.size(); at += 514000) {
        const auto size = static_cast<DWORD>(std::min<std::size_t>(514000, stream.size() - at));
        ASSERT_EQ(WriteAll(*doc, stream.data() + at, size), TRUE);
    }
    ASSERT_EQ(doc->EndDocPrinter(), TRUE);

    // The printer closes only after saving, so the files are there once the end returns.
    ASSERT_TRUE(printerProcess.HasJob(1));
    const std::string summary = printerProcess.WaitForSummary(1);
    EXPECT_NE(summary.find("\"fault_count\": 0"), std::string::npos) << summary;
    EXPECT_NE(summary.find("\"@PJL EOJ NAME=\\\"a.pdf\\\"\""), std::string::npos) << summary;
    EXPECT_TRUE(printerProcess.Document(1) == document);

    auto aborted = printer->StartDocPrinter({"b.pdf", std::nullopt});
    ASSERT_EQ(WriteAll(*aborted, stream.data(), 100), TRUE);
    EXPECT_EQ(aborted->AbortDocPrinter(), TRUE);
    const std::string broken = printerProcess.WaitForSummary(2);
    EXPECT_NE(broken.find("does not end with a UEL"), std::string::npos) << broken;
    DWORD written = 0;
    EXPECT_EQ(aborted->WritePrinter("x", 1, &written), FALSE);
}

// With a close wait (--wait), ending a socket document waits for the printer to close its side
// however long it is silent, and tells whether it did within the time.
TEST_F(DirectSpoolerTest, CloseWaitTellsWhetherThePrinterClosed) {
    // How long the printer keeps the connection after reading everything, the wait, the state.
    for (const auto& [holdMs, waitMs, state] :
         {std::tuple{0, 5000, JobState::completed}, std::tuple{1500, 300, JobState::processing}}) {
        test::LoopbackListener listener;
        WriteFile(printers_, "[Quillet]\nDriver=Q\nPort=" + listener.Uri() + "\n");
        std::thread printer([&, holdMs = holdMs] {
            const int fd = listener.Accept();
            char buffer[256];
            while (::read(fd, buffer, sizeof buffer) > 0) {
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(holdMs));
            ::close(fd);
        });
        DirectSpooler spooler(printers_.string());
        auto doc =
            spooler.OpenPrinter("Quillet")->StartDocPrinter({"a.pdf", std::nullopt, {}, waitMs});
        ASSERT_NE(doc, nullptr);
        ASSERT_EQ(WriteAll(*doc, "job", 3), TRUE);
        const auto start = std::chrono::steady_clock::now();
        EXPECT_EQ(doc->EndDocPrinter(), TRUE);
        EXPECT_LT(std::chrono::steady_clock::now() - start,
                  std::chrono::milliseconds(waitMs + 1000));
        EXPECT_EQ(doc->EndState(), state) << holdMs;
        printer.join();
    }
}

} // namespace
} // namespace nv::platform
