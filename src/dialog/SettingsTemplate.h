// The control set of the print-settings dialog (template 300) as the logic relies on it: every
// control's ID, kind and the styles that change its behaviour (number edits, the password
// edit, up-down controls and their buddies). Layout belongs to the front ends.
#pragma once

#include "platform/ui/DialogSurface.h"
#include "platform/wintypes.h"

#include <span>

namespace nv {

// A control ID as the window's calls take it.
constexpr int ControlId(UINT id) {
    return static_cast<int>(id);
}

enum class TemplateKind { label, comboBox, edit, upDown, checkBox, pushButton, staticIcon };

struct TemplateControl {
    UINT id;
    TemplateKind kind;
    DWORD style = 0; // edit and up-down styles; 0 takes the surface's default for other kinds
    UINT buddy = 0;  // up-down controls: the edit they write their position into
};

// The controls of template 300 in tab order.
std::span<const TemplateControl> SettingsTemplate();

// Adds every control of template 300 to SURFACE, which must not hold any of their IDs yet.
void BuildSettingsTemplate(platform::DialogSurface& surface);

} // namespace nv
