#pragma once
#include <cstdint>
#include <memory>

// While an object of this kind lives, every wave-out open, write and close of the process passes
// through the sound routines below.
class WaveOutInterception {
  public:
    virtual ~WaveOutInterception() = default;
};

// Handlers of the process's sound events. They run on whatever thread opens, writes or closes a
// wave-out output; plain functions, so that an audio thread reads one without a lock.
using TFlashOnAudioOutputOpen = void (*)(const void* lpFormat);
using TFlashOnAudioOutputWrite = void (*)(void* lpWaveOutHdr, std::uint32_t uSize);
using TFlashOnAudioOutputClose = void (*)();

// The loudness of the process's wave-out sound: a volume in percent and silence, joined into one
// scale factor for the whole process (the sound routines run on audio threads and have no object
// to ask).
class TFlashVolume {
  public:
    // Holds `interception` for its life. The volume starts at 100, and so does the factor.
    explicit TFlashVolume(std::shared_ptr<WaveOutInterception> interception);
    TFlashVolume(const TFlashVolume&) = delete;
    TFlashVolume& operator=(const TFlashVolume&) = delete;

    std::int32_t Volume() const { return volume_; }
    // Kept within 0..100. A change makes the sound audible at the new volume even while muted;
    // Mute keeps its value.
    void SetVolume(std::int32_t volume);
    bool Mute() const { return mute_; }
    // Silence on or off; setting the value it already has changes nothing.
    void SetMute(bool mute);

    // The events belong to the process: setting one on any instance sets it for all.
    TFlashOnAudioOutputOpen OnAudioOutputOpen() const;
    void SetOnAudioOutputOpen(TFlashOnAudioOutputOpen handler);
    TFlashOnAudioOutputWrite OnAudioOutputWrite() const;
    void SetOnAudioOutputWrite(TFlashOnAudioOutputWrite handler);
    TFlashOnAudioOutputClose OnAudioOutputClose() const;
    void SetOnAudioOutputClose(TFlashOnAudioOutputClose handler);

    // The factor the samples are scaled by, 0 to 100.
    static std::int32_t ScaleFactor();

  private:
    std::shared_ptr<WaveOutInterception> interception_;
    std::int32_t volume_ = 100;
    bool mute_ = false;
};

// What the sound routines do before each calls the real function. They run on any thread, take
// no lock and never throw: an error of a handler is dropped and the sound goes on.
namespace flashvol {

void RaiseOutputOpen(const void* lpFormat) noexcept;
// The format of an output being opened; one with no sample size leaves the kept one.
void KeepOutputFormat(std::uint16_t channels, std::uint16_t bitsPerSample) noexcept;
void RaiseOutputWrite(void* lpWaveOutHdr, std::uint32_t uSize) noexcept;
// Scales a buffer being written with the format of the output opened last and the factor.
void ScaleOutputBuffer(void* data, std::uint32_t length) noexcept;
void RaiseOutputClose() noexcept;

}  // namespace flashvol
