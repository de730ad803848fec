#include "StreamClock.h"

#include <gtest/gtest.h>

TEST(StreamClockTest, TheTimelineMovesToTheFrameTheSoundHasReached) {
    // A stream from frame 5, 1 837.5 samples a frame (22 050 Hz at 12 frames a second).
    struct Case {
        int current;
        double heard;
        int step;
        const char* why;
    } cases[] = {
        {5, 0, 0, "nothing heard yet: the first frame stays"},
        {5, 1837, 0, "not quite a frame"},
        {5, 1838, 1, "one frame heard"},
        {6, 1838 * 3, 2, "drawing fell behind: a frame is skipped"},
        {9, 1838 * 3, 0, "the pictures ran ahead: they wait for the sound"},
        {5, 1837.5 * 100, StreamClock::kMaxStep, "a long way behind: at most this many a tick"},
    };
    for (const Case& c : cases) {
        StreamClock clock;
        clock.Start(5, 1837.5, 10);
        EXPECT_EQ(clock.Step(c.current, c.heard), c.step) << c.why;
    }
}

TEST(StreamClockTest, ASoundThatStopsMovingHandsTheTimelineBackToItsTimer) {
    StreamClock clock;
    clock.Start(0, 100, 3);
    EXPECT_EQ(clock.Step(0, 50), 0);
    EXPECT_EQ(clock.Step(0, 50), 0);
    EXPECT_EQ(clock.Step(0, 50), 0);
    EXPECT_EQ(clock.Step(0, 50), 1) << "three ticks without progress";
    EXPECT_EQ(clock.Step(1, 50), 1);
    EXPECT_EQ(clock.Step(2, 350), 1) << "the sound moves again and leads";
    EXPECT_EQ(clock.Step(3, 350), 0);
}

TEST(StreamClockTest, WithoutAStreamEveryTickIsOneFrame) {
    StreamClock clock;
    EXPECT_EQ(clock.Step(0, 0), 1);
    clock.Start(0, 100, 3);
    clock.Stop();
    EXPECT_EQ(clock.Step(0, 1e6), 1);
}
