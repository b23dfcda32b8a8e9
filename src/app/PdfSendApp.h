// The application object: owns the PDF's path and file name, the resource library and the help
// bridge for the whole run, checks the input file before any window opens, and runs the one
// print-settings dialog between start-up and shutdown.
//
// A front end (the window program, the command-line program, a test) makes one CPdfSendApp with
// the services of its platform, calls InitInstance once, and ends the process with
// ExitInstance's result. No message loop runs after InitInstance: it does the whole run.
#pragma once

#include "dialog/PdfSendDlg.h"
#include "platform/help/HelpRuntime.h"
#include "platform/modules/Modules.h"
#include "platform/wintypes.h"
#include "printer/PdfFile.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace nv {

namespace help {
class HtmlHelpBridge;
} // namespace help

// Results of CheckInputFile.
enum InputCheckResult : int {
    kInputNotFound = -1,    // the file does not exist, or the path is invalid (message 1503)
    kInputInUse = 0,        // another program holds the file open (message 1505)
    kInputIsPdf = 1,        // a PDF: start-up goes on
    kInputNotSupported = 3, // wrong extension, or no "%PDF-" marker (message 1506)
};

// The start-up failure shown when the resource library cannot be loaded: the only texts that
// do not come from the resource library.
inline constexpr const char* kStartupFailureCaption = "Initialize Error";
inline constexpr const char* kStartupFailureText =
    "Initialize Error:Resource file cannot load.\nPlease reinstall this utility.";
// The help file's name in the program directory.
inline constexpr const char* kHelpFileName = "Norvane.chm";
// The path buffer's size: a command line of more bytes than one less than this is refused.
inline constexpr std::size_t kPathBufferSize = 260;

// The texts of the open-file dialog a window program shows when it is started without a file,
// in the resource library's language. A system dialog that labels its own controls in the
// system's language takes only the title and the filter's name.
struct PickFileTexts {
    CString title;         // the dialog's title
    CString filterName;    // the name of the filter that shows PDF files only
    CString openButton;    // the button that takes the chosen file
    CString cancelButton;  // the button that closes the dialog without a file
    CString fileNameLabel; // the label of the file-name field
    CString fileTypeLabel; // the label of the list of filters
    CString lookInLabel;   // the label of the folder being shown
};

// The file pattern of that filter.
inline constexpr const char* kPdfFilePattern = "*.pdf";

// What the application needs from the platform and the front end, chosen once at start-up.
struct AppServices {
    // The dialog's collaborators (message boxes, settings, spooler, About box, ...). The same
    // message-box port shows the start-up messages. InitInstance fills in the resource library.
    DialogServices dialog;
    // The help runtime the help bridge loads on first use; none: help is never available.
    platform::IHelpRuntimeLoader* helpRuntime = nullptr;
    // The running program's full path (the program directory is its folder); "" if unknown.
    std::function<CString()> moduleFileName;
    // The user's languages, most wanted first (platform::UserLanguages); none: the default
    // resource library.
    std::function<std::vector<std::string>()> userLanguages;
    // The command line: the PDF's path, taken whole; "" when the program was given none.
    std::function<CString()> commandLine;
    // Asks the user for the PDF when the command line is empty: the chosen path, or nothing
    // when the user cancels. None (the command-line program): an empty command line goes to
    // the input check like any other path and is refused there.
    std::function<std::optional<CString>(const PickFileTexts&)> pickFile;
    // Called once the resource library is loaded and current, before anything is shown from
    // it: the front end picks what follows its language (button texts, help topics).
    std::function<void(const platform::ResourceModule&)> resourcesLoaded;
    // Runs the dialog modally and returns how it ended (IDOK, IDCANCEL, -1 when it could not be
    // shown). None: the dialog is opened headless and left as it is.
    std::function<int(CPdfSendDlg&)> runModal;
};

class CPdfSendApp {
public:
    // An application object without services: enough for the checks that read files only.
    CPdfSendApp() = default;
    explicit CPdfSendApp(AppServices services);
    CPdfSendApp(const CPdfSendApp&) = delete;
    CPdfSendApp& operator=(const CPdfSendApp&) = delete;
    ~CPdfSendApp() = default;

    // The whole run: the program directory, the resource library (or the built-in start-up
    // message), the help file and help start, the command line as the path (or the file the
    // user picks when it is empty and the front end can ask; Cancel ends the run without a
    // message), the input check
    // (or its message), the file name, the dialog run modally, then help end and the resource
    // library freed. Returns FALSE on every path, so that no message loop follows.
    BOOL InitInstance();
    // What the process ends with after InitInstance: 0.
    int ExitInstance() { return 0; }

    // Classifies PATH (taken whole, never cut) as a readable PDF or not: the extension must be
    // "pdf" in any case, the file must open exclusively, and its first 1126 bytes must hold
    // "%PDF-". Returns an InputCheckResult; the file is closed again before returning.
    int CheckInputFile(CString path) const;

    // Compares the version in the header line of the PDF at m_strFilePath with the "PDFVersion"
    // that the capability file CAPFILE gives the model of DRIVERNAME. Returns a
    // PdfVersionResult; reads the file and changes nothing.
    int CheckPdfVersion(CString driverName, CString capFile) const {
        return nv::CheckPdfVersion(m_strFilePath, driverName, capFile);
    }

    // The help bridge, or null when the front end offers no help runtime. Lives as long as the
    // application object.
    help::HtmlHelpBridge* HelpBridge() const { return helpBridge_.get(); }
    // F1 in a dialog window: the help file's topic of the control with help context ID
    // CONTEXTID (0: the focus is on no control) through the help bridge; nothing without one.
    void OnControlHelp(int contextId) const;

    std::uintptr_t m_dwHelpCookie = 0;
    CString m_strFilePath; // the PDF's path: the whole command line
    CString m_strFileName; // the part of the path after its last separator
    std::unique_ptr<platform::ResourceModule> m_hResLib;
    // The full path the resource library was loaded from ("" before start-up loaded it).
    CString m_strResLibPath;
    // The help file: <program directory>Norvane.chm once start-up has set it.
    CString m_pszHelpFilePath;
    // The dialog while it runs (owner of dialogs opened without a parent), null otherwise.
    CPdfSendDlg* m_pMainWnd = nullptr;

private:
    // Shows the message of a failed input check RESULT, without an owner.
    void ShowInputCheckMessage(int result) const;
    // Ends a run that stops before the dialog: the resource library is freed. Returns FALSE.
    BOOL EndBeforeDialog();
    // Forwards a help command without window or file to the bridge, when there is one.
    void InvokeHelp(UINT command, std::uintptr_t data);

    AppServices services_;
    // Shared only so that objects made without services need no help code.
    std::shared_ptr<help::HtmlHelpBridge> helpBridge_;
};

// The program directory of the program at MODULEFILE: the text up to and including its last
// path separator; "" when it has none.
CString ProgramDirectoryOf(const CString& moduleFile);

// The file name of PATH: the characters after its last path separator; the whole path when it
// has none.
CString FileNameOf(const CString& path);

// The command line a process started with the arguments ARGS (ARGS[0] is the program) sees:
// the arguments after the program joined by single spaces, as given, with no quoting; "" when
// there is no argument.
CString CommandLineOf(int argc, const char* const* argv);

// The resource library a run in program directory PROGRAMDIR (ending in a separator) loads
// for a user who wants LANGUAGES (most wanted first): lang/<tag>/Norvres.dll of the first
// language whose folder holds that library, or the default Norvres.dll beside the program when
// none does or when a language comes first that is the default library's own. Looks at the
// files only; loads nothing that it returns.
CString ChooseResourceLibrary(const CString& programDir, const std::vector<std::string>& languages);

// The help file that goes with the resource library at LIBRARYPATH: Norvane.chm beside it when
// that folder has one (a language folder's own help), else the one of PROGRAMDIR.
CString HelpFileFor(const CString& programDir, const CString& libraryPath);

// Shows the built-in start-up failure on MESSAGES, without an owner.
void ShowStartupFailure(platform::IMessageBox& messages);

} // namespace nv
