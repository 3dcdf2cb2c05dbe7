#include "engine/platform/interruptSignals.h"

#include <atomic>

namespace engine::platform {

namespace {

constexpr int kSignals[] = {SIGINT, SIGTERM, SIGHUP};

// Set from the handler, on whichever thread the signal lands, and read by
// the render thread: a lock-free atomic is both signal-safe and shared
// between threads, where a volatile sig_atomic_t is only the former.
std::atomic<int> gCaught{0};
static_assert(std::atomic<int>::is_always_lock_free);

extern "C" void Catch(int signal) {
    int none = 0;
    gCaught.compare_exchange_strong(none, signal);
}

} // namespace

InterruptSignals::InterruptSignals() {
    gCaught.store(0);
    struct sigaction action {};
    action.sa_handler = Catch;
    sigemptyset(&action.sa_mask);
    // Restarting keeps the encoder threads' blocking calls out of EINTR.
    action.sa_flags = SA_RESTART | SA_RESETHAND;
    for (int i = 0; i < 3; ++i)
        sigaction(kSignals[i], &action, &mPrevious[i]);
}

InterruptSignals::~InterruptSignals() {
    for (int i = 0; i < 3; ++i)
        sigaction(kSignals[i], &mPrevious[i], nullptr);
}

int InterruptSignals::Caught() {
    return gCaught.load();
}

} // namespace engine::platform
