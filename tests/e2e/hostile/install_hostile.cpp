// norvane-print on damaged installations: each row damages a program copy of its own (FIFO
// modules, damaged command libraries, an unknown printer type) and checks status, message, job.
#include "platform/modules/Modules.h"
#include "resources/ResourceIds.h"
#include "support/ProgramCopy.h"
#include "support/ScratchDir.h"

#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace nv::test {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

// FILE with the UTF-16LE text FIND (which must be there) changed by CHANGE at its offset.
void Damage(const fs::path& file, const std::string& find,
            const std::function<void(std::string&, std::size_t)>& change) {
    std::string wide;
    for (const char c : find) {
        wide += c;
        wide += '\0';
    }
    std::string bytes = ReadFile(file);
    const std::size_t at = bytes.find(wide);
    ASSERT_NE(at, std::string::npos) << find;
    change(bytes, at);
    WriteFile(file, bytes);
}

void MakeFifo(const fs::path& path) {
    fs::remove(path);
    ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0) << path;
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
        std::function<void(const fs::path& program)> damage;
        std::vector<std::string> options; // before the dry run and the document
        int status;
        std::string err; // inside standard error
        bool written;    // a job reached the output file
    };
    const std::vector<Row> rows = {
        {"resource library is a FIFO",
         [](const fs::path& p) { MakeFifo(p / "Norvres.dll"); },
         {"--printer", "P0"},
         3,
         "Resource file cannot load",
         false},
        {"command library is a FIFO",
         [](const fs::path& p) { MakeFifo(p / "nvcComDLL.dll"); },
         {"--printer", "P0"},
         1,
         "",
         false},
        {"job-log library is a FIFO",
         [&](const fs::path&) { MakeFifo(dir / "drivers" / "nvlogext.so"); },
         {"--printer", "P0"},
         0,
         "",
         true},
        {"owner template reads empty",
         [](const fs::path& p) {
             Damage(p / "nvcComDLL.dll", "@PJL SET JOBATTR=\"USER=",
                    [](std::string& b, std::size_t at) { b[at - 2] = b[at - 1] = '\0'; });
         },
         {"--printer", "P0", "--copies", "3"},
         1,
         "nvcComDLL.dll",
         false},
        {"fixed line carries an escape",
         [](const fs::path& p) {
             Damage(p / "nvcComDLL.dll", "@PJL SET PDFERRORPAGE=ON",
                    [](std::string& b, std::size_t at) { b[at] = '\x1b'; });
         },
         {"--printer", "P0"},
         1,
         "nvcComDLL.dll",
         false},
        {"model of an unknown type, chosen at start",
         nullptr,
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
        if (row.damage) {
            row.damage(folder / "program");
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
        EXPECT_NE(run.err.find(row.err), std::string::npos) << run.err;
        EXPECT_EQ(fs::exists(out), row.written);
    }

    // The listing says the model cannot be printed to, and why.
    const ProgramRun listing = RunProgram(dir, {"--list"});
    EXPECT_EQ(listing.status, 0) << listing.err;
    EXPECT_NE(listing.out.find(text(res::str::kModelNotSupported) + ": " +
                               text(res::str::kBadPrinterType)),
              std::string::npos)
        << listing.out;

    // An output folder that is not there is named as the cause.
    const ProgramRun nowhere =
        RunProgram(dir, {"--printer", "P0", "--dry-run", (dir / "missing" / "job.prn").string(),
                         (dir / "doc.pdf").string()});
    EXPECT_EQ(nowhere.status, 1) << nowhere.err;
    EXPECT_NE(nowhere.err.find(text(res::str::kOutputFolderUnwritable)), std::string::npos)
        << nowhere.err;
}

} // namespace
} // namespace nv::test
