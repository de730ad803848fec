// The platform's MP3 decoder (libmpg123 natively, the audio compression manager under Wine) on
// sine waves that lame encoded: length, frequency and level, not exact samples.
#include <gtest/gtest.h>

#include <ostream>

#include "Mp3Decoder.h"
#include "SoundTestData.h"

using namespace sounddata;

namespace {

using Samples = std::vector<std::int16_t>;

struct TestFile {
    const char* name;
    std::uint32_t rate;
    int channels;
    double frequencies[2];
};
void PrintTo(const TestFile& t, std::ostream* os) {
    *os << t.name;
}

const TestFile kFiles[] = {{"sine22k_mono.mp3", 22050, 1, {440, 0}},
                           {"sine44k_stereo.mp3", 44100, 2, {440, 660}}};

// Feeds `count` frames from `first` on; every frame must decode.
void Feed(Mp3Decoder& d, const Bytes& file, const Mp3Split& split, std::size_t first,
          std::size_t count, Samples& out) {
    for (std::size_t i = first; i < first + count && i < split.frames.size(); ++i) {
        const Mp3Frame& f = split.frames[i];
        ASSERT_TRUE(d.DecodeFrame(f.header, file.data() + f.offset, f.header.length, out)) << i;
    }
}

// The tone of each channel, away from the encoder's delay at the start and the end.
void ExpectTone(const Samples& pcm, const TestFile& t, std::size_t from, std::size_t to) {
    for (int c = 0; c < t.channels; ++c) {
        SCOPED_TRACE(testing::Message() << "channel " << c);
        const std::vector<double> tone = Channel(pcm, t.channels, c, from, to);
        EXPECT_NEAR(Frequency(tone, t.rate), t.frequencies[c], t.frequencies[c] * 0.02);
        EXPECT_NEAR(Rms(tone), kSineRms, kSineRms * 0.1);
    }
}

class Mp3DecoderTest : public testing::TestWithParam<TestFile> {};

TEST_P(Mp3DecoderTest, DecodesEachFrameToItsLength) {
    const TestFile& t = GetParam();
    const Bytes file = ReadTestSound(t.name);
    const Mp3Split split = SplitMp3Frames(file.data(), file.size());
    ASSERT_FALSE(split.frames.empty());
    auto decoder = MakeMp3Decoder();
    ASSERT_TRUE(decoder);
    Samples pcm;
    Feed(*decoder, file, split, 0, split.frames.size(), pcm);
    decoder->Finish(pcm);
    const std::uint32_t perFrame = split.frames[0].header.samplesPerFrame;
    EXPECT_EQ(pcm.size(), split.frames.size() * perFrame * t.channels);
    ExpectTone(pcm, t, 2000, t.rate - 1000);
}

TEST_P(Mp3DecoderTest, ResetForgetsEarlierFrames) {
    const TestFile& t = GetParam();
    const Bytes file = ReadTestSound(t.name);
    const Mp3Split split = SplitMp3Frames(file.data(), file.size());
    auto decoder = MakeMp3Decoder();
    ASSERT_TRUE(decoder);
    Samples fresh, again;
    Feed(*decoder, file, split, 0, 10, fresh);
    decoder->Finish(fresh);
    MakeMp3Decoder().swap(decoder);
    Feed(*decoder, file, split, 20, 5, again);
    decoder->Reset();
    again.clear();
    Feed(*decoder, file, split, 0, 10, again);
    decoder->Finish(again);
    EXPECT_EQ(again, fresh);
}

INSTANTIATE_TEST_SUITE_P(Files, Mp3DecoderTest, testing::ValuesIn(kFiles),
                         [](const testing::TestParamInfo<TestFile>& info) {
                             return std::string(info.param.channels == 1 ? "Mono" : "Stereo");
                         });

TEST(Mp3Decoder, FollowsAChangeOfRateAndChannels) {
    const Bytes mono = ReadTestSound(kFiles[0].name), stereo = ReadTestSound(kFiles[1].name);
    const Mp3Split monoFrames = SplitMp3Frames(mono.data(), mono.size());
    const Mp3Split stereoFrames = SplitMp3Frames(stereo.data(), stereo.size());
    auto decoder = MakeMp3Decoder();
    ASSERT_TRUE(decoder);
    Samples first, second;
    Feed(*decoder, mono, monoFrames, 0, monoFrames.frames.size(), first);
    Feed(*decoder, stereo, stereoFrames, 0, stereoFrames.frames.size(), second);
    decoder->Finish(second);
    // The first run may lose what the decoder held back when the kind changed.
    EXPECT_GE(first.size(), (monoFrames.frames.size() - 1) * 576);
    ExpectTone(first, kFiles[0], 2000, 20000);
    EXPECT_GE(second.size(), stereoFrames.frames.size() * 1152 * 2);
    ExpectTone(second, kFiles[1], 2000 + 1152, 44100);
}

}  // namespace
