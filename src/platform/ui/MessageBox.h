// The one port through which the program shows message boxes: text, caption and flags in, the
// button pressed out. The GUI shows a real box; tests and the command-line front end answer.
#pragma once

#include "platform/wintypes.h"

namespace nv::platform {

// Flags, with the platform's values.
inline constexpr UINT MB_OK = 0x00;
inline constexpr UINT MB_YESNO = 0x04;
inline constexpr UINT MB_ICONEXCLAMATION = 0x30;
inline constexpr UINT MB_ICONINFORMATION = 0x40;

// Buttons, with the platform's values.
inline constexpr int IDOK = 1;
inline constexpr int IDCANCEL = 2;
inline constexpr int IDYES = 6;
inline constexpr int IDNO = 7;

class IMessageBox {
public:
    virtual ~IMessageBox() = default;
    // Shows TEXT under CAPTION with FLAGS and returns the button pressed. OWNED tells whether the
    // box belongs to the dialog (true) or has no owner window (start-up messages).
    virtual int Show(const CString& text, const CString& caption, UINT flags, bool owned) = 0;
};

} // namespace nv::platform
