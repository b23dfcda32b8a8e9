#include "gui/win32/PdfSendDlgWindow.h"

#include "platform/modules/DialogTemplate.h"
#include "platform/ui/TemplateSurface.h"
#include "resources/ResourceIds.h"

namespace nv::gui {

int RunPdfSendDialog(CPdfSendDlg& dlg, Win32DialogHost& host,
                     const platform::ResourceModule* resources,
                     std::function<void(int contextId)> onHelp) {
    platform::DialogSurface& window = dlg.CreateDialogWindow();
    if (resources != nullptr) {
        if (auto dialog = platform::LoadDialogTemplate(*resources, res::dlg::kSettings)) {
            platform::ApplyTemplateTexts(window, *dialog);
        }
    }
    if (!dlg.OnInitDialog() || window.IsEnded()) {
        return window.IsEnded() ? window.GetEndResult() : platform::IDCANCEL;
    }
    WindowHandlers handlers;
    handlers.onCancel = [&dlg] { dlg.OnCancel(); };
    handlers.onHelp = std::move(onHelp);
    return host.RunModal(window, res::dlg::kSettings, std::move(handlers));
}

} // namespace nv::gui
