// Control styles, notification codes and return codes of the dialog surface, with the
// platform's values, so that logic written in the platform's terms reads the same here.
#pragma once

#include "platform/wintypes.h"

namespace nv::platform {

// Notification codes sent to the dialog's notification sink.
inline constexpr int BN_CLICKED = 0;
inline constexpr int CBN_SELCHANGE = 1;
inline constexpr int EN_CHANGE = 0x0300;
inline constexpr int EN_UPDATE = 0x0400;

// Commands that come from a menu or a key rather than a control (ChooseCommand).
inline constexpr int ID_HELP = 57670; // the framework's Help command

// Edit styles.
inline constexpr DWORD ES_PASSWORD = 0x0020;
inline constexpr DWORD ES_READONLY = 0x0800;
inline constexpr DWORD ES_NUMBER = 0x2000;

// Button styles and check states.
inline constexpr DWORD BS_CHECKBOX = 0x0002;     // the program toggles the box itself
inline constexpr DWORD BS_AUTOCHECKBOX = 0x0003; // a click toggles the box
inline constexpr UINT BST_UNCHECKED = 0;
inline constexpr UINT BST_CHECKED = 1;

// Combo box styles and results. Only the drop-down list kind exists on the surface.
inline constexpr DWORD CBS_DROPDOWNLIST = 0x0003;
inline constexpr int CB_ERR = -1;

// Up-down styles.
inline constexpr DWORD UDS_SETBUDDYINT = 0x0002;
inline constexpr DWORD UDS_NOTHOUSANDS = 0x0080;

// The handle of an icon shown by a static icon control; 0 is no icon. What a handle stands
// for is agreed between whoever loads the icons and whoever draws them.
using IconHandle = std::uintptr_t;

} // namespace nv::platform
