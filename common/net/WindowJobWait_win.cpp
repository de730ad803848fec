#include "WindowJobWait_win.h"

#include <stdexcept>

namespace {

// A window that never validates its update region would keep the loop painting; it gets its turn
// again at the next wake.
constexpr int kMessagesPerWake = 32;

void KeepWindowsAnswering() {
    // Sent messages run inside PeekMessage; the filter returns paint messages only.
    MSG msg;
    for (int i = 0; i < kMessagesPerWake &&
                    PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE | PM_QS_PAINT | PM_QS_SENDMESSAGE);
         ++i)
        DispatchMessageW(&msg);
}

}  // namespace

WindowJobWait::WindowJobWait() : ended_(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {
    if (!ended_) throw std::runtime_error("CreateEvent failed");
}

void WindowJobWait::Signal() {
    // Nothing on the job's thread could make up for a failure: the waiter then waits out its
    // limit and takes the job as not ended.
    SetEvent(ended_.get());
}

bool WindowJobWait::WaitFor(std::chrono::milliseconds limit) {
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + limit;
    const HANDLE ended = ended_.get();
    // What was queued before the wait would not wake it.
    KeepWindowsAnswering();
    for (;;) {
        const auto left =
            std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
        if (left <= 0) return WaitForSingleObject(ended, 0) == WAIT_OBJECT_0;
        const DWORD woke = MsgWaitForMultipleObjectsEx(1, &ended, static_cast<DWORD>(left),
                                                       QS_SENDMESSAGE | QS_PAINT, 0);
        if (woke == WAIT_OBJECT_0) return true;
        if (woke == WAIT_OBJECT_0 + 1) {
            KeepWindowsAnswering();
        } else if (woke != WAIT_TIMEOUT) {
            // The message wait failed: the rest of the time without the windows.
            return WaitForSingleObject(ended, static_cast<DWORD>(left)) == WAIT_OBJECT_0;
        }
    }
}

std::shared_ptr<JobWait> MakeWindowJobWait() {
    try {
        return std::make_shared<WindowJobWait>();
    } catch (const std::runtime_error&) {
        return std::make_shared<BlockingJobWait>();
    }
}
