#pragma once
// Movie sounds into samples: event sounds whole, stream sounds block by block.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "Mp3Decoder.h"
#include "SoundFormat.h"

// One event sound's data. Raw 8-bit (128 is silence) and 16-bit little-endian samples, ADPCM
// and MP3 (a signed 16-bit count of samples to skip, then frames) decode; the others, and a
// sound that cannot be decoded (no MP3 decoder, no frames), are silence. The sound has the
// format's rate and channels, an MP3 sound those of its first frame. It is `sampleCount` frames
// long (at most kMaxSoundFrames), padded with silence or cut, so that loops and in and out points
// fall where the movie means them; only a decoded sound whose count is 0 or beyond the cap takes
// its decoded length instead. `mp3` may be null; it is reset before use.
PcmSound DecodeSound(const SoundFormat& format, const std::uint8_t* data, std::size_t size,
                     std::uint32_t sampleCount, Mp3Decoder* mp3);

// A stream sound's blocks in order, as interleaved samples at the stream's rate and channels.
class StreamDecoder {
  public:
    // `blockSamples` is the stream head's count of samples a block: the silence of a block that
    // cannot be decoded and says nothing of its own length. `mp3` may be null.
    StreamDecoder(const SoundFormat& streamFormat, std::unique_ptr<Mp3Decoder> mp3,
                  std::uint32_t blockSamples = 0);

    // One block's data: appends its samples to `out`. MP3 blocks give their frames' samples,
    // a frame that cannot be decoded its length in silence, and a block without a decodable
    // frame the silence of the count it begins with.
    void Block(const std::uint8_t* data, std::size_t size, std::vector<std::int16_t>& out);

    std::uint32_t Rate() const { return format_.Rate(); }
    int Channels() const { return format_.Channels(); }
    // The stream starts again: nothing of earlier blocks carries over.
    void Reset();

  private:
    void Mp3Block(const std::uint8_t* data, std::size_t size, std::vector<std::int16_t>& out);

    SoundFormat format_;
    std::unique_ptr<Mp3Decoder> mp3_;
    std::uint32_t blockSamples_;
    std::vector<std::int16_t> pending_;  // decoded MP3 samples that later blocks give out
};
