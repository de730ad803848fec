// The built-in control's sound as the movie drives it: streams that run ahead of the timeline and
// lead it, event sounds and their rules, and every way a sound ends. The mixer is pulled here as
// the output's thread would.
#include <gtest/gtest.h>

#include <cmath>

#include "BuiltinMovie.h"
#include "EmbedMovie.h"
#include "Mp3Decoder.h"
#include "SwfTestData.h"
#include "QuietMovieHost.h"

using namespace swfdata;

namespace {

class FakeOutput : public MovieSoundOutput {
  public:
    bool available = true;
    int wakes = 0, flushes = 0;
    bool paused = false;

    bool Available() const override { return available; }
    void Wake() override { ++wakes; }
    void Pause(bool p) override { paused = p; }
    void Flush() override { ++flushes; }
};

constexpr unsigned kFps = 10;
constexpr std::uint32_t kRate = 22050;
constexpr unsigned kPerFrame = kRate / kFps;      // 2 205 samples of the stream a frame
constexpr unsigned kOutPerFrame = kPerFrame * 2;  // at 44 100 Hz
const std::uint8_t kRaw22Mono = SoundFormatByte(3, 2, true, false);

// A frame's stream block: the frame's number + 1, times 1 000, all along.
Bytes Block(int frame) {
    return StreamBlock(
        Pcm16(std::vector<std::int16_t>(kPerFrame, static_cast<std::int16_t>(1000 * (frame + 1)))));
}

class BuiltinMovieSoundTest : public ::testing::Test {
  protected:
    void Load(const Bytes& tags, unsigned frames) {
        const Bytes movie = Movie(tags, 8, kFps * 256, frames);
        MemoryStream s(movie);
        EmbedMovieStream(control_, &s);
        ASSERT_TRUE(control_.HasMovie());
    }

    // The left channel of the next `frames` output frames.
    std::vector<std::int16_t> Pull(std::size_t frames) {
        std::vector<std::int16_t> out(frames * 2);
        mixer_.Mix(out.data(), frames);
        std::vector<std::int16_t> left;
        for (std::size_t i = 0; i < out.size(); i += 2) left.push_back(out[i]);
        return left;
    }

    // A stream of `frames` frames, each with its block.
    Bytes Stream(int frames, const Bytes& frameOneExtra = {}) {
        Bytes tags = StreamHead(kRaw22Mono, kPerFrame);
        for (int f = 0; f < frames; ++f) {
            tags = tags + Block(f);
            if (f == 1) tags = tags + frameOneExtra;
            tags = tags + ShowFrame();
        }
        return tags;
    }

    void LoadFile(const std::string& name) {
        MemoryStream s(ReadBytes(TestMovie(name)));
        EmbedMovieStream(control_, &s);
        ASSERT_TRUE(control_.HasMovie()) << name;
    }

    QuietMovieHost host_;
    SoundMixer mixer_;
    FakeOutput output_;
    BuiltinMovie control_{host_, nullptr, {&mixer_, &output_, &MakeMp3Decoder}};
};

TEST_F(BuiltinMovieSoundTest, TheStreamRunsAheadOfThePicturesWhichFollowWhatWasHeard) {
    Load(Stream(6), 6);
    EXPECT_TRUE(mixer_.AnyActive());
    EXPECT_GE(output_.wakes, 1);

    const auto heard = Pull(kOutPerFrame * 3);
    EXPECT_EQ(heard[100], 1000);
    EXPECT_EQ(heard[kOutPerFrame + 100], 2000) << "the next frame's block is read ahead";
    EXPECT_EQ(heard[2 * kOutPerFrame + 100], 3000);
    EXPECT_EQ(control_.CurrentFrame(), 0);

    control_.Tick();
    EXPECT_EQ(control_.CurrentFrame(), 0) << "nothing heard yet: the picture waits";
    mixer_.Played(kOutPerFrame * 2);
    control_.Tick();
    EXPECT_EQ(control_.CurrentFrame(), 2) << "two frames heard: frame 1 is skipped";
    control_.Tick();
    EXPECT_EQ(control_.CurrentFrame(), 2) << "the sound has not moved on";
    mixer_.Played(kOutPerFrame * 3);
    control_.Tick();
    EXPECT_EQ(control_.CurrentFrame(), 3);
    EXPECT_EQ(Pull(100)[50], 4000) << "playing on keeps the stream where it was";
}

TEST_F(BuiltinMovieSoundTest, AStreamThatHasEndedStaysEndedAsTheFramesCatchUp) {
    Load(Stream(4), 4);
    Pull(kOutPerFrame * 5);
    EXPECT_FALSE(mixer_.AnyActive()) << "every block mixed while the pictures stood at frame 0";
    mixer_.Played(kOutPerFrame);
    for (int frame = 1; frame <= 3; ++frame) {
        control_.Tick();
        EXPECT_EQ(control_.CurrentFrame(), frame) << "the timer leads once the stream is mixed";
        EXPECT_FALSE(mixer_.AnyActive()) << "frame " << frame << " does not start it again";
    }
}

TEST_F(BuiltinMovieSoundTest, AJumpStartsTheStreamAtTheFrameJumpedTo) {
    Load(Stream(6), 6);
    Pull(kOutPerFrame);
    control_.SetProperty(FlashDispId::FrameNum, std::int32_t{4});
    EXPECT_EQ(control_.CurrentFrame(), 4);
    EXPECT_EQ(Pull(100)[50], 5000);
}

TEST_F(BuiltinMovieSoundTest, ThePlayersStopPausesTheSoundTheMoviesOwnStopEndsIt) {
    Bytes stop{0x07};  // ActionStop
    Load(Stream(4, Actions(stop)), 4);
    control_.Stop();
    EXPECT_TRUE(output_.paused);
    EXPECT_TRUE(mixer_.AnyActive()) << "a paused stream goes on where it was";
    control_.Play();
    EXPECT_FALSE(output_.paused);

    Pull(kOutPerFrame * 2);
    mixer_.Played(kOutPerFrame);
    control_.Tick();
    EXPECT_EQ(control_.CurrentFrame(), 1);
    EXPECT_FALSE(control_.IsPlaying());
    EXPECT_FALSE(mixer_.AnyActive()) << "the main timeline stopped itself: its stream ends";
}

TEST_F(BuiltinMovieSoundTest, EventSoundsStartAndStopAsTheirFramesSay) {
    const auto sound = DefineSound(7, SoundFormatByte(3, 3, true, false), 100,
                                   Pcm16(std::vector<std::int16_t>(100, 3000)));
    struct Case {
        Bytes secondStart;
        std::int16_t expected;
        const char* why;
    } cases[] = {
        {SoundInfo(false, true), 3000, "no multiple: not started again while it plays"},
        {SoundInfo(), 6000, "started again, the two play together"},
        {SoundInfo(true), 0, "a stop ends it"},
    };
    for (const Case& c : cases) {
        Load(sound + StartSound(7, SoundInfo(false, false, 2)) + ShowFrame() +
                 StartSound(7, c.secondStart) + ShowFrame(),
             2);
        EXPECT_EQ(Pull(10)[5], 3000);
        control_.Tick();
        EXPECT_EQ(control_.CurrentFrame(), 1) << "without a stream the timer drives";
        EXPECT_EQ(Pull(10)[5], c.expected) << c.why;
    }
}

TEST_F(BuiltinMovieSoundTest, LoopsPlayTheSoundAgain) {
    Load(DefineSound(7, SoundFormatByte(3, 3, true, false), 4, Pcm16({1, 2, 3, 4})) +
             StartSound(7, SoundInfo(false, false, 3)) + ShowFrame(),
         1);
    EXPECT_EQ(Pull(14), (std::vector<std::int16_t>{1, 2, 3, 4, 1, 2, 3, 4, 1, 2, 3, 4, 0, 0}));
}

TEST_F(BuiltinMovieSoundTest, ANewMovieOrNoneEndsEverySoundAtOnce) {
    Load(Stream(6), 6);
    const int flushes = output_.flushes;
    Load(Stream(2), 2);
    EXPECT_EQ(Pull(100)[50], 1000) << "the new movie's stream from its start";
    control_.LoadMovie(0, u"");
    EXPECT_FALSE(mixer_.AnyActive());
    EXPECT_GT(output_.flushes, flushes) << "what the device holds is dropped too";
}

TEST_F(BuiltinMovieSoundTest, AStreamOfAClipEndsWhenTheClipIsRemoved) {
    Bytes clip = StreamHead(kRaw22Mono, kPerFrame);
    for (int f = 0; f < 3; ++f) clip = clip + Block(f) + ShowFrame();
    Load(Sprite(5, 3, clip) + Place(5, 1, 0, 0) + ShowFrame() + RemoveDepth(1) + ShowFrame(), 2);
    EXPECT_EQ(Pull(100)[50], 1000);
    control_.Tick();
    EXPECT_EQ(control_.CurrentFrame(), 1);
    EXPECT_FALSE(mixer_.AnyActive());
}

TEST_F(BuiltinMovieSoundTest, WithoutADeviceTheMovieIsSilentAndTheTimerDrivesIt) {
    output_.available = false;
    Load(Stream(3), 3);
    EXPECT_FALSE(mixer_.AnyActive());
    control_.Tick();
    EXPECT_EQ(control_.CurrentFrame(), 1);
}

TEST_F(BuiltinMovieSoundTest, AStreamThatCannotBeDecodedIsSilenceAndThePicturesGoOn) {
    // MP3 blocks of junk, and no MP3 decoder at all.
    Bytes tags = StreamHead(SoundFormatByte(2, 2, true, false), kPerFrame);
    for (int f = 0; f < 4; ++f) {
        Bytes junk = U16(kPerFrame);
        Append(junk, U16(0));
        Append(junk, Bytes(40, 0xAB));
        tags = tags + StreamBlock(junk) + ShowFrame();
    }
    Load(tags, 4);
    const auto heard = Pull(kOutPerFrame * 2);
    EXPECT_EQ(heard[100], 0);
    mixer_.Played(kOutPerFrame * 2);
    control_.Tick();
    EXPECT_EQ(control_.CurrentFrame(), 2) << "silence keeps the pace of the frames";
}

TEST_F(BuiltinMovieSoundTest, AnMp3StreamPlaysAllItsSamplesAtTheOutputsRate) {
    // 24 frames at 12 a second of a 440 Hz sine, 45 504 samples at 22 050 Hz in its blocks.
    LoadFile("sound_stream_mp3.swf");
    std::vector<std::int16_t> heard;
    while (mixer_.AnyActive() && heard.size() < 200000) {
        const auto more = Pull(4096);
        heard.insert(heard.end(), more.begin(), more.end());
    }
    EXPECT_FALSE(mixer_.AnyActive());
    EXPECT_NEAR(static_cast<double>(heard.size()), 45504 * 2, 4096);
    // A second of sine from the middle: 440 rises through zero, and its level.
    int rises = 0;
    double power = 0;
    for (std::size_t i = 20000; i < 20000 + 44100; ++i) {
        rises += heard[i - 1] < 0 && heard[i] >= 0;
        power += static_cast<double>(heard[i]) * heard[i];
    }
    EXPECT_NEAR(rises, 440, 3);
    EXPECT_NEAR(std::sqrt(power / 44100), 16000 / std::sqrt(2.0), 1500);
}

TEST_F(BuiltinMovieSoundTest, AButtonsTransitionsPlayAndStopItsSounds) {
    LoadFile("sound_button.swf");
    control_.Render(100, 100);
    control_.PointerMove(50, 50);
    EXPECT_TRUE(mixer_.SoundPlaying(7)) << "the pointer came over the button";
    // The hum from its in point: 8-bit 0xA0 and 0x60 are +8 192 and -8 192.
    const auto hum = Pull(200);
    EXPECT_TRUE(hum[10] == 8192 || hum[10] == -8192) << hum[10];
    control_.PointerMove(51, 50);
    control_.PointerDown(51, 50);
    EXPECT_TRUE(mixer_.SoundPlaying(6)) << "pressed: the click";
    EXPECT_TRUE(mixer_.SoundPlaying(7));
    control_.PointerUp(51, 50);
    EXPECT_FALSE(mixer_.SoundPlaying(7)) << "released: the hum stops";
    EXPECT_EQ(control_.Variable(u"pressed"), u"yes");
}

}  // namespace
