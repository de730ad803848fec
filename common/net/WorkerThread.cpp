#include "WorkerThread.h"

#include <thread>

WorkerThread::WorkerThread(std::shared_ptr<SyncReport> report, bool runnable)
    : report_(std::move(report)), runnable_(runnable && report_ != nullptr) {}

void WorkerThread::Start(bool createSuspended) {
    if (!createSuspended) Resume();
}

void WorkerThread::Resume() {
    if (!runnable_ || started_.exchange(true)) return;
    std::thread([self = shared_from_this()] { self->Run(); }).detach();
}

bool WorkerThread::Synchronize(const std::function<void()>& report) {
    try {
        return report_->Run(report);
    } catch (...) {
        // The report ran and failed on the user-interface thread; its worker goes on.
        return true;
    }
}

void WorkerThread::Run() {
    try {
        Execute();
    } catch (...) {
        // An error ends the body without a report; the end is still signalled below.
    }
    Synchronize([this] {
        if (OnTerminate) OnTerminate(*this);
    });
    finished_ = true;
}
