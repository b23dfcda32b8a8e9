// The help runtime of Windows: the system's HTML Help control (hhctrl.ocx), loaded with
// LoadLibraryA, whose export with ordinal 14 is HtmlHelpA.
#pragma once

#include "platform/help/HelpRuntime.h"

namespace nv::platform {

class SystemHelpRuntimeLoader final : public IHelpRuntimeLoader {
public:
    // Loads PATHORNAME with the system's search rules; null when it cannot be loaded.
    std::unique_ptr<HelpRuntimeModule> LoadLibraryA(const char* pathOrName) override;
};

} // namespace nv::platform
