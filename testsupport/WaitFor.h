#pragma once
// Waiting in tests for something that another thread or process brings about.
#include <chrono>
#include <thread>

namespace testwait {

using namespace std::chrono_literals;

// Polls `done` until it holds; false when `timeout` passed first.
template <typename Pred>
bool WaitUntil(Pred done, std::chrono::milliseconds timeout = 10s,
               std::chrono::milliseconds step = 10ms) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(step);
    }
    return true;
}

}  // namespace testwait
