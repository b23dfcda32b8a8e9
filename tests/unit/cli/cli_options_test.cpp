// The command line of norvane-print: what is accepted, what is refused and why.
#include "cli/CliOptions.h"
#include "cli/CliTexts.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <memory>
#include <optional>
#include <utility>

namespace nv::cli {
namespace {

// The complaints as the English resource library words them.
CliTexts Texts() {
    static const std::unique_ptr<platform::ResourceModule> english = [] {
        const char* dir = std::getenv("NV_PROGRAM_DIR");
        return platform::ResourceModule::Load(std::string(dir != nullptr ? dir : ".") +
                                              "/lang/en/Norvres.dll");
    }();
    return CliTexts(english.get());
}

ParseResult Parse(const std::vector<std::string>& args) {
    return ParseCliOptions(args, Texts());
}

TEST(CliOptionsTest, AcceptsOptionsAndTheFileLast) {
    const ParseResult r =
        Parse({"--printer", "Office 3", "--tray=Manual Feed", "--copies", "12", "--no-collate",
               "--duplex=short", "--fit", "--pages", "3-", "--password-stdin", "--defaults",
               "--save", "-y", "--dry-run", "out.prn", "-q", "--", "-odd name.pdf"});
    ASSERT_EQ(r.error, "");
    const CliOptions& o = r.options;
    EXPECT_EQ(o.printer, "Office 3");
    EXPECT_EQ(o.tray, "Manual Feed");
    EXPECT_EQ(o.copies, "12");
    EXPECT_EQ(o.collate, false);
    EXPECT_EQ(o.duplex, Duplex::shortEdge);
    EXPECT_EQ(o.fitToPage, true);
    ASSERT_TRUE(o.pages);
    EXPECT_EQ(o.pages->start, "3");
    EXPECT_EQ(o.pages->end, "");
    EXPECT_TRUE(o.passwordFromStdin && o.defaults && o.save && o.yes && o.quiet);
    EXPECT_EQ(o.dryRunFile, "out.prn");
    EXPECT_EQ(o.pdfPath, "-odd name.pdf");
}

TEST(CliOptionsTest, RefusesWhatCannotBeApplied) {
    struct Case {
        std::vector<std::string> args;
        const char* error; // inside the message
    };
    const std::vector<Case> cases = {
        {{}, "no PDF file given"},
        {{"a.pdf", "b.pdf"}, "one PDF file only"},
        {{"--copies", "x", "a.pdf"}, "--copies needs a number"},
        {{"--copies", "-2", "a.pdf"}, "--copies needs a number"},
        {{"--copies", "", "a.pdf"}, "--copies needs a number"},
        {{"--pages", "3", "a.pdf"}, "--pages takes"},
        {{"--pages", "-3", "a.pdf"}, "--pages takes"},
        {{"--pages", "a-b", "a.pdf"}, "--pages takes"},
        {{"--pages", "1-2-3", "a.pdf"}, "--pages takes"},
        {{"--duplex", "both", "a.pdf"}, "--duplex takes"},
        {{"--printer"}, "needs a value"},
        {{"--save=yes", "a.pdf"}, "takes no value"},
        {{"--dry-run=", "a.pdf"}, "needs a file name"},
        {{"--colour", "a.pdf"}, "unknown option --colour"},
        {{"--list", "a.pdf"}, "--list takes no file"},
        {{"--wait=soon", "a.pdf"}, "--wait takes whole seconds"},
        {{"--wait=1234567", "a.pdf"}, "--wait takes whole seconds"},
        {{"--wait", "5", "a.pdf"}, "one PDF file only"}, // an optional value needs '='
    };
    for (const Case& c : cases) {
        const ParseResult r = Parse(c.args);
        EXPECT_NE(r.error.find(c.error), std::string::npos)
            << (c.args.empty() ? "(none)" : c.args.front()) << ": " << r.error;
    }
}

TEST(CliOptionsTest, WaitTakesOptionalSeconds) {
    using Wait = std::pair<bool, std::optional<unsigned>>; // whether to wait, and how long
    const std::pair<std::vector<std::string>, Wait> cases[] = {
        {{"a.pdf"}, {false, std::nullopt}},
        {{"--wait", "a.pdf"}, {true, std::nullopt}},
        {{"--wait=0", "a.pdf"}, {true, 0u}},
        {{"--wa=2", "a.pdf"}, {true, 2u}},
    };
    for (const auto& [args, wait] : cases) {
        const ParseResult r = Parse(args);
        ASSERT_EQ(r.error, "") << args.front();
        EXPECT_EQ(Wait(r.options.wait, r.options.waitSeconds), wait) << args.front();
    }
}

TEST(CliOptionsTest, CommandsNeedNoFile) {
    for (const char* command : {"--help", "--version", "--list"}) {
        EXPECT_EQ(Parse({command}).error, "") << command;
    }
    EXPECT_NE(UsageText("norvane-print", Texts()).find("Exit status"), std::string::npos);
}

// Long options shortened, short options grouped, the file before the options, and each call
// independent of what an earlier call left half parsed.
TEST(CliOptionsTest, FollowsGnuConventions) {
    struct Case {
        std::vector<std::string> args;
        const char* error; // "" when accepted, else inside the message
    };
    const std::vector<Case> cases = {
        {{"--cop", "3", "--no-c", "a.pdf"}, ""},
        {{"a.pdf", "--dup=long", "-qy"}, ""},
        {{"--co", "3", "a.pdf"}, "option --co is ambiguous: --copies, --collate"},
        {{"--no", "a.pdf"}, "ambiguous"},
        {{"-qx", "a.pdf"}, "unknown option -x"},
        {{"--help=now"}, "option --help takes no value"},
        {{"--fi=1", "a.pdf"}, "option --fit takes no value"},
        {{"a.pdf", "--pri"}, "option --printer needs a value"},
        {{"--colour=red", "a.pdf"}, "unknown option --colour"},
        {{"--", "--fit"}, ""},
        {{"-", "--fit"}, ""},
    };
    for (int round = 0; round < 2; ++round) {
        for (const Case& c : cases) {
            const ParseResult r = Parse(c.args);
            if (*c.error == '\0') {
                EXPECT_EQ(r.error, "") << c.args.front();
            } else {
                EXPECT_NE(r.error.find(c.error), std::string::npos)
                    << c.args.front() << ": " << r.error;
            }
        }
    }
    const ParseResult r = Parse({"a.pdf", "--cop", "3", "--no-c", "-qy"});
    EXPECT_EQ(r.options.copies, "3");
    EXPECT_EQ(r.options.collate, false);
    EXPECT_TRUE(r.options.quiet && r.options.yes);
    EXPECT_EQ(r.options.pdfPath, "a.pdf");
    EXPECT_EQ(Parse({"--", "--fit"}).options.pdfPath, "--fit");
    EXPECT_EQ(Parse({"-", "--fit"}).options.pdfPath, "-");
}

} // namespace
} // namespace nv::cli
