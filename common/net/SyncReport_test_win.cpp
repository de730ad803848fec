// The synchronous report through a message-only window: a real message loop on the test's thread,
// real worker threads.
#include "SyncReport_win.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <future>
#include <thread>
#include <vector>

namespace {

using namespace std::chrono_literals;

// A plain GetMessage loop that ends when the worker posts WM_QUIT to this thread.
void MessageLoop() {
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

TEST(SyncReportWindow, ReportsRunInsideTheMessageLoopWhileTheWorkerWaits) {
    SyncReportWindow window;
    const DWORD ui = GetCurrentThreadId();
    auto reporter = window.Reporter();
    std::vector<DWORD> ranOn;
    std::vector<int> order;
    std::thread worker([&] {
        for (int i = 0; i < 5; ++i) {
            int seenByWorker = -1;
            EXPECT_TRUE(reporter->Run([&] {
                ranOn.push_back(GetCurrentThreadId());
                order.push_back(i);
                seenByWorker = i;
            }));
            // The report has fully run before Run returns.
            EXPECT_EQ(seenByWorker, i);
        }
        PostThreadMessageW(ui, WM_QUIT, 0, 0);
    });
    MessageLoop();
    worker.join();
    EXPECT_EQ(order, (std::vector<int>{0, 1, 2, 3, 4}));
    for (DWORD id : ranOn) EXPECT_EQ(id, ui);
}

TEST(SyncReportWindow, DestroyingTheWindowReleasesAWaitingWorkerAndItsReportNeverRuns) {
    auto window = std::make_unique<SyncReportWindow>();
    auto reporter = window->Reporter();
    const HWND hwnd = window->Handle();
    std::atomic<bool> ran{false};
    std::promise<bool> answer;
    std::atomic<bool> started{false};
    std::thread worker([&] {
        started = true;
        answer.set_value(reporter->Run([&] { ran = true; }));
    });
    while (!started) std::this_thread::sleep_for(1ms);
    std::this_thread::sleep_for(50ms);  // the worker is parked in Run; the loop does not pump

    window.reset();
    EXPECT_FALSE(IsWindow(hwnd));
    auto f = answer.get_future();
    ASSERT_EQ(f.wait_for(5s), std::future_status::ready) << "the worker still waits";
    EXPECT_FALSE(f.get());
    worker.join();

    // The wake-up that was posted before the window went finds no receiver.
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    EXPECT_FALSE(ran);

    // The reporter outlives its window and refuses at once, from any thread.
    std::thread late([&] { EXPECT_FALSE(reporter->Run([&] { ran = true; })); });
    late.join();
    EXPECT_FALSE(reporter->Run([&] { ran = true; }));
    EXPECT_FALSE(ran);
}

TEST(SyncReportWindow, AReportThatDestroysTheWindowStillReturnsToItsWorker) {
    auto window = std::make_unique<SyncReportWindow>();
    auto reporter = window->Reporter();
    const DWORD ui = GetCurrentThreadId();
    std::promise<std::pair<bool, bool>> answers;
    std::thread worker([&] {
        const bool first = reporter->Run([&] { window.reset(); });
        const bool second = reporter->Run([] {});
        answers.set_value({first, second});
        PostThreadMessageW(ui, WM_QUIT, 0, 0);
    });
    MessageLoop();
    worker.join();
    const auto a = answers.get_future().get();
    EXPECT_TRUE(a.first);
    EXPECT_FALSE(a.second);
}

}  // namespace
