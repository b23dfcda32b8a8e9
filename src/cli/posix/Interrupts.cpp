#include "cli/Interrupts.h"

#include <array>
#include <csignal>

namespace nv::cli {

namespace {

// The signal that asked the program to stop, 0 while none did.
volatile std::sig_atomic_t g_interrupt = 0;

constexpr std::array<int, 3> kStopSignals = {SIGINT, SIGTERM, SIGHUP};

extern "C" void OnStopSignal(int signal) {
    g_interrupt = signal;
}

} // namespace

// The handlers in the order of kStopSignals.
struct InterruptGuard::Saved {
    std::array<struct sigaction, kStopSignals.size()> actions{};
};

InterruptGuard::InterruptGuard() : saved_(std::make_unique<Saved>()) {
    g_interrupt = 0;
    struct sigaction action {};
    action.sa_handler = OnStopSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = 0; // no SA_RESTART: a blocked wait returns and looks at the flag
    for (std::size_t i = 0; i < kStopSignals.size(); ++i) {
        ::sigaction(kStopSignals[i], &action, &saved_->actions[i]);
    }
}

InterruptGuard::~InterruptGuard() {
    for (std::size_t i = 0; i < kStopSignals.size(); ++i) {
        ::sigaction(kStopSignals[i], &saved_->actions[i], nullptr);
    }
}

bool InterruptGuard::Requested() {
    return g_interrupt != 0;
}

void InterruptGuard::ReRaise() {
    const int signal = g_interrupt;
    if (signal == 0) {
        return;
    }
    struct sigaction fallback {};
    fallback.sa_handler = SIG_DFL;
    sigemptyset(&fallback.sa_mask);
    ::sigaction(signal, &fallback, nullptr);
    ::raise(signal);
}

} // namespace nv::cli
