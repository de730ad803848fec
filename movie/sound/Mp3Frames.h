#pragma once
// MPEG audio layer III framing: frame headers, and a byte range cut into whole frames.
#include <cstddef>
#include <cstdint>
#include <vector>

enum class MpegVersion : std::uint8_t { Mpeg1, Mpeg2, Mpeg25 };

enum class Mp3ChannelMode : std::uint8_t { Stereo, JointStereo, DualChannel, Mono };

struct Mp3FrameHeader {
    MpegVersion version = MpegVersion::Mpeg1;
    std::uint32_t bitrate = 0;     // bits a second
    std::uint32_t sampleRate = 0;  // Hz
    bool padding = false;
    bool crc = false;  // a 16-bit check follows the header
    Mp3ChannelMode mode = Mp3ChannelMode::Stereo;
    std::size_t length = 0;             // bytes, the header included
    std::uint32_t samplesPerFrame = 0;  // 1152 for MPEG-1, 576 otherwise

    int Channels() const { return mode == Mp3ChannelMode::Mono ? 1 : 2; }
};

// The layer III header at `data` (four bytes). False for anything else: no sync, layers I and
// II, reserved fields, the free bitrate (its frames have no length of their own).
bool ParseMp3Header(const std::uint8_t* data, std::size_t size, Mp3FrameHeader& header);

struct Mp3Frame {
    std::size_t offset = 0;  // from the start of the split range
    Mp3FrameHeader header;
};

struct Mp3Split {
    std::vector<Mp3Frame> frames;
    std::size_t skipped = 0;  // bytes outside any frame: junk, a cut last frame
};

// The whole frames of `data` in order. A frame that directly follows another is taken as it
// comes; after junk the stream is found again only at a header whose next frame, when there is
// room for one, begins with a header of the same version, rate and channel count.
Mp3Split SplitMp3Frames(const std::uint8_t* data, std::size_t size);
