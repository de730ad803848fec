#pragma once
// The platform's MP3 decoder: the audio compression manager on Windows, Debian's libmpg123
// natively. It keeps state from frame to frame (a frame may take bits from earlier ones), so each
// sound and each stream has a decoder of its own.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "Mp3Frames.h"

class Mp3Decoder {
  public:
    virtual ~Mp3Decoder() = default;
    // Appends the frame's interleaved samples, at the frame's rate and channel count. A decoder
    // may hold back up to a frame of output until the next call or Finish; over a run of frames
    // the output adds up to the frames' samples. False when this frame cannot be decoded (the
    // caller plays its length as silence).
    virtual bool DecodeFrame(const Mp3FrameHeader& header, const std::uint8_t* frame,
                             std::size_t size, std::vector<std::int16_t>& out) = 0;
    // Appends what is held back, at the end of a sound.
    virtual void Finish(std::vector<std::int16_t>& out) = 0;
    // Forgets earlier frames and anything held back: a new sound, or a stream that jumps.
    virtual void Reset() = 0;
};

// Nullptr when the platform has no MP3 decoder.
std::unique_ptr<Mp3Decoder> MakeMp3Decoder();
