// norvane-print against hostile files and input: dry-run files that are not plain files,
// settings files it cannot read whole, password input without end, and names holding terminal
// control bytes. Each case asserts the exit status, the message, the bytes written and the
// settings file's bytes.
#include "platform/modules/Modules.h"
#include "support/ProgramCopy.h"
#include "support/ScratchDir.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <optional>
#include <pty.h>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace nv::test {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

// A printer name that would clear the screen, ring the bell and turn the text red.
const std::string kEvilName = "Evil\x1b[2J\x07 \x1b[31mred";

using Result = ProgramRun;

class FilesHostile : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        std::signal(SIGPIPE, SIG_IGN);
        scratch_ = new ScratchDir();
        PrepareProgramFolder(Dir());
        UseEnglishLibrary(Dir() / "program");
        fs::create_directories(Dir() / "out");
        WriteFile(Dir() / "drivers" / "nvtest.cap",
                  "[Capability]\nVelmora P0=P0\n[P0]\nDirectPrint=911\nDPTray=0\nJobInfoDll=No\n"
                  "TrayCom=Trays\nPDFVersion=1.7\n[Trays]\nAutoTray=auto\nTray1=tray1\n");
        WriteFile(Dir() / "printers.ini", "[P0]\nDriver=Velmora P0\nPort=file://" +
                                              (Dir() / "out" / "P0.prn").string() + "\n[" +
                                              kEvilName + "]\nDriver=Velmora P0\nPort=file://" +
                                              (Dir() / "out" / "evil.prn").string() + "\x1b[31m\n");
        WriteFile(Pdf(), "%PDF-1.4\n1 0 obj << >> endobj\ntrailer\n%%EOF\n");
    }
    static void TearDownTestSuite() {
        delete scratch_;
        scratch_ = nullptr;
    }
    void SetUp() override { UseRegistry("registry-" + std::to_string(++runs_) + ".reg"); }

    static const fs::path& Dir() { return scratch_->Path(); }
    static fs::path Pdf() { return Dir() / "doc.pdf"; }
    static fs::path Registry() { return std::getenv("NORVANE_REGISTRY"); }
    static void UseRegistry(const std::string& name) {
        ::setenv("NORVANE_REGISTRY", (Dir() / name).c_str(), 1);
    }
    static std::string Text(UINT id) {
        return platform::ResourceModule::Load((Dir() / "program" / "Norvres.dll").string())
            ->LoadText(id);
    }

    static Result Run(const RunRequest& request) { return RunProgram(Dir(), request); }
    static Result Run(const std::vector<std::string>& args, const std::string& input = "") {
        return RunProgram(Dir(), args, input);
    }

    // The job stream a dry run of the document on P0 with OPTIONS writes to a regular file.
    static std::string Stream(const std::vector<std::string>& options) {
        const fs::path file = Dir() / "reference.prn";
        std::vector<std::string> args = {"--printer", "P0", "--dry-run", file.string()};
        args.insert(args.end(), options.begin(), options.end());
        args.push_back(Pdf().string());
        const Result result = Run(args);
        EXPECT_EQ(result.status, 0) << result.err;
        return ReadFile(file);
    }

    static ScratchDir* scratch_;
    static int runs_;
};

ScratchDir* FilesHostile::scratch_ = nullptr;
int FilesHostile::runs_ = 0;

// --dry-run onto what is not a plain file: refused before anything is written, or written
// straight into it; the document itself is never touched.
TEST_F(FilesHostile, DryRunNeverDestroysAFile) {
    const std::string pdf = ReadFile(Pdf());
    const std::string reference = Stream({});
    fs::create_directory(Dir() / "folder");
    fs::create_hard_link(Pdf(), Dir() / "hardlink.pdf");
    fs::create_symlink(Pdf(), Dir() / "symlink.pdf");
    // A link planted where the old fixed temporary name was, pointing at a file to spare.
    WriteFile(Dir() / "victim", "precious");
    fs::create_symlink(Dir() / "victim", Dir() / "planted.prn.part");

    struct Case {
        std::string file;
        int status;
        std::string err; // inside standard error
        bool written;    // the file holds the job afterwards
    } cases[] = {
        {Pdf().string(), 2, "it is the document to print", false},
        {(Dir() / "hardlink.pdf").string(), 2, "it is the document to print", false},
        {(Dir() / "symlink.pdf").string(), 2, "it is the document to print", false},
        {(Dir() / "folder").string(), 2, "it is a folder", false},
        {(Dir() / ("folder\x1b[2J")).string(), 0, "", true}, // a new file with an odd name
        {(Dir() / "planted.prn").string(), 0, "", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        const Result result = Run({"--printer", "P0", "--dry-run", c.file, Pdf().string()});
        EXPECT_EQ(result.status, c.status) << result.err;
        EXPECT_NE(result.err.find(c.err), std::string::npos) << result.err;
        EXPECT_EQ(result.err.find('\x1b'), std::string::npos) << result.err;
        if (c.written) {
            EXPECT_EQ(ReadFile(c.file), reference);
        }
    }
    EXPECT_EQ(ReadFile(Pdf()), pdf);
    EXPECT_TRUE(fs::is_symlink(Dir() / "symlink.pdf"));
    EXPECT_TRUE(fs::is_directory(Dir() / "folder"));
    EXPECT_EQ(ReadFile(Dir() / "victim"), "precious");
}

// A character device or FIFO the user names takes the stream as it is, and stays what it is.
TEST_F(FilesHostile, DryRunIntoDevicesAndFifos) {
    const std::string reference = Stream({"--copies", "2"});
    const fs::path fifo = Dir() / "fifo";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    std::string received;
    std::thread reader([&] { received = ReadFile(fifo); });
    const Result viaFifo =
        Run({"--printer", "P0", "--copies", "2", "--dry-run", fifo.string(), Pdf().string()});
    reader.join();
    EXPECT_EQ(viaFifo.status, 0) << viaFifo.err;
    EXPECT_EQ(received, reference);

    // A device node of the test's own (the null device), so that no fault can replace the
    // system's; without the right to make one, /dev/null, which then cannot be replaced.
    fs::path device = Dir() / "null";
    if (::mknod(device.c_str(), S_IFCHR | 0666, ::makedev(1, 3)) != 0) {
        if (::geteuid() == 0) {
            GTEST_SKIP() << "no device node can be made";
        }
        device = "/dev/null";
    }
    const Result viaDevice = Run({"--printer", "P0", "--dry-run", device, Pdf().string()});
    EXPECT_EQ(viaDevice.status, 0) << viaDevice.err;
    struct stat info {};
    ASSERT_EQ(::stat(device.c_str(), &info), 0);
    EXPECT_TRUE(S_ISCHR(info.st_mode));
    EXPECT_EQ(fs::status(fifo).type(), fs::file_type::fifo);
}

// Runs writing different jobs into one file at once: each reports success only with its whole
// job in place, and the file ends holding one whole job.
TEST_F(FilesHostile, ConcurrentDryRunsLeaveOneWholeJob) {
    const std::vector<std::vector<std::string>> choices = {
        {"--copies", "2"}, {"--copies", "3"}, {"--duplex", "short"}, {"--no-fit"}};
    // A large document makes the writes overlap; each run has its own copy, as a document is
    // opened for one program at a time.
    const std::string big = "%PDF-1.4\n" + std::string(std::size_t{24} << 20, ' ') + "\n%%EOF\n";
    auto args = [&](std::size_t i, const fs::path& file) {
        std::vector<std::string> line = {"--printer", "P0", "--dry-run", file.string()};
        line.insert(line.end(), choices[i].begin(), choices[i].end());
        line.push_back((Dir() / ("big-" + std::to_string(i) + ".pdf")).string());
        return line;
    };
    std::vector<std::string> streams;
    for (std::size_t i = 0; i < choices.size(); ++i) {
        WriteFile(Dir() / ("big-" + std::to_string(i) + ".pdf"), big);
        const fs::path alone = Dir() / ("alone-" + std::to_string(i) + ".prn");
        ASSERT_EQ(Run(args(i, alone)).status, 0);
        streams.push_back(ReadFile(alone));
        fs::remove(alone);
    }
    const fs::path target = Dir() / "shared.prn";
    for (int round = 0; round < 3; ++round) {
        std::vector<std::thread> runs;
        std::vector<Result> results(choices.size());
        for (std::size_t i = 0; i < choices.size(); ++i) {
            runs.emplace_back([&, i] {
                RunRequest request;
                request.args = args(i, target);
                request.limit = 120s;
                results[i] = Run(request);
            });
        }
        for (std::thread& run : runs) {
            run.join();
        }
        for (const Result& result : results) {
            EXPECT_EQ(result.status, 0) << result.err;
        }
        const std::string written = ReadFile(target);
        EXPECT_NE(std::find(streams.begin(), streams.end(), written), streams.end())
            << "round " << round << ": " << written.size() << " bytes";
    }
    // No temporary file is left beside it.
    for (const auto& entry : fs::directory_iterator(Dir())) {
        EXPECT_EQ(entry.path().filename().string().find("shared.prn."), std::string::npos)
            << entry.path();
    }
}

// Settings files the store cannot read whole: a plain run leaves them as they are, and a
// --save fails with a message, prints nothing and leaves them as they are too.
TEST_F(FilesHostile, SettingsFileNeverLostOrRewrittenUnasked) {
    const std::string valid = "REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\VELMORA\\Velmora "
                              "Quillet\\Norvane\\P0]\n\"Duplex\"=dword:00000001\n";
    std::string utf16 = "\xff\xfe";
    for (char c : valid) {
        utf16 += c;
        utf16 += '\0';
    }
    struct Case {
        const char* what;
        std::string content;
    } cases[] = {
        {"a text file of the user's", "Dear diary,\ntoday I printed.\n"},
        {"a NUL byte", valid + "\"X\"=\"a" + std::string(1, '\0') + "b\"\n"},
        {"a UTF-16 export", utf16},
        {"cut off inside a value", valid + "\"Blob\"=hex:01,02,0"},
    };
    const fs::path out = Dir() / "settings-run.prn";
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        WriteFile(Registry(), c.content);
        const Result plain = Run({"--printer", "P0", "--dry-run", out.string(), Pdf().string()});
        EXPECT_EQ(plain.status, 0) << plain.err;
        EXPECT_EQ(ReadFile(Registry()), c.content);

        fs::remove(out);
        const Result save =
            Run({"--printer", "P0", "--save", "--dry-run", out.string(), Pdf().string()});
        EXPECT_EQ(save.status, 1) << save.err;
        EXPECT_NE(save.err.find("--save: the settings could not be saved"), std::string::npos)
            << save.err;
        EXPECT_NE(save.err.find("cannot be read whole"), std::string::npos) << save.err;
        EXPECT_FALSE(fs::exists(out));
        EXPECT_EQ(ReadFile(Registry()), c.content);
    }

    // A plain run on a first start writes no settings file at all.
    UseRegistry("never-written.reg");
    const Result first = Run({"--printer", "P0", "--dry-run", out.string(), Pdf().string()});
    EXPECT_EQ(first.status, 0) << first.err;
    EXPECT_FALSE(fs::exists(Registry()));
}

// A settings file with damaged lines is saved into with every damaged line kept, and the stale
// temporary file of a writer that was killed is removed.
TEST_F(FilesHostile, SaveKeepsDamagedLinesAndClearsStaleTemporaries) {
    const std::string damage = "garbage \x01\x02 line\n; a comment\n\"Half\"=dword:12\n" +
                               std::string(64 << 10, '#') + "\n";
    const std::string original = "REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\VELMORA\\Velmora "
                                 "Quillet\\Norvane\\Other]\n\"Duplex\"=dword:00000001\n" +
                                 damage;
    WriteFile(Registry(), original);
    const fs::path stale = Registry().string() + ".tmp-Kq81Zx";
    WriteFile(stale, "REGEDIT4\n[HKEY_CURRENT_USER\\Cut");
    const Result save = Run({"--printer", "P0", "--duplex", "short", "--save", "--dry-run",
                             (Dir() / "saved.prn").string(), Pdf().string()});
    EXPECT_EQ(save.status, 0) << save.err;
    const std::string written = ReadFile(Registry());
    EXPECT_NE(written.find(damage), std::string::npos);
    EXPECT_NE(written.find("\"Duplex\"=dword:00000001"), std::string::npos);  // Other's
    EXPECT_NE(written.find("\"Binding\"=dword:00000001"), std::string::npos); // P0's, saved
    EXPECT_FALSE(fs::exists(stale));
    // The next run picks the saved options up.
    EXPECT_EQ(ReadFile(Dir() / "saved.prn"), Stream({}));
}

// --password-stdin takes at most the dialog's limit plus one byte: input without a line end
// ends the run at once with the dialog's own refusal, and the limit itself is honoured.
TEST_F(FilesHostile, PasswordInputWithoutEnd) {
    const fs::path fifo = Dir() / "endless";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    std::thread writer([&] {
        const int fd = ::open(fifo.c_str(), O_WRONLY);
        const std::string chunk(65536, '7');
        while (::write(fd, chunk.data(), chunk.size()) > 0) {
        }
        ::close(fd);
    });
    const std::vector<std::string> args = {
        "--printer",   "P0", "--password-stdin", "--dry-run", (Dir() / "pw.prn").string(),
        Pdf().string()};
    const struct {
        std::string source;
        std::string err;
    } endless[] = {
        {"/dev/zero", "--password-stdin: the field does not take"}, // NUL bytes
        {fifo.string(), Text(1509)},                                // too long
    };
    for (const auto& [source, message] : endless) {
        SCOPED_TRACE(source);
        RunRequest request;
        request.args = args;
        request.inputFile = source;
        request.limit = 30s;
        const Result result = Run(request);
        EXPECT_FALSE(result.hung);
        EXPECT_EQ(result.status, 4) << result.err;
        EXPECT_NE(result.err.find(message), std::string::npos) << result.err;
    }
    writer.join();

    const Result longest = Run(args, std::string(128, '7') + "\r\n");
    EXPECT_EQ(longest.status, 0) << longest.err;
    const Result tooLong = Run(args, std::string(129, '7') + "\n");
    EXPECT_EQ(tooLong.status, 4) << tooLong.err;
}

// Names holding terminal control bytes reach the terminal escaped: the printer list, the
// front end's own complaints and the progress line of a large job.
TEST_F(FilesHostile, ControlBytesInNamesAreShownEscaped) {
    const Result list = Run({"--list"});
    EXPECT_EQ(list.status, 0) << list.err;
    EXPECT_NE(list.out.find("Evil\\x1b[2J\\x07 \\x1b[31mred\n"), std::string::npos) << list.out;
    EXPECT_NE(list.out.find("evil.prn\\x1b[31m"), std::string::npos) << list.out;
    EXPECT_EQ(list.out.find('\x1b'), std::string::npos);
    EXPECT_EQ(list.out.find('\x07'), std::string::npos);

    const Result unknown = Run({"--printer", "Nope\x1b[2J", Pdf().string()});
    EXPECT_EQ(unknown.status, 4) << unknown.err;
    EXPECT_NE(unknown.err.find("Nope\\x1b[2J"), std::string::npos) << unknown.err;
    EXPECT_EQ(unknown.err.find('\x1b'), std::string::npos) << unknown.err;

    // The progress line names the document; only its own erase-line sequence is raw.
    const fs::path large = Dir() / "big\x1b]2;pwned\x07.pdf";
    WriteFile(large, "%PDF-1.4\n" + std::string(std::size_t{9} << 20, ' ') + "\n%%EOF\n");
    RunRequest request;
    request.args = {"--printer", "P0", "--dry-run", (Dir() / "progress.prn").string(),
                    large.string()};
    request.stderrOnTerminal = true;
    const Result progress = Run(request);
    EXPECT_EQ(progress.status, 0) << progress.err;
    EXPECT_NE(progress.err.find("big\\x1b]2;pwned\\x07.pdf"), std::string::npos) << progress.err;
    EXPECT_EQ(progress.err.find("\x1b]"), std::string::npos);
    EXPECT_EQ(progress.err.find('\x07'), std::string::npos);
}

} // namespace
} // namespace nv::test
