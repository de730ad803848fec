#pragma once
// Workers' reports in tests that have no message loop.
#include <chrono>

#include "SyncReport.h"

namespace testwait {

using namespace std::chrono_literals;

// The user-interface side of a report queue without a message loop: runs the workers' reports
// until `done` holds; false when `timeout` passed first.
template <typename Pred>
bool DrainUntil(SyncReportQueue& queue, Pred done, std::chrono::milliseconds timeout = 10s) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        queue.WaitAndRunPending(5ms);
    }
    return true;
}

}  // namespace testwait
