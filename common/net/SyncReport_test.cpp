// The portable synchronous report: workers wait for their reports, the user-interface thread runs
// them, and nobody waits forever once the user-interface side has gone.
#include "SyncReport.h"

#include <gtest/gtest.h>

#include <atomic>
#include <future>
#include <stdexcept>
#include <vector>

#include "DrainReports.h"

namespace {

using namespace std::chrono_literals;

using testwait::DrainUntil;

TEST(SyncReport, WorkerWaitsUntilItsReportRanOnTheUserInterfaceThread) {
    SyncReportQueue queue;
    const auto ui = std::this_thread::get_id();
    std::thread::id ranOn;
    std::atomic<bool> returned{false};
    std::thread worker([&] {
        EXPECT_TRUE(queue.Run([&] { ranOn = std::this_thread::get_id(); }));
        returned = true;
    });
    // The worker is parked in Run until the user-interface thread drains.
    std::this_thread::sleep_for(50ms);
    EXPECT_FALSE(returned);
    EXPECT_TRUE(DrainUntil(queue, [&] { return returned.load(); }));
    worker.join();
    EXPECT_EQ(ranOn, ui);
}

TEST(SyncReport, ReportsOfSeveralWorkersEachRunOnceInTheirWorkersOrder) {
    SyncReportQueue queue;
    std::vector<int> seen;  // touched on the user-interface thread only
    std::vector<std::thread> workers;
    std::atomic<int> finished{0};
    for (int w = 0; w < 4; ++w) {
        workers.emplace_back([&, w] {
            for (int i = 0; i < 20; ++i)
                EXPECT_TRUE(queue.Run([&, w, i] { seen.push_back(w * 100 + i); }));
            ++finished;
        });
    }
    EXPECT_TRUE(DrainUntil(queue, [&] { return finished == 4; }));
    for (auto& t : workers) t.join();
    ASSERT_EQ(seen.size(), 80u);
    for (int w = 0; w < 4; ++w) {
        int next = 0;
        for (int v : seen) {
            if (v / 100 != w) continue;
            EXPECT_EQ(v % 100, next++) << "worker " << w;
        }
    }
}

TEST(SyncReport, ExceptionOfAReportReachesItsWorker) {
    SyncReportQueue queue;
    auto result = std::async(std::launch::async, [&] {
        try {
            queue.Run([] { throw std::runtime_error("handler failed"); });
        } catch (const std::runtime_error& e) {
            return std::string(e.what());
        }
        return std::string("no exception");
    });
    EXPECT_TRUE(
        DrainUntil(queue, [&] { return result.wait_for(0s) == std::future_status::ready; }));
    EXPECT_EQ(result.get(), "handler failed");
}

TEST(SyncReport, ClosingReleasesWaitingWorkersAndRefusesLaterReports) {
    SyncReportQueue queue;
    std::atomic<bool> ran{false};
    std::promise<bool> answer;
    std::thread worker([&] { answer.set_value(queue.Run([&] { ran = true; })); });
    std::this_thread::sleep_for(30ms);  // most likely parked by now; either order must hold
    queue.Close();
    auto f = answer.get_future();
    ASSERT_EQ(f.wait_for(5s), std::future_status::ready) << "worker still waits after Close";
    EXPECT_FALSE(f.get());
    worker.join();
    queue.RunPending();
    EXPECT_FALSE(ran);

    // Later reports, from a worker or from the user-interface thread itself, never run.
    std::thread late([&] { EXPECT_FALSE(queue.Run([&] { ran = true; })); });
    late.join();
    EXPECT_FALSE(queue.Run([&] { ran = true; }));
    EXPECT_FALSE(ran);
}

TEST(SyncReport, ClosingInsideARunningReportStillReleasesItsWorkerWithSuccess) {
    // A report handler may tear the user-interface side down (a window that closes itself).
    SyncReportQueue queue;
    std::promise<bool> answer;
    std::thread worker([&] { answer.set_value(queue.Run([&] { queue.Close(); })); });
    auto f = answer.get_future();
    EXPECT_TRUE(DrainUntil(queue, [&] { return f.wait_for(0s) == std::future_status::ready; }));
    worker.join();
    EXPECT_TRUE(f.get());
    EXPECT_TRUE(queue.Closed());
}

TEST(SyncReport, ReportMadeOnTheUserInterfaceThreadRunsAtOnce) {
    SyncReportQueue queue;
    int runs = 0;
    EXPECT_TRUE(queue.Run([&] { ++runs; }));
    EXPECT_EQ(runs, 1);
}

TEST(SyncReport, WakeUpDrivesAUserInterfaceLoopAndARefusedWakeUpWithdrawsTheReport) {
    // The user-interface thread sleeps on its own signal, as a message loop sleeps on its queue.
    std::mutex m;
    std::condition_variable cv;
    int wakeUps = 0;
    bool refuse = false, stop = false;
    std::promise<SyncReportQueue*> made;
    std::atomic<int> ran{0};
    std::thread ui([&] {
        SyncReportQueue queue([&] {
            std::lock_guard<std::mutex> lock(m);
            if (refuse) return false;
            ++wakeUps;
            cv.notify_all();
            return true;
        });
        made.set_value(&queue);
        std::unique_lock<std::mutex> lock(m);
        for (;;) {
            cv.wait(lock, [&] { return wakeUps > 0 || stop; });
            if (stop) break;
            wakeUps = 0;
            lock.unlock();
            queue.RunPending();
            lock.lock();
        }
    });
    SyncReportQueue* queue = made.get_future().get();
    EXPECT_TRUE(queue->Run([&] { ++ran; }));
    EXPECT_TRUE(queue->Run([&] { ++ran; }));
    EXPECT_EQ(ran, 2);
    {
        std::lock_guard<std::mutex> lock(m);
        refuse = true;
    }
    EXPECT_FALSE(queue->Run([&] { ++ran; }));
    {
        std::lock_guard<std::mutex> lock(m);
        stop = true;
        cv.notify_all();
    }
    ui.join();
    EXPECT_EQ(ran, 2);
}

}  // namespace
