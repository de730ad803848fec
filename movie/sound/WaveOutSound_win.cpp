#include "WaveOutSound_win.h"

#include <vector>

namespace {
const WAVEFORMATEX kFormat{WAVE_FORMAT_PCM, 2, SoundMixer::kRate, SoundMixer::kRate * 4, 4, 16, 0};
}  // namespace

// The open device and its prepared buffers, released in the right order on any way out.
class WaveOutSound::Device {
  public:
    explicit Device(HANDLE done) {
        opened_ = waveOutOpen(&handle_, WAVE_MAPPER, &kFormat, reinterpret_cast<DWORD_PTR>(done), 0,
                              CALLBACK_EVENT) == MMSYSERR_NOERROR;
        if (!opened_) return;
        for (Buffer& b : buffers_) {
            b.samples.assign(kBufferFrames * 2, 0);
            b.header.lpData = reinterpret_cast<LPSTR>(b.samples.data());
            b.header.dwBufferLength = static_cast<DWORD>(b.samples.size() * sizeof(std::int16_t));
            b.prepared =
                waveOutPrepareHeader(handle_, &b.header, sizeof b.header) == MMSYSERR_NOERROR;
            if (!b.prepared) opened_ = false;
        }
    }
    ~Device() {
        if (!handle_) return;
        waveOutReset(handle_);  // every buffer comes back before it is unprepared
        for (Buffer& b : buffers_)
            if (b.prepared) waveOutUnprepareHeader(handle_, &b.header, sizeof b.header);
        waveOutClose(handle_);
    }
    Device(const Device&) = delete;
    Device& operator=(const Device&) = delete;

    bool Opened() const { return opened_; }
    HWAVEOUT Handle() const { return handle_; }

    struct Buffer {
        std::vector<std::int16_t> samples;
        WAVEHDR header{};
        bool prepared = false;
        bool inFlight = false;
    };
    Buffer buffers_[kBuffers];

  private:
    HWAVEOUT handle_ = nullptr;
    bool opened_ = false;
};

WaveOutSound::WaveOutSound(SoundMixer& mixer)
    : mixer_(mixer),
      wake_(CreateEventW(nullptr, FALSE, FALSE, nullptr)),
      done_(CreateEventW(nullptr, FALSE, FALSE, nullptr)) {
    if (!wake_ || !done_) failed_ = true;
}

WaveOutSound::~WaveOutSound() {
    quit_ = true;
    if (thread_.joinable()) {
        SetEvent(wake_.get());
        thread_.join();
    }
}

void WaveOutSound::Wake() {
    if (failed_) return;
    if (!thread_.joinable()) {
        try {
            thread_ = std::thread([this] { Run(); });
        } catch (const std::system_error&) {
            Fail();
            return;
        }
    }
    SetEvent(wake_.get());
}

void WaveOutSound::Pause(bool paused) {
    if (paused_.exchange(paused) != paused && thread_.joinable()) SetEvent(wake_.get());
}

void WaveOutSound::Flush() {
    if (!thread_.joinable()) return;
    ++flushes_;
    SetEvent(wake_.get());
}

void WaveOutSound::Fail() {
    failed_ = true;
    mixer_.StopAll();
}

void WaveOutSound::Run() noexcept {
    // Nothing unwinds out of the thread: a failure of ours is a silent movie.
    try {
        Device device(done_.get());
        if (!device.Opened()) {
            Fail();
            return;
        }
        Serve(device);
    } catch (...) {
        Fail();
    }
}

void WaveOutSound::Serve(Device& device) {
    std::uint64_t played = mixer_.Mixed();
    unsigned flushes = flushes_;
    bool devicePaused = false;
    const HANDLE events[2] = {wake_.get(), done_.get()};
    while (!quit_) {
        if (flushes != flushes_) {
            flushes = flushes_;
            if (waveOutReset(device.Handle()) != MMSYSERR_NOERROR) return Fail();
            for (Device::Buffer& b : device.buffers_) b.inFlight = false;
            // What the device held is dropped: for the voices' clocks it has been heard.
            played = mixer_.Mixed();
            mixer_.Played(played);
            devicePaused = false;
        }
        const bool paused = paused_;
        if (paused != devicePaused) {
            const MMRESULT r =
                paused ? waveOutPause(device.Handle()) : waveOutRestart(device.Handle());
            if (r != MMSYSERR_NOERROR) return Fail();
            devicePaused = paused;
        }
        for (Device::Buffer& b : device.buffers_) {
            if (b.inFlight && (b.header.dwFlags & WHDR_DONE)) {
                b.inFlight = false;
                played += kBufferFrames;
                mixer_.Played(played);
            }
        }
        if (!paused) {
            for (Device::Buffer& b : device.buffers_) {
                if (b.inFlight || !mixer_.AnyActive()) continue;
                mixer_.Mix(b.samples.data(), kBufferFrames);
                b.header.dwFlags &= ~static_cast<DWORD>(WHDR_DONE);
                if (waveOutWrite(device.Handle(), &b.header, sizeof b.header) != MMSYSERR_NOERROR)
                    return Fail();
                b.inFlight = true;
            }
        }
        const DWORD waited = WaitForMultipleObjects(2, events, FALSE, INFINITE);
        if (waited != WAIT_OBJECT_0 && waited != WAIT_OBJECT_0 + 1) return Fail();
    }
}
