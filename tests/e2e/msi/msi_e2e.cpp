// The Windows installer under Wine, on a machine of its own (a fresh Wine prefix): msiexec
// installs norvane.msi into the program-files folder with the Start-menu entry and the "Open
// with" association for PDF files; the installed norvane-print.exe prints (a dry run on a queue
// of the private scheduler, compared with the Linux program's); the installed help files open
// by every context ID the dialog sends; the installed Norvane.exe, started with a PDF's path as
// its command line as the association starts it, opens the dialog and prints the job to the
// virtual printer as the Linux program would; and uninstalling removes every file and key it added
// while the user's settings stay.
//
// Needs the Windows build (NV_WINDOWS_BUILD_DIR: norvane.msi, and nv-bind-driver.exe and
// nv-help-probe.exe in its tests folder, and nv-drive-dialog.exe for the dialog); skips with the
// reason when it is missing.
#include "support/RunCommand.h"
#include "support/ScratchDir.h"
#include "support/TestPdf.h"
#include "support/VirtualPrinterProcess.h"
#include "support/WineJobs.h"
#include "support/WineShell.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace nv::test {
namespace {

namespace fs = std::filesystem;

const std::string kQueue = "msi-type1";
const std::string kDriver = "Velmora Msi T1";
const std::string kProgId = "HKLM\\Software\\Classes\\Norvane.PdfFile";
const std::string kOpenWith = "HKLM\\Software\\Classes\\.pdf\\OpenWithProgids";
const std::string kUninstall = "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
const std::string kSettings = "HKCU\\Software\\VELMORA\\Velmora Quillet\\Norvane";

class InstalledMsi : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        build_ = Env("NV_WINDOWS_BUILD_DIR");
        for (const fs::path& needed : {build_ / "norvane.msi", build_ / "tests/nv-bind-driver.exe",
                                       build_ / "tests/nv-help-probe.exe"}) {
            if (!fs::exists(needed)) {
                missing_ =
                    "the Windows build is missing (build the mingw preset): " + needed.string();
                return;
            }
        }
        // A machine of its own: nothing installed before, nothing left from an earlier run.
        prefix_ = Env("NV_WINE_PREFIX");
        Shell(Quote(Env("NV_WINE_PREFIX_SCRIPT")) + " stop " + Quote(prefix_.string()));
        fs::remove_all(prefix_);
        scratch_ = std::make_unique<ScratchDir>();
        fs::permissions(scratch_->Path(), fs::perms(0755));
        printer_ = std::make_unique<VirtualPrinterProcess>(Dir() / "printer");

        const fs::path drivers = Dir() / "drivers";
        fs::create_directories(drivers);
        std::ofstream(drivers / "nvwine.cap")
            << "[Capability]\n" + kDriver + "=M1\n[M1]\nDirectPrint=911\nTrayCom=Trays\n"
            << "DPTray=1\nJobInfoDll=No\nPDFVersion=1.7\n[Trays]\nAutoTray=auto\nTray1=tray1\n";
        std::ofstream(drivers / "nvwine.dll") << "driver";
        std::ofstream(Dir() / "doc.pdf", std::ios::binary) << TestPdf(64 * 1024 + 5);

        // A raw queue (Wine's jobs pass the scheduler untyped) to the virtual printer.
        if (!RunCommand(Quote(Env("NV_CUPS_TEST_SERVER")) + " add-queue " + Quote(kQueue) + " " +
                        Quote(printer_->SocketUri() + "/?snmp=false") + " " + Quote(kDriver)) ||
            !RunCommand("lpoptions -p " + Quote(kQueue) + " -o raw >/dev/null")) {
            broken_ = "cannot add the queue";
            return;
        }
        const ShellResult bound =
            Wine((build_ / "tests/nv-bind-driver.exe").string(),
                 {kQueue, kDriver, WindowsPath(drivers), "nvwine.dll", "nvwine.cap"});
        if (bound.status != 0 || bound.out.find("bound\n") == std::string::npos) {
            broken_ = "cannot bind the driver: " + bound.out;
            return;
        }
        const ShellResult installed =
            Wine("msiexec", {"/i", WindowsPath(build_ / "norvane.msi"), "/qn"});
        if (installed.status != 0) {
            broken_ = "msiexec /i failed: " + installed.out;
        }
    }
    static void TearDownTestSuite() {
        if (!prefix_.empty()) {
            Shell(Quote(Env("NV_WINE_PREFIX_SCRIPT")) + " stop " + Quote(prefix_.string()));
        }
        printer_.reset();
        scratch_.reset();
    }
    void SetUp() override {
        if (!missing_.empty()) {
            GTEST_SKIP() << missing_;
        }
        ASSERT_EQ(broken_, "");
    }

    static fs::path Dir() { return scratch_->Path(); }
    static fs::path InstallDir() { return prefix_ / "drive_c/Program Files/Norvane"; }

    // Runs the Windows PROGRAM with ARGS in the test's prefix, through LAUNCHER when given.
    static ShellResult Wine(const std::string& program, const std::vector<std::string>& args,
                            const std::string& launcher = "") {
        std::string command = launcher +
                              "env NORVANE_REGISTRY= " + Quote(Env("NV_WINE_PREFIX_SCRIPT")) +
                              " run " + Quote(prefix_.string()) + " " + Quote(program);
        for (const std::string& arg : args) {
            command += " " + Quote(arg);
        }
        return Shell(command);
    }
    static ShellResult Installed(const std::vector<std::string>& args) {
        return Wine((InstallDir() / "norvane-print.exe").string(), args);
    }
    static ShellResult Reg(const std::vector<std::string>& args) { return Wine("reg", args); }

    // The Start-menu entries named Norvane.lnk anywhere on the machine's drive (Wine puts the
    // common Start menu of a per-machine install into the user's folder).
    static std::vector<fs::path> Shortcuts() {
        std::vector<fs::path> found;
        for (const auto& entry : fs::recursive_directory_iterator(prefix_ / "drive_c")) {
            if (entry.path().filename() == "Norvane.lnk") {
                found.push_back(entry.path());
            }
        }
        return found;
    }

    // The files the installer must carry, relative to the program folder, as in the build.
    static std::set<std::string> BuildFiles() {
        std::set<std::string> files = {
            "norvane-print.exe", "Norvres.dll",         "Norvane.dll",
            "nvaComDLL.dll",     "nvbComDLL.dll",       "nvcComDLL.dll",
            "Norvane.chm",       "lang/en/Norvres.dll", "lang/en/Norvane.chm"};
        if (fs::exists(build_ / "bin/Norvane.exe")) {
            files.insert("Norvane.exe");
        }
        return files;
    }

    static fs::path build_;
    static fs::path prefix_;
    static std::string missing_;
    static std::string broken_;
    static std::unique_ptr<ScratchDir> scratch_;
    static std::unique_ptr<VirtualPrinterProcess> printer_;
};

fs::path InstalledMsi::build_;
fs::path InstalledMsi::prefix_;
std::string InstalledMsi::missing_;
std::string InstalledMsi::broken_;
std::unique_ptr<ScratchDir> InstalledMsi::scratch_;
std::unique_ptr<VirtualPrinterProcess> InstalledMsi::printer_;

TEST_F(InstalledMsi, InstallsTheProgramsLibrariesAndHelpFilesOfTheBuild) {
    std::set<std::string> installed;
    for (const auto& entry : fs::recursive_directory_iterator(InstallDir())) {
        if (entry.is_regular_file()) {
            installed.insert(fs::relative(entry.path(), InstallDir()).generic_string());
        }
    }
    EXPECT_EQ(installed, BuildFiles());
    for (const std::string& file : installed) {
        EXPECT_TRUE(ReadWholeFile(InstallDir() / file) == ReadWholeFile(build_ / "bin" / file))
            << file << " differs from the build's";
    }
}

TEST_F(InstalledMsi, AddsTheStartMenuEntryAndOpensPdfFilesWithThePathAsCommandLine) {
    const std::vector<fs::path> shortcuts = Shortcuts();
    ASSERT_EQ(shortcuts.size(), 1u);
    EXPECT_NE(ReadWholeFile(shortcuts[0]).find("Norvane.exe"), std::string::npos);

    const ShellResult command = Reg({"query", kProgId + "\\shell\\open\\command", "/ve"});
    ASSERT_EQ(command.status, 0) << command.out;
    EXPECT_NE(command.out.find("REG_SZ    \"C:\\Program Files\\Norvane\\Norvane.exe\" %1\n"),
              std::string::npos)
        << command.out;
    const ShellResult openWith = Reg({"query", kOpenWith, "/v", "Norvane.PdfFile"});
    EXPECT_EQ(openWith.status, 0) << openWith.out;
}

TEST_F(InstalledMsi, InstalledNorvanePrintWritesTheSameDryRunAsTheLinuxProgram) {
    const ShellResult version = Installed({"--version"});
    EXPECT_EQ(version.status, 0) << version.out;
    EXPECT_NE(version.out.find("3.0.0.3"), std::string::npos) << version.out;

    const std::vector<std::string> options = {"--printer", kQueue, "--copies", "3", "--save"};
    const std::string expected = LinuxDryRun(Dir(), Dir() / "doc.pdf", options);
    ASSERT_FALSE(expected.empty());
    std::vector<std::string> windows = {"--dry-run", WindowsPath(Dir() / "windows.prn")};
    windows.insert(windows.end(), options.begin(), options.end());
    windows.push_back(WindowsPath(Dir() / "doc.pdf"));
    const ShellResult printed = Installed(windows);
    ASSERT_EQ(printed.status, 0) << printed.out;
    EXPECT_TRUE(ReadWholeFile(Dir() / "windows.prn") == expected);
}

// The association runs the installed Norvane.exe with the path as its whole command line; a
// second process picks the queue in the dialog and presses Print, as a user would. Both
// programs start from the settings their earlier runs saved, so the job must equal the Linux
// dry run on the Linux program's saved settings.
TEST_F(InstalledMsi, InstalledNorvaneOpensAPdfAsTheAssociationDoesAndPrintsIt) {
    const fs::path driver = build_ / "tests/nv-drive-dialog.exe";
    if (!fs::exists(InstallDir() / "Norvane.exe") || !fs::exists(driver)) {
        GTEST_SKIP() << "this Windows build has no Norvane.exe or nv-drive-dialog.exe";
    }
    const std::string expected = LinuxDryRun(Dir(), Dir() / "doc.pdf", {"--printer", kQueue});
    ASSERT_FALSE(expected.empty());

    // Wine keeps the display its desktop process started with: the earlier tests ran without
    // one, so the prefix's programs stop before the dialog's run starts them anew.
    Shell(Quote(Env("NV_WINE_PREFIX_SCRIPT")) + " stop " + Quote(prefix_.string()));
    const std::string run = "env NORVANE_REGISTRY= " + Quote(Env("NV_WINE_PREFIX_SCRIPT")) +
                            " run " + Quote(prefix_.string()) + " ";
    const std::string both =
        "export NV_WINE_DISPLAY=$DISPLAY; " + run + Quote((InstallDir() / "Norvane.exe").string()) +
        " " + Quote(WindowsPath(Dir() / "doc.pdf")) + " & " + run + Quote(driver.string()) + " " +
        Quote(kQueue) + "; status=$?; wait; exit $status";
    const ShellResult printed =
        Shell("xvfb-run -a -s '-screen 0 1280x1024x24' sh -c " + Quote(both));
    ASSERT_EQ(printed.status, 0) << printed.out;
    const std::string summary = printer_->WaitForSummary(1, std::chrono::seconds(60));
    ASSERT_FALSE(summary.empty()) << "no job arrived";
    EXPECT_EQ(summary, SummaryOf(expected, 1));
    EXPECT_TRUE(printer_->Document(1) == ReadWholeFile(Dir() / "doc.pdf"));
}
// Help (ID 1) and F1 on every control (its control ID, in the popup window type) open their
// topic in both languages; an ID without a topic opens nothing. The runtime shows windows, so
// it runs on a virtual display.
TEST_F(InstalledMsi, InstalledHelpFilesOpenByEveryContextIdTheDialogSends) {
    for (const std::string lang : {"ja", "en"}) {
        SCOPED_TRACE(lang);
        std::vector<std::string> args = {
            WindowsPath(InstallDir() / (lang == "ja" ? "" : "lang/en") / "Norvane.chm"), "1"};
        std::string expected = "1 shown\n";
        for (const auto& entry : fs::directory_iterator(fs::path(Env("NV_HELP_TOPICS")) / lang)) {
            const std::string name = entry.path().filename().string();
            if (name.starts_with("topic-")) {
                const std::string id = name.substr(6, name.size() - 6 - 5);
                args.push_back(id);
                expected += id + " shown\n";
            }
        }
        ASSERT_GT(args.size(), 30u);
        args.insert(args.end(), {"1024", "4242"});
        expected += "1024 none\n4242 none\n";

        // A virtual display of its own, handed to Wine.
        const ShellResult probed =
            Wine((build_ / "tests/nv-help-probe.exe").string(), args,
                 "xvfb-run -a sh -c 'NV_WINE_DISPLAY=$DISPLAY exec \"$@\"' probe ");
        EXPECT_EQ(probed.status, 0) << probed.out;
        EXPECT_NE(probed.out.find(expected), std::string::npos) << probed.out;
    }
}

TEST_F(InstalledMsi, UninstallRemovesWhatItInstalledAndKeepsTheUsersSettings) {
    ASSERT_EQ(Reg({"add", kSettings, "/v", "LastPrinter", "/d", kQueue, "/f"}).status, 0);
    ASSERT_NE(Reg({"query", kUninstall, "/s"}).out.find("Norvane"), std::string::npos);

    const ShellResult removed = Wine("msiexec", {"/x", WindowsPath(build_ / "norvane.msi"), "/qn"});
    ASSERT_EQ(removed.status, 0) << removed.out;
    EXPECT_FALSE(fs::exists(InstallDir()));
    EXPECT_TRUE(Shortcuts().empty());
    EXPECT_NE(Reg({"query", kProgId}).status, 0);
    EXPECT_NE(Reg({"query", kOpenWith, "/v", "Norvane.PdfFile"}).status, 0);
    EXPECT_EQ(Reg({"query", kUninstall, "/s"}).out.find("Norvane"), std::string::npos);

    const ShellResult settings = Reg({"query", kSettings, "/v", "LastPrinter"});
    EXPECT_EQ(settings.status, 0) << settings.out;
    EXPECT_NE(settings.out.find(kQueue), std::string::npos) << settings.out;
}

} // namespace
} // namespace nv::test
