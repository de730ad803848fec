// Layer III frame headers and the cutting of a byte range into whole frames.
#include <gtest/gtest.h>

#include "Mp3Frames.h"
#include "SoundTestData.h"

using namespace sounddata;

namespace {

TEST(Mp3Frames, HeaderFields) {
    struct Case {
        std::uint8_t bytes[4];
        MpegVersion version;
        std::uint32_t bitrate, rate;
        bool padding, crc;
        Mp3ChannelMode mode;
        std::size_t length;
        std::uint32_t samples;
    };
    // length: 144 (MPEG-1) or 72 bytes times the bitrate over the rate, rounded down, + padding
    const Case cases[] = {
        {{0xFF, 0xFB, 0x90, 0x64},
         MpegVersion::Mpeg1,
         128000,
         44100,
         false,
         false,
         Mp3ChannelMode::JointStereo,
         417,
         1152},
        {{0xFF, 0xFB, 0x92, 0x64},
         MpegVersion::Mpeg1,
         128000,
         44100,
         true,
         false,
         Mp3ChannelMode::JointStereo,
         418,
         1152},
        {{0xFF, 0xFA, 0xE4, 0x00},
         MpegVersion::Mpeg1,
         320000,
         48000,
         false,
         true,
         Mp3ChannelMode::Stereo,
         960,
         1152},
        {{0xFF, 0xFB, 0x18, 0xC0},
         MpegVersion::Mpeg1,
         32000,
         32000,
         false,
         false,
         Mp3ChannelMode::Mono,
         144,
         1152},
        {{0xFF, 0xF3, 0x80, 0xC4},
         MpegVersion::Mpeg2,
         64000,
         22050,
         false,
         false,
         Mp3ChannelMode::Mono,
         208,
         576},
        {{0xFF, 0xF3, 0xE8, 0x80},
         MpegVersion::Mpeg2,
         160000,
         16000,
         false,
         false,
         Mp3ChannelMode::DualChannel,
         720,
         576},
        {{0xFF, 0xE3, 0x42, 0xC0},
         MpegVersion::Mpeg25,
         32000,
         11025,
         true,
         false,
         Mp3ChannelMode::Mono,
         209,
         576},
        {{0xFF, 0xE2, 0x14, 0x40},
         MpegVersion::Mpeg25,
         8000,
         12000,
         false,
         true,
         Mp3ChannelMode::JointStereo,
         48,
         576},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.bitrate << " " << c.rate);
        Mp3FrameHeader h;
        ASSERT_TRUE(ParseMp3Header(c.bytes, 4, h));
        EXPECT_EQ(h.version, c.version);
        EXPECT_EQ(h.bitrate, c.bitrate);
        EXPECT_EQ(h.sampleRate, c.rate);
        EXPECT_EQ(h.padding, c.padding);
        EXPECT_EQ(h.crc, c.crc);
        EXPECT_EQ(h.mode, c.mode);
        EXPECT_EQ(h.Channels(), c.mode == Mp3ChannelMode::Mono ? 1 : 2);
        EXPECT_EQ(h.length, c.length);
        EXPECT_EQ(h.samplesPerFrame, c.samples);
    }
}

TEST(Mp3Frames, RefusedHeaders) {
    struct Case {
        const char* what;
        std::uint8_t bytes[4];
    };
    const Case cases[] = {
        {"no sync", {0xFF, 0x7B, 0x90, 0x64}},
        {"reserved version", {0xFF, 0xEB, 0x90, 0x64}},
        {"layer I", {0xFF, 0xFF, 0x90, 0x64}},
        {"layer II", {0xFF, 0xFD, 0x90, 0x64}},
        {"reserved layer", {0xFF, 0xF9, 0x90, 0x64}},
        {"free bitrate", {0xFF, 0xFB, 0x00, 0x64}},
        {"bad bitrate", {0xFF, 0xFB, 0xF0, 0x64}},
        {"reserved rate", {0xFF, 0xFB, 0x9C, 0x64}},
        {"reserved emphasis", {0xFF, 0xFB, 0x90, 0x66}},
    };
    for (const Case& c : cases) {
        Mp3FrameHeader h;
        EXPECT_FALSE(ParseMp3Header(c.bytes, 4, h)) << c.what;
    }
    const std::uint8_t good[4] = {0xFF, 0xFB, 0x90, 0x64};
    Mp3FrameHeader h;
    EXPECT_FALSE(ParseMp3Header(good, 3, h)) << "cut short";
}

// A frame of `header`'s length (nothing if it is no header); its body holds no sync.
Bytes Frame(std::initializer_list<std::uint8_t> header) {
    Bytes f(header);
    Mp3FrameHeader h;
    f.resize(ParseMp3Header(f.data(), f.size(), h) ? h.length : 0, 0x11);
    return f;
}

const Bytes kMono = Frame({0xFF, 0xF3, 0x80, 0xC4});        // 22050 Hz mono, 208 bytes
const Bytes kMonoPadded = Frame({0xFF, 0xF3, 0x82, 0xC4});  // 209 bytes
const Bytes kOtherRate = Frame({0xFF, 0xF3, 0x84, 0xC4});   // 24000 Hz mono
const Bytes kJunk = {0x00, 0xFF, 0xFB, 0x12, 0xFF, 0x49, 0x44, 0x33};
// A header of a rate that the frames around it have not.
const Bytes kFalseSync = {0xFF, 0xF3, 0x88, 0xC4};

TEST(Mp3Frames, SplitTakesWholeFramesAndSkipsTheRest) {
    struct Case {
        const char* what;
        std::vector<Bytes> pieces;
        std::vector<std::size_t> frames;  // the pieces that are frames
    };
    const Bytes cut(kMono.begin(), kMono.begin() + 100);
    const Case cases[] = {
        {"frames back to back", {kMono, kMonoPadded, kMono}, {0, 1, 2}},
        {"junk first and between", {kJunk, kMono, kMono, kJunk, kMono, kMono}, {1, 2, 4, 5}},
        {"a cut last frame", {kMono, kMonoPadded, cut}, {0, 1}},
        {"a lone frame", {kMono}, {0}},
        {"a frame and a stray byte", {kMono, {0x00}}, {0}},
        {"a false sync in junk", {kJunk, kFalseSync, kJunk, kMono, kMono}, {3, 4}},
        {"after junk, a frame whose next one disagrees",
         {kJunk, kMono, kOtherRate, kOtherRate},
         {2, 3}},
        {"in step, a change of rate is taken",
         {kMono, kMono, kOtherRate, kOtherRate},
         {0, 1, 2, 3}},
        {"nothing but junk", {kJunk, kFalseSync, kJunk}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Bytes data;
        std::vector<std::size_t> starts;
        for (const Bytes& p : c.pieces) {
            starts.push_back(data.size());
            data.insert(data.end(), p.begin(), p.end());
        }
        const Mp3Split split = SplitMp3Frames(data.data(), data.size());
        std::vector<std::size_t> offsets, expected;
        std::size_t inFrames = 0;
        for (const Mp3Frame& f : split.frames) {
            offsets.push_back(f.offset);
            inFrames += f.header.length;
        }
        for (const std::size_t i : c.frames) expected.push_back(starts[i]);
        EXPECT_EQ(offsets, expected);
        EXPECT_EQ(split.skipped, data.size() - inFrames);
    }
}

TEST(Mp3Frames, LameFilesAreWholeFrames) {
    for (const char* name : {"sine22k_mono.mp3", "sine44k_stereo.mp3"}) {
        SCOPED_TRACE(name);
        const Bytes file = ReadTestSound(name);
        ASSERT_FALSE(file.empty());
        const Mp3Split split = SplitMp3Frames(file.data(), file.size());
        EXPECT_EQ(split.skipped, 0u);
        // One second of sound, and the encoder's delay and padding.
        ASSERT_FALSE(split.frames.empty());
        const Mp3FrameHeader& h = split.frames[0].header;
        const std::size_t frames = split.frames.size();
        EXPECT_GE(frames * h.samplesPerFrame, h.sampleRate);
        EXPECT_LE(frames * h.samplesPerFrame, h.sampleRate + 4 * h.samplesPerFrame);
    }
}

}  // namespace
