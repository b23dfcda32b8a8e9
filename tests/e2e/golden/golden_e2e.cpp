// The job stream norvane-print --dry-run writes for every printer type, compared byte for byte
// with saved streams: a change to the header, its order, the framing or the document bytes
// shows up here even when every other test still finds what it looks for. The job owner comes
// from a job-log library that reports the user and account the test sets, so the streams do
// not depend on who runs the test.
//
// NV_GOLDEN_OUT=FOLDER also writes each stream there under its saved name (to renew the saved
// streams after an intended change of the stream).
#include "support/ProgramCopy.h"
#include "support/ScratchDir.h"

#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace nv::test {
namespace {

namespace fs = std::filesystem;

TEST(GoldenE2E, DryRunStreamOfEveryPrinterTypeIsUnchanged) {
    ScratchDir scratch;
    const fs::path dir = scratch.Path();
    PrepareProgramFolder(dir);
    fs::copy_file(NV_GOLDEN_JOB_LOG, dir / "drivers" / "nvlogext.so");
    // 0x38F offers every option: collate, duplex, a range with duplex, the open end, password;
    // 0x30F the same without the open end, which changes where types 3 and 4 put the range.
    // Type 0 reads a paper source as its tray number, plus 0x10000 for manual feed.
    struct Model {
        const char* name;
        int type;
        const char* directPrint;
    };
    const Model models[] = {{"G0", 0, "0x38F"}, {"G1", 1, "0x38F"}, {"G2", 2, "0x38F"},
                            {"G3", 3, "0x38F"}, {"G4", 4, "0x38F"}, {"R3", 3, "0x30F"},
                            {"R4", 4, "0x30F"}};
    std::string cap = "[Capability]\n";
    std::string printers;
    for (const Model& m : models) {
        cap += std::string("Velmora ") + m.name + "=" + m.name + "\n";
        printers += std::string("[") + m.name + "]\nDriver=Velmora " + m.name + "\nPort=file://" +
                    (dir / "unused.prn").string() + "\n";
    }
    for (const Model& m : models) {
        cap += std::string("[") + m.name + "]\nDirectPrint=" + m.directPrint +
               "\nDPTray=" + std::to_string(m.type) +
               "\nJobInfoDll=No\nTrayCom=" + (m.type == 0 ? "Numbered" : "Trays") +
               "\nPDFVersion=1.7\n";
    }
    cap += "[Trays]\nAutoTray=AUTO\nTray1=TRAY1\nTray2=TRAY2\nManual Feed=MANUAL\n";
    cap += "[Numbered]\nAutoTray=0\nTray1=1\nTray2=2\nManual Feed=65536\n";
    WriteFile(dir / "drivers" / "nvgolden.cap", cap);
    WriteFile(dir / "printers.ini", printers);
    // The document holds a NUL and bytes above 0x7F, which must pass untouched.
    const char pdf[] = "%PDF-1.4\n1 0 obj << /Type /Catalog >> endobj\nstream\n\x00\x01\xfe\xff\r\n"
                       "endstream\ntrailer << /Root 1 0 R >>\n%%EOF\n";
    WriteFile(dir / "golden doc.pdf", std::string(pdf, sizeof pdf - 1));
    const ScopedEnv user("NV_HOSTILE_USER", "golden");
    const char* const out = std::getenv("NV_GOLDEN_OUT");

    struct Case {
        const char* golden; // file name under tests/data/golden/
        const char* printer;
        const char* account; // the job-log library's account; "0" means none
        std::vector<std::string> options;
    };
    const std::vector<std::string> all = {
        "--tray", "Tray1", "--copies", "3",   "--collate",       "--duplex",
        "long",   "--fit", "--pages",  "2-5", "--password-stdin"};
    const std::vector<Case> cases = {
        {"type0-defaults.prn", "G0", "0", {}},
        {"type0-options.prn", "G0", "4711", all},
        {"type1-defaults.prn", "G1", "0", {}},
        {"type1-options.prn",
         "G1",
         "0",
         {"--tray", "Manual Feed", "--copies", "2", "--no-collate", "--duplex", "short", "--no-fit",
          "--password-stdin"}},
        {"type2-defaults.prn", "G2", "0", {}},
        {"type2-options.prn",
         "G2",
         "4711",
         {"--tray", "AutoTray", "--copies", "4", "--collate", "--duplex", "short", "--fit",
          "--pages", "3-", "--password-stdin"}},
        {"type2-user.prn", "G2", "0", all},
        {"type3-defaults.prn", "G3", "0", {}},
        // Types 3 and 4 with the open end carry no page range, so --pages is not offered there;
        // the streams are those they always were.
        {"type3-options.prn",
         "G3",
         "0",
         {"--tray", "Tray1", "--copies", "3", "--collate", "--duplex", "long", "--fit",
          "--password-stdin"}},
        {"type4-defaults.prn", "G4", "0", {}},
        {"type4-options.prn",
         "G4",
         "0",
         {"--tray", "Tray2", "--copies", "5", "--no-collate", "--duplex", "off", "--fit",
          "--password-stdin"}},
        {"type3-range.prn", "R3", "0", all},
        {"type4-range.prn",
         "R4",
         "0",
         {"--tray", "Manual Feed", "--copies", "2", "--collate", "--pages", "3-7", "--no-fit"}},
        {"type0-manual.prn",
         "G0",
         "0",
         {"--tray", "Manual Feed", "--no-collate", "--copies", "2", "--duplex", "short", "--pages",
          "4-"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.golden);
        const ScopedEnv registry("NORVANE_REGISTRY",
                                 (dir / (std::string(c.golden) + ".reg")).string());
        const ScopedEnv account("NV_HOSTILE_ACCOUNT", c.account);
        const fs::path stream = dir / c.golden;
        std::vector<std::string> args = {"--printer", c.printer, "--dry-run", stream.string()};
        args.insert(args.end(), c.options.begin(), c.options.end());
        args.push_back((dir / "golden doc.pdf").string());
        const ProgramRun run = RunProgram(dir, args, "s3cret pass\n");
        ASSERT_EQ(run.status, 0) << run.err;
        if (out != nullptr) {
            fs::copy_file(stream, fs::path(out) / c.golden, fs::copy_options::overwrite_existing);
        }
        const fs::path golden = fs::path(std::getenv("NV_TEST_DATA")) / "golden" / c.golden;
        ASSERT_TRUE(fs::exists(golden)) << golden;
        EXPECT_EQ(ReadFile(stream), ReadFile(golden));
    }
}

} // namespace
} // namespace nv::test
