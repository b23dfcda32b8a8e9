// The help runtime of Windows: the system's HTML Help control (hhctrl.ocx), loaded by absolute
// path; the entry asked for by ordinal 14 (HtmlHelpA) is served by its wide twin, HtmlHelpW.
#pragma once

#include "platform/help/HelpRuntime.h"

namespace nv::platform {

class SystemHelpRuntimeLoader final : public IHelpRuntimeLoader {
public:
    // Loads PATHORNAME, an absolute path or the bare name of a module in the system's folder;
    // null when it cannot be loaded.
    std::unique_ptr<HelpRuntimeModule> LoadLibraryA(const char* pathOrName) override;
};

} // namespace nv::platform
