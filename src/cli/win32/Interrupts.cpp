#include "cli/Interrupts.h"

#include <atomic>
#include <windows.h>

namespace nv::cli {

namespace {

// Set by the console's control handler when Ctrl+C, Ctrl+Break or closing the console asks
// the program to stop.
std::atomic<bool> g_interrupt{false};

BOOL WINAPI OnConsoleControl(DWORD event) {
    switch (event) {
    case CTRL_C_EVENT:
    case CTRL_BREAK_EVENT:
    case CTRL_CLOSE_EVENT:
        g_interrupt = true;
        return TRUE; // handled: the job in flight stops and is aborted
    default:
        return FALSE;
    }
}

} // namespace

// The console keeps a list of handlers; nothing needs saving to put the previous one back.
struct InterruptGuard::Saved {};

InterruptGuard::InterruptGuard() {
    g_interrupt = false;
    ::SetConsoleCtrlHandler(OnConsoleControl, TRUE);
}

InterruptGuard::~InterruptGuard() {
    ::SetConsoleCtrlHandler(OnConsoleControl, FALSE);
}

bool InterruptGuard::Requested() {
    return g_interrupt;
}

void InterruptGuard::ReRaise() {
    if (!g_interrupt) {
        return;
    }
    // The status a console program has when Ctrl+C ends it.
    ::ExitProcess(STATUS_CONTROL_C_EXIT);
}

} // namespace nv::cli
