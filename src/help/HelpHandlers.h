// The settings dialog's help handlers: context help (F1) in the help file's popup window, the
// Help command on the main topic, and the close of legacy help when the dialog is destroyed.
// Help windows are never owned by the dialog, and no handler looks at what the runtime did.
#pragma once

#include "help/HtmlHelp.h"
#include "platform/ui/ControlConstants.h"

namespace nv::help {

// The platform's help request record, as a help request for a control carries it.
struct HELPINFO {
    UINT cbSize = sizeof(HELPINFO);
    int iContextType = 1; // HELPINFO_WINDOW
    int iCtrlId = 0;
    HWND hItemHandle = 0;
    DWORD_PTR dwContextId = 0; // the help context ID of the control or window
    struct {
        long x = 0, y = 0;
    } MousePos;
};

// The Help command's ID and its context ID.
inline constexpr UINT ID_HELP = platform::ID_HELP;
inline constexpr DWORD_PTR kMainHelpContext = 1;
// The legacy help engine's quit command.
inline constexpr UINT HELP_QUIT = 2;

// The window type every context-help request asks for.
inline constexpr const char* kPopupWindowSuffix = ">popup";

// WM_HELP: shows the topic of INFO's context ID (also 0) in the popup window type of
// HELPFILEPATH. Returns TRUE whatever the runtime did.
BOOL OnHelpInfo(HtmlHelpBridge& bridge, const CString& helpFilePath, const HELPINFO& info);

// The Help command: shows the main topic (context 1) in the help file's default window.
void OnHelp(HtmlHelpBridge& bridge, const CString& helpFilePath);

// WM_DESTROY, help part: asks the legacy help engine to close what it shows for the program
// (WinHelp with HELP_QUIT and data 0). This platform has no legacy engine, so there is nothing
// to close; HTML help windows are left to end with the process.
void OnDestroy();

} // namespace nv::help
