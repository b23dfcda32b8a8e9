// norvane-print from a copy of the program directory: options against what each model offers,
// messages and exit statuses, dry-run streams against what the printer receives, saved
// settings picked up by the next run, and the language of the resource library in place.
#include "platform/format/Placeholders.h"
#include "platform/modules/Modules.h"
#include "support/Contains.h"
#include "support/ProgramCopy.h"
#include "support/ScratchDir.h"

#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace nv::test {
namespace {

namespace fs = std::filesystem;

const std::string kUel = "\x1b%-12345X";

struct Result {
    int status = -1;
    std::string out;
    std::string err;
};

// Every model the tests print on: "DirectPrint" bits, printer type, newest PDF version.
struct Model {
    const char* printer;
    unsigned directPrint;
    int type;
    const char* pdfVersion;
};
// 0x38F: every option, every combination; 0x31: no option at all (no range, no fit).
// R0 to R4: no open end, for the page ranges of every type.
const Model kModels[] = {
    {"P0", 0x38F, 0, "1.7"}, {"P1", 0x30F, 1, "1.7"}, // P1: no open end
    {"P2", 0x38F, 2, "1.7"}, {"P3", 0x387, 3, "1.7"}, // P3: no range with duplex
    {"P4", 0x38F, 4, "1.7"}, {"Bare", 0x31, 1, "1.7"}, {"Old", 0x38F, 2, "1.3"},
    {"R0", 0x30F, 0, "1.7"}, {"R2", 0x30F, 2, "1.7"},  {"R3", 0x30F, 3, "1.7"},
    {"R4", 0x30F, 4, "1.7"},
};

class CliE2E : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        scratch_ = new ScratchDir();
        CopyProgram(Dir() / "program", {"lang/en/Norvres.dll"});
        // The program speaks English here unless a test chooses otherwise.
        ::setenv("LANGUAGE", "en", 1);
        fs::create_directories(Dir() / "drivers");
        fs::create_directories(Dir() / "out");
        std::string cap = "[Capability]\n";
        std::string printers;
        for (const Model& m : kModels) {
            cap += std::string("Velmora ") + m.printer + "=" + m.printer + "\n";
            printers += std::string("[") + m.printer + "]\nDriver=Velmora " + m.printer +
                        "\nPort=file://" + (Dir() / "out" / m.printer).string() + ".prn\n";
        }
        for (const Model& m : kModels) {
            cap += std::string("[") + m.printer +
                   "]\nDirectPrint=" + std::to_string(m.directPrint) +
                   "\nDPTray=" + std::to_string(m.type) +
                   "\nJobInfoDll=No\nTrayCom=Trays\nPDFVersion=" + m.pdfVersion + "\n";
        }
        cap += "[Trays]\nAutoTray=auto\nTray1=tray1\nManual Feed=manual\n";
        WriteFile(Dir() / "drivers" / "nvtest.cap", cap);
        WriteFile(Dir() / "printers.ini", printers);
        WriteFile(Dir() / "doc.pdf", "%PDF-1.4\n1 0 obj << >> endobj\ntrailer\n%%EOF\n");
        WriteFile(Dir() / "new.pdf", "%PDF-1.7\n%%EOF\n");
        WriteFile(Dir() / "notes.txt", "%PDF-1.4\n");
        ::setenv("NORVANE_DRIVER_DIR", (Dir() / "drivers").c_str(), 1);
        ::setenv("NORVANE_PRINTERS", (Dir() / "printers.ini").c_str(), 1);
        ::setenv("CUPS_SERVER", (Dir() / "no-scheduler.sock").c_str(), 1);
        ::unsetenv("LPDEST");
        ::unsetenv("PRINTER");
    }
    static void TearDownTestSuite() {
        delete scratch_;
        scratch_ = nullptr;
    }
    void SetUp() override { UseRegistry("registry-" + std::to_string(++runs_)); }

    static const fs::path& Dir() { return scratch_->Path(); }
    static std::string Pdf() { return (Dir() / "doc.pdf").string(); }
    static void UseRegistry(const std::string& name) {
        ::setenv("NORVANE_REGISTRY", (Dir() / name).c_str(), 1);
    }
    // String ID of the library the program chooses for LANGUAGE=en.
    static std::string Text(UINT id, const char* library = "lang/en/Norvres.dll") {
        return platform::ResourceModule::Load((Dir() / "program" / library).string())->LoadText(id);
    }

    // Runs the copied norvane-print with ARGS, INPUT on its standard input.
    static Result Run(const std::vector<std::string>& args, const std::string& input = "") {
        const ProgramRun run = RunProgram(Dir(), args, input);
        return {run.status, run.out, run.err};
    }

    // A dry run on PRINTER with OPTIONS; the stream written, or "" when none was.
    static std::string DryRun(const std::string& printer, std::vector<std::string> options,
                              int expectedStatus = 0) {
        const fs::path file = Dir() / "dry.prn";
        fs::remove(file);
        std::vector<std::string> args = {"--printer", printer, "--dry-run", file.string()};
        args.insert(args.end(), options.begin(), options.end());
        args.push_back(Pdf());
        const Result result = Run(args, "1234\n");
        EXPECT_EQ(result.status, expectedStatus) << result.err;
        return fs::exists(file) ? ReadFile(file) : std::string();
    }

    static ScratchDir* scratch_;
    static int runs_;
};

ScratchDir* CliE2E::scratch_ = nullptr;
int CliE2E::runs_ = 0;

TEST_F(CliE2E, OptionsAgainstWhatEachModelOffers) {
    struct Case {
        const char* printer;
        std::vector<std::string> options;
        int status;
    };
    const std::vector<Case> cases = {
        {"P0", {"--duplex", "long"}, 0},
        {"P0", {"--duplex", "short", "--collate"}, 0},
        {"P0", {"--no-collate", "--copies", "3"}, 0},
        {"P0", {"--fit"}, 0},
        {"P0", {"--no-fit"}, 0},
        {"P0", {"--pages", "2-5"}, 0},
        {"P0", {"--pages", "2-"}, 0},
        {"P0", {"--password-stdin"}, 0},
        {"P0", {"--tray", "Manual Feed"}, 0},
        {"P0", {"--tray", "tray1"}, 0},
        {"P0", {"--defaults", "--duplex", "off"}, 0},
        {"R0", {"--pages", "2-"}, 4},                      // no open end: the dialog refuses it
        {"P3", {"--duplex", "long", "--pages", "1-2"}, 5}, // range ruled out by duplex
        {"P3", {"--pages", "1-2", "--duplex", "long"}, 5}, // the order is fixed, not the line's
        {"P0", {"--tray", "Tray5"}, 4},                    // not offered
        {"Bare", {"--duplex", "long"}, 5},
        {"Bare", {"--collate"}, 5},
        {"Bare", {"--fit"}, 5},
        {"Bare", {"--pages", "1-2"}, 5},
        {"Bare", {"--password-stdin"}, 5},
        {"Bare", {"--duplex", "off", "--no-collate", "--no-fit"}, 0}, // already so
        {"Bare", {"--copies", "2", "--tray", "AutoTray"}, 0},
        {"Nope", {}, 4},
    };
    for (const Case& c : cases) {
        std::string trace = c.printer;
        for (const std::string& option : c.options) {
            trace += " " + option;
        }
        SCOPED_TRACE(trace);
        const std::string stream = DryRun(c.printer, c.options, c.status);
        EXPECT_EQ(stream.empty(), c.status != 0);
    }
}

TEST_F(CliE2E, MessagesAndStatuses) {
    struct Case {
        const char* name;
        std::vector<std::string> args;
        int status;
        std::string err; // expected inside standard error
    };
    const std::string copiesText = Text(1502);
    const std::vector<Case> cases = {
        {"copies out of range",
         {"--printer", "P0", "--copies", "0", Pdf()},
         4,
         Text(1500) + ": " + copiesText},
        {"missing file", {(Dir() / "missing.pdf").string()}, 3, Text(1501) + ": " + Text(1503)},
        {"not a PDF", {(Dir() / "notes.txt").string()}, 3, Text(1506)},
        {"quoted path", {"\"" + Pdf() + "\""}, 3, Text(1506)},
        {"newer PDF declined", {"--printer", "Old", (Dir() / "new.pdf").string()}, 6, Text(1507)},
        {"unknown option", {"--color", Pdf()}, 2, "unknown option --color"},
        {"no file", {"--printer", "P0"}, 2, "no PDF file given"},
        {"bad duplex", {"--duplex", "sideways", Pdf()}, 2, "--duplex"},
        {"copies not a number", {"--copies", "-3", Pdf()}, 2, "--copies"},
        {"password missing", {"--password-stdin", Pdf()}, 2, "no password"},
        {"unknown printer", {"--printer", "Nope", Pdf()}, 4, "no supported printer"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Result result = Run(c.args);
        EXPECT_EQ(result.status, c.status) << result.err;
        EXPECT_NE(result.err.find(c.err), std::string::npos) << result.err;
    }
    const Result accepted = Run({"--printer", "Old", "--yes", "--dry-run",
                                 (Dir() / "yes.prn").string(), (Dir() / "new.pdf").string()});
    EXPECT_EQ(accepted.status, 0) << accepted.err;
    EXPECT_NE(accepted.err.find(Text(1507)), std::string::npos);
}

// For every printer type, the dry run writes exactly the bytes the printer receives.
TEST_F(CliE2E, DryRunStreamIsTheJobByteForByte) {
    const std::vector<std::vector<std::string>> choices = {
        {},
        {"--copies", "2", "--duplex", "short", "--tray", "Tray1", "--no-collate"},
        {"--pages", "3-", "--fit", "--password-stdin", "--collate", "--copies", "4"},
    };
    for (const char* printer : {"P0", "P1", "P2", "P3", "P4"}) {
        for (const auto& options : choices) {
            SCOPED_TRACE(printer + std::string(" option set ") +
                         std::to_string(&options - choices.data()));
            // Types 1, 3 and 4 with an open end carry no page range: it is not offered there.
            const bool range = std::string(printer) == "P0" || std::string(printer) == "P2";
            std::vector<std::string> adjusted = options;
            if (!range && !adjusted.empty() && adjusted[0] == "--pages") {
                adjusted.erase(adjusted.begin(), adjusted.begin() + 2);
            }
            const std::string dry = DryRun(printer, adjusted);
            const fs::path sent = Dir() / "out" / (std::string(printer) + ".prn");
            fs::remove(sent);
            std::vector<std::string> args = {"--printer", printer};
            args.insert(args.end(), adjusted.begin(), adjusted.end());
            args.push_back(Pdf());
            const Result real = Run(args, "1234\n");
            ASSERT_EQ(real.status, 0) << real.err;
            EXPECT_EQ(dry, ReadFile(sent));
            EXPECT_EQ(dry.rfind(kUel + "@PJL", 0), 0u);
            EXPECT_NE(dry.find(ReadFile(Pdf())), std::string::npos);
            EXPECT_EQ(dry.substr(dry.size() - kUel.size()), kUel);
        }
    }
}

TEST_F(CliE2E, SavedSettingsArePickedUpByTheNextRun) {
    const std::vector<std::string> options = {"--duplex",    "short",        "--tray",
                                              "Manual Feed", "--no-collate", "--no-fit"};
    std::vector<std::string> saving = options;
    saving.push_back("--save");
    const std::string first = DryRun("P2", saving);
    const std::string second = DryRun("P2", {});
    EXPECT_FALSE(first.empty());
    EXPECT_EQ(first, second);
    UseRegistry("fresh-registry");
    EXPECT_NE(DryRun("P2", {}), first);
}

TEST_F(CliE2E, ListHelpAndVersion) {
    const Result list = Run({"--list"});
    EXPECT_EQ(list.status, 0) << list.err;
    for (const Model& m : kModels) {
        EXPECT_NE(list.out.find(std::string(m.printer) + "\n"), std::string::npos) << m.printer;
    }
    const std::size_t bare = list.out.find("Bare\n");
    ASSERT_NE(bare, std::string::npos);
    EXPECT_NE(list.out.find("duplex:        no", bare), std::string::npos);
    EXPECT_NE(list.out.find("page range:    no", bare), std::string::npos);

    const Result help = Run({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("Exit status"), std::string::npos);
    const Result version = Run({"--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_NE(version.out.find("3.0.0.3"), std::string::npos) << version.out;
}

// The resource library beside the program decides the language, with no rebuild; without it
// the one built-in message is shown.
TEST_F(CliE2E, ResourceLibraryInPlaceDecidesTheLanguage) {
    const ScopedEnv language("LANGUAGE", std::nullopt);
    const fs::path program = Dir() / "program";
    const std::string japanese = Text(1503, "Norvres.dll");
    fs::copy_file(program / "Norvres.dll", Dir() / "ja.dll", fs::copy_options::overwrite_existing);
    fs::copy_file(program / "lang" / "en" / "Norvres.dll", program / "Norvres.dll",
                  fs::copy_options::overwrite_existing);
    const std::string english = Text(1503, "Norvres.dll");
    const Result inEnglish = Run({(Dir() / "missing.pdf").string()});
    fs::remove(program / "Norvres.dll");
    const Result withoutLibrary = Run({(Dir() / "missing.pdf").string()});
    fs::copy_file(Dir() / "ja.dll", program / "Norvres.dll");

    EXPECT_NE(english, japanese);
    EXPECT_EQ(inEnglish.status, 3);
    EXPECT_NE(inEnglish.err.find(english), std::string::npos) << inEnglish.err;
    EXPECT_EQ(inEnglish.err.find(japanese), std::string::npos);
    EXPECT_EQ(withoutLibrary.status, 3);
    EXPECT_EQ(withoutLibrary.err, "Initialize Error: Initialize Error:Resource file cannot "
                                  "load.\nPlease reinstall this utility.\n");
}

// The user's language picks the library: the missing-file message, an option error, a refused
// dry-run file and the listing's labels all come in that one language.
TEST_F(CliE2E, LanguageFollowsTheUser) {
    struct Case {
        std::optional<std::string> language, lcAll, lang;
        const char* library;
    };
    const Case cases[] = {
        {std::nullopt, std::nullopt, "en_US.UTF-8", "lang/en/Norvres.dll"},
        {std::nullopt, std::nullopt, "ja_JP.UTF-8", "Norvres.dll"},
        {std::nullopt, std::nullopt, "C", "Norvres.dll"},
        {"en:ja", std::nullopt, "ja_JP.UTF-8", "lang/en/Norvres.dll"},
        {"ja:en", std::nullopt, "en_US.UTF-8", "Norvres.dll"},        // the default's own language
        {"fr:en", std::nullopt, std::nullopt, "lang/en/Norvres.dll"}, // no French folder
        {std::nullopt, "POSIX", "en_US.UTF-8", "Norvres.dll"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.language.value_or("-") + " " + c.lcAll.value_or("-") + " " +
                     c.lang.value_or("-"));
        const ScopedEnv language("LANGUAGE", c.language);
        const ScopedEnv lcAll("LC_ALL", c.lcAll);
        const ScopedEnv lang("LANG", c.lang);
        const Result missing = Run({(Dir() / "missing.pdf").string()});
        EXPECT_EQ(missing.status, 3);
        EXPECT_EQ(missing.err, Text(1501, c.library) + ": " + Text(1503, c.library) + "\n");
        const Result option = Run({"--copies", "x", Pdf()});
        EXPECT_EQ(option.status, 2);
        EXPECT_TRUE(Contains(option.err, platform::FillPlaceholders(Text(1705, c.library), {"x"})));
        const Result list = Run({"--list"});
        EXPECT_TRUE(
            Contains(list.out, platform::FillPlaceholders(Text(1751, c.library), {"Velmora P0"})));
        const Result refused = Run({"--dry-run", Dir().string(), Pdf()});
        EXPECT_EQ(refused.status, 2);
        EXPECT_TRUE(Contains(refused.err, ": " + Text(1780, c.library) + "\n"));
    }
}

// A page range is offered only where the job header carries it; elsewhere --pages is an
// option the model does not offer, and nothing is sent.
TEST_F(CliE2E, PagesOnlyWhereTheHeaderCarriesThem) {
    struct Case {
        const char* printer; // type and open end as in kModels
        int status;
    };
    const Case cases[] = {
        {"P0", 0}, {"R0", 0}, {"P1", 5}, {"Bare", 5}, {"P2", 0},
        {"R2", 0}, {"P3", 5}, {"R3", 0}, {"P4", 5},   {"R4", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.printer);
        const std::string whole = DryRun(c.printer, {});
        const std::string ranged = DryRun(c.printer, {"--pages", "2-3"}, c.status);
        EXPECT_TRUE(c.status == 0 ? ranged != whole : ranged.empty()); // range in the header
    }
    const Result list = Run({"--list"});
    const std::size_t p3 = list.out.find("P3\n");
    ASSERT_NE(p3, std::string::npos);
    EXPECT_NE(list.out.find("page range:    no (the job header of printer type 3 carries no page "
                            "range when the end may be left open)",
                            p3),
              std::string::npos)
        << list.out;
}

} // namespace
} // namespace nv::test
