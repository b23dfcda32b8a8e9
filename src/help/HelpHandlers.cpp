#include "help/HelpHandlers.h"

namespace nv::help {

BOOL OnHelpInfo(HtmlHelpBridge& bridge, const CString& helpFilePath, const HELPINFO& info) {
    const CString file = helpFilePath + kPopupWindowSuffix;
    bridge.InvokeHtmlHelp(0, file.c_str(), platform::HH_HELP_CONTEXT, info.dwContextId);
    return TRUE;
}

void OnHelp(HtmlHelpBridge& bridge, const CString& helpFilePath) {
    bridge.InvokeHtmlHelp(0, helpFilePath.c_str(), platform::HH_HELP_CONTEXT, kMainHelpContext);
}

void OnDestroy() {}

} // namespace nv::help
