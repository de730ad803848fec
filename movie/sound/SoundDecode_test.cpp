// Event sounds and stream blocks into samples: raw, ADPCM, MP3 (through the platform's decoder
// and through a fake that holds output back as some codecs do), and the lengths a sound takes.
#include <gtest/gtest.h>

#include "SoundDecode.h"
#include "SoundTestData.h"

using namespace sounddata;

namespace {

using Samples = std::vector<std::int16_t>;

SoundFormat Format(std::uint8_t codec, std::uint8_t rateCode, bool sixteenBit, bool stereo) {
    SoundFormat f;
    f.codec = codec;
    f.rateCode = rateCode;
    f.sixteenBit = sixteenBit;
    f.stereo = stereo;
    return f;
}

PcmSound Decode(const SoundFormat& f, const Bytes& data, std::uint32_t count,
                Mp3Decoder* mp3 = nullptr) {
    return DecodeSound(f, data.data(), data.size(), count, mp3);
}

bool Silent(const Samples& s, std::size_t from = 0) {
    return std::all_of(s.begin() + static_cast<std::ptrdiff_t>(from), s.end(),
                       [](std::int16_t v) { return v == 0; });
}

TEST(DecodeSound, RawSamples) {
    const PcmSound eight =
        Decode(Format(SoundCodec::RawNative, 1, false, false), {0x00, 0x80, 0xFF, 0x40}, 4);
    EXPECT_EQ(eight.samples, (Samples{-32768, 0, 32512, -16384}));
    EXPECT_EQ(eight.rate, 11025u);
    EXPECT_EQ(eight.channels, 1);
    // Codec 0 is taken as little-endian, like codec 3.
    for (const std::uint8_t codec : {SoundCodec::RawNative, SoundCodec::RawLittle}) {
        const PcmSound s = Decode(Format(codec, 3, true, true),
                                  {0x01, 0x02, 0xFF, 0xFF, 0x00, 0x80, 0xFF, 0x7F}, 2);
        EXPECT_EQ(s.samples, (Samples{0x0201, -1, -32768, 32767}));
        EXPECT_EQ(s.rate, 44100u);
        EXPECT_EQ(s.channels, 2);
        EXPECT_EQ(s.Frames(), 2u);
    }
}

TEST(DecodeSound, LengthIsTheSampleCount) {
    const SoundFormat stereo16 = Format(SoundCodec::RawLittle, 2, true, true);
    const Bytes sixFrames(24, 0x11);  // and a stray byte in some cases below
    struct Case {
        const char* what;
        std::size_t bytes;
        std::uint32_t count;
        std::size_t frames;
    };
    const Case cases[] = {
        {"as long as the data", 24, 6, 6},
        {"cut", 24, 4, 4},
        {"padded with silence", 24, 9, 9},
        {"no count: the data's length", 24, 0, 6},
        {"a count beyond the cap: the data's length", 24, 0xFFFFFFFF, 6},
        {"half a frame at the end is dropped", 23, 0, 5},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const PcmSound s =
            Decode(stereo16, Bytes(sixFrames.begin(), sixFrames.begin() + c.bytes), c.count);
        ASSERT_EQ(s.Frames(), c.frames);
        ASSERT_EQ(s.samples.size(), c.frames * 2);
        const std::size_t data = std::min<std::size_t>(c.bytes / 4, c.frames) * 2;
        EXPECT_TRUE(std::all_of(s.samples.begin(), s.samples.begin() + data,
                                [](std::int16_t v) { return v == 0x1111; }));
        EXPECT_TRUE(Silent(s.samples, data));
    }
}

TEST(DecodeSound, UndecodableIsSilenceOfTheCount) {
    for (const std::uint8_t codec :
         {SoundCodec::Nellymoser, SoundCodec::Nellymoser8k, SoundCodec::Speex, std::uint8_t{9}}) {
        const PcmSound s = Decode(Format(codec, 1, true, true), Bytes(64, 0x5A), 1000);
        EXPECT_EQ(s.Frames(), 1000u);
        EXPECT_EQ(s.rate, 11025u);
        EXPECT_TRUE(Silent(s.samples));
    }
    // A hostile count gets the cap, not gigabytes.
    const PcmSound huge = Decode(Format(SoundCodec::Speex, 0, true, false), {}, 0xFFFFFFFF);
    EXPECT_EQ(huge.Frames(), kMaxSoundFrames);
}

TEST(DecodeSound, AdpcmInTheFormatsShape) {
    BitWriter w;
    w.Put(2, 2).Sample(300).Put(0, 6).Sample(-300).Put(0, 6).Put(0x7, 4).Put(0xF, 4);
    const PcmSound s = Decode(Format(SoundCodec::Adpcm, 2, true, true), w.bytes(), 4);
    EXPECT_EQ(s.rate, 22050u);
    EXPECT_EQ(s.channels, 2);
    // Two frames decoded (step 7: +11 and -11), two of silence.
    EXPECT_EQ(s.samples, (Samples{300, -300, 311, -311, 0, 0, 0, 0}));
}

// ---- MP3 through the platform's decoder

// A sound's data: the skip count, then the frames.
Bytes Mp3Sound(std::int16_t seek, const Bytes& frames) {
    Bytes data{static_cast<std::uint8_t>(seek), static_cast<std::uint8_t>(seek >> 8)};
    data.insert(data.end(), frames.begin(), frames.end());
    return data;
}

// lame's delay before the first sample it was given: its own 576 and the decoder's 529.
constexpr std::int16_t kLameDelay = 576 + 529;

TEST(DecodeSound, Mp3SkipsTheSeekSamplesAndTakesTheCount) {
    const Bytes file = ReadTestSound("sine44k_stereo.mp3");
    auto mp3 = MakeMp3Decoder();
    ASSERT_TRUE(mp3);
    const SoundFormat format = Format(SoundCodec::Mp3, 1, true, false);  // the frames decide
    const PcmSound s = Decode(format, Mp3Sound(kLameDelay, file), 44100, mp3.get());
    EXPECT_EQ(s.rate, 44100u);
    EXPECT_EQ(s.channels, 2);
    EXPECT_EQ(s.Frames(), 44100u);
    // The sine starts at once when the delay is skipped, and not before it when it is not.
    EXPECT_NEAR(Rms(Channel(s.samples, 2, 0, 200, 700)), kSineRms, kSineRms * 0.15);
    EXPECT_NEAR(Frequency(Channel(s.samples, 2, 1, 1000, 40000), 44100), 660, 660 * 0.02);
    const PcmSound unskipped = Decode(format, Mp3Sound(0, file), 44100, mp3.get());
    EXPECT_LT(Rms(Channel(unskipped.samples, 2, 0, 200, 700)), kSineRms * 0.1);
    // Without a count the sound is the frames' length less the skip.
    const Mp3Split split = SplitMp3Frames(file.data(), file.size());
    const PcmSound whole = Decode(format, Mp3Sound(kLameDelay, file), 0, mp3.get());
    EXPECT_EQ(whole.Frames(), split.frames.size() * 1152 - kLameDelay);
}

TEST(DecodeSound, Mp3WithoutDecoderOrFramesIsSilence) {
    const Bytes file = ReadTestSound("sine22k_mono.mp3");
    const SoundFormat format = Format(SoundCodec::Mp3, 3, true, true);
    const PcmSound noDecoder = Decode(format, Mp3Sound(0, file), 5000);
    EXPECT_EQ(noDecoder.rate, 22050u);  // still the frames' shape
    EXPECT_EQ(noDecoder.channels, 1);
    EXPECT_EQ(noDecoder.Frames(), 5000u);
    EXPECT_TRUE(Silent(noDecoder.samples));
    auto mp3 = MakeMp3Decoder();
    const PcmSound noFrames = Decode(format, Mp3Sound(0, Bytes(300, 0x42)), 5000, mp3.get());
    EXPECT_EQ(noFrames.rate, 44100u);
    EXPECT_EQ(noFrames.channels, 2);
    EXPECT_EQ(noFrames.Frames(), 5000u);
    EXPECT_TRUE(Silent(noFrames.samples));
}

// ---- a decoder that gives each frame's output one frame late, as some codecs do: a frame of
// samples that all hold the first byte after the header. A frame whose second byte is 0xEE
// fails and gives nothing of its own. One that catches up holds back the first frame only, and
// gives it out with the second, as the codec under Wine does.

class LateDecoder : public Mp3Decoder {
  public:
    explicit LateDecoder(bool catchesUp = false) : catchesUp_(catchesUp) {}
    bool DecodeFrame(const Mp3FrameHeader& h, const std::uint8_t* frame, std::size_t,
                     Samples& out) override {
        out.insert(out.end(), held_.begin(), held_.end());
        held_.clear();
        if (frame[5] == 0xEE) return false;
        const Samples samples(h.samplesPerFrame * h.Channels(), frame[4]);
        if (catchesUp_ && !first_)
            out.insert(out.end(), samples.begin(), samples.end());
        else
            held_ = samples;
        first_ = false;
        return true;
    }
    void Finish(Samples& out) override {
        out.insert(out.end(), held_.begin(), held_.end());
        Reset();
    }
    void Reset() override {
        held_.clear();
        first_ = true;
    }

  private:
    bool catchesUp_;
    bool first_ = true;
    Samples held_;
};

// 22050 Hz mono frames of 576 samples, marked.
Bytes MarkedFrame(std::uint8_t mark, bool fails = false) {
    Bytes f{0xFF, 0xF3, 0x80, 0xC4, mark, static_cast<std::uint8_t>(fails ? 0xEE : 0)};
    f.resize(208, 0);
    return f;
}

Bytes Join(std::initializer_list<Bytes> parts) {
    Bytes all;
    for (const Bytes& p : parts) all.insert(all.end(), p.begin(), p.end());
    return all;
}

// The marks of a run of samples, one a frame of 576.
std::vector<int> Marks(const Samples& s, std::size_t from = 0) {
    std::vector<int> marks;
    for (std::size_t i = from; i < s.size(); i += 576) marks.push_back(s[i]);
    return marks;
}

TEST(DecodeSound, Mp3DecoderThatHoldsBackIsDrained) {
    LateDecoder late;
    const Bytes frames = Join({MarkedFrame(1), MarkedFrame(2, true), MarkedFrame(3)});
    const PcmSound s =
        Decode(Format(SoundCodec::Mp3, 2, true, false), Mp3Sound(0, frames), 3 * 576, &late);
    EXPECT_EQ(Marks(s.samples), (std::vector<int>{1, 0, 3}));
    EXPECT_EQ(s.Frames(), 3u * 576);
}

TEST(StreamDecoder, Mp3BlocksKeepTheirLengthWithALateDecoder) {
    StreamDecoder stream(Format(SoundCodec::Mp3, 2, true, false), std::make_unique<LateDecoder>());
    Samples out;
    const auto block = [&](std::uint16_t count, const Bytes& frames) {
        const Bytes data =
            Join({{static_cast<std::uint8_t>(count), static_cast<std::uint8_t>(count >> 8), 0, 0},
                  frames});
        const std::size_t before = out.size();
        stream.Block(data.data(), data.size(), out);
        return out.size() - before;
    };
    EXPECT_EQ(block(1152, Join({MarkedFrame(1), MarkedFrame(2)})), 1152u);
    EXPECT_EQ(block(0, {}), 0u);  // no new frame in this one
    EXPECT_EQ(block(1152, Join({MarkedFrame(3), MarkedFrame(4, true)})), 1152u);
    EXPECT_EQ(block(700, Bytes(50, 0x33)), 700u);  // no frame: the silence of its count
    EXPECT_EQ(block(576, MarkedFrame(5)), 576u);
    // One frame late throughout, with silence in front; the frame that failed is the silence
    // that the decoder's late output leaves in the last block.
    EXPECT_EQ(out.size(), 4u * 576 + 700 + 576);
    EXPECT_EQ(Marks(out), (std::vector<int>{0, 1, 2, 3, 0, 0, 0}));
}

TEST(StreamDecoder, Mp3DecoderThatCatchesUpLosesNothing) {
    StreamDecoder stream(Format(SoundCodec::Mp3, 2, true, false),
                         std::make_unique<LateDecoder>(true));
    Samples out;
    for (std::uint8_t mark = 1; mark <= 4; ++mark) {
        const Bytes block = Join({{0x40, 0x02, 0, 0}, MarkedFrame(mark)});
        stream.Block(block.data(), block.size(), out);
        EXPECT_EQ(out.size(), mark * 576u);
    }
    EXPECT_EQ(Marks(out), (std::vector<int>{0, 1, 2, 3}));
    // Starting again, nothing of the earlier blocks comes out.
    stream.Reset();
    out.clear();
    const Bytes block = Join({{0x40, 0x02, 0, 0}, MarkedFrame(9), MarkedFrame(8)});
    stream.Block(block.data(), block.size(), out);
    EXPECT_EQ(Marks(out), (std::vector<int>{9, 8}));
}

TEST(StreamDecoder, Mp3StreamFromTheFile) {
    const Bytes file = ReadTestSound("sine22k_mono.mp3");
    const Mp3Split split = SplitMp3Frames(file.data(), file.size());
    StreamDecoder stream(Format(SoundCodec::Mp3, 2, true, false), MakeMp3Decoder());
    EXPECT_EQ(stream.Rate(), 22050u);
    EXPECT_EQ(stream.Channels(), 1);
    Samples out;
    // Blocks of three frames, the last one shorter.
    for (std::size_t i = 0; i < split.frames.size(); i += 3) {
        const std::size_t n = std::min<std::size_t>(3, split.frames.size() - i);
        const std::size_t from = split.frames[i].offset;
        const std::size_t to =
            i + n < split.frames.size() ? split.frames[i + n].offset : file.size();
        Bytes block{static_cast<std::uint8_t>(n * 576), static_cast<std::uint8_t>(n * 576 >> 8), 0,
                    0};
        block.insert(block.end(), file.begin() + from, file.begin() + to);
        const std::size_t before = out.size();
        stream.Block(block.data(), block.size(), out);
        EXPECT_EQ(out.size() - before, n * 576);
    }
    EXPECT_NEAR(Frequency(Channel(out, 1, 0, 2000, 20000), 22050), 440, 440 * 0.02);
    EXPECT_NEAR(Rms(Channel(out, 1, 0, 2000, 20000)), kSineRms, kSineRms * 0.1);
}

TEST(StreamDecoder, Mp3BlocksWithoutDecoderAreSilenceOfTheirCount) {
    StreamDecoder stream(Format(SoundCodec::Mp3, 3, true, true), nullptr, 1000);
    Samples out;
    const Bytes block = Join({{0x40, 0x02, 0, 0}, MarkedFrame(1)});  // 576 samples
    stream.Block(block.data(), block.size(), out);
    EXPECT_EQ(out.size(), 576u * 2);
    const Bytes cut = {0x40};  // not even its counts: the stream head's
    stream.Block(cut.data(), cut.size(), out);
    EXPECT_EQ(out.size(), (576u + 1000) * 2);
    EXPECT_TRUE(Silent(out));
}

TEST(StreamDecoder, RawAndAdpcmBlocks) {
    StreamDecoder raw(Format(SoundCodec::RawNative, 0, false, true), nullptr);
    EXPECT_EQ(raw.Rate(), 5512u);
    EXPECT_EQ(raw.Channels(), 2);
    Samples out;
    const Bytes a = {0x80, 0x81, 0x7F}, b = {0x00, 0xFF};
    raw.Block(a.data(), a.size(), out);
    raw.Block(b.data(), b.size(), out);
    EXPECT_EQ(out, (Samples{0, 256, -32768, 32512}));

    // Each ADPCM block stands alone; a damaged one is made up to the stream's block length.
    StreamDecoder adpcm(Format(SoundCodec::Adpcm, 1, true, false), nullptr, 4);
    BitWriter w;
    w.Put(2, 2).Sample(1000).Put(0, 6).Put(0x7, 4).Put(0xF, 4).Put(0x0, 4).Put(0x4, 4);
    const Bytes whole = w.bytes(), damaged(whole.begin(), whole.begin() + 2);
    out.clear();
    adpcm.Block(whole.data(), whole.size(), out);
    adpcm.Block(whole.data(), whole.size(), out);
    adpcm.Block(damaged.data(), damaged.size(), out);
    EXPECT_EQ(out, (Samples{1000, 1011, 981, 985, 1019, 1000, 1011, 981, 985, 1019, 0, 0, 0, 0}));
}

TEST(StreamDecoder, UnknownCodecsAreSilenceOfTheirLength) {
    Samples out;
    StreamDecoder headed(Format(SoundCodec::Speex, 1, true, false), nullptr, 320);
    headed.Block(nullptr, 0, out);
    EXPECT_EQ(out.size(), 320u);
    // Without the head's count, Nellymoser's own: 256 samples for each 64 bytes.
    StreamDecoder nelly(Format(SoundCodec::Nellymoser, 1, true, false), nullptr);
    const Bytes block(130, 0x21);
    nelly.Block(block.data(), block.size(), out);
    EXPECT_EQ(out.size(), 320u + 512);
    EXPECT_TRUE(Silent(out));
}

}  // namespace
