// Start-up and shutdown: the one pass from the command line to the end of the process.
#include "app/PdfSendApp.h"
#include "help/HelpHandlers.h"
#include "help/HtmlHelp.h"
#include "platform/files/Files.h"
#include "platform/ui/MessageBox.h"
#include "resources/ResourceIds.h"

#include <array>
#include <optional>

namespace nv {

namespace {

namespace str = res::str;

constexpr UINT kStartupMessageFlags = platform::MB_ICONEXCLAMATION | platform::MB_OK;

} // namespace

CString ProgramDirectoryOf(const CString& moduleFile) {
    const std::size_t separator = moduleFile.find_last_of(platform::kPathSeparators);
    return separator == CString::npos ? CString() : moduleFile.substr(0, separator + 1);
}

CString FileNameOf(const CString& path) {
    // Trail bytes of UTF-8 characters are never ASCII, so a byte search finds only separators.
    const std::size_t separator = path.find_last_of(platform::kPathSeparators);
    return separator == CString::npos ? path : path.substr(separator + 1);
}

CString CommandLineOf(int argc, const char* const* argv) {
    if (argc <= 1 || argv == nullptr) {
        return CString();
    }
    CString line;
    for (int i = 1; i < argc; ++i) {
        if (i > 1) {
            line += ' ';
        }
        line += argv[i] != nullptr ? argv[i] : "";
    }
    return line;
}

void ShowStartupFailure(platform::IMessageBox& messages) {
    messages.Show(kStartupFailureText, kStartupFailureCaption, kStartupMessageFlags, false);
}

CPdfSendApp::CPdfSendApp(AppServices services) : services_(std::move(services)) {
    // The bridge looks the runtime up in the settings store's class registrations, so it needs
    // both; without either, help requests simply do nothing.
    if (services_.helpRuntime != nullptr && services_.dialog.registry != nullptr) {
        helpBridge_ = std::make_shared<help::HtmlHelpBridge>(*services_.dialog.registry,
                                                             *services_.helpRuntime);
    }
}

void CPdfSendApp::InvokeHelp(UINT command, std::uintptr_t data) {
    if (helpBridge_) {
        helpBridge_->InvokeHtmlHelp(0, nullptr, command, data);
    }
}

void CPdfSendApp::ShowInputCheckMessage(int result) const {
    platform::IMessageBox* messages = services_.dialog.messageBox;
    if (messages == nullptr) {
        return;
    }
    if (result == kInputNotFound) {
        // Loaded whole, as the framework loads strings from the current resource handle.
        messages->Show(m_hResLib->LoadText(str::kFileNotFound),
                       m_hResLib->LoadText(str::kErrorCaption), kStartupMessageFlags, false);
        return;
    }
    // Loaded into buffers of the path's size, so longer texts are cut to fit.
    const UINT textId = result == kInputInUse ? str::kFileInUse : str::kFileUnsupported;
    std::array<char, kPathBufferSize> caption{};
    std::array<char, kPathBufferSize> text{};
    m_hResLib->LoadStringA(str::kErrorCaption, caption.data(), static_cast<int>(caption.size()));
    m_hResLib->LoadStringA(textId, text.data(), static_cast<int>(text.size()));
    messages->Show(text.data(), caption.data(), kStartupMessageFlags, false);
}

BOOL CPdfSendApp::EndBeforeDialog() {
    services_.dialog.resources = nullptr;
    m_hResLib.reset();
    return FALSE;
}

BOOL CPdfSendApp::InitInstance() {
    // The program directory. A program whose own path is unknown has no directory to load its
    // libraries from; it never falls back to the working folder.
    const CString moduleFile = services_.moduleFileName ? services_.moduleFileName() : CString();
    const CString programDir = ProgramDirectoryOf(moduleFile);

    if (!programDir.empty()) {
        m_strResLibPath =
            ChooseResourceLibrary(programDir, services_.userLanguages ? services_.userLanguages()
                                                                      : std::vector<std::string>());
        m_hResLib = platform::ResourceModule::Load(m_strResLibPath);
    }
    if (!m_hResLib) {
        if (services_.dialog.messageBox != nullptr) {
            ShowStartupFailure(*services_.dialog.messageBox);
        }
        return FALSE;
    }
    // From here on every text, icon and dialog comes from the resource library.
    services_.dialog.resources = m_hResLib.get();
    services_.dialog.programDirectory = programDir;
    if (services_.resourcesLoaded) {
        services_.resourcesLoaded(*m_hResLib);
    }

    m_pszHelpFilePath = HelpFileFor(programDir, m_strResLibPath);
    InvokeHelp(platform::HH_INITIALIZE, reinterpret_cast<std::uintptr_t>(&m_dwHelpCookie));

    CString path = services_.commandLine ? services_.commandLine() : CString();
    // Started without a file (from a menu, or the program itself opened): a request to print
    // something, so the user is asked which file. Cancel ends the run as quietly as Close.
    if (path.empty() && services_.pickFile) {
        const auto text = [this](UINT id) { return m_hResLib->LoadText(id); };
        const std::optional<CString> picked = services_.pickFile(
            {text(str::kOpenFileTitle), text(str::kOpenFileFilterName), text(str::kOpenFileButton),
             text(str::kOpenFileCancel), text(str::kOpenFileNameLabel),
             text(str::kOpenFileTypeLabel), text(str::kOpenFileLookIn)});
        if (!picked) {
            return EndBeforeDialog();
        }
        path = *picked;
    }
    // A path that does not fit the path buffer is refused as one that cannot be obtained,
    // rather than cut to name another file.
    const int check = path.size() >= kPathBufferSize ? kInputNotFound : CheckInputFile(path);
    if (check != kInputIsPdf) {
        ShowInputCheckMessage(check);
        return EndBeforeDialog();
    }

    m_strFileName = FileNameOf(path);
    m_strFilePath = path;

    std::optional<CPdfSendDlg> dlg(std::in_place, this, services_.dialog);
    m_pMainWnd = &*dlg;
    // Whether the dialog printed, was closed or could not be shown, shutdown is the same.
    if (services_.runModal) {
        services_.runModal(*dlg);
    } else {
        dlg->Open();
    }
    m_pMainWnd = nullptr;

    InvokeHelp(platform::HH_UNINITIALIZE, m_dwHelpCookie);
    services_.dialog.resources = nullptr;
    m_hResLib.reset();
    // The dialog's window is gone already; nothing is loaded from the library any more.
    dlg.reset();
    return FALSE;
}

void CPdfSendApp::OnControlHelp(int contextId) const {
    if (helpBridge_ != nullptr) {
        help::HELPINFO info;
        info.iCtrlId = contextId;
        info.dwContextId = static_cast<help::DWORD_PTR>(contextId);
        help::OnHelpInfo(*helpBridge_, m_pszHelpFilePath, info);
    }
}

} // namespace nv
