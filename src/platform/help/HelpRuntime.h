// The help runtime: a module the program finds and loads on first use, whose entry point shows
// help topics. On Linux the "module" is the desktop's viewer for the HTML topics shipped beside
// the program; tests load an in-memory one that records the calls.
#pragma once

#include "platform/wintypes.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace nv::platform {

// A window handle as the help calls take it; 0 is none. Help windows here are never owned.
using HWND = std::uintptr_t;
using DWORD_PTR = std::uintptr_t;

// Commands of the help entry point, with the platform's values.
inline constexpr UINT HH_HELP_CONTEXT = 0x0F;
inline constexpr UINT HH_INITIALIZE = 0x1C;
inline constexpr UINT HH_UNINITIALIZE = 0x1D;

// The entry point: (caller window, help file text, command, data) -> a window handle, 0 when
// nothing was shown. For HH_INITIALIZE, DATA is the address of a DWORD that receives a cookie;
// for HH_UNINITIALIZE it is that cookie; for HH_HELP_CONTEXT the context ID. The help file text
// is the help file path, optionally followed by ">" and a window type name.
using HtmlHelpProc =
    std::function<HWND(HWND caller, const char* file, UINT command, DWORD_PTR data)>;

// A loaded help runtime. Unloads on destruction.
class HelpRuntimeModule {
public:
    virtual ~HelpRuntimeModule() = default;
    // The export with ORDINAL, or an empty function when the module has none.
    virtual HtmlHelpProc GetProcAddress(UINT ordinal) = 0;
};

class IHelpRuntimeLoader {
public:
    virtual ~IHelpRuntimeLoader() = default;
    // LoadLibraryA: loads the runtime at PATH, or by bare NAME through the platform's search.
    // Null when it cannot be loaded.
    virtual std::unique_ptr<HelpRuntimeModule> LoadLibraryA(const char* pathOrName) = 0;
};

} // namespace nv::platform
