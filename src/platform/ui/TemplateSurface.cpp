#include "platform/ui/TemplateSurface.h"

namespace nv::platform {
namespace {

bool HasOwnId(UINT id) {
    return id != 0 && id != 0xFFFF && id != 0xFFFFFFFF && id <= 0x7FFFFFFF;
}

} // namespace

int BuildSurfaceFromTemplate(DialogSurface& surface, const DialogTemplate& dialog,
                             const IconLoader& loadIcon) {
    surface.SetWindowTextA(dialog.caption);
    surface.SetHasSystemMenu((dialog.style & WS_SYSMENU) != 0);
    int added = 0;
    int previousId = 0;
    for (const DialogItem& item : dialog.items) {
        const int id = static_cast<int>(item.id);
        if (!HasOwnId(item.id) || surface.GetDlgItem(id) != nullptr) {
            previousId = 0;
            continue;
        }
        bool ok = true;
        switch (item.itemClass) {
        case DialogItemClass::Button: {
            const DWORD type = item.style & kButtonTypeMask;
            if (type == BS_CHECKBOX || type == BS_AUTOCHECKBOX) {
                surface.AddCheckBox(id, item.text, type);
            } else if (type == 0 || type == BS_DEFPUSHBUTTON) {
                surface.AddPushButton(id, item.text);
            } else {
                ok = false;
            }
            break;
        }
        case DialogItemClass::Static:
            if ((item.style & kStaticTypeMask) == SS_ICON) {
                StaticIcon& icon = surface.AddStaticIcon(id);
                if (item.textOrdinal && loadIcon) {
                    icon.SetIcon(loadIcon(*item.textOrdinal));
                }
            } else {
                surface.AddLabel(id, item.text);
            }
            break;
        case DialogItemClass::Edit: {
            Edit& edit = surface.AddEdit(id, item.style);
            if (!item.text.empty()) {
                edit.SetText(item.text);
            }
            break;
        }
        case DialogItemClass::ComboBox:
            surface.AddComboBox(id);
            break;
        case DialogItemClass::UpDown:
            if (previousId == 0) {
                ok = false;
                break;
            }
            surface.AddUpDown(id, previousId, item.style);
            break;
        default:
            ok = false;
            break;
        }
        if (ok) {
            ++added;
            previousId = id;
        } else {
            previousId = 0;
        }
    }
    return added;
}

void ApplyTemplateTexts(DialogSurface& surface, const DialogTemplate& dialog) {
    if (surface.GetWindowText().empty()) {
        surface.SetWindowTextA(dialog.caption);
    }
    for (const DialogItem& item : dialog.items) {
        if (item.text.empty() || !HasOwnId(item.id)) {
            continue;
        }
        Control* control = surface.GetDlgItem(static_cast<int>(item.id));
        if (control == nullptr || !control->GetWindowText().empty()) {
            continue;
        }
        const ControlKind kind = control->kind();
        if (kind == ControlKind::Label || kind == ControlKind::CheckBox ||
            kind == ControlKind::PushButton) {
            control->SetWindowTextA(item.text);
        }
    }
}

} // namespace nv::platform
