// Windows hands a program one command line of UTF-16 text; the narrow argv the C runtime makes
// of it is in the active code page and loses characters outside it, so the wide line is split
// with the system's own rules and converted to UTF-8.
#include "cli/Arguments.h"

#include "platform/text/win32/WideText.h"

#include <atomic>

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

namespace {

// The code pages the console had before the program changed them (0: not changed). The
// console's control handlers take no context, so the handler below finds them here.
std::atomic<UINT> g_savedInput{0};
std::atomic<UINT> g_savedOutput{0};

void RestoreSavedCodePages() {
    if (const UINT input = g_savedInput.exchange(0); input != 0) {
        SetConsoleCP(input);
    }
    if (const UINT output = g_savedOutput.exchange(0); output != 0) {
        SetConsoleOutputCP(output);
    }
}

// The console's last handler before the system's own: puts the code pages back and lets the
// system go on ending the process. While a job is sent the interrupt guard's handler comes
// first and the program ends through Restore instead.
BOOL WINAPI RestoreOnControl(DWORD) {
    RestoreSavedCodePages();
    return FALSE;
}

} // namespace

ConsoleText::ConsoleText() {
    // Both are 0 when the process has no console: then nothing is changed.
    const UINT input = GetConsoleCP();
    const UINT output = GetConsoleOutputCP();
    SetConsoleCtrlHandler(RestoreOnControl, TRUE);
    if (input != 0 && input != CP_UTF8 && SetConsoleCP(CP_UTF8)) {
        g_savedInput = input;
    }
    if (output != 0 && output != CP_UTF8 && SetConsoleOutputCP(CP_UTF8)) {
        g_savedOutput = output;
    }
}

ConsoleText::~ConsoleText() {
    Restore();
    SetConsoleCtrlHandler(RestoreOnControl, FALSE);
}

void ConsoleText::Restore() {
    RestoreSavedCodePages();
}

} // namespace nv::cli
