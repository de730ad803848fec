// The built-in control's sound on the process's real wave-out, with ALSA's null device as the
// sound device: a stream reaches waveOutWrite with the samples its frames hold, the volume's
// slider and mute act on it as on any sound of the process, and a stop ends the writes.
#include <gtest/gtest.h>
#include <windows.h>
#include <mmsystem.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <mutex>
#include <vector>

#include "BuiltinMovie_win.h"
#include "ShockwaveEx_win.h"
#include "Uflashvol_win.h"
#include "WindowTestSupport_win.h"
#include "unitHook_win.h"

namespace {

using namespace flashtest;

// What reaches the real waveOutWrite, after the volume's hook.
std::atomic<void*> spyCallThrough{nullptr};
std::mutex spyLock;
std::vector<std::int16_t> arrived;  // interleaved stereo, every buffer in order
int writes = 0;

MMRESULT WINAPI SpyWrite(HWAVEOUT hwo, LPWAVEHDR pwh, UINT cbwh) {
    {
        const auto* data = reinterpret_cast<const std::int16_t*>(pwh->lpData);
        const std::lock_guard<std::mutex> lock(spyLock);
        arrived.insert(arrived.end(), data, data + pwh->dwBufferLength / sizeof(std::int16_t));
        ++writes;
    }
    return reinterpret_cast<decltype(&waveOutWrite)>(spyCallThrough.load())(hwo, pwh, cbwh);
}

// The sound's span from its first to its last sounding frame and the loudest sample of each
// channel.
struct Heard {
    std::size_t span = 0;
    int peakLeft = 0, peakRight = 0;
    int writes = 0;
};

Heard Listen() {
    const std::lock_guard<std::mutex> lock(spyLock);
    Heard h;
    h.writes = writes;
    std::size_t first = arrived.size(), last = 0;
    for (std::size_t i = 0; i + 1 < arrived.size(); i += 2) {
        if (arrived[i] == 0 && arrived[i + 1] == 0) continue;
        first = std::min(first, i / 2);
        last = i / 2;
        h.peakLeft = std::max(h.peakLeft, std::abs(static_cast<int>(arrived[i])));
        h.peakRight = std::max(h.peakRight, std::abs(static_cast<int>(arrived[i + 1])));
    }
    if (first <= last) h.span = last - first + 1;
    return h;
}

void Forget() {
    const std::lock_guard<std::mutex> lock(spyLock);
    arrived.clear();
    writes = 0;
}

class MovieSoundTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_GT(waveOutGetNumDevs(), 0u) << "no wave-out device: ALSA_CONFIG_PATH names none";
        spy_ = std::make_unique<TNtHookClass>("winmm.dll", "waveOutWrite",
                                              reinterpret_cast<void*>(&SpyWrite), spyCallThrough);
        ASSERT_TRUE(spy_->Usable());
        volume_ = std::make_unique<TFlashVolume>(HookWaveOut());
        flash_ = std::make_unique<TShockwaveFlashEx>(&Form());
        ASSERT_TRUE(flash_->BuiltIn());
        // Played once: the stream ends with the movie's last frame.
        flash_->Control().SetProperty(FlashDispId::Loop, false);
        Forget();
    }
    void TearDown() override {
        flash_.reset();
        volume_.reset();
        spy_.reset();
        Pump();
    }

    // Plays the one second of sound_stream_raw.swf (22 050 Hz stereo, left a sine of 12 000,
    // right of 6 000, ten frames at ten a second) to its end.
    Heard PlayThrough() {
        Forget();
        flash_->LoadMovieFile(MoviePath("sound_stream_raw.swf"));
        EXPECT_TRUE(PumpUntil([&] { return !flash_->BuiltinCore()->IsPlaying(); }, 10000));
        PumpFor(300);  // the buffers in flight come back
        return Listen();
    }

    std::unique_ptr<TNtHookClass> spy_;
    std::unique_ptr<TFlashVolume> volume_;
    std::unique_ptr<TShockwaveFlashEx> flash_;
};

TEST_F(MovieSoundTest, TheStreamReachesTheDeviceWithTheSamplesOfItsFrames) {
    const Heard full = PlayThrough();
    EXPECT_NEAR(static_cast<double>(full.span), 44100, 60) << "ten frames of 4 410 at 44 100 Hz";
    EXPECT_NEAR(full.peakLeft, 12000, 120);
    EXPECT_NEAR(full.peakRight, 6000, 120);
    EXPECT_EQ(flash_->BuiltinCore()->CurrentFrame(), 9);
}

TEST_F(MovieSoundTest, TheSliderAndMuteActOnTheMoviesSound) {
    volume_->SetVolume(50);
    const Heard half = PlayThrough();
    EXPECT_NEAR(half.peakLeft, 6000, 80);
    EXPECT_NEAR(half.peakRight, 3000, 80);

    volume_->SetMute(true);
    const Heard muted = PlayThrough();
    EXPECT_GT(muted.writes, 0) << "muted sound is still written";
    EXPECT_EQ(muted.span, 0u) << "but silent";
}

TEST_F(MovieSoundTest, AStopEndsTheWritesAndPlayGoesOn) {
    flash_->LoadMovieFile(MoviePath("sound_stream_raw.swf"));
    ASSERT_TRUE(PumpUntil([] { return Listen().writes > 0; }));
    flash_->Control().Stop();
    PumpFor(300);
    const int stopped = Listen().writes;
    PumpFor(500);
    EXPECT_EQ(Listen().writes, stopped) << "nothing is written while the movie stands";

    flash_->Control().Play();
    EXPECT_TRUE(PumpUntil([&] { return Listen().writes > stopped; }));
    EXPECT_TRUE(PumpUntil([&] { return !flash_->BuiltinCore()->IsPlaying(); }, 10000));
}

}  // namespace
