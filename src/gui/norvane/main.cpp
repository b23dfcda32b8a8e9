// norvane: the window program. Chooses the platform's services once (settings file, spooler,
// Qt message boxes and dialogs, the desktop's help viewer), then hands over to the application
// object, which does the whole run in InitInstance; no event loop runs after it returns.
#include "app/PdfSendApp.h"
#include "gui/PdfSendDlgWindow.h"
#include "gui/qt/QtDialogHost.h"
#include "gui/qt/QtFilePicker.h"
#include "gui/qt/QtMessageBox.h"
#include "help/AboutDlg.h"
#include "platform/files/Files.h"
#include "platform/help/posix/DesktopHelpRuntime.h"
#include "platform/modules/ModuleLanguage.h"
#include "platform/modules/UserLanguage.h"
#include "platform/registry/Registry.h"
#include "platform/spooler/posix/SystemSpooler.h"

#include <QApplication>
#include <QString>
#include <memory>
#include <string>

namespace {

using namespace nv;

// The language every message box, button text and help topic follows: that of the resource
// library, once it is loaded; English for the start-up failure shown before.
constexpr const char* kFallbackLanguage = "en";

// Message boxes drawn with Qt in the resource library's language: the boxes are remade when
// the language becomes known.
class LanguageMessageBox final : public platform::IMessageBox {
public:
    LanguageMessageBox() : box_(std::make_unique<gui::QtMessageBox>(kFallbackLanguage)) {}
    void SetLanguage(const std::string& language) {
        box_ = std::make_unique<gui::QtMessageBox>(language);
    }
    gui::QtMessageBox& Box() { return *box_; }
    int Show(const CString& text, const CString& caption, UINT flags, bool owned) override {
        return box_->Show(text, caption, flags, owned);
    }

private:
    std::unique_ptr<gui::QtMessageBox> box_;
};

// The desktop's help viewer, showing the topics of the resource library's language.
class LanguageHelpLoader final : public platform::IHelpRuntimeLoader {
public:
    void SetLanguage(std::string language) { language_ = std::move(language); }
    std::unique_ptr<platform::HelpRuntimeModule> LoadLibraryA(const char* pathOrName) override {
        return platform::DesktopHelpRuntimeLoader(language_).LoadLibraryA(pathOrName);
    }

private:
    std::string language_ = kFallbackLanguage;
};

} // namespace

int main(int argc, char** argv) {
    // The command line is taken before Qt sees any argument, so that a PDF path is never read
    // as one of Qt's own options. With none the user is asked for a file.
    const std::string moduleFile = platform::GetModuleFileName();
    const CString commandLine = CommandLineOf(argc, argv);
    int qtArgc = 1;
    char* qtArgv[] = {argc > 0 ? argv[0] : nullptr, nullptr};
    QApplication application(qtArgc, qtArgv);
    // The one product name wherever the desktop shows the program: its windows' class, matched
    // to the desktop entry norvane.desktop.
    QApplication::setApplicationName(QString::fromUtf8(help::kProductName));
    QApplication::setDesktopFileName(QStringLiteral("norvane"));

    std::unique_ptr<platform::IRegistry> registry = platform::OpenUserRegistry();
    std::unique_ptr<platform::ISpooler> spooler = platform::CreateSystemSpooler();
    LanguageMessageBox messages;
    LanguageHelpLoader helpRuntime;
    std::unique_ptr<gui::QtDialogHost> host;
    const platform::ResourceModule* resources = nullptr;
    CPdfSendApp* app = nullptr;

    gui::HostProgress<gui::QtDialogHost> progress(host);

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
        std::string language = platform::LanguageTagOf(loaded);
        if (language.empty()) {
            language = kFallbackLanguage;
        }
        messages.SetLanguage(language);
        helpRuntime.SetLanguage(language);
        host = std::make_unique<gui::QtDialogHost>(resources, &messages.Box());
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
    return exitCode;
}
