// Windows hands a program one command line of UTF-16 text; the narrow argv the C runtime makes
// of it is in the active code page and loses characters outside it, so the wide line is split
// with the system's own rules and converted to UTF-8.
#include "cli/Arguments.h"

#include "platform/text/win32/WideText.h"

// shellapi.h needs windows.h before it.
// clang-format off
#include <windows.h>
#include <shellapi.h>
// clang-format on

namespace nv::cli {

std::vector<std::string> ProgramArguments(int, char**) {
    std::vector<std::string> args;
    int count = 0;
    LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count);
    if (wide == nullptr) {
        return args;
    }
    for (int i = 1; i < count; ++i) {
        args.push_back(platform::Utf8FromWide(wide[i]));
    }
    LocalFree(wide);
    return args;
}

void PrepareConsole() {
    SetConsoleOutputCP(CP_UTF8);
    SetConsoleCP(CP_UTF8);
}

} // namespace nv::cli
