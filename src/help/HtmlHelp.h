// The bridge to the help runtime. The program does not link the runtime: on first use the
// bridge finds it (through its class registration, else by module name), loads it once per
// bridge and forwards each request to its entry point. When the runtime cannot be loaded every
// request does nothing and returns 0, with no message; the load is then never tried again.
//
// One bridge lives for the whole process, owned by the application; it replaces process-wide
// variables and, like them, is never reset. The runtime stays loaded until the bridge ends.
#pragma once

#include "platform/help/HelpRuntime.h"
#include "platform/registry/Registry.h"

#include <memory>

namespace nv::help {

using platform::DWORD_PTR;
using platform::HWND;

// The class registration of the help control below the classes root; its default value holds
// the runtime's path.
inline constexpr const char* kHtmlHelpClassKey =
    "CLSID\\{ADB880A6-D8FF-11CF-9377-00AA003B7A11}\\InprocServer32";
// The runtime's module name, loaded through the platform's search when not registered.
inline constexpr const char* kHtmlHelpModuleName = "hhctrl.ocx";
// Size of the buffer the registered path is read into.
inline constexpr DWORD kHtmlHelpPathBuffer = 260;

class HtmlHelpBridge {
public:
    HtmlHelpBridge(platform::IRegistry& registry, platform::IHelpRuntimeLoader& loader)
        : registry_(registry), loader_(loader) {}
    HtmlHelpBridge(const HtmlHelpBridge&) = delete;
    HtmlHelpBridge& operator=(const HtmlHelpBridge&) = delete;

    // Forwards (CALLER, FILE, COMMAND, DATA) unchanged to the runtime's entry point and returns
    // its result; 0 when the runtime or its entry point is not available. A failed load is
    // tried once; a failed entry-point lookup is tried again on the next call.
    HWND InvokeHtmlHelp(HWND caller, const char* file, UINT command, DWORD_PTR data);

    bool IsRuntimeLoaded() const { return m_hHtmlHelpLib != nullptr; }
    bool HasFailed() const { return m_bHtmlHelpFailed != 0; }

private:
    // The path registered for the runtime, or "" when the key or its value cannot be read.
    std::string RegisteredRuntimePath();

    platform::IRegistry& registry_;
    platform::IHelpRuntimeLoader& loader_;
    std::unique_ptr<platform::HelpRuntimeModule> m_hHtmlHelpLib;
    platform::HtmlHelpProc m_pfnHtmlHelp;
    int m_bHtmlHelpFailed = 0;
};

} // namespace nv::help
