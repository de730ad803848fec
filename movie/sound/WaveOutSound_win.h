#pragma once
#include <windows.h>
#include <mmsystem.h>

#include <atomic>
#include <system_error>
#include <thread>

#include "Handles_win.h"
#include "SoundMixer.h"
#include "SoundOutput.h"

// The mixer out through wave-out: a thread of ours keeps a few buffers in flight while voices
// play, and writes nothing while none does or while paused. Going through wave-out, the sound
// meets the process's volume hook like any other. The device opens with the first sound; one that
// cannot be opened, or fails, leaves the movie silent.
class WaveOutSound : public MovieSoundOutput {
  public:
    static constexpr int kBuffers = 4;
    static constexpr std::size_t kBufferFrames = 2048;

    explicit WaveOutSound(SoundMixer& mixer);
    ~WaveOutSound() override;
    WaveOutSound(const WaveOutSound&) = delete;
    WaveOutSound& operator=(const WaveOutSound&) = delete;

    bool Available() const override { return !failed_; }
    void Wake() override;
    void Pause(bool paused) override;
    void Flush() override;

  private:
    class Device;
    void Run() noexcept;
    void Serve(Device& device);
    void Fail();

    SoundMixer& mixer_;
    UniqueHandle wake_;  // a request, or voices to play
    UniqueHandle done_;  // wave-out returned a buffer
    std::atomic<bool> failed_{false};
    std::atomic<bool> quit_{false};
    std::atomic<bool> paused_{false};
    std::atomic<unsigned> flushes_{0};
    std::thread thread_;
};
