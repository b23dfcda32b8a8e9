// Interrupts of the command-line front end: SIGINT, SIGTERM and SIGHUP stop a job that is being
// sent, so that it is cancelled (the scheduler's job cancelled, a socket reset, a file port's
// temporary file removed) instead of the process ending with half a job at the printer.
#pragma once

#include <memory>

namespace nv::cli {

class InterruptGuard {
public:
    // Catches SIGINT, SIGTERM and SIGHUP until destroyed, without restarting interrupted
    // calls, so that waits notice at once.
    InterruptGuard();
    // Puts the previous handlers back.
    ~InterruptGuard();
    InterruptGuard(const InterruptGuard&) = delete;
    InterruptGuard& operator=(const InterruptGuard&) = delete;

    // Whether one of the signals arrived since the guard was made.
    static bool Requested();

    // When a signal arrived: puts its default action back and raises it again, so that the
    // caller of the program sees it ended by that signal. Returns when none arrived.
    void ReRaise();

private:
    struct Saved;
    std::unique_ptr<Saved> saved_; // the handlers in place before the guard
};

} // namespace nv::cli
