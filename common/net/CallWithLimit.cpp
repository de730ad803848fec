#include "CallWithLimit.h"

#include <atomic>
#include <thread>

void BlockingJobWait::Signal() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        signalled_ = true;
    }
    ended_.notify_all();
}

bool BlockingJobWait::WaitFor(std::chrono::milliseconds limit) {
    std::unique_lock<std::mutex> lock(mutex_);
    return ended_.wait_for(lock, limit, [this] { return signalled_; });
}

bool CallWithLimit(std::function<void()> job, std::shared_ptr<JobWait> wait,
                   std::chrono::milliseconds limit) {
    // Shared with the thread, which may outlive this call.
    struct Run {
        std::function<void()> job;
        std::shared_ptr<JobWait> wait;
        std::atomic<bool> succeeded{false};
    };
    auto run = std::make_shared<Run>();
    run->job = std::move(job);
    run->wait = std::move(wait);
    try {
        std::thread([run] {
            try {
                run->job();
                run->succeeded = true;
            } catch (...) {
                // Ends like a failed job; nobody may be left to hear more.
            }
            run->wait->Signal();
        }).detach();
    } catch (const std::system_error&) {
        return false;  // no thread to be had
    }
    return run->wait->WaitFor(limit) && run->succeeded;
}
