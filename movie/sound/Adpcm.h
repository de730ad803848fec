#pragma once
// The ADPCM of movie sounds: IMA steps with 2 to 5 bits a code, in packets of 4096 samples a
// channel that each restart from a whole sample.
#include <cstddef>
#include <cstdint>
#include <vector>

struct AdpcmResult {
    std::size_t frames = 0;  // appended to the output
    // The data ended where no padding can: before its code size, inside a packet's header or
    // between the two codes of a stereo frame. What came before is kept.
    bool damaged = false;
};

// One ADPCM sound or stream block (each starts with its own code size) of 1 or 2 channels,
// appended to `out` as interleaved samples; decoding stops after `maxFrames` frames. The bits
// that pad the last byte decode as codes where they hold whole ones (up to three 2-bit codes):
// nothing in the data tells them apart, a sound's sample count cuts them.
AdpcmResult DecodeAdpcm(const std::uint8_t* data, std::size_t size, int channels,
                        std::size_t maxFrames, std::vector<std::int16_t>& out);
