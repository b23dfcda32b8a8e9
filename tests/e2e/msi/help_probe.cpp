// nv-help-probe: opens a help file through the program's help bridge on the system's HTML Help
// control, once per context ID, as the dialog's Help command (ID 1) and F1 (other IDs, in the
// popup window type) do. Run under Wine by the installer test on the installed help files.
//
//   nv-help-probe FILE ID...
//
// Prints one line per ID: "ID shown" when the runtime returned a window, "ID none" otherwise.
// Exits with 2 when the runtime cannot be loaded at all.
#include "help/HtmlHelp.h"
#include "platform/help/win32/SystemHelpRuntime.h"
#include "platform/registry/win32/Win32Registry.h"

#include <cstdio>
#include <cstdlib>
#include <string>

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: nv-help-probe FILE ID...\n");
        return 2;
    }
    nv::platform::Win32Registry registry;
    nv::platform::SystemHelpRuntimeLoader loader;
    nv::help::HtmlHelpBridge bridge(registry, loader);
    for (int i = 2; i < argc; ++i) {
        const unsigned long id = std::strtoul(argv[i], nullptr, 10);
        const std::string file = id == 1 ? std::string(argv[1]) : std::string(argv[1]) + ">popup";
        const auto shown =
            bridge.InvokeHtmlHelp(0, file.c_str(), nv::platform::HH_HELP_CONTEXT, id);
        if (!bridge.IsRuntimeLoaded()) {
            std::fprintf(stderr, "nv-help-probe: the HTML Help runtime cannot be loaded\n");
            return 2;
        }
        std::printf("%lu %s\n", id, shown != 0 ? "shown" : "none");
    }
    return 0;
}
