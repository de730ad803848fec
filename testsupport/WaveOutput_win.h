#pragma once
// Sound through the process's wave-out functions in tests. Under Wine the device is ALSA's null
// device (VARIZ_NULL_SOUND_ENVIRONMENT of testsupport/CMakeLists.txt): it plays nothing, but it
// takes every buffer as a sound card would. A program that uses this links winmm.
#include <windows.h>
#include <mmsystem.h>

#include <chrono>
#include <cstdint>
#include <vector>

#include "Handles_win.h"
#include "WaitFor.h"

namespace testsound {

using Samples = std::vector<std::int16_t>;

inline const WAVEFORMATEX kStereo16{WAVE_FORMAT_PCM, 2, 44100, 44100 * 4, 4, 16, 0};

// The three functions an output goes through.
struct WaveOutFunctions {
    decltype(&waveOutOpen) open = &waveOutOpen;
    decltype(&waveOutWrite) write = &waveOutWrite;
    decltype(&waveOutClose) close = &waveOutClose;
};

// One 16-bit stereo output of the default device.
class WaveOutput {
  public:
    explicit WaveOutput(const WaveOutFunctions& f = {})
        : f_(f), done_(CreateEventW(nullptr, FALSE, FALSE, nullptr)) {
        opened = f_.open(&handle_, WAVE_MAPPER, &kStereo16,
                         reinterpret_cast<DWORD_PTR>(done_.get()), 0, CALLBACK_EVENT);
    }
    WaveOutput(const WaveOutput&) = delete;
    WaveOutput& operator=(const WaveOutput&) = delete;
    ~WaveOutput() {
        if (opened == MMSYSERR_NOERROR) Close();
    }
    MMRESULT Close() {
        opened = MMSYSERR_INVALHANDLE;
        return f_.close(handle_);
    }

    // Writes the samples (the buffer is the caller's, as wave-out has it) and waits until they
    // have played; the write's result.
    MMRESULT Play(Samples& samples) {
        using namespace std::chrono_literals;
        WAVEHDR header{};
        header.lpData = reinterpret_cast<LPSTR>(samples.data());
        header.dwBufferLength = static_cast<DWORD>(samples.size() * sizeof(std::int16_t));
        if (waveOutPrepareHeader(handle_, &header, sizeof header) != MMSYSERR_NOERROR)
            return MMSYSERR_ERROR;
        const MMRESULT written = f_.write(handle_, &header, sizeof header);
        if (written == MMSYSERR_NOERROR &&
            !testwait::WaitUntil([&] { return (header.dwFlags & WHDR_DONE) != 0; }, 10s, 1ms))
            return MMSYSERR_ERROR;
        waveOutUnprepareHeader(handle_, &header, sizeof header);
        return written;
    }

    MMRESULT opened = MMSYSERR_ERROR;

  private:
    WaveOutFunctions f_;
    UniqueHandle done_;
    HWAVEOUT handle_ = nullptr;
};

}  // namespace testsound
