// Opens the print-settings dialog as a real dialog window: the dialog's surface gets the
// captions that come with template 300, is initialised by the dialog, and runs in the window
// made from the template until the dialog ends it. Escape and the close box end it as the
// dialog's cancel does; F1 asks for help on the control that has the focus.
#pragma once

#include "dialog/PdfSendDlg.h"
#include "gui/win32/Win32DialogHost.h"

#include <functional>

namespace nv::gui {

// Runs DLG modally in HOST. RESOURCES is the resource library in use (the template's own
// captions; may be null). ONHELP receives the help context ID of an F1 request. Returns IDOK
// after a job was sent, IDCANCEL otherwise (also when the dialog ended before it was shown),
// -1 when the window cannot be made.
int RunPdfSendDialog(CPdfSendDlg& dlg, Win32DialogHost& host,
                     const platform::ResourceModule* resources,
                     std::function<void(int contextId)> onHelp = {});

} // namespace nv::gui
