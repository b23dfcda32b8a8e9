// norvane-print on damaged installations: each row damages a program copy of its own (FIFO
// modules, damaged command libraries, an unknown printer type) and checks status, message, job.
#include "platform/modules/Modules.h"
#include "resources/ResourceIds.h"
#include "support/Contains.h"
#include "support/ProgramCopy.h"
#include "support/ScratchDir.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace nv::test {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

// Turns PATH into a FIFO, or, with FIND, overwrites the bytes at OFFSET from the UTF-16LE text
// FIND (which must be there) with BYTES.
void Damage(const fs::path& path, const char* find, int offset, const std::string& bytes) {
    if (find == nullptr) {
        fs::remove(path);
        ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0) << path;
        return;
    }
    std::string wide, content = ReadFile(path);
    for (const char* c = find; *c != '\0'; ++c) {
        wide += {*c, '\0'};
    }
    const std::size_t at = content.find(wide);
    ASSERT_NE(at, std::string::npos) << find;
    WriteFile(path, content.replace(at + offset, bytes.size(), bytes));
}

TEST(InstallHostile, DamagedInstallationsNeverSendAWrongJob) {
    ScratchDir scratch;
    const fs::path dir = scratch.Path();
    PrepareProgramFolder(dir);
    ::setenv("NORVANE_REGISTRY", (dir / "registry.reg").c_str(), 1);
    // "Bad" comes first, so it is the printer chosen at start when none is named.
    WriteFile(dir / "drivers" / "nvtest.cap",
              "[Capability]\nVelmora P0=P0\nVelmora Bad=Bad\n[P0]\nDirectPrint=911\nDPTray=0\n"
              "JobInfoDll=No\nPDFVersion=1.7\n[Bad]\nDirectPrint=911\nDPTray=5\nPDFVersion=1.7\n");
    WriteFile(dir / "printers.ini", "[Bad]\nDriver=Velmora Bad\nPort=file:///dev/null\n"
                                    "[P0]\nDriver=Velmora P0\nPort=file:///dev/null\n");
    WriteFile(dir / "doc.pdf", "%PDF-1.4\n1 0 obj << >> endobj\ntrailer\n%%EOF\n");
    const auto library = platform::ResourceModule::Load((dir / "program/Norvres.dll").string());
    ASSERT_NE(library, nullptr);
    const auto text = [&](UINT id) { return library->LoadText(id); };

    struct Row {
        const char* name;
        const char* file; // damaged, in the row's folder; none for the unknown type
        const char* find; // none: the file becomes a FIFO
        int offset;
        std::string bytes;
        std::vector<std::string> options; // before the dry run and the document
        int status;
        std::string err; // inside standard error
        bool written;    // a job reached the output file
    };
    const std::vector<std::string> p0 = {"--printer", "P0"};
    const std::vector<std::string> copies = {"--printer", "P0", "--copies", "3"};
    const std::string dll = "nvcComDLL.dll";
    const std::vector<Row> rows = {
        {"resource library is a FIFO", "program/Norvres.dll", nullptr, 0, "", p0, 3,
         "Resource file cannot load", false},
        {"command library is a FIFO", "program/nvcComDLL.dll", nullptr, 0, "", p0, 1, "", false},
        {"job-log library is a FIFO", "../drivers/nvlogext.so", nullptr, 0, "", p0, 0, "", true},
        {"owner template reads empty", "program/nvcComDLL.dll", "@PJL SET JOBATTR=\"USER=", -2,
         std::string(2, '\0'), copies, 1, dll, false},
        {"fixed line carries an escape", "program/nvcComDLL.dll", "@PJL SET PDFERRORPAGE=ON", 0,
         "\x1b", p0, 1, dll, false},
        {"model of an unknown type, chosen at start",
         nullptr,
         nullptr,
         0,
         "",
         {},
         3,
         text(res::str::kBadPrinterType),
         false},
    };
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const Row& row = rows[i];
        SCOPED_TRACE(row.name);
        const fs::path folder = dir / ("row" + std::to_string(i));
        CopyProgram(folder / "program");
        fs::remove(dir / "drivers" / "nvlogext.so");
        if (row.file != nullptr) {
            Damage(folder / row.file, row.find, row.offset, row.bytes);
        }
        const fs::path out = folder / "job.prn";
        RunRequest request;
        request.args = row.options;
        request.args.insert(request.args.end(),
                            {"--dry-run", out.string(), (dir / "doc.pdf").string()});
        request.limit = 30s;
        const ProgramRun run = RunProgram(folder, request);
        EXPECT_FALSE(run.hung);
        EXPECT_EQ(run.status, row.status) << run.err;
        EXPECT_TRUE(Contains(run.err, row.err));
        EXPECT_EQ(fs::exists(out), row.written);
    }

    // The listing says the model cannot be printed to, and why.
    const ProgramRun listing = RunProgram(dir, {"--list"});
    EXPECT_EQ(listing.status, 0) << listing.err;
    EXPECT_TRUE(Contains(listing.out, text(res::str::kModelNotSupported) + ": " +
                                          text(res::str::kBadPrinterType)));

    // An output folder that is not there is named as the cause.
    const ProgramRun nowhere =
        RunProgram(dir, {"--printer", "P0", "--dry-run", (dir / "missing" / "job.prn").string(),
                         (dir / "doc.pdf").string()});
    EXPECT_EQ(nowhere.status, 1) << nowhere.err;
    EXPECT_TRUE(Contains(nowhere.err, text(res::str::kOutputFolderUnwritable)));
}

} // namespace
} // namespace nv::test
