#include "gui/win32/Win32MessageBox.h"

#include "platform/text/win32/WideText.h"

// The system's headers come last: their macros would clash with the program's constants.
#include <windows.h>

namespace nv::gui {

int Win32MessageBox::Show(const CString& text, const CString& caption, UINT flags, bool owned) {
    HWND owner = owned && owner_ ? owner_() : nullptr;
    return MessageBoxW(owner, platform::WideFromUtf8Replacing(text.c_str()).c_str(),
                       platform::WideFromUtf8Replacing(caption.c_str()).c_str(), flags);
}

} // namespace nv::gui
