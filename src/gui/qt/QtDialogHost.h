// Runs dialog surfaces as Qt dialogs: picks the template's layout, draws icons from the
// resource library, makes the open dialog the owner of message boxes and of the next dialog,
// and shows job progress in it. This is what the application hands to its dialogs.
//
// Icon handles of static icon controls are the icon group IDs of the resource library
// (201, 202, ...), unless the owner installs another resolver.
#pragma once

#include "gui/qt/DialogView.h"
#include "gui/qt/QtJobProgress.h"
#include "gui/qt/QtMessageBox.h"
#include "platform/modules/Modules.h"
#include "platform/ui/ModalHost.h"

#include <vector>

namespace nv::gui {

class QtDialogHost final : public platform::IModalHost {
public:
    // RESOURCES is the resource library in use (icons, the Cancel text; may be null); MESSAGES,
    // when given, gets the open dialog as the owner of its boxes.
    explicit QtDialogHost(const platform::ResourceModule* resources,
                          QtMessageBox* messages = nullptr);

    // Runs SURFACE with default window handling (Escape and the close box end it with
    // IDCANCEL). The About box and other plain dialogs open this way.
    int RunModal(platform::DialogSurface& surface, UINT templateId) override;
    // Runs SURFACE with the window handling HANDLERS wires to the dialog's logic.
    int RunModal(platform::DialogSurface& surface, UINT templateId, WindowHandlers handlers);

    void SetIconResolver(IconResolver icons) { icons_ = std::move(icons); }

    // Progress of long jobs, drawn in the dialog open on top.
    QtJobProgress& Progress() { return progress_; }

    // The dialog open on top, or null.
    DialogView* TopView() const { return views_.empty() ? nullptr : views_.back(); }

private:
    const platform::ResourceModule* resources_;
    QtMessageBox* messages_;
    IconResolver icons_;
    QIcon programIcon_;
    std::vector<DialogView*> views_;
    QtJobProgress progress_;
};

} // namespace nv::gui
