// Opens the print-settings dialog on screen, the same way for every window system: the
// dialog's window gets the captions that come with template 300, is initialised by the dialog,
// and runs in a real window of HOST (the Qt or the Win32 dialog host) until the dialog ends it.
// Escape and the close box end it as the dialog's cancel does; F1 asks for help on the control
// that has the focus.
#pragma once

#include "dialog/PdfSendDlg.h"
#include "help/AboutDlg.h"
#include "platform/modules/DialogTemplate.h"
#include "platform/ui/JobProgress.h"
#include "platform/ui/TemplateSurface.h"
#include "resources/ResourceIds.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <utility>

namespace nv::gui {

// Runs DLG modally in HOST. RESOURCES is the resource library in use (the template's own
// captions; may be null). ONHELP receives the help context ID of an F1 request. Returns IDOK
// after a job was sent, IDCANCEL otherwise (also when the dialog ended before it was shown),
// -1 when the window cannot be made.
template <class Host>
int RunPdfSendDialog(CPdfSendDlg& dlg, Host& host, const platform::ResourceModule* resources,
                     std::function<void(int contextId)> onHelp = {}) {
    platform::DialogSurface& window = dlg.CreateDialogWindow();
    if (resources != nullptr) {
        if (auto dialog = platform::LoadDialogTemplate(*resources, res::dlg::kSettings)) {
            platform::ApplyTemplateTexts(window, *dialog);
        }
    }
    if (!dlg.OnInitDialog() || window.IsEnded()) {
        return window.IsEnded() ? window.GetEndResult() : platform::IDCANCEL;
    }
    return host.RunModal(window, res::dlg::kSettings,
                         {.onCancel = [&dlg] { dlg.OnCancel(); }, .onHelp = std::move(onHelp)});
}

// The progress of a job, shown in the dialog open in HOST once the dialogs can be drawn (HOST
// is made when the resource library is loaded; until then progress goes nowhere).
template <class Host>
class HostProgress final : public platform::IJobProgress {
public:
    explicit HostProgress(const std::unique_ptr<Host>& host) : host_(host) {}
    void Started(std::uint64_t totalBytes) override {
        if (host_) {
            host_->Progress().Started(totalBytes);
        }
    }
    void Advanced(std::uint64_t sentBytes) override {
        if (host_) {
            host_->Progress().Advanced(sentBytes);
        }
    }
    void Finished() override {
        if (host_) {
            host_->Progress().Finished();
        }
    }

private:
    const std::unique_ptr<Host>& host_;
};

// Hands DIALOG what the window program's HOST shows: job progress (through PROGRESS) in the
// dialog on top, with its Cancel (Escape and the close box too) stopping a running job, and the
// About box of the program MODULEFILE with the texts of the resource library RESOURCES once
// it is loaded. HOST, PROGRESS, RESOURCES and MODULEFILE must outlive the dialog.
template <class Host>
void ShowInHostWindows(DialogServices& dialog, const std::unique_ptr<Host>& host,
                       HostProgress<Host>& progress,
                       const platform::ResourceModule* const& resources,
                       const std::string& moduleFile) {
    dialog.progress = &progress;
    dialog.cancelRequested = [&host] { return host && host->Progress().CancelRequested(); };
    dialog.runAboutBox = [&host, &resources, &moduleFile] {
        help::CAboutDlg about(resources, moduleFile, *host);
        about.DoModal();
    };
}

} // namespace nv::gui
