#pragma once
// A movie's sound as its tags describe it, and a sound once decoded.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace SoundCodec {
constexpr std::uint8_t RawNative = 0, Adpcm = 1, Mp3 = 2, RawLittle = 3, Nellymoser16k = 4,
                       Nellymoser8k = 5, Nellymoser = 6, Speex = 11;
}

struct SoundFormat {
    std::uint8_t codec = 0;
    std::uint8_t rateCode = 0;  // 0..3
    bool sixteenBit = true;
    bool stereo = false;

    // 5512, 11025, 22050 or 44100 Hz.
    std::uint32_t Rate() const {
        static constexpr std::uint32_t kRates[] = {5512, 11025, 22050, 44100};
        return kRates[rateCode & 3];
    }
    int Channels() const { return stereo ? 2 : 1; }
};

// Interleaved 16-bit samples, `channels` 1 or 2, at `rate` Hz.
struct PcmSound {
    std::uint32_t rate = 44100;
    int channels = 1;
    std::vector<std::int16_t> samples;

    std::size_t Frames() const {
        return channels > 0 ? samples.size() / static_cast<std::size_t>(channels) : 0;
    }
};

// No sound grows beyond this many frames (six minutes at 44.1 kHz), whatever its tags claim: a
// stereo sound at the cap takes 64 MiB.
constexpr std::size_t kMaxSoundFrames = std::size_t{1} << 24;
