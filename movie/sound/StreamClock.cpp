#include "StreamClock.h"

#include <algorithm>
#include <cmath>

void StreamClock::Start(int frame, double samplesPerFrame, int stallTicks) {
    running_ = true;
    start_ = frame;
    samplesPerFrame_ = samplesPerFrame > 0 ? samplesPerFrame : 1;
    stallTicks_ = std::max(1, stallTicks);
    lastHeard_ = -1;
    stalled_ = 0;
}

int StreamClock::Step(int current, double heard) {
    if (!running_) return 1;
    if (heard > lastHeard_) {
        lastHeard_ = heard;
        stalled_ = 0;
    } else if (++stalled_ >= stallTicks_) {
        return 1;
    }
    const double due = start_ + std::floor(heard / samplesPerFrame_);
    if (due <= current) return 0;
    return static_cast<int>(std::min<double>(due - current, kMaxStep));
}
