// Builds a dialog surface from a dialog template: one control per addressable item, of the
// kind, style and caption the template gives, and the template's caption as the title.
#pragma once

#include "platform/modules/DialogTemplate.h"
#include "platform/ui/DialogSurface.h"

#include <functional>

namespace nv::platform {

// Loads icon resource ID for a static icon control; returns 0 when there is none.
using IconLoader = std::function<IconHandle(UINT id)>;

// Adds the items of DIALOG to SURFACE in template order. Push buttons (default or not) become
// push buttons, check boxes (automatic or not) check boxes, statics with SS_ICON static icons
// (showing the icon the template names, through LOADICON when given), other statics labels,
// edits edits with their style, combo boxes pick lists, and each up-down control works on the
// control before it, as an automatic buddy does. Items without an ID of their own (0, 0xFFFF,
// 0xFFFFFFFF), repeated IDs and classes the surface has no kind for are left out. Returns the
// number of controls added.
int BuildSurfaceFromTemplate(DialogSurface& surface, const DialogTemplate& dialog,
                             const IconLoader& loadIcon = {});

// Gives the controls of SURFACE the captions DIALOG gives them (labels, check boxes and push
// buttons whose text is still empty), as creating the window from the template does for
// controls whose captions the program does not set itself. Never writes an edit, so that no
// change notification is sent. Sets the title from the template when the surface has none.
void ApplyTemplateTexts(DialogSurface& surface, const DialogTemplate& dialog);

inline constexpr DWORD WS_SYSMENU = 0x00080000;

// Style bits of a button item that tell its kind, and of a static that shows an icon.
inline constexpr DWORD kButtonTypeMask = 0x0F;
inline constexpr DWORD BS_DEFPUSHBUTTON = 0x01;
inline constexpr DWORD kStaticTypeMask = 0x1F;
inline constexpr DWORD SS_ICON = 0x03;

} // namespace nv::platform
