// The help runtime of a Linux desktop: a viewer program (by default xdg-open, found on PATH)
// that opens the topic page of a help request in the user's browser. "Loading" the runtime
// finds the viewer; its entry point runs the viewer detached and never waits for it.
#pragma once

#include "platform/help/HelpRuntime.h"

#include <string>

namespace nv::platform {

// The module name under which the program asks for the runtime by the platform's search.
inline constexpr const char* kDesktopHelpViewer = "xdg-open";

class DesktopHelpRuntimeLoader final : public IHelpRuntimeLoader {
public:
    // LANGUAGE picks the topics' folder ("ja", "en"): that of the resource library in use.
    explicit DesktopHelpRuntimeLoader(std::string language) : language_(std::move(language)) {}

    // A bare module name ("hhctrl.ocx", any case, or any name without a slash) loads the
    // desktop viewer found on PATH; a path loads the viewer program at that path. Null when
    // the program is missing or not executable.
    std::unique_ptr<HelpRuntimeModule> LoadLibraryA(const char* pathOrName) override;

private:
    std::string language_;
};

} // namespace nv::platform
