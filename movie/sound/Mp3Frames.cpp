#include "Mp3Frames.h"

namespace {

// Kilobits a second by bitrate index; 0 is the free bitrate, 15 is invalid.
constexpr std::uint16_t kBitratesMpeg1[16] = {0,   32,  40,  48,  56,  64,  80,  96,
                                              112, 128, 160, 192, 224, 256, 320, 0};
constexpr std::uint16_t kBitratesMpeg2[16] = {0,  8,  16, 24,  32,  40,  48,  56,
                                              64, 80, 96, 112, 128, 144, 160, 0};
constexpr std::uint32_t kRatesMpeg1[3] = {44100, 48000, 32000};

bool Agree(const Mp3FrameHeader& a, const Mp3FrameHeader& b) {
    return a.version == b.version && a.sampleRate == b.sampleRate && a.Channels() == b.Channels();
}

}  // namespace

bool ParseMp3Header(const std::uint8_t* data, std::size_t size, Mp3FrameHeader& header) {
    if (size < 4 || data[0] != 0xFF || (data[1] & 0xE0) != 0xE0) return false;
    const unsigned versionBits = (data[1] >> 3) & 3, layerBits = (data[1] >> 1) & 3;
    const unsigned bitrateIndex = data[2] >> 4, rateIndex = (data[2] >> 2) & 3;
    const unsigned emphasis = data[3] & 3;
    // Version 1 and emphasis 2 are reserved; layer bits 1 are layer III.
    if (versionBits == 1 || layerBits != 1 || bitrateIndex == 0 || bitrateIndex == 15 ||
        rateIndex == 3 || emphasis == 2)
        return false;
    Mp3FrameHeader h;
    h.version = versionBits == 3   ? MpegVersion::Mpeg1
                : versionBits == 2 ? MpegVersion::Mpeg2
                                   : MpegVersion::Mpeg25;
    const bool mpeg1 = h.version == MpegVersion::Mpeg1;
    h.bitrate = 1000u * (mpeg1 ? kBitratesMpeg1 : kBitratesMpeg2)[bitrateIndex];
    h.sampleRate = kRatesMpeg1[rateIndex] >> (mpeg1 ? 0 : h.version == MpegVersion::Mpeg2 ? 1 : 2);
    h.padding = (data[2] & 2) != 0;
    h.crc = (data[1] & 1) == 0;
    h.mode = static_cast<Mp3ChannelMode>(data[3] >> 6);
    h.samplesPerFrame = mpeg1 ? 1152 : 576;
    // A frame holds samplesPerFrame / 8 bytes for each bit a sample of the bitrate takes.
    h.length = h.samplesPerFrame / 8 * h.bitrate / h.sampleRate + (h.padding ? 1 : 0);
    // The side information alone takes more than the shortest frames at the lowest rates.
    const std::size_t side = (mpeg1 ? (h.Channels() == 1 ? 17 : 32) : (h.Channels() == 1 ? 9 : 17));
    if (h.length < 4 + (h.crc ? 2 : 0) + side) return false;
    header = h;
    return true;
}

Mp3Split SplitMp3Frames(const std::uint8_t* data, std::size_t size) {
    Mp3Split split;
    std::size_t at = 0;
    bool inStep = false;  // `at` is where the previous whole frame ended
    while (at < size) {
        Mp3FrameHeader h;
        bool take = ParseMp3Header(data + at, size - at, h) && h.length <= size - at;
        if (take && !inStep) {
            const std::size_t next = at + h.length;
            Mp3FrameHeader following;
            take = size - next < 4 ||
                   (ParseMp3Header(data + next, size - next, following) && Agree(h, following));
        }
        if (take) {
            split.frames.push_back({at, h});
            at += h.length;
            inStep = true;
        } else {
            ++split.skipped;
            ++at;
            inStep = false;
        }
    }
    return split;
}
