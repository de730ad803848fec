#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

namespace SoundCodec {
constexpr std::uint8_t RawNative = 0, Adpcm = 1, Mp3 = 2, RawLittle = 3, Nellymoser16k = 4,
                       Nellymoser8k = 5, Nellymoser = 6, Speex = 11;
}

// The format of a sound as its tags give it.
struct SoundFormat {
    std::uint8_t codec = 0;
    std::uint8_t rateCode = 0;  // 0..3
    bool sixteenBit = true;
    bool stereo = false;

    std::uint32_t Rate() const {
        static constexpr std::uint32_t kRates[4] = {5512, 11025, 22050, 44100};
        return kRates[rateCode & 3];
    }
    int Channels() const { return stereo ? 2 : 1; }
};

// Decoded sound: interleaved 16-bit samples.
struct PcmSound {
    std::uint32_t rate = 44100;
    int channels = 1;
    std::vector<std::int16_t> samples;
    std::size_t Frames() const { return channels > 0 ? samples.size() / channels : 0; }
};

constexpr std::size_t kMaxSoundFrames = std::size_t{1} << 24;
