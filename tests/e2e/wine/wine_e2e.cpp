// The Windows edition under Wine against the private scheduler: printers are raw queues whose
// jobs go to the virtual printer, each bound under Wine to a driver whose dependent files hold
// the capability file, as a maker's installer binds them. norvane-print.exe lists them as
// supported printers, and for every printer type the virtual printer receives exactly the
// stream the Linux norvane-print --dry-run writes for the same options: the same PJL lines,
// the same document, the same length.
//
// Needs the Windows build (NV_WINDOWS_PROGRAM_DIR, with the helper nv-bind-driver.exe in
// NV_WINDOWS_TESTS_DIR); skips with the reason when it is missing. What Wine's spooler does not
// do is skipped with Wine's own version in the reason, never passed silently.
#include "job/PrintJob.h"
#include "support/RunCommand.h"
#include "support/ScratchDir.h"
#include "support/TestPdf.h"
#include "support/VirtualPrinterProcess.h"
#include "support/WineJobs.h"
#include "support/WineShell.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <memory>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace nv::test {
namespace {

namespace fs = std::filesystem;

using Result = ShellResult;

constexpr int kTypes = 5;
const std::string kXpsQueue = "wine-xps";
// "資料.pdf": the name reaches the job header, so it shows the program took its argument whole
// from the wide command line; the header names it in the system's code page (the test runs
// Wine under a Japanese locale: code page 932).
const std::string kDocument = "\xE8\xB3\x87\xE6\x96\x99.pdf";
const std::string kDocument932 = "\x8E\x91\x97\xBF.pdf";
const std::string kXpsDriver = "Velmora Wine XPS";
// Printers whose drivers bring side libraries: a job-log library (bound within its test) and
// the job-info library nvwjinfo.dll.
const std::string kLogQueue = "wine-log";
const std::string kLogDriver = "Velmora Wine Log";
const std::string kInfoQueue = "wine-info";
const std::string kInfoDriver = "Velmora Wine Info";

// TEXT with every FROM replaced by TO.
std::string Replaced(std::string text, const std::string& from, const std::string& to) {
    for (std::size_t at = text.find(from); at != std::string::npos;
         at = text.find(from, at + to.size())) {
        text.replace(at, from.size(), to);
    }
    return text;
}

// The Linux stream STREAM as the Windows edition under code page 932 writes it for kDocument.
std::string In932(const std::string& stream) {
    return Replaced(stream, kDocument, kDocument932);
}

// Whether the summary SUMMARY holds a PJL line starting with LINE.
bool HasLine(const std::string& summary, const std::string& line) {
    std::string quoted = nlohmann::json(vprinter::ValidUtf8(line)).dump();
    quoted.pop_back(); // the closing quote: the line may go on
    return summary.find(quoted) != std::string::npos;
}

class WineE2E : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        windows_ = Env("NV_WINDOWS_PROGRAM_DIR");
        if (!fs::exists(fs::path(windows_) / "norvane-print.exe") ||
            !fs::exists(fs::path(Env("NV_WINDOWS_TESTS_DIR")) / "nv-bind-driver.exe")) {
            missing_ = "the Windows build is missing (build the mingw preset first): " + windows_;
            return;
        }
        scratch_ = std::make_unique<ScratchDir>();
        fs::permissions(scratch_->Path(), fs::perms(0755));
        printer_ = std::make_unique<VirtualPrinterProcess>(scratch_->Path() / "printer");

        // The driver's files: its "driver" and the capability file of every type, plus one
        // model whose capability file asks for the XPS_PASS datatype.
        const fs::path drivers = scratch_->Path() / "drivers";
        fs::create_directories(drivers);
        std::string cap = "[Capability]\n";
        for (int type = 0; type < kTypes; ++type) {
            cap += Driver(type) + "=M" + std::to_string(type) + "\n";
        }
        cap += kLogDriver + "=M0\n" + kInfoDriver + "=MI\n";
        for (int type = 0; type < kTypes; ++type) {
            cap += "[M" + std::to_string(type) +
                   "]\nDirectPrint=911\nTrayCom=Trays\nDPTray=" + std::to_string(type) +
                   "\nJobInfoDll=No\nPDFVersion=1.7\n";
        }
        cap += "[MI]\nDirectPrint=911\nTrayCom=Trays\nDPTray=0\nJobInfoDll=nvwjinfo.dll\n"
               "PDFVersion=1.7\n";
        cap += "[Trays]\nAutoTray=auto\nTray1=tray1\nManual Feed=manual\n";
        std::ofstream(drivers / "nvwine.cap") << cap;
        // A "t" before ".cap" makes the job's datatype XPS_PASS.
        std::ofstream(drivers / "nvwint.cap")
            << "[Capability]\n" + kXpsDriver + "=MX\n[MX]\nDirectPrint=911\nTrayCom=Trays\n"
            << "DPTray=1\nJobInfoDll=No\nPDFVersion=1.7\n[Trays]\nAutoTray=auto\n";
        std::ofstream(drivers / "nvwine.dll") << "driver";
        const fs::path side = fs::path(Env("NV_WINDOWS_TESTS_DIR")) / "side";
        fs::copy_file(side / "info" / "nvwjinfo.dll", drivers / "nvwjinfo.dll");
        fs::create_directories(drivers / "log");
        fs::copy_file(drivers / "nvwine.cap", drivers / "log" / "nvwine.cap");
        fs::copy_file(drivers / "nvwine.dll", drivers / "log" / "nvwine.dll");
        fs::copy_file(side / "log" / "nvlogext.dll", drivers / "log" / "nvlogext.dll");
        std::ofstream(scratch_->Path() / kDocument, std::ios::binary) << TestPdf(300 * 1024 + 17);

        for (int type = 0; type <= kTypes + 2; ++type) {
            const std::vector<std::string> queues = {kXpsQueue, kInfoQueue, kLogQueue};
            const std::vector<std::string> names = {kXpsDriver, kInfoDriver, kLogDriver};
            const std::string queue = type < kTypes ? Queue(type) : queues[type - kTypes];
            const std::string driver = type < kTypes ? Driver(type) : names[type - kTypes];
            const char* capFile = type == kTypes ? "nvwint.cap" : "nvwine.cap";
            // No SNMP probe: it costs seconds per job and the virtual printer does not answer.
            const auto added =
                RunCommand(Quote(Env("NV_CUPS_TEST_SERVER")) + " add-queue " + Quote(queue) + " " +
                           Quote(printer_->SocketUri() + "/?snmp=false") + " " + Quote(driver));
            // The scheduler types what Wine hands it by its content, and the "%PDF" after the
            // PJL header would send the job through its PDF filters: the user's option "raw"
            // for the queue (in HOME, which the test sets) keeps Wine's jobs as they are.
            if (!added || !RunCommand("lpoptions -p " + Quote(queue) + " -o raw >/dev/null")) {
                broken_ = "cannot add queue " + queue;
                return;
            }
            if (queue == kLogQueue) {
                continue; // bound by its test, which removes the library again
            }
            std::vector<std::string> bind = {queue, driver, WindowsPath(drivers), "nvwine.dll",
                                             capFile};
            if (queue == kInfoQueue) {
                bind.push_back("nvwjinfo.dll");
            }
            const Result bound = Wine(Env("NV_WINDOWS_TESTS_DIR") + "/nv-bind-driver.exe", bind);
            if (bound.status != 0 || bound.out.find("bound\n") == std::string::npos) {
                broken_ = "cannot bind the driver of " + queue + ": " + bound.out;
                return;
            }
            if (bound.out.starts_with("wine ")) {
                wine_ = bound.out.substr(0, bound.out.find('\n'));
            }
        }
    }
    static void TearDownTestSuite() {
        printer_.reset();
        scratch_.reset();
    }
    void SetUp() override {
        if (!missing_.empty()) {
            GTEST_SKIP() << missing_;
        }
        ASSERT_EQ(broken_, "");
        ASSERT_NE(printer_->Port(), 0);
    }

    static std::string Driver(int type) { return "Velmora Wine T" + std::to_string(type); }
    static std::string Queue(int type) { return "wine-type" + std::to_string(type); }
    static fs::path Dir() { return scratch_->Path(); }

    // The command that runs the Windows PROGRAM with ARGS in the test's Wine prefix.
    static std::string WineCommand(const std::string& program,
                                   const std::vector<std::string>& args) {
        std::string command = "env NORVANE_REGISTRY= " + Quote(Env("NV_WINE_PREFIX_SCRIPT")) +
                              " run " + Quote(Env("NV_WINE_PREFIX")) + " " + Quote(program);
        for (const std::string& arg : args) {
            command += " " + Quote(arg);
        }
        return command;
    }
    static Result Wine(const std::string& program, const std::vector<std::string>& args) {
        return Shell(WineCommand(program, args));
    }

    // The Unix path of PATH on the prefix's drive C.
    static fs::path UnixPath(std::string path) {
        std::replace(path.begin(), path.end(), '\\', '/');
        return fs::path(Env("NV_WINE_PREFIX")) / "drive_c" / path.substr(3);
    }

    // norvane-print.exe under Wine.
    static Result WindowsPrint(const std::vector<std::string>& args) {
        return Wine(windows_ + "/norvane-print.exe", args);
    }

    static std::string DriverPath() {
        return (fs::path(Env("NV_WINDOWS_TESTS_DIR")) / "nv-drive-dialog.exe").string();
    }
    // Why windows cannot be shown here ("" when they can). Wine keeps the display its desktop
    // process started with: programs of the earlier tests ran without one, so the prefix's
    // programs are stopped before a run on the display starts them anew.
    static std::string DisplayMissing() {
        if (!fs::exists(fs::path(windows_) / "Norvane.exe") || !fs::exists(DriverPath())) {
            return "Norvane.exe or nv-drive-dialog.exe is missing from the Windows build";
        }
        const std::string xvfb = Env("NV_XVFB_RUN");
        if (xvfb.empty() || !fs::exists(xvfb)) {
            return "xvfb-run is missing: the dialog needs a display";
        }
        Shell(Quote(Env("NV_WINE_PREFIX_SCRIPT")) + " stop " + Quote(Env("NV_WINE_PREFIX")));
        return "";
    }
    // The start of a command that runs a Windows program in the prefix.
    static std::string Run() {
        return Quote(Env("NV_WINE_PREFIX_SCRIPT")) + " run " + Quote(Env("NV_WINE_PREFIX")) + " ";
    }
    // The shell COMMANDS on a virtual display of their own, where the prefix's programs show
    // their windows.
    static Result OnDisplay(const std::string& commands) {
        return Shell(Quote(Env("NV_XVFB_RUN")) + " -a -s '-screen 0 1280x1024x24' sh -c " +
                     Quote("export NV_WINE_DISPLAY=$DISPLAY NORVANE_REGISTRY=; " + commands));
    }

    // The Linux norvane-print's dry run on the same queue with the same options.
    static std::string LinuxDryRun(const std::vector<std::string>& args) {
        return test::LinuxDryRun(Dir(), Dir() / kDocument, args);
    }

    static std::string windows_;
    static std::string missing_; // why the test cannot run here
    static std::string broken_;  // what went wrong setting the printers up
    static std::string wine_;
    static std::unique_ptr<ScratchDir> scratch_;
    static std::unique_ptr<VirtualPrinterProcess> printer_;
    static int jobs_;
};

std::string WineE2E::windows_;
std::string WineE2E::missing_;
std::string WineE2E::broken_;
std::string WineE2E::wine_;
std::unique_ptr<ScratchDir> WineE2E::scratch_;
std::unique_ptr<VirtualPrinterProcess> WineE2E::printer_;
int WineE2E::jobs_ = 0;

TEST_F(WineE2E, ListShowsTheBoundQueuesAsSupportedPrinters) {
    const Result listed = WindowsPrint({"--list"});
    ASSERT_EQ(listed.status, 0) << listed.out;
    for (int type = 0; type < kTypes; ++type) {
        EXPECT_NE(listed.out.find(Queue(type)), std::string::npos) << listed.out;
    }
}

TEST_F(WineE2E, EveryPrinterTypeReceivesTheLinuxDryRunByteForByte) {
    const std::vector<std::vector<std::string>> options = {
        {"--copies", "2"}, {"--duplex", "long"}, {"--tray", "Tray1"}, {"--collate"}, {}};
    for (int type = 0; type < kTypes; ++type) {
        SCOPED_TRACE(Queue(type));
        std::vector<std::string> args = {"--printer", Queue(type)};
        args.insert(args.end(), options[type].begin(), options[type].end());
        const std::string expected = LinuxDryRun(args);
        ASSERT_FALSE(expected.empty());

        args.push_back(WindowsPath(Dir() / kDocument));
        const Result printed = WindowsPrint(args);
        ASSERT_EQ(printed.status, 0) << printed.out;
        const std::string summary = printer_->WaitForSummary(++jobs_, std::chrono::seconds(60));
        ASSERT_FALSE(summary.empty()) << "no job arrived";
        EXPECT_EQ(summary, SummaryOf(In932(expected), jobs_));
        EXPECT_TRUE(printer_->Document(jobs_) == ReadWholeFile(Dir() / kDocument));
    }
}

// Names leave in the system's code page, byte for byte as a program of that code page sends
// them: a character the code page lacks becomes '?', and a name whose double-byte characters
// end in 0x5C ('\\' as a single byte) or that holds a ';' or '=' still neither ends its quoted
// value nor adds an attribute to the owner's ticket.
TEST_F(WineE2E, NamesLeaveInTheSystemCodePage) {
    const struct {
        const char* locale;
        std::string part;      // the name's non-ASCII part, UTF-8
        std::string converted; // that part as the job carries it
    } cases[] = {
        {"ja_JP.UTF-8", "\xE8\xA1\xA8\xE3\x82\xBD", "\x95\x5C\x83\x5C"}, // 表ソ
        {"ja_JP.UTF-8", "Caf\xC3\xA9", "Caf?"},
        {"en_US.UTF-8", "Caf\xC3\xA9", "Caf\xE9"},
        {"en_US.UTF-8", "\xE8\xB3\x87\xE6\x96\x99", "??"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.locale) + " " + c.part);
        const fs::path document = Dir() / "names" / (c.part + ";x=y.pdf");
        fs::create_directories(document.parent_path());
        std::ofstream(document, std::ios::binary) << TestPdf(4096);
        const std::string expected = test::LinuxDryRun(Dir(), document, {"--printer", Queue(0)});
        ASSERT_FALSE(expected.empty());
        const Result printed = Shell("env NV_WINE_LOCALE=" + std::string(c.locale) + " " +
                                     WineCommand(windows_ + "/norvane-print.exe",
                                                 {"--printer", Queue(0), WindowsPath(document)}));
        ASSERT_EQ(printed.status, 0) << printed.out;
        const std::string summary = printer_->WaitForSummary(++jobs_, std::chrono::seconds(60));
        EXPECT_EQ(summary, SummaryOf(Replaced(expected, c.part, c.converted), jobs_));
    }
}

// Side libraries come only from the driver's folder. A job-log library planted beside the PDF
// and in the current folder never loads; the one among the driver's files gives the account
// and user of the owner line, and a model's job-info library its command, both told and telling
// in the system's code page.
TEST_F(WineE2E, SideLibrariesComeOnlyFromTheDriverFolder) {
    const fs::path share = Dir() / "share";
    const fs::path current = Dir() / "current";
    const fs::path planted = fs::path(Env("NV_WINDOWS_TESTS_DIR")) / "side" / "planted";
    for (const fs::path& folder : {share, current}) {
        fs::create_directories(folder);
        fs::copy_file(planted / "nvlogext.dll", folder / "nvlogext.dll",
                      fs::copy_options::overwrite_existing);
    }
    fs::copy_file(Dir() / kDocument, share / kDocument, fs::copy_options::overwrite_existing);
    const auto print = [&](const std::string& queue) {
        const Result printed =
            Shell("cd " + Quote(current.string()) + " && " +
                  WineCommand(windows_ + "/norvane-print.exe",
                              {"--printer", queue, WindowsPath(share / kDocument)}));
        EXPECT_EQ(printed.status, 0) << printed.out;
        return printer_->WaitForSummary(++jobs_, std::chrono::seconds(60));
    };

    const std::string expected =
        test::LinuxDryRun(Dir(), share / kDocument, {"--printer", Queue(0)});
    const std::string unlogged = print(Queue(0));
    EXPECT_EQ(unlogged, SummaryOf(In932(expected), jobs_));
    EXPECT_FALSE(fs::exists(share / "planted-ran"));
    EXPECT_FALSE(fs::exists(current / "planted-ran"));

    const std::string info = print(kInfoQueue);
    EXPECT_TRUE(HasLine(info, "@PJL SET JOBATTR=\"@JOAU=info;@JONM=" + kDocument932 + "\""))
        << info;

    // The job-log library is bound as a dependent file of its driver; the spooler keeps every
    // driver's files in one folder, so it goes again when the test ends.
    const Result bound = Wine(Env("NV_WINDOWS_TESTS_DIR") + "/nv-bind-driver.exe",
                              {kLogQueue, kLogDriver, WindowsPath(Dir() / "drivers" / "log"),
                               "nvwine.dll", "nvwine.cap", "nvlogext.dll"});
    ASSERT_EQ(bound.status, 0) << bound.out;
    const std::string driverPath = bound.out.substr(bound.out.find("bound\n") + 6);
    const fs::path library =
        UnixPath(driverPath.substr(0, driverPath.find('\n'))).parent_path() / "nvlogext.dll";
    struct Removal {
        fs::path file;
        ~Removal() { fs::remove(file); }
    } removal{library};
    ASSERT_TRUE(fs::exists(library)) << bound.out;
    const std::string logged = print(kLogQueue);
    EXPECT_TRUE(HasLine(logged, "@PJL SET JOBATTR=\"ACCOUNT=4711 USER=\x8E\x52\x93\x63 DOCUMENT=" +
                                    kDocument932 + "\""))
        << logged;
    EXPECT_FALSE(fs::exists(share / "planted-ran"));
    EXPECT_FALSE(fs::exists(current / "planted-ran"));
}

// A model whose capability file asks for the XPS_PASS datatype gets the same stream as on
// Linux. Wine's spooler delivers only RAW or no datatype: there EndDocPrinter fails, and the
// program must say so.
TEST_F(WineE2E, XpsPassJobArrivesAsTheLinuxDryRun) {
    const std::string expected = LinuxDryRun({"--printer", kXpsQueue});
    ASSERT_FALSE(expected.empty());
    const Result printed =
        WindowsPrint({"--printer", kXpsQueue, "--quiet", WindowsPath(Dir() / kDocument)});
    if (!wine_.empty() && printed.status == 1) {
        GTEST_SKIP() << wine_ << ": its spooler delivers only the RAW datatype or none, and "
                     << "EndDocPrinter fails for XPS_PASS";
    }
    ASSERT_EQ(printed.status, 0) << printed.out;
    const std::string summary = printer_->WaitForSummary(++jobs_, std::chrono::seconds(60));
    EXPECT_EQ(summary, SummaryOf(In932(expected), jobs_));
}

// A job whose document carries a UEL is abandoned part-way: the program says so, and nothing
// of the job may print. Wine's AbortPrinter only reports success, and the part already written
// prints there, so under Wine only the program's side is checked.
TEST_F(WineE2E, AbandonedJobFailsAndPrintsNothing) {
    std::string pdf = TestPdf(3 * kDocumentChunkSize);
    pdf.replace(2 * kDocumentChunkSize + 100, kUel.size(), kUel);
    std::ofstream(Dir() / "uel.pdf", std::ios::binary) << pdf;
    const Result printed =
        WindowsPrint({"--printer", Queue(2), "--quiet", WindowsPath(Dir() / "uel.pdf")});
    EXPECT_EQ(printed.status, 1) << printed.out;
    if (!wine_.empty()) {
        GTEST_SKIP() << wine_ << ": AbortPrinter is a stub there, so the part of an abandoned "
                     << "job already written still prints";
    }
    std::this_thread::sleep_for(std::chrono::seconds(2));
    EXPECT_FALSE(printer_->HasJob(jobs_ + 1));
}

// Norvane.exe, started with the document's path as its command line, opens the real dialog on
// a virtual display; a second process picks a printer there and presses Print, and the printer
// receives the job the Linux dry run writes for the dialog's defaults.
TEST_F(WineE2E, NorvaneExePrintsFromItsDialog) {
    if (const std::string missing = DisplayMissing(); !missing.empty()) {
        GTEST_SKIP() << missing;
    }
    const std::string queue = Queue(3);
    const std::string expected = LinuxDryRun({"--printer", queue});
    ASSERT_FALSE(expected.empty());

    const Result printed =
        OnDisplay(Run() + Quote(windows_ + "/Norvane.exe") + " " +
                  Quote(WindowsPath(Dir() / kDocument)) + " & " + Run() + Quote(DriverPath()) +
                  " " + Quote(queue) + "; status=$?; wait; exit $status");
    ASSERT_EQ(printed.status, 0) << printed.out;
    EXPECT_NE(printed.out.find("printed"), std::string::npos) << printed.out;
    const std::string summary = printer_->WaitForSummary(++jobs_, std::chrono::seconds(60));
    ASSERT_FALSE(summary.empty()) << "no job arrived";
    EXPECT_EQ(summary, SummaryOf(In932(expected), jobs_));
    EXPECT_TRUE(printer_->Document(jobs_) == ReadWholeFile(Dir() / kDocument));
}

// A launcher that names the program separately and passes the document's path (blanks and
// all) as the whole command line gets the dialog; started with nothing, the program asks with
// the open-file dialog and no message box, and Cancel ends it.
TEST_F(WineE2E, NorvaneExeFromALauncherAndWithoutAFile) {
    if (const std::string missing = DisplayMissing(); !missing.empty()) {
        GTEST_SKIP() << missing;
    }
    const fs::path spaced = Dir() / "two words" / kDocument;
    fs::create_directories(spaced.parent_path());
    fs::copy_file(Dir() / kDocument, spaced, fs::copy_options::overwrite_existing);
    const std::string drive = Run() + Quote(DriverPath()) + " ";
    const std::string exe = Quote(WindowsPath(fs::path(windows_) / "Norvane.exe"));
    for (const std::string& args :
         {"--launch " + exe + " " + Quote(WindowsPath(spaced)), "--pick " + exe}) {
        const Result answered = OnDisplay(drive + args);
        EXPECT_EQ(answered.status, 0) << args << ": " << answered.out;
        EXPECT_NE(answered.out.find("answered"), std::string::npos) << args << ": " << answered.out;
    }
}

} // namespace
} // namespace nv::test
