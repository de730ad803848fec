#pragma once
#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>

// How a thread waits for a job that runs on another one.
class JobWait {
  public:
    virtual ~JobWait() = default;
    // The job has ended; called once, on the job's thread.
    virtual void Signal() = 0;
    // True when Signal came within `limit`.
    virtual bool WaitFor(std::chrono::milliseconds limit) = 0;
};

// A plain wait that does nothing else meanwhile.
class BlockingJobWait : public JobWait {
  public:
    void Signal() override;
    bool WaitFor(std::chrono::milliseconds limit) override;

  private:
    std::mutex mutex_;
    std::condition_variable ended_;
    bool signalled_ = false;
};

// Runs `job` on a thread of its own and waits for it through `wait`, at most `limit`. True when it
// ended in time and without an exception. Otherwise the caller goes on at once and the thread runs
// to its end unwatched: the job must own whatever it touches (shared pointers, copies), never the
// caller's locals.
bool CallWithLimit(std::function<void()> job, std::shared_ptr<JobWait> wait,
                   std::chrono::milliseconds limit);
