#include "cli/ConsoleInterrupt.h"

#include <atomic>

namespace {

// Set from a signal handler (Linux) or from the thread Windows starts for a console event.
std::atomic<bool> g_interrupted{false};
static_assert(std::atomic<bool>::is_always_lock_free,
              "a signal handler may only set lock-free atomics");

}  // namespace

void RequestInterrupt() { g_interrupted.store(true); }

bool InterruptRequested() { return g_interrupted.load(); }
