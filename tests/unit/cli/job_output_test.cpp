// Where a job's bytes go besides the spooler: the dry run's file, and the progress line a
// terminal shows.
#include "cli/DryRunSpooler.h"
#include "cli/TerminalProgress.h"
#include "platform/spooler/memory/MemorySpooler.h"
#include "support/TempDir.h"

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <tuple>
#ifndef _WIN32
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#endif

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

#ifndef _WIN32 // links, a socket and hard links as the POSIX file system has them
std::string ReadAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

// Writes one whole job of BYTES to PATH; whether it was taken.
bool WriteJob(const std::string& path, const std::string& bytes, const std::string& input = {}) {
    auto doc = StartFileDocument(path, input);
    DWORD written = 0;
    return doc != nullptr &&
           doc->WritePrinter(bytes.data(), static_cast<DWORD>(bytes.size()), &written) &&
           doc->EndDocPrinter();
}

std::size_t EntriesIn(const fs::path& folder) {
    std::size_t count = 0;
    for ([[maybe_unused]] const auto& entry : fs::directory_iterator(folder)) {
        ++count;
    }
    return count;
}

TEST(DryRunTest, WhatTheFileMayBe) {
    test::TempDir dir;
    const fs::path input = dir.Path() / "doc.pdf";
    std::ofstream(input) << "%PDF-1.4 the document";
    fs::create_hard_link(input, dir.Path() / "same.pdf");
    fs::create_symlink(input, dir.Path() / "link-to-input");
    fs::create_directory(dir.Path() / "folder");
    fs::create_symlink(dir.Path() / "nowhere", dir.Path() / "dangling");
    std::ofstream(dir.Path() / "real.prn") << "old job";
    fs::create_symlink(dir.Path() / "real.prn", dir.Path() / "link.prn");
    const int sock = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const std::string socketPath = (dir.Path() / "sock").string();
    std::snprintf(address.sun_path, sizeof address.sun_path, "%s", socketPath.c_str());
    ASSERT_EQ(::bind(sock, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);

    struct Case {
        const char* name;
        bool taken;
        DryRunRefusal problem; // DryRunFileProblem's answer
    } cases[] = {
        {"new.prn", true, DryRunRefusal::none},
        {"real.prn", true, DryRunRefusal::none},
        {"doc.pdf", false, DryRunRefusal::input},
        {"same.pdf", false, DryRunRefusal::input},
        {"link-to-input", false, DryRunRefusal::input},
        {"folder", false, DryRunRefusal::folder},
        {"dangling", false, DryRunRefusal::danglingLink},
        {"sock", false, DryRunRefusal::notFileDeviceOrFifo},
        {"real.prn/below", false, DryRunRefusal::system},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = (dir.Path() / c.name).string();
        const DryRunProblem problem = DryRunFileProblem(path, input.string());
        EXPECT_EQ(problem.reason, c.problem);
        EXPECT_EQ(problem.systemError, c.problem == DryRunRefusal::system ? ENOTDIR : 0u);
        EXPECT_EQ(WriteJob(path, "JOB", input.string()), c.taken);
    }
    ::close(sock);
    // The document and the link target are untouched; the link still is one and its file
    // holds the job.
    EXPECT_EQ(ReadAll(input), "%PDF-1.4 the document");
    EXPECT_TRUE(fs::is_symlink(dir.Path() / "link.prn"));
    EXPECT_TRUE(WriteJob((dir.Path() / "link.prn").string(), "LINKED", input.string()));
    EXPECT_TRUE(fs::is_symlink(dir.Path() / "link.prn"));
    EXPECT_EQ(ReadAll(dir.Path() / "real.prn"), "LINKED");
    EXPECT_EQ(ReadAll(dir.Path() / "new.prn"), "JOB");
    // No temporary file is left behind: the 8 entries made above, and new.prn.
    EXPECT_EQ(EntriesIn(dir.Path()), 9u);
}
#else
TEST(DryRunTest, WhatTheFileMayBe) {
    test::TempDir dir;
    const fs::path input = dir.Path() / "doc.pdf";
    std::ofstream(input) << "%PDF-1.4 the document";
    fs::create_directory(dir.Path() / "folder");
    const std::string in = input.string();
    struct Case {
        std::string path;
        DryRunRefusal problem;
    } cases[] = {
        {(dir.Path() / "new.prn").string(), DryRunRefusal::none},
        {in, DryRunRefusal::input},
        {(dir.Path() / "folder").string(), DryRunRefusal::folder},
        {(dir.Path() / "none" / "new.prn").string(), DryRunRefusal::noFolder},
        {"", DryRunRefusal::badName},
        {std::string("bad\xff.prn"), DryRunRefusal::badName},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        const DryRunProblem problem = DryRunFileProblem(c.path, in);
        EXPECT_EQ(problem.reason, c.problem);
        EXPECT_EQ(problem.systemError, 0u);
    }
}
#endif

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

// The line in the language of the library: the values in that language's order.
TEST(TerminalProgressTest, LineShowsShareAndSizeInTheLibrarysLanguage) {
    const char* dir = std::getenv("NV_PROGRAM_DIR");
    const std::string programDir = std::string(dir != nullptr ? dir : ".") + "/";
    // The library, bytes sent of how many, and the line.
    const std::tuple<const char*, std::uint64_t, std::uint64_t, const char*> cases[] = {
        {"lang/en/Norvres.dll", 0, 100u << 20, "a.pdf:   0% (0.0 of 100.0 MiB)"},
        {"lang/en/Norvres.dll", 50u << 20, 100u << 20, "a.pdf:  50% (50.0 of 100.0 MiB)"},
        {"lang/en/Norvres.dll", 200u << 20, 100u << 20, "a.pdf: 100% (100.0 of 100.0 MiB)"},
        {"lang/en/Norvres.dll", 3u << 20, 0, "a.pdf: 3.0 MiB sent"},
        {"Norvres.dll", 50u << 20, 100u << 20, "a.pdf:  50% (100.0 MiB 中 50.0 MiB)"},
        {"Norvres.dll", 3u << 20, 0, "a.pdf: 3.0 MiB 送信済み"},
    };
    for (const auto& [name, sent, total, line] : cases) {
        const auto library = platform::ResourceModule::Load(programDir + name);
        ASSERT_NE(library, nullptr) << name;
        EXPECT_EQ(TerminalProgress::Line("a.pdf", sent, total, CliTexts(library.get())), line);
    }
}

} // namespace
} // namespace nv::cli
