// Norvane.exe: the window program on Windows. Chooses the platform's services once (the user's
// registry, the system spooler, the system's message boxes and dialogs, HTML Help), then hands
// over to the application object, which does the whole run in InitInstance; no message loop
// runs after it returns.
#include "app/PdfSendApp.h"
#include "gui/PdfSendDlgWindow.h"
#include "gui/win32/CommandLine.h"
#include "gui/win32/OpenFileDialog.h"
#include "gui/win32/ResourceLibrary.h"
#include "gui/win32/Win32DialogHost.h"
#include "gui/win32/Win32MessageBox.h"
#include "platform/files/Files.h"
#include "platform/help/win32/SystemHelpRuntime.h"
#include "platform/modules/Modules.h"
#include "platform/modules/UserLanguage.h"
#include "platform/registry/Registry.h"
#include "platform/spooler/SystemSpooler.h"
#include "platform/text/win32/WideText.h"
#include "resources/ResourceIds.h"

#include <memory>
#include <string>

// The system's headers come last: their macros would clash with the program's constants.
#include <windows.h>
// commctrl.h needs windows.h before it.
#include <commctrl.h>
// The program's own GetModuleFileName, not the system's macro.
#undef GetModuleFileName

namespace {

using namespace nv;

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    platform::RestrictCodeModuleSearch();
    INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX),
                                  ICC_STANDARD_CLASSES | ICC_UPDOWN_CLASS | ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&controls);

    // The PDF's path, taken whole from the wide command line so that it does not depend on the
    // code page: the whole line from a launcher that names the program separately, what follows
    // the program's name otherwise. With nothing there the user is asked for a file.
    const std::string moduleFile = platform::GetModuleFileName();
    const CString commandLine = platform::Utf8FromWide(
        gui::PathTextOf(GetCommandLineW(), platform::WideFromUtf8(moduleFile).value_or(L"")));

    std::unique_ptr<platform::IRegistry> registry = platform::OpenUserRegistry();
    std::unique_ptr<platform::ISpooler> spooler = platform::CreateSystemSpooler();
    platform::SystemHelpRuntimeLoader helpRuntime;
    std::unique_ptr<gui::ResourceLibrary> library;
    std::unique_ptr<gui::Win32DialogHost> host;
    gui::Win32MessageBox messages([&host] { return host ? host->TopHandle() : nullptr; });
    const platform::ResourceModule* resources = nullptr;
    CPdfSendApp* app = nullptr;

    gui::HostProgress<gui::Win32DialogHost> progress(host);

    AppServices services;
    services.dialog.messageBox = &messages;
    services.dialog.registry = registry.get();
    services.dialog.spooler = spooler.get();
    gui::ShowInHostWindows(services.dialog, host, progress, resources, moduleFile);
    services.helpRuntime = &helpRuntime;
    services.moduleFileName = [&moduleFile] { return CString(moduleFile); };
    services.userLanguages = [] { return platform::UserLanguages(); };
    services.commandLine = [&commandLine] { return commandLine; };
    services.pickFile = gui::AskForPdfFile;
    services.resourcesLoaded = [&](const platform::ResourceModule& loaded) {
        resources = &loaded;
        // The same library once more through the system loader, for its dialog templates and
        // icons: the windows speak the language of the texts.
        library = std::make_unique<gui::ResourceLibrary>(app->m_strResLibPath);
        const auto cancelText = platform::WideFromUtf8(loaded.LoadText(res::str::kCancelJobButton));
        host = std::make_unique<gui::Win32DialogHost>(*library, cancelText.value_or(L""));
    };
    services.runModal = [&](CPdfSendDlg& dlg) {
        return gui::RunPdfSendDialog(dlg, *host, resources,
                                     [&app](int contextId) { app->OnControlHelp(contextId); });
    };

    CPdfSendApp pdfSendApp(std::move(services));
    app = &pdfSendApp;
    pdfSendApp.InitInstance();
    const int exitCode = pdfSendApp.ExitInstance();
    host.reset();
    library.reset();
    return exitCode;
}
