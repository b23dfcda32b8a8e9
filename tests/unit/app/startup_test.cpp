// Start-up and shutdown on a program directory laid out by the test: the resource library (or
// none), the command line, the input check's messages, help start and end, the dialog's run.
#include "app/PdfSendApp.h"
#include "platform/files/Files.h"
#include "platform/help/memory/MemoryHelpRuntime.h"
#include "platform/registry/memory/MemoryRegistry.h"
#include "platform/ui/ControlConstants.h"
#include "platform/ui/memory/ScriptedMessageBox.h"
#include "support/TempDir.h"

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

namespace nv {
namespace {

namespace fs = std::filesystem;

std::string BuiltLibrary(const std::string& relative) {
    return std::string(std::getenv("NV_PROGRAM_DIR")) + "/" + relative;
}

// What one start-up did.
struct StartupRun {
    std::vector<platform::MessageBoxCall> boxes;
    std::vector<UINT> helpCommands;
    std::vector<std::string> helpLoads;
    bool dialogRan = false;
    CString fileName; // m_strFileName while the dialog ran
    CString filePath; // m_strFilePath while the dialog ran
    bool mainWndWasDialog = false;
    bool libraryFreed = false;
    bool mainWndCleared = false;
};

// The start-up's services: scripted message boxes, a registry in memory and a help runtime
// that loads, for the program at PROGRAM started with COMMANDLINE.
struct FakeServices {
    platform::ScriptedMessageBox boxes;
    platform::MemoryRegistry registry;
    platform::MemoryHelpRuntimeLoader help;

    FakeServices() { help.loadable.insert("hhctrl.ocx"); }
    AppServices For(const CString& program, const CString& commandLine) {
        AppServices services;
        services.dialog.messageBox = &boxes;
        services.dialog.registry = &registry;
        services.helpRuntime = &help;
        services.moduleFileName = [program] { return program; };
        services.commandLine = [commandLine] { return commandLine; };
        return services;
    }
};

class StartupTest : public ::testing::Test {
protected:
    void SetUp() override {
        fs::create_directories(dir_.Path() / "bin");
        fs::copy_file(BuiltLibrary("Norvres.dll"), dir_.Path() / "bin" / "Norvres.dll");
    }

    std::string ProgramPath() const { return (dir_.Path() / "bin" / "norvane").string(); }
    std::string Pdf(const std::string& name, const std::string& content = "%PDF-1.4\n") const {
        return dir_.Write(name, content);
    }

    StartupRun Start(const CString& commandLine,
                     std::function<std::optional<CString>(const PickFileTexts&)> pick = {}) {
        StartupRun run;
        FakeServices fakes;
        AppServices services = fakes.For(ProgramPath(), commandLine);
        services.pickFile = std::move(pick);
        CPdfSendApp* appPtr = nullptr;
        services.runModal = [&](CPdfSendDlg& dlg) {
            run.dialogRan = true;
            run.fileName = appPtr->m_strFileName;
            run.filePath = appPtr->m_strFilePath;
            run.mainWndWasDialog = appPtr->m_pMainWnd == &dlg;
            return platform::IDCANCEL;
        };
        CPdfSendApp app(std::move(services));
        appPtr = &app;
        EXPECT_EQ(app.InitInstance(), FALSE);
        EXPECT_EQ(app.ExitInstance(), 0);
        run.libraryFreed = app.m_hResLib == nullptr;
        run.mainWndCleared = app.m_pMainWnd == nullptr;
        run.boxes = fakes.boxes.calls();
        for (const auto& call : fakes.help.calls) {
            run.helpCommands.push_back(call.command);
        }
        run.helpLoads = fakes.help.loadAttempts;
        return run;
    }

    std::string Text(UINT id, const std::string& library = "Norvres.dll") const {
        return platform::ResourceModule::Load(BuiltLibrary(library))->LoadText(id);
    }

    test::TempDir dir_;
};

TEST_F(StartupTest, MissingResourceLibraryShowsTheBuiltInMessageAndTouchesNothingElse) {
    fs::remove(dir_.Path() / "bin" / "Norvres.dll");
    const StartupRun run = Start(Pdf("a.pdf"));
    ASSERT_EQ(run.boxes.size(), 1u);
    EXPECT_EQ(run.boxes[0].caption, "Initialize Error");
    EXPECT_EQ(run.boxes[0].text,
              "Initialize Error:Resource file cannot load.\nPlease reinstall this utility.");
    EXPECT_EQ(run.boxes[0].flags, 0x30u);
    EXPECT_FALSE(run.boxes[0].owned);
    EXPECT_TRUE(run.helpLoads.empty());
    EXPECT_FALSE(run.dialogRan);
}

TEST_F(StartupTest, FailedChecksShowTheirMessageAndEndBeforeTheDialog) {
    const std::string pdf = Pdf("held.pdf");
    auto held = platform::ExclusiveFile::Open(pdf, nullptr);
    ASSERT_NE(held, nullptr);
    struct Case {
        const char* name;
        CString commandLine;
        UINT text;
    };
    const std::vector<Case> cases = {
        {"missing file", (dir_.Path() / "missing.pdf").string(), 1503},
        {"missing folder", (dir_.Path() / "none" / "a.pdf").string(), 1503},
        {"held open by another program", pdf, 1505},
        {"not a PDF by extension", Pdf("a.txt"), 1506},
        {"no marker", Pdf("b.pdf", "hello"), 1506},
        {"no argument and no one to ask", CommandLineOf(1, nullptr), 1506},
        {"quoted path", "\"" + Pdf("c.pdf") + "\"", 1506},
        {"longer than the path buffer", "/" + std::string(255, 'x') + "/a.pdf", 1503},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const StartupRun run = Start(c.commandLine);
        ASSERT_EQ(run.boxes.size(), 1u);
        EXPECT_EQ(run.boxes[0].text, Text(c.text));
        EXPECT_EQ(run.boxes[0].caption, Text(1501));
        EXPECT_EQ(run.boxes[0].flags, 0x30u);
        EXPECT_FALSE(run.boxes[0].owned);
        EXPECT_FALSE(run.dialogRan);
        EXPECT_TRUE(run.libraryFreed);
        // Help was started, and an early end leaves it to the end of the process.
        EXPECT_EQ(run.helpCommands, std::vector<UINT>{platform::HH_INITIALIZE});
    }
}

TEST_F(StartupTest, ReadablePdfRunsTheDialogThenShutsDownInOrder) {
    struct Case {
        const char* name;
        CString commandLine;
        CString fileName;
    };
    const std::string upper = Pdf("Report.PDF");
    const std::vector<Case> cases = {
        {"upper-case extension", upper, "Report.PDF"},
        {"name with spaces", Pdf("two words.pdf"), "two words.pdf"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const StartupRun run = Start(c.commandLine);
        EXPECT_TRUE(run.boxes.empty());
        EXPECT_TRUE(run.dialogRan);
        EXPECT_TRUE(run.mainWndWasDialog);
        EXPECT_EQ(run.filePath, c.commandLine);
        EXPECT_EQ(run.fileName, c.fileName);
        EXPECT_EQ(run.helpCommands,
                  (std::vector<UINT>{platform::HH_INITIALIZE, platform::HH_UNINITIALIZE}));
        EXPECT_TRUE(run.libraryFreed);
        EXPECT_TRUE(run.mainWndCleared);
    }
}

TEST_F(StartupTest, PathWithoutSeparatorIsItsOwnFileName) {
    Pdf("plain.pdf");
    const fs::path previous = fs::current_path();
    fs::current_path(dir_.Path());
    const StartupRun run = Start("plain.pdf");
    fs::current_path(previous);
    EXPECT_TRUE(run.dialogRan);
    EXPECT_EQ(run.fileName, "plain.pdf");
}

TEST_F(StartupTest, HelpCookieGoesBackToTheRuntime) {
    FakeServices fakes;
    platform::MemoryHelpRuntimeLoader& help = fakes.help;
    help.cookie = 0x5A5A;
    AppServices services = fakes.For(ProgramPath(), Pdf("a.pdf"));
    services.runModal = [](CPdfSendDlg&) { return platform::IDOK; };
    CPdfSendApp app(std::move(services));
    app.InitInstance();
    ASSERT_EQ(help.calls.size(), 2u);
    EXPECT_EQ(help.calls[0].data, reinterpret_cast<std::uintptr_t>(&app.m_dwHelpCookie));
    EXPECT_EQ(help.calls[1].data, 0x5A5Au);
    EXPECT_EQ(help.calls[1].file, "");
    EXPECT_EQ(app.m_pszHelpFilePath, (dir_.Path() / "bin" / "Norvane.chm").string());
}

// The dialog's Help command reaches the help runtime: the main topic (context 1) of the help
// file in the program folder, also when that folder's name holds '>'.
TEST_F(StartupTest, HelpCommandOpensTheMainTopic) {
#ifdef _WIN32
    const fs::path program = dir_.Path() / "help"; // '>' cannot stand in a Windows path
#else
    const fs::path program = dir_.Path() / "x>y"; // a legal byte in a POSIX path
#endif
    fs::create_directories(program);
    fs::copy_file(BuiltLibrary("Norvres.dll"), program / "Norvres.dll");
    FakeServices fakes;
    const platform::MemoryHelpRuntimeLoader& help = fakes.help;
    AppServices services = fakes.For((program / "norvane").string(), Pdf("a.pdf"));
    bool routed = false;
    services.runModal = [&routed](CPdfSendDlg& dlg) {
        routed = dlg.CreateDialogWindow().ChooseCommand(platform::ID_HELP);
        return platform::IDCANCEL;
    };
    CPdfSendApp app(std::move(services));
    app.InitInstance();
    EXPECT_TRUE(routed);
    ASSERT_EQ(help.calls.size(), 3u); // start, the Help command, end
    EXPECT_EQ(help.calls[1].command, platform::HH_HELP_CONTEXT);
    EXPECT_EQ(help.calls[1].file, (program / "Norvane.chm").string());
    EXPECT_EQ(help.calls[1].data, 1u);
    EXPECT_EQ(help.calls[1].caller, 0u);
}

TEST_F(StartupTest, MessagesFollowTheResourceLibraryInPlace) {
    fs::copy_file(BuiltLibrary("lang/en/Norvres.dll"), dir_.Path() / "bin" / "Norvres.dll",
                  fs::copy_options::overwrite_existing);
    const StartupRun run = Start(Pdf("a.txt"));
    ASSERT_EQ(run.boxes.size(), 1u);
    EXPECT_EQ(run.boxes[0].text, Text(1506, "lang/en/Norvres.dll"));
    EXPECT_NE(run.boxes[0].text, Text(1506));
    EXPECT_EQ(run.boxes[0].caption, Text(1501, "lang/en/Norvres.dll"));
}

// A window program started without a file asks for one; what the user picks goes through the
// same input check, and Cancel ends the run without any message.
TEST_F(StartupTest, WithoutAFileTheUserIsAskedForOne) {
    const std::string pdf = Pdf("picked.pdf");
    // Name, command line, what is picked, whether asked, whether the dialog ran, message (0: none).
    const std::vector<std::tuple<const char*, CString, std::optional<CString>, bool, bool, UINT>>
        cases = {
            {"a PDF is picked", "", pdf, true, true, 0},
            {"Cancel", "", std::nullopt, true, false, 0},
            {"a file that is no PDF is picked", "", Pdf("notes.txt"), true, false, 1506},
            {"a path on the command line is never asked for", pdf, std::nullopt, false, true, 0},
        };
    for (const auto& [name, commandLine, picked, wasAsked, dialogRan, message] : cases) {
        SCOPED_TRACE(name);
        bool asked = false;
        PickFileTexts texts;
        const StartupRun run = Start(commandLine, [&](const PickFileTexts& given) {
            asked = true;
            texts = given;
            return picked;
        });
        EXPECT_EQ(asked, wasAsked);
        EXPECT_EQ(run.dialogRan, dialogRan);
        EXPECT_TRUE(run.libraryFreed);
        if (dialogRan) {
            EXPECT_EQ(run.filePath, pdf);
            EXPECT_EQ(run.fileName, "picked.pdf");
        }
        ASSERT_EQ(run.boxes.size(), message == 0 ? 0u : 1u);
        if (message != 0) {
            EXPECT_EQ(run.boxes[0].text, Text(message));
        }
        if (wasAsked) {
            EXPECT_EQ(texts.title, Text(1650));
            EXPECT_EQ(texts.filterName, Text(1651));
            EXPECT_FALSE(texts.title.empty());
        }
    }
}

TEST(CommandLineTest, ArgumentsJoinedAsGiven) {
    struct Case {
        std::vector<const char*> argv;
        CString expected;
    };
    const std::vector<Case> cases = {
        {{"norvane"}, ""},
        {{"norvane", "/home/a/x.pdf"}, "/home/a/x.pdf"},
        {{"norvane", "/home/a/two", "words.pdf"}, "/home/a/two words.pdf"},
        {{"norvane", "\"/home/a/q.pdf\""}, "\"/home/a/q.pdf\""},
        {{"norvane", ""}, ""},
        {{"norvane", "a", "", "b"}, "a  b"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CommandLineOf(static_cast<int>(c.argv.size()), c.argv.data()), c.expected);
    }
}

TEST(CommandLineTest, FileNameAndProgramDirectory) {
    EXPECT_EQ(FileNameOf("/a/b/c.pdf"), "c.pdf");
    EXPECT_EQ(FileNameOf("c.pdf"), "c.pdf");
    EXPECT_EQ(FileNameOf("/a/b/"), "");
    // A multibyte name keeps every byte: no trail byte is a separator in UTF-8.
    EXPECT_EQ(FileNameOf("/資料/表.pdf"), "表.pdf");
    EXPECT_EQ(ProgramDirectoryOf("/opt/norvane/norvane"), "/opt/norvane/");
    EXPECT_EQ(ProgramDirectoryOf("norvane"), "");
}

} // namespace
} // namespace nv
