#pragma once
#include <atomic>
#include <cstdint>

// The loudness of the process's wave-out sound: a volume in percent and silence, joined into one
// scale factor for the whole process (the sound functions that apply it run on audio threads and
// have no object to ask). The factor reaches the samples through the wave-out hook.
class TFlashVolume {
  public:
    TFlashVolume();
    TFlashVolume(const TFlashVolume&) = delete;
    TFlashVolume& operator=(const TFlashVolume&) = delete;

    std::int32_t Volume() const { return volume_; }
    // Kept within 0..100. A change makes the sound audible at the new volume even while muted;
    // Mute keeps its value.
    void SetVolume(std::int32_t volume);
    bool Mute() const { return mute_; }
    // Silence on or off; setting the value it already has changes nothing.
    void SetMute(bool mute);

    // The factor the samples are scaled by, 0 to 100.
    static std::int32_t ScaleFactor() { return factor_.load(std::memory_order_relaxed); }

  private:
    static std::atomic<std::int32_t> factor_;
    std::int32_t volume_ = 100;
    bool mute_ = false;
};
