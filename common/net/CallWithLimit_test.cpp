// A job on a thread of its own that the caller waits for only so long.
#include "CallWithLimit.h"

#include <gtest/gtest.h>

#include <atomic>
#include <future>
#include <stdexcept>
#include <thread>

#include "WaitFor.h"

namespace {

using namespace std::chrono_literals;
using testwait::WaitUntil;

TEST(CallWithLimit, AJobThatEndsInTimeHasRunOnAnotherThread) {
    std::thread::id ranOn;
    EXPECT_TRUE(CallWithLimit([&] { ranOn = std::this_thread::get_id(); },
                              std::make_shared<BlockingJobWait>(), 10s));
    EXPECT_NE(ranOn, std::thread::id());
    EXPECT_NE(ranOn, std::this_thread::get_id());
}

TEST(CallWithLimit, TheCallerGoesOnAtTheLimitAndTheJobRunsToItsEndOnItsOwn) {
    auto gate = std::make_shared<std::promise<void>>();
    std::shared_future<void> opened = gate->get_future().share();
    auto finished = std::make_shared<std::atomic<bool>>(false);
    EXPECT_FALSE(CallWithLimit(
        [opened, finished] {
            opened.wait();
            *finished = true;
        },
        std::make_shared<BlockingJobWait>(), 50ms));
    EXPECT_FALSE(*finished) << "the caller did not wait for the job";
    gate->set_value();
    EXPECT_TRUE(WaitUntil([&] { return finished->load(); }));
}

TEST(CallWithLimit, AJobThatThrowsFailsWithoutTheCallerWaitingOutTheLimit) {
    // Waiting out the limit would run into the test's own time limit.
    EXPECT_FALSE(CallWithLimit([] { throw std::runtime_error("no"); },
                               std::make_shared<BlockingJobWait>(), 1h));
}

}  // namespace
