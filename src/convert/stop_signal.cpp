#include "convert/stop_signal.h"

#include <atomic>
#include <csignal>

namespace {

// Lock-free, so a signal handler may set it.
std::atomic<bool> stopRequested{false};
static_assert(std::atomic<bool>::is_always_lock_free);

void OnSignal(int) {
    stopRequested = true;
}

#if defined(_WIN32)
// The C runtime turns the console's Ctrl+C and Ctrl+Break into SIGINT.
using Handler = void (*)(int);
Handler previousInt = SIG_DFL;
Handler previousTerm = SIG_DFL;
#else
struct sigaction previousInt {};
struct sigaction previousTerm {};
#endif

} // namespace

StopOnSignal::StopOnSignal() {
    stopRequested = false;
#if defined(_WIN32)
    previousInt = std::signal(SIGINT, OnSignal);
    previousTerm = std::signal(SIGTERM, OnSignal);
#else
    struct sigaction action {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, &previousInt);
    sigaction(SIGTERM, &action, &previousTerm);
#endif
}

StopOnSignal::~StopOnSignal() {
#if defined(_WIN32)
    std::signal(SIGINT, previousInt);
    std::signal(SIGTERM, previousTerm);
#else
    sigaction(SIGINT, &previousInt, nullptr);
    sigaction(SIGTERM, &previousTerm, nullptr);
#endif
}

bool StopOnSignal::Requested() {
    return stopRequested;
}
