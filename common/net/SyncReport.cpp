#include "SyncReport.h"

#include <algorithm>

// Lives on the worker's stack for as long as the worker waits in Run.
struct SyncReportQueue::Ticket {
    const std::function<void()>* report;
    enum class State { Waiting, Running, Done, Refused } state = State::Waiting;
    std::exception_ptr error;
};

SyncReportQueue::SyncReportQueue(std::function<bool()> wake)
    : owner_(std::this_thread::get_id()), wake_(std::move(wake)) {}

SyncReportQueue::~SyncReportQueue() {
    Close();
}

bool SyncReportQueue::Run(const std::function<void()>& report) {
    if (std::this_thread::get_id() == owner_) {
        if (Closed()) return false;
        report();
        return true;
    }
    Ticket ticket{&report, Ticket::State::Waiting, nullptr};
    std::unique_lock<std::mutex> lock(mutex_);
    if (closed_) return false;
    waiting_.push_back(&ticket);
    arrived_.notify_all();
    if (wake_ && !wake_()) {
        waiting_.erase(std::find(waiting_.begin(), waiting_.end(), &ticket));
        return false;
    }
    done_.wait(lock, [&] {
        return ticket.state == Ticket::State::Done || ticket.state == Ticket::State::Refused;
    });
    if (ticket.state == Ticket::State::Refused) return false;
    if (ticket.error) std::rethrow_exception(ticket.error);
    return true;
}

bool SyncReportQueue::RunNext() {
    Ticket* ticket;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (waiting_.empty()) return false;
        ticket = waiting_.front();
        waiting_.pop_front();
        ticket->state = Ticket::State::Running;
    }
    std::exception_ptr error;
    try {
        (*ticket->report)();
    } catch (...) {
        error = std::current_exception();
    }
    {
        std::lock_guard<std::mutex> lock(mutex_);
        ticket->error = std::move(error);  // the worker alone holds it from here
        ticket->state = Ticket::State::Done;
    }
    done_.notify_all();
    return true;
}

void SyncReportQueue::RunPending() {
    while (RunNext()) {
    }
}

bool SyncReportQueue::WaitAndRunPending(std::chrono::milliseconds timeout) {
    {
        std::unique_lock<std::mutex> lock(mutex_);
        arrived_.wait_for(lock, timeout, [&] { return !waiting_.empty() || closed_; });
    }
    bool ran = false;
    while (RunNext()) ran = true;
    return ran;
}

void SyncReportQueue::Close() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        closed_ = true;
        for (auto* ticket : waiting_) ticket->state = Ticket::State::Refused;
        waiting_.clear();
    }
    done_.notify_all();
    arrived_.notify_all();
}

bool SyncReportQueue::Closed() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return closed_;
}
