#pragma once

#include <csignal>

namespace engine::platform {

// Catches SIGINT, SIGTERM and SIGHUP while it exists, so that work under way
// can be wound up in order instead of dying mid-file. The handler only
// records the signal; the work looks at Caught() when it can stop. Each
// signal is caught once: a second one of the same kind ends the program as
// usual, in case winding up hangs.
class InterruptSignals {
public:
    // Installs the handler and forgets any signal caught before.
    InterruptSignals();
    // Puts back the handlers found at construction.
    ~InterruptSignals();
    InterruptSignals(const InterruptSignals&) = delete;
    InterruptSignals& operator=(const InterruptSignals&) = delete;

    // The first signal caught since construction; 0 while none came.
    static int Caught();

private:
    struct sigaction mPrevious[3];
};

} // namespace engine::platform
