#include "SoundMixer.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

using Samples = std::vector<std::int16_t>;

std::shared_ptr<const PcmSound> Sound(std::uint32_t rate, int channels, Samples samples) {
    auto s = std::make_shared<PcmSound>();
    s->rate = rate;
    s->channels = channels;
    s->samples = std::move(samples);
    return s;
}

// `frames` stereo frames of the mixer's output.
Samples Pull(SoundMixer& mixer, std::size_t frames) {
    Samples out(frames * 2, 12345);
    mixer.Mix(out.data(), frames);
    return out;
}

Samples Left(const Samples& stereo) {
    Samples l;
    for (std::size_t i = 0; i < stereo.size(); i += 2) l.push_back(stereo[i]);
    return l;
}

Samples Right(const Samples& stereo) {
    Samples r;
    for (std::size_t i = 1; i < stereo.size(); i += 2) r.push_back(stereo[i]);
    return r;
}

class BlockFeed : public SoundFeed {
  public:
    BlockFeed(std::uint32_t rate, int channels, std::vector<Samples> blocks, int* fetched = nullptr)
        : rate_(rate), channels_(channels), blocks_(std::move(blocks)), fetched_(fetched) {}
    std::uint32_t Rate() const override { return rate_; }
    int Channels() const override { return channels_; }
    bool Next(Samples& samples) override {
        if (next_ >= blocks_.size()) return false;
        if (fetched_) ++*fetched_;
        const Samples& b = blocks_[next_++];
        samples.insert(samples.end(), b.begin(), b.end());
        return true;
    }

  private:
    std::uint32_t rate_;
    int channels_;
    std::vector<Samples> blocks_;
    std::size_t next_ = 0;
    int* fetched_;
};

TEST(SoundMixerTest, ResamplesToTheOutputRateBetweenNeighbouringSamples) {
    struct Case {
        std::uint32_t rate;
        Samples sound;
        Samples expected;  // left channel; silence follows
    } cases[] = {
        {44100, {100, -100, 300}, {100, -100, 300, 0}},
        {22050, {0, 400}, {0, 200, 400, 400, 0}},
        {11025, {0, 400}, {0, 100, 200, 300, 400, 400, 400, 400, 0}},
    };
    for (const Case& c : cases) {
        SoundMixer mixer;
        ASSERT_NE(mixer.StartEvent(1, Sound(c.rate, 1, c.sound), {}), 0u);
        const Samples out = Pull(mixer, c.expected.size());
        EXPECT_EQ(Left(out), c.expected) << c.rate;
        EXPECT_EQ(Right(out), c.expected) << "a mono sound plays on both channels";
        EXPECT_FALSE(mixer.AnyActive()) << "the voice ends with its last frame";
    }
}

TEST(SoundMixerTest, FiveAndAHalfKilohertzPlaysEightTimesItsFrames) {
    SoundMixer mixer;
    mixer.StartEvent(1, Sound(5512, 1, Samples(551, 1000)), {});
    const Samples out = Pull(mixer, 551 * 8 + 100);
    std::size_t sounding = 0;
    for (std::int16_t s : Left(out)) sounding += s != 0;
    EXPECT_NEAR(static_cast<double>(sounding), 551 * 44100.0 / 5512, 2);
}

TEST(SoundMixerTest, SoundsThatPlayTogetherAddUpAndClipAtFullScale) {
    struct Case {
        std::int16_t a, b, mixed;
    } cases[] = {
        {1000, 2000, 3000},
        {30000, 30000, 32767},
        {-30000, -30000, -32768},
        {32767, -32768, -1},
    };
    for (const Case& c : cases) {
        SoundMixer mixer;
        mixer.StartEvent(1, Sound(44100, 1, Samples(4, c.a)), {});
        mixer.StartEvent(2, Sound(44100, 2, Samples(8, c.b)), {});
        const Samples out = Pull(mixer, 4);
        EXPECT_EQ(Left(out), Samples(4, c.mixed)) << c.a << " + " << c.b;
        EXPECT_EQ(Right(out), Samples(4, c.mixed)) << c.a << " + " << c.b;
    }
}

TEST(SoundMixerTest, StereoKeepsItsChannels) {
    SoundMixer mixer;
    mixer.StartEvent(1, Sound(44100, 2, {10, -10, 20, -20}), {});
    EXPECT_EQ(Pull(mixer, 3), (Samples{10, -10, 20, -20, 0, 0}));
}

TEST(SoundMixerTest, LoopsAndInAndOutPointsChooseWhatPlays) {
    const Samples ramp{0, 1, 2, 3, 4, 5, 6, 7, 8, 9};
    struct Case {
        std::uint32_t rate;
        SoundPlayInfo info;
        Samples expected;
    } cases[] = {
        {44100,
         {false, false, false, false, 0, 0, 3, {}},
         [&] {
             Samples s;
             for (int n = 0; n < 3; ++n) s.insert(s.end(), ramp.begin(), ramp.end());
             return s;
         }()},
        {44100, {false, false, true, true, 2, 5, 0, {}}, {2, 3, 4}},
        {44100, {false, false, true, true, 7, 9, 2, {}}, {7, 8, 7, 8}},
        {44100, {false, false, false, true, 0, 400, 1, {}}, ramp},  // out past the end
        // Points count 44 100 Hz samples whatever the sound's rate.
        {22050, {false, false, true, true, 4, 8, 1, {}}, {2, 3, 3, 3}},
    };
    for (const Case& c : cases) {
        SoundMixer mixer;
        ASSERT_NE(mixer.StartEvent(1, Sound(c.rate, 1, ramp), c.info), 0u);
        Samples out = Left(Pull(mixer, c.expected.size() + 2));
        const Samples tail(out.end() - 2, out.end());
        out.resize(c.expected.size());
        EXPECT_EQ(out, c.expected) << c.rate;
        EXPECT_EQ(tail, Samples(2, 0)) << "then it ends";
    }
}

TEST(SoundMixerTest, AnEmptyPartPlaysNothing) {
    SoundMixer mixer;
    EXPECT_EQ(
        mixer.StartEvent(1, Sound(44100, 1, {1, 2, 3}), {false, false, true, true, 2, 2, 1, {}}),
        0u);
    EXPECT_EQ(mixer.StartEvent(1, Sound(44100, 1, {}), {}), 0u);
    EXPECT_EQ(mixer.StartEvent(1, nullptr, {}), 0u);
    EXPECT_FALSE(mixer.AnyActive());
}

TEST(SoundMixerTest, TheEnvelopeShapesEachChannelAlongThePlaying) {
    const std::vector<SoundEnvelopePoint> envelope{{0, 0, 32768}, {4, 32768, 0}, {8, 16384, 16384}};
    struct Case {
        std::uint64_t pos;
        int left, right;
    } cases[] = {{0, 0, 32768},    {1, 8192, 24576},  {4, 32768, 0},
                 {6, 24576, 8192}, {8, 16384, 16384}, {1000, 16384, 16384}};
    for (const Case& c : cases) {
        EXPECT_EQ(EnvelopeLevel(envelope, c.pos, 0), c.left) << c.pos;
        EXPECT_EQ(EnvelopeLevel(envelope, c.pos, 1), c.right) << c.pos;
    }
    EXPECT_EQ(EnvelopeLevel({}, 5, 0), 32768);
    EXPECT_EQ(EnvelopeLevel({{10, 100, 200}}, 0, 1), 200) << "before the first point";

    SoundMixer mixer;
    SoundPlayInfo info;
    info.envelope = envelope;
    info.loops = 2;
    mixer.StartEvent(1, Sound(44100, 1, Samples(5, 20000)), info);
    const Samples out = Pull(mixer, 10);
    EXPECT_EQ(Left(out), (Samples{0, 5000, 10000, 15000, 20000, 17500, 15000, 12500, 10000, 10000}))
        << "the envelope runs on across the loops";
    EXPECT_EQ(Right(out)[0], 20000);
    EXPECT_EQ(Right(out)[4], 0);
}

TEST(SoundMixerTest, AStreamFetchesItsBlocksAsTheyAreDueAndEndsWithThem) {
    SoundMixer mixer;
    int fetched = 0;
    const SoundMixer::Voice v = mixer.StartStream(std::make_unique<BlockFeed>(
        44100, 1, std::vector<Samples>{{1, 2, 3}, {4, 5, 6}, {7}}, &fetched));
    ASSERT_NE(v, 0u);
    EXPECT_EQ(fetched, 0) << "nothing is decoded before it is due";
    EXPECT_EQ(Left(Pull(mixer, 2)), (Samples{1, 2}));
    EXPECT_EQ(fetched, 1);
    EXPECT_EQ(Left(Pull(mixer, 3)), (Samples{3, 4, 5}));
    EXPECT_TRUE(mixer.Active(v));
    EXPECT_EQ(Left(Pull(mixer, 4)), (Samples{6, 7, 0, 0}));
    EXPECT_FALSE(mixer.Active(v));
}

TEST(SoundMixerTest, HeardCountsTheVoicesFramesThatTheDeviceHasPlayed) {
    SoundMixer mixer;
    Pull(mixer, 100);
    const SoundMixer::Voice v = mixer.StartStream(
        std::make_unique<BlockFeed>(22050, 2, std::vector<Samples>(100, Samples(200, 7))));
    EXPECT_EQ(mixer.Heard(v), 0);
    Pull(mixer, 400);
    mixer.Played(100);
    EXPECT_EQ(mixer.Heard(v), 0) << "what played before the voice began is not its own";
    mixer.Played(300);
    EXPECT_DOUBLE_EQ(mixer.Heard(v), 100) << "200 output frames are 100 at 22 050 Hz";
    mixer.Played(10000);
    EXPECT_DOUBLE_EQ(mixer.Heard(v), 200) << "no more than was mixed";
}

TEST(SoundMixerTest, StoppingEndsVoicesAtOnce) {
    SoundMixer mixer;
    const SoundMixer::Voice a = mixer.StartEvent(3, Sound(44100, 1, Samples(100, 100)), {});
    const SoundMixer::Voice b = mixer.StartEvent(4, Sound(44100, 1, Samples(100, 1000)), {});
    mixer.StartEvent(3, Sound(44100, 1, Samples(100, 10)), {});
    EXPECT_TRUE(mixer.SoundPlaying(3));
    mixer.StopSound(3);
    EXPECT_FALSE(mixer.SoundPlaying(3));
    EXPECT_FALSE(mixer.Active(a));
    EXPECT_EQ(Left(Pull(mixer, 1)), Samples{1000});
    mixer.Stop(b);
    EXPECT_EQ(Left(Pull(mixer, 1)), Samples{0});
    mixer.StartStream(std::make_unique<BlockFeed>(44100, 1, std::vector<Samples>{{5, 5}}));
    mixer.StopAll();
    EXPECT_FALSE(mixer.AnyActive());
}

}  // namespace
