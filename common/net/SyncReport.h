#pragma once
#include <chrono>
#include <condition_variable>
#include <deque>
#include <exception>
#include <functional>
#include <mutex>
#include <thread>

// A worker thread hands a report to the user-interface thread and waits until it has run there.
class SyncReport {
  public:
    virtual ~SyncReport() = default;
    // True once `report` has run on the user-interface thread. False when the user-interface side
    // has closed: the report did not run and never will. An exception thrown by the report is
    // thrown again here, on the worker.
    virtual bool Run(const std::function<void()>& report) = 0;
};

// Reports wait in a queue that the user-interface thread drains. The thread that creates the
// queue is its user-interface thread: a report made on that thread runs at once.
class SyncReportQueue : public SyncReport {
  public:
    // `wake` asks the user-interface thread to call RunPending soon. It is called with the queue's
    // lock held, so it must not block; when it answers false the report is withdrawn and Run
    // answers false instead of waiting for a drain that will never come.
    explicit SyncReportQueue(std::function<bool()> wake = {});
    ~SyncReportQueue() override;
    SyncReportQueue(const SyncReportQueue&) = delete;
    SyncReportQueue& operator=(const SyncReportQueue&) = delete;

    bool Run(const std::function<void()>& report) override;

    // User-interface thread: runs every report that waits, each releasing its worker.
    void RunPending();
    // User-interface thread without a message queue: waits up to `timeout` for a report, then runs
    // what waits. True when a report ran.
    bool WaitAndRunPending(std::chrono::milliseconds timeout);
    // The user-interface side is going away: waiting workers return false at once and later
    // reports are refused. Idempotent.
    void Close();
    bool Closed() const;

  private:
    struct Ticket;
    bool RunNext();

    const std::thread::id owner_;
    const std::function<bool()> wake_;
    mutable std::mutex mutex_;
    std::condition_variable done_;     // workers wait here for their ticket
    std::condition_variable arrived_;  // WaitAndRunPending waits here
    std::deque<Ticket*> waiting_;
    bool closed_ = false;
};
