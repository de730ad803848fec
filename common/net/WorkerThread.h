#pragma once
#include <atomic>
#include <functional>
#include <memory>

#include "SyncReport.h"

// A worker thread object that runs once and frees itself: the running thread keeps it alive, so
// whoever started it may forget it at any time. Its reports reach the user-interface thread through
// the synchronous report.
class WorkerThread : public std::enable_shared_from_this<WorkerThread> {
  public:
    using TerminateEvent = std::function<void(WorkerThread& sender)>;

    virtual ~WorkerThread() = default;
    WorkerThread(const WorkerThread&) = delete;
    WorkerThread& operator=(const WorkerThread&) = delete;

    // Starts a thread that was created suspended; nothing when it already runs or may never run.
    void Resume();
    // Asks the thread to stop; it decides when (or whether) to look. Any thread may call it.
    void Terminate() { terminated_ = true; }
    bool Terminated() const { return terminated_; }
    // True once the thread has done everything it will ever do.
    bool Finished() const { return finished_; }
    // False for a thread that was created suspended for good (its arguments were incomplete).
    bool Runnable() const { return runnable_; }

    // Runs on the user-interface thread after the body, like every report. Set it on the
    // user-interface thread only.
    TerminateEvent OnTerminate;

  protected:
    WorkerThread(std::shared_ptr<SyncReport> report, bool runnable);
    // Called by the creator once the object is owned by a shared pointer.
    void Start(bool createSuspended);
    // Runs `report` on the user-interface thread and waits for it; false when the
    // user-interface side is gone and the report did not run. An exception of the report ends up
    // here and is dropped.
    bool Synchronize(const std::function<void()>& report);

    virtual void Execute() = 0;

  private:
    void Run();

    std::shared_ptr<SyncReport> report_;
    const bool runnable_;
    std::atomic<bool> started_{false};
    std::atomic<bool> terminated_{false};
    std::atomic<bool> finished_{false};
};
