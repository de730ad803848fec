// The volume on the process's real wave-out functions, with ALSA's null device as the sound
// device: calls through the import table and through GetProcAddress reach the sound routines,
// the real function gets the scaled buffer, the events fire, writers on several threads are
// never let through unscaled, and the functions get their own bytes back.
#include "Uflashvol_win.h"

#include <gtest/gtest.h>
#include <windows.h>
#include <mmsystem.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cstring>
#include <mutex>
#include <thread>
#include <vector>

#include "WaveOutput_win.h"
#include "unitHook_win.h"

namespace {

using namespace std::chrono_literals;
using testsound::Samples;
using testsound::WaveOutFunctions;
using Output = testsound::WaveOutput;

// The generic function type in between, as GetProcAddress's results are cast.
template <typename Function>
Function LookUp(const char* name) {
    return reinterpret_cast<Function>(
        reinterpret_cast<void (*)()>(GetProcAddress(GetModuleHandleA("winmm.dll"), name)));
}

// The functions as the import table has them, and as GetProcAddress finds them.
WaveOutFunctions Imported() {
    return {};
}
WaveOutFunctions LookedUp() {
    return {LookUp<decltype(&waveOutOpen)>("waveOutOpen"),
            LookUp<decltype(&waveOutWrite)>("waveOutWrite"),
            LookUp<decltype(&waveOutClose)>("waveOutClose")};
}

std::array<std::uint8_t, 16> FirstBytes(const char* function) {
    std::array<std::uint8_t, 16> bytes{};
    std::memcpy(bytes.data(), LookUp<const void*>(function), bytes.size());
    return bytes;
}

// What reaches the real waveOutWrite: a hook of the test's own sits on the function before the
// volume's, so the volume's hook calls through it.
std::atomic<void*> spyCallThrough{nullptr};
std::mutex spyLock;
std::vector<Samples> arrived;

MMRESULT WINAPI SpyWrite(HWAVEOUT hwo, LPWAVEHDR pwh, UINT cbwh) {
    {
        const auto* data = reinterpret_cast<const std::int16_t*>(pwh->lpData);
        const std::lock_guard<std::mutex> lock(spyLock);
        arrived.emplace_back(data, data + pwh->dwBufferLength / sizeof(std::int16_t));
    }
    return reinterpret_cast<decltype(&waveOutWrite)>(spyCallThrough.load())(hwo, pwh, cbwh);
}

// What the events saw.
std::atomic<const void*> openedFormat{nullptr};
std::atomic<void*> writtenHeader{nullptr};
std::atomic<std::uint32_t> writtenSize{0};
std::atomic<int> firstSampleAtWrite{0}, closes{0};

class FlashVolumeHookTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_GT(waveOutGetNumDevs(), 0u) << "no wave-out device: ALSA_CONFIG_PATH names none";
        ClearArrived();
    }
    static void ClearArrived() {
        const std::lock_guard<std::mutex> lock(spyLock);
        arrived.clear();
    }
    void TearDown() override {
        if (volume_) {
            volume_->SetOnAudioOutputOpen(nullptr);
            volume_->SetOnAudioOutputWrite(nullptr);
            volume_->SetOnAudioOutputClose(nullptr);
        }
        volume_.reset();
        spy_.reset();
    }
    void Spy() {
        spy_ = std::make_unique<TNtHookClass>("winmm.dll", "waveOutWrite",
                                              reinterpret_cast<void*>(&SpyWrite), spyCallThrough);
        ASSERT_TRUE(spy_->Usable());
    }
    static std::vector<Samples> Arrived() {
        const std::lock_guard<std::mutex> lock(spyLock);
        return arrived;
    }

    std::unique_ptr<TNtHookClass> spy_;
    std::unique_ptr<TFlashVolume> volume_;
};

TEST_F(FlashVolumeHookTest,
       ImportedAndLookedUpCallsReachTheRoutinesAndTheRealWriteGetsScaledSound) {
    Spy();
    volume_ = std::make_unique<TFlashVolume>(HookWaveOut());
    volume_->SetOnAudioOutputOpen([](const void* format) { openedFormat = format; });
    volume_->SetOnAudioOutputWrite([](void* header, std::uint32_t size) {
        writtenHeader = header;
        writtenSize = size;
        firstSampleAtWrite =
            *reinterpret_cast<std::int16_t*>(static_cast<WAVEHDR*>(header)->lpData);
    });
    volume_->SetOnAudioOutputClose([] { ++closes; });
    volume_->SetVolume(50);

    for (const auto& functions : {Imported(), LookedUp()}) {
        openedFormat = nullptr;
        writtenHeader = nullptr;
        closes = 0;
        ClearArrived();
        Output out(functions);
        ASSERT_EQ(out.opened, MMSYSERR_NOERROR);
        EXPECT_EQ(openedFormat.load(), &testsound::kStereo16);

        Samples samples{1000, -3, 2000, -2000};
        ASSERT_EQ(out.Play(samples), MMSYSERR_NOERROR);
        // The handler saw the buffer before it was scaled; the real function after.
        EXPECT_NE(writtenHeader.load(), nullptr);
        EXPECT_EQ(writtenSize.load(), sizeof(WAVEHDR));
        EXPECT_EQ(firstSampleAtWrite.load(), 1000);
        EXPECT_EQ(Arrived(), std::vector<Samples>{Samples({500, -1, 1000, -1000})});
        EXPECT_EQ(samples, Samples({500, -1, 1000, -1000}));

        volume_->SetMute(true);
        Samples silenced{1000, -3, 2000, -2000};
        ASSERT_EQ(out.Play(silenced), MMSYSERR_NOERROR);
        EXPECT_EQ(Arrived().back(), Samples({0, 0, 0, 0}));
        volume_->SetMute(false);

        EXPECT_EQ(out.Close(), MMSYSERR_NOERROR);
        EXPECT_EQ(closes.load(), 1);
    }
}

TEST_F(FlashVolumeHookTest, FourThreadsWritingAtOnceNeverReachTheRealWriteUnscaled) {
    Spy();
    volume_ = std::make_unique<TFlashVolume>(HookWaveOut());
    volume_->SetVolume(40);
    constexpr int kThreads = 4, kBuffers = 25;
    std::atomic<int> failedCalls{0}, finished{0};
    std::vector<std::thread> writers;
    for (int t = 0; t < kThreads; ++t)
        writers.emplace_back([&] {
            Output out(Imported());
            if (out.opened != MMSYSERR_NOERROR) ++failedCalls;
            for (int i = 0; i < kBuffers && out.opened == MMSYSERR_NOERROR; ++i) {
                Samples samples(882, 1000);
                if (out.Play(samples) != MMSYSERR_NOERROR) ++failedCalls;
            }
            ++finished;
        });
    // The volume moves while they write; each buffer is scaled at one of the two.
    for (int i = 0; finished < kThreads; ++i) {
        volume_->SetVolume(i % 2 ? 40 : 60);
        std::this_thread::sleep_for(1ms);
    }
    for (auto& w : writers) w.join();

    EXPECT_EQ(failedCalls.load(), 0);
    const std::vector<Samples> seen = Arrived();
    EXPECT_EQ(seen.size(), static_cast<std::size_t>(kThreads * kBuffers));
    for (const Samples& buffer : seen) {
        ASSERT_EQ(buffer.size(), 882u);
        ASSERT_TRUE(buffer.front() == 400 || buffer.front() == 600) << buffer.front();
        ASSERT_EQ(std::count(buffer.begin(), buffer.end(), buffer.front()), 882);
    }
}

TEST_F(FlashVolumeHookTest, WritersGoOnWhileTheHookComesAndGoes) {
    const auto before = FirstBytes("waveOutWrite");
    std::atomic<bool> stop{false};
    std::atomic<int> failedCalls{0}, oddBuffers{0}, buffers{0};
    std::vector<std::thread> writers;
    for (int t = 0; t < 4; ++t)
        writers.emplace_back([&] {
            Output out(LookedUp());
            if (out.opened != MMSYSERR_NOERROR) ++failedCalls;
            while (!stop && out.opened == MMSYSERR_NOERROR) {
                Samples samples(64, 1000);
                if (out.Play(samples) != MMSYSERR_NOERROR) ++failedCalls;
                // Unscaled while no hook is in, halved while one is; never anything else.
                if ((samples.front() != 1000 && samples.front() != 500) ||
                    std::count(samples.begin(), samples.end(), samples.front()) != 64)
                    ++oddBuffers;
                ++buffers;
            }
        });
    for (int i = 0; i < 30; ++i) {
        auto volume = std::make_unique<TFlashVolume>(HookWaveOut());
        volume->SetVolume(50);
        std::this_thread::sleep_for(5ms);
    }
    stop = true;
    for (auto& w : writers) w.join();
    EXPECT_EQ(failedCalls.load(), 0);
    EXPECT_EQ(oddBuffers.load(), 0);
    EXPECT_GT(buffers.load(), 0);
    EXPECT_EQ(FirstBytes("waveOutWrite"), before);
}

TEST_F(FlashVolumeHookTest, TheLastComponentToGoRestoresTheFirstBytesOfEachFunction) {
    const char* functions[] = {"waveOutOpen", "waveOutWrite", "waveOutClose"};
    std::vector<std::array<std::uint8_t, 16>> before;
    for (const char* f : functions) before.push_back(FirstBytes(f));

    auto first = std::make_unique<TFlashVolume>(HookWaveOut());
    auto second = std::make_unique<TFlashVolume>(HookWaveOut());
    for (std::size_t i = 0; i < before.size(); ++i) {
        const auto now = FirstBytes(functions[i]);
        // mov rax, the routine's address; jmp rax.
        EXPECT_EQ(now[0], 0x48) << functions[i];
        EXPECT_EQ(now[1], 0xB8) << functions[i];
        EXPECT_EQ(now[10], 0xFF) << functions[i];
        EXPECT_EQ(now[11], 0xE0) << functions[i];
        EXPECT_TRUE(std::equal(now.begin() + 12, now.end(), before[i].begin() + 12))
            << functions[i];
    }
    first.reset();
    EXPECT_NE(FirstBytes("waveOutWrite"), before[1]) << "the second component still holds it";
    second.reset();
    for (std::size_t i = 0; i < before.size(); ++i)
        EXPECT_EQ(FirstBytes(functions[i]), before[i]) << functions[i];
}

}  // namespace
