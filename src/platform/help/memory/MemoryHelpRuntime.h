// A help runtime for tests: which names load, whether the loaded module has its entry point,
// and a record of every load attempt and every call.
#pragma once

#include "platform/help/HelpRuntime.h"

#include <set>
#include <string>
#include <vector>

namespace nv::platform {

class MemoryHelpRuntimeLoader final : public IHelpRuntimeLoader {
public:
    struct Call {
        HWND caller;
        std::string file;
        UINT command;
        DWORD_PTR data;
    };

    // Names (paths or bare names, compared exactly) that load.
    std::set<std::string> loadable;
    // Whether loaded modules export the entry point.
    bool hasEntryPoint = true;
    // What the entry point returns.
    HWND result = 0x1234;
    // The cookie HH_INITIALIZE hands out.
    DWORD cookie = 0x77;

    std::vector<std::string> loadAttempts;
    int entryLookups = 0;
    std::vector<Call> calls;

    std::unique_ptr<HelpRuntimeModule> LoadLibraryA(const char* pathOrName) override;
};

} // namespace nv::platform
