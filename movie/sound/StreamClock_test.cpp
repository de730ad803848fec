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

TEST(StreamClockTest, ADeviceThatPlaysTooFastDoesNotMakeThePicturesRace) {
    // 100 samples a frame, 10 frames a second; the device claims far more than the time allows.
    struct Case {
        int current;
        double heard, seconds;
        int step;
    } cases[] = {
        {0, 1000, 0.05, 1},  // a frame ahead of the time at most
        {0, 1000, 0.35, 4},  // 0.35 s: frame 3 is due, and one more
        {0, 250, 0.95, 2},   // the sound behind the time leads as ever
        {0, 1000, -1, 8},    // without a time the sound alone
    };
    for (const Case& c : cases) {
        StreamClock clock;
        clock.Start(0, 100, 10, 10);
        EXPECT_EQ(clock.Step(c.current, c.heard, c.seconds), c.step) << c.seconds;
    }
}
