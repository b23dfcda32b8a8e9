// The system's window, icon and module handles, declared without the system's headers: those
// define macros (TRUE, IDOK, BN_CLICKED, ...) that clash with the program's own constants, so
// they are included last, and only in source files.
#pragma once

struct HWND__;
struct HICON__;
struct HINSTANCE__;

namespace nv::gui {

using WindowHandle = HWND__*;
using IconRef = HICON__*;
using ModuleHandle = HINSTANCE__*;

} // namespace nv::gui
