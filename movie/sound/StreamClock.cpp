#include "StreamClock.h"

#include <algorithm>
#include <cmath>

void StreamClock::Start(int frame, double samplesPerFrame, int stallTicks, double framesPerSecond) {
    framesPerSecond_ = framesPerSecond;
    running_ = true;
    start_ = frame;
    samplesPerFrame_ = samplesPerFrame > 0 ? samplesPerFrame : 1;
    stallTicks_ = std::max(1, stallTicks);
    lastHeard_ = -1;
    stalled_ = 0;
}

int StreamClock::Step(int current, double heard, double seconds) {
    if (!running_) return 1;
    if (heard > lastHeard_) {
        lastHeard_ = heard;
        stalled_ = 0;
    } else if (++stalled_ >= stallTicks_) {
        return 1;
    }
    double due = start_ + std::floor(heard / samplesPerFrame_);
    if (seconds >= 0 && framesPerSecond_ > 0)
        due = std::min(due, start_ + std::floor(seconds * framesPerSecond_) + 1);
    if (due <= current) return 0;
    return static_cast<int>(std::min<double>(due - current, kMaxStep));
}
