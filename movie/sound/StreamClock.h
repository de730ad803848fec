#pragma once
// The pictures follow a timeline's stream sound: the sound's clock leads. At each tick the
// timeline moves on to the frame the sound has reached, skipping frames when drawing fell behind,
// and waits while the sound is behind; the sound itself is never skipped or held.
class StreamClock {
  public:
    // Frames one tick may move on, so a long stall is not made up in one burst of actions.
    static constexpr int kMaxStep = 8;

    // The stream started playing at `frame`; each of its movie frames lasts `samplesPerFrame`
    // samples of the stream; `stallTicks` ticks without progress of the sound hand the timeline
    // back to its timer (a device that stopped playing must not stop the pictures).
    void Start(int frame, double samplesPerFrame, int stallTicks, double framesPerSecond = 0);
    void Stop() { running_ = false; }
    bool Running() const { return running_; }

    // Frames the timeline moves on at this tick from `current`, with `heard` samples of the
    // stream played by the device. With `seconds` since the start (negative: unknown), the
    // pictures never run more than a frame ahead of the time that passed, whatever a device
    // claims to have played.
    int Step(int current, double heard, double seconds = -1);

  private:
    bool running_ = false;
    int start_ = 0;
    double samplesPerFrame_ = 1;
    double framesPerSecond_ = 0;
    int stallTicks_ = 1;
    double lastHeard_ = -1;
    int stalled_ = 0;
};
