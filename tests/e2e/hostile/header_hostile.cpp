// Hostile input against the job header, through norvane-print and the virtual printer: file
// and user names that try to add or change a job ticket attribute, names cut at their
// significant length, paper-source values from a capability file that try to add PJL lines,
// and passwords and pages the header cannot carry. Each case checks the exit status, the
// message and what the printer received.
#include "platform/modules/Modules.h"
#include "support/ProgramCopy.h"
#include "support/ScratchDir.h"
#include "support/VirtualPrinterProcess.h"

#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace nv::test {
namespace {

namespace fs = std::filesystem;

// A header line as the printer's JSON summary shows it (quotes and backslashes escaped).
std::string Json(const std::string& line) {
    std::string out;
    for (const char c : line) {
        if (c == '"' || c == '\\') {
            out += '\\';
        }
        out += c;
    }
    return "\"" + out + "\"";
}

using Result = ProgramRun;

// Models by printer type; 0x38F offers every option, the open end and the password.
const char* const kPrinters[] = {"T0", "T1", "T2", "T3"};

class HeaderHostile : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        scratch_ = new ScratchDir();
        printer_ = new VirtualPrinterProcess(Dir() / "printer");
        PrepareProgramFolder(Dir());
        fs::copy_file(NV_HOSTILE_JOB_LOG, Dir() / "drivers" / "nvlogext.so");
        std::string cap = "[Capability]\n";
        std::string printers;
        for (int type = 0; type < 4; ++type) {
            const std::string name = kPrinters[type];
            cap += "Velmora " + name + "=" + name + "\n";
            printers +=
                "[" + name + "]\nDriver=Velmora " + name + "\nPort=" + printer_->SocketUri() + "\n";
        }
        for (int type = 0; type < 4; ++type) {
            cap += std::string("[") + kPrinters[type] +
                   "]\nDirectPrint=911\nDPTray=" + std::to_string(type) +
                   "\nJobInfoDll=No\nTrayCom=Trays\nPDFVersion=1.7\n";
        }
        // Tray1 to Tray3 try to leave their line; Tray4 to add a ticket attribute.
        cap += "[Trays]\nAutoTray=auto\nTray1=T1\x0B@PJL INITIALIZE\n"
               "Tray2=T2\x1B%-12345X@PJL INITIALIZE\nTray3=T3\x0C@PJL RDYMSG DISPLAY=x\n"
               "Tray4=t4;copies=99\n";
        WriteFile(Dir() / "drivers" / "nvtest.cap", cap);
        WriteFile(Dir() / "printers.ini", printers);
        ::setenv("NORVANE_REGISTRY", (Dir() / "registry.reg").c_str(), 1);
        ::setenv("NV_HOSTILE_USER", "alice", 1);
        ::unsetenv("NV_HOSTILE_ACCOUNT");
    }
    static void TearDownTestSuite() {
        delete printer_;
        printer_ = nullptr;
        delete scratch_;
        scratch_ = nullptr;
    }
    void SetUp() override { ASSERT_NE(printer_->Port(), 0); }

    static const fs::path& Dir() { return scratch_->Path(); }
    static std::string Text(UINT id) {
        return platform::ResourceModule::Load((Dir() / "program" / "Norvres.dll").string())
            ->LoadText(id);
    }
    // A small PDF named NAME in a folder of its own.
    static std::string Pdf(const std::string& name) {
        const fs::path folder = Dir() / ("doc" + std::to_string(++docs_));
        fs::create_directories(folder);
        WriteFile(folder / name, "%PDF-1.4\n1 0 obj << >> endobj\ntrailer\n%%EOF\n");
        return (folder / name).string();
    }

    // Runs the copied norvane-print with ARGS, INPUT on its standard input.
    static Result Run(const std::vector<std::string>& args, const std::string& input = "") {
        return RunProgram(Dir(), args, input);
    }

    // Prints PDF on PRINTER with OPTIONS and returns the printer's summary of the job ("" when
    // the run failed or no job came).
    static std::string Print(const std::string& printer, const std::string& pdf,
                             std::vector<std::string> options = {}, const std::string& input = "") {
        std::vector<std::string> args = {"--printer", printer};
        args.insert(args.end(), options.begin(), options.end());
        args.push_back(pdf);
        const Result result = Run(args, input);
        EXPECT_EQ(result.status, 0) << result.err;
        if (result.status != 0) {
            return {};
        }
        return printer_->WaitForSummary(++jobs_);
    }

    static ScratchDir* scratch_;
    static VirtualPrinterProcess* printer_;
    static int jobs_;
    static int docs_;
};

ScratchDir* HeaderHostile::scratch_ = nullptr;
VirtualPrinterProcess* HeaderHostile::printer_ = nullptr;
int HeaderHostile::jobs_ = 0;
int HeaderHostile::docs_ = 0;

// A file or user name is one value of the job ticket, whatever separators it holds; the job
// name keeps the file name as it is, and an ordinary name with blanks reads as it is.
TEST_F(HeaderHostile, NamesNeverAddOrChangeATicketAttribute) {
    struct Case {
        const char* printer;
        std::string file;
        std::string user;
        const char* account;            // null: none
        std::vector<std::string> lines; // expected among the header lines
    };
    const std::vector<Case> cases = {
        {"T2",
         "x;job-originating-user-name=mallory.pdf",
         "alice",
         nullptr,
         {"@PJL JOB NAME=\"x;job-originating-user-name=mallory.pdf\"",
          "@PJL SET JOBATTR=\"job-originating-user-name=alice;"
          "document-name=x_job-originating-user-name_mallory.pdf\""}},
        {"T0",
         "x USER=mallory.pdf",
         "alice",
         nullptr,
         {"@PJL JOB NAME=\"x USER=mallory.pdf\"",
          "@PJL SET JOBATTR=\"USER=alice DOCUMENT=x USER_mallory.pdf\""}},
        {"T0",
         "report.pdf",
         "eve DOCUMENT=other.pdf",
         nullptr,
         {"@PJL SET JOBATTR=\"USER=eve DOCUMENT_other.pdf DOCUMENT=report.pdf\""}},
        {"T2",
         "report.pdf",
         "eve;job-account-id=1",
         "5",
         {"@PJL SET JOBATTR=\"job-account-id=5;job-originating-user-name=eve_job-account-id_1;"
          "document-name=report.pdf\""}},
        {"T2",
         "my report (final).pdf",
         "Ann Lee",
         nullptr,
         {"@PJL SET JOBATTR=\"job-originating-user-name=Ann Lee;"
          "document-name=my report (final).pdf\""}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.printer + (" " + c.file) + " / " + c.user);
        ::setenv("NV_HOSTILE_USER", c.user.c_str(), 1);
        if (c.account != nullptr) {
            ::setenv("NV_HOSTILE_ACCOUNT", c.account, 1);
        }
        const std::string summary = Print(c.printer, Pdf(c.file));
        ::setenv("NV_HOSTILE_USER", "alice", 1);
        ::unsetenv("NV_HOSTILE_ACCOUNT");
        ASSERT_FALSE(summary.empty());
        EXPECT_NE(summary.find("\"fault_count\": 0"), std::string::npos) << summary;
        for (const std::string& line : c.lines) {
            EXPECT_NE(summary.find(Json(line)), std::string::npos) << line << "\n" << summary;
        }
    }
}

// A name longer than its significant length (80 bytes for a job name, 64 for a user) is cut at
// a whole character, and the job and end-of-job lines carry the same name.
TEST_F(HeaderHostile, LongNamesAreCutAtAWholeCharacter) {
    const std::string e = "\xC3\xA9";        // é, 2 bytes
    const std::string euro = "\xE2\x82\xAC"; // €, 3 bytes
    const std::string file = std::string(79, 'a') + e + ".pdf";
    ::setenv("NV_HOSTILE_USER", (std::string(63, 'u') + euro).c_str(), 1);
    for (const char* printer : kPrinters) {
        SCOPED_TRACE(printer);
        const std::string summary = Print(printer, Pdf(file));
        ASSERT_FALSE(summary.empty());
        EXPECT_NE(summary.find("\"fault_count\": 0"), std::string::npos) << summary;
        const std::string name = Json("NAME=\"" + std::string(79, 'a') + "\"");
        const std::string quoted = name.substr(1, name.size() - 2);
        EXPECT_NE(summary.find("JOB " + quoted), std::string::npos) << summary;
        EXPECT_NE(summary.find("EOJ " + quoted), std::string::npos) << summary;
        // The summary shows a byte of no whole character as an escape.
        EXPECT_EQ(summary.find("\\u00"), std::string::npos) << summary;
        if (std::string(printer) == "T0") {
            EXPECT_NE(summary.find("USER=" + std::string(63, 'u') + " DOCUMENT="),
                      std::string::npos)
                << summary;
        }
    }
    ::setenv("NV_HOSTILE_USER", "alice", 1);
}

// Paper-source values of a capability file holding control bytes, the PJL exit sequence or a
// ticket separator stay one value on their own line.
TEST_F(HeaderHostile, TrayValuesStayOnTheirLine) {
    struct Case {
        const char* printer;
        const char* tray;
        std::string line; // expected among the header lines
    };
    const std::vector<Case> cases = {
        {"T1", "Tray1", "@PJL SET PAPERSOURCE=T1?@PJL INITIALIZE"},
        {"T1", "Tray2", "@PJL SET PAPERSOURCE=T2?%-12345X@PJL INITIALIZE"},
        {"T3", "Tray3", "@PJL SET MEDIASOURCE=T3?@PJL RDYMSG DISPLAY_x"},
        {"T2", "Tray2", "@PJL SET JOBATTR=\"media-source=t2?%-12345x@pjl initialize\""},
        {"T2", "Tray4", "@PJL SET JOBATTR=\"media-source=t4_copies_99\""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.printer) + " " + c.tray);
        const std::string summary = Print(c.printer, Pdf("report.pdf"), {"--tray", c.tray});
        ASSERT_FALSE(summary.empty());
        EXPECT_NE(summary.find("\"fault_count\": 0"), std::string::npos) << summary;
        EXPECT_NE(summary.find(Json(c.line)), std::string::npos) << c.line << "\n" << summary;
    }
}

// Values the header cannot carry are refused with their message, and nothing is printed.
TEST_F(HeaderHostile, ValuesTheHeaderCannotCarryAreRefused) {
    struct Case {
        const char* name;
        const char* printer;
        std::vector<std::string> options;
        std::string input;
        int status;
        UINT message; // 0: none expected
    };
    const std::vector<Case> cases = {
        {"escaped password over its line",
         "T0",
         {"--password-stdin"},
         std::string(116, '\\') + "\n",
         4,
         1509},
        {"parentheses double too",
         "T3",
         {"--password-stdin"},
         std::string(120, '(') + "\n",
         4,
         1509},
        {"escaped password filling its line",
         "T0",
         {"--password-stdin"},
         std::string(115, '\\') + "\n",
         0,
         0},
        {"start page 0 to the end", "T0", {"--pages", "0-"}, "", 4, 1508},
        // Type 0 carries a range open at its end (types 3 and 4 never offer one).
        {"start page past 9999 to the end", "T0", {"--pages", "123456-"}, "", 4, 1508},
        {"start page 9999 to the end", "T0", {"--pages", "9999-"}, "", 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<std::string> args = {"--printer", c.printer};
        args.insert(args.end(), c.options.begin(), c.options.end());
        args.push_back(Pdf("report.pdf"));
        const Result result = Run(args, c.input);
        EXPECT_EQ(result.status, c.status) << result.err;
        if (c.message != 0) {
            EXPECT_NE(result.err.find(Text(c.message)), std::string::npos) << result.err;
        }
        if (c.status == 0) {
            const std::string summary = printer_->WaitForSummary(++jobs_);
            EXPECT_NE(summary.find("\"fault_count\": 0"), std::string::npos) << summary;
        } else {
            EXPECT_TRUE(
                printer_->WaitForSummary(jobs_ + 1, std::chrono::milliseconds(300)).empty());
        }
    }
}

} // namespace
} // namespace nv::test
