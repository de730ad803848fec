#pragma once
#include <windows.h>

#include <chrono>
#include <memory>

#include "CallWithLimit.h"
#include "Handles_win.h"

// A wait on a window's thread: while it lasts, the thread's windows keep painting and answer the
// messages that other threads and programs send them. Input and posted messages stay queued until
// after the wait, so nothing the user does runs in the middle of the waiting caller.
class WindowJobWait : public JobWait {
  public:
    // Throws std::runtime_error when the system gives no event.
    WindowJobWait();
    void Signal() override;
    bool WaitFor(std::chrono::milliseconds limit) override;

  private:
    UniqueHandle ended_;
};

// A WindowJobWait, or a plain wait when the system gives no event.
std::shared_ptr<JobWait> MakeWindowJobWait();
