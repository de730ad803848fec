#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

#include "SoundFormat.h"
#include "SoundInfo.h"

// A stream's samples, block by block, fetched as the mixer needs them.
class SoundFeed {
  public:
    virtual ~SoundFeed() = default;
    virtual std::uint32_t Rate() const = 0;
    virtual int Channels() const = 0;
    // Appends the next block's interleaved samples; false when the stream has ended.
    virtual bool Next(std::vector<std::int16_t>& samples) = 0;
};

// Every sound that plays at once, mixed into one 16-bit stereo stream at 44 100 Hz. The output's
// thread pulls Mix; other threads start and stop voices. One lock guards the voices and Mix holds
// it while it mixes, so a voice stopped elsewhere is gone (its feed destroyed) when Stop returns.
class SoundMixer {
  public:
    static constexpr std::uint32_t kRate = 44100;
    using Voice = std::uint32_t;  // 0 is no voice

    SoundMixer();
    ~SoundMixer();
    SoundMixer(const SoundMixer&) = delete;
    SoundMixer& operator=(const SoundMixer&) = delete;

    // 0 when the sound has nothing to play.
    Voice StartEvent(std::uint16_t soundId, std::shared_ptr<const PcmSound> sound,
                     const SoundPlayInfo& info);
    Voice StartStream(std::unique_ptr<SoundFeed> feed);
    void Stop(Voice voice);
    void StopSound(std::uint16_t soundId);
    void StopAll();

    bool Active(Voice voice) const;
    bool AnyActive() const;
    bool SoundPlaying(std::uint16_t soundId) const;
    // The voice's own frames (at its rate) that the device has played.
    double Heard(Voice voice) const;

    // Fills `frames` stereo frames; silence where nothing plays.
    void Mix(std::int16_t* out, std::size_t frames);
    // The device has played this many of the frames Mix gave, in all.
    void Played(std::uint64_t frames);
    std::uint64_t Mixed() const;

  private:
    struct VoiceState;
    VoiceState* Find(Voice voice) const;
    Voice Add(std::unique_ptr<VoiceState> v);

    mutable std::mutex lock_;
    std::vector<std::unique_ptr<VoiceState>> voices_;
    Voice next_ = 1;
    std::uint64_t mixed_ = 0, played_ = 0;
    std::vector<std::int32_t> sum_;
};

// Level 0..32768 of an envelope's channel (0 left, 1 right) at `pos44`: straight lines between the
// points, the first point's level before it and the last one's after it.
int EnvelopeLevel(const std::vector<SoundEnvelopePoint>& envelope, std::uint64_t pos44,
                  int channel);
