#include <gtest/gtest.h>

#include "SwfReader.h"
#include "SwfTestData.h"

namespace {

using namespace swfdata;

SwfMovie Read(const Bytes& tags) {
    const Bytes bytes = Movie(tags);
    SwfMovie movie;
    EXPECT_TRUE(ReadSwf(bytes.data(), bytes.size(), movie));
    return movie;
}

TEST(SwfSoundTest, DefineSoundKeepsItsFormatCountAndData) {
    const Bytes data = Pcm16({1, -1, 300});
    const SwfMovie movie =
        Read(DefineSound(7, SoundFormatByte(3, 2, true, true), 3, data) + ShowFrame());
    ASSERT_EQ(movie.sounds.count(7), 1u);
    const SwfSound& s = movie.sounds.at(7);
    EXPECT_EQ(s.format.codec, SoundCodec::RawLittle);
    EXPECT_EQ(s.format.Rate(), 22050u);
    EXPECT_TRUE(s.format.sixteenBit);
    EXPECT_TRUE(s.format.stereo);
    EXPECT_EQ(s.sampleCount, 3u);
    EXPECT_EQ(s.data, data);
    EXPECT_EQ(movie.characters.at(7), SwfCharacterKind::Sound);
}

TEST(SwfSoundTest, StartSoundCarriesEveryFieldOfItsInfo) {
    const SwfMovie movie =
        Read(DefineSound(7, SoundFormatByte(3, 3, true, false), 1, Pcm16({5})) +
             StartSound(7, SoundInfo(false, true, 3, 100, 5000, {{0, 0, 32768}, {441, 32768, 0}})) +
             ShowFrame() + StartSound(7, SoundInfo(true)) + ShowFrame());
    ASSERT_EQ(movie.frames.size(), 2u);
    ASSERT_EQ(movie.frames[0].sounds.size(), 1u);
    const SwfStartSound& start = movie.frames[0].sounds[0];
    EXPECT_EQ(start.soundId, 7);
    EXPECT_FALSE(start.info.syncStop);
    EXPECT_TRUE(start.info.noMultiple);
    EXPECT_EQ(start.info.loops, 3);
    EXPECT_TRUE(start.info.hasIn);
    EXPECT_EQ(start.info.inPoint, 100u);
    EXPECT_TRUE(start.info.hasOut);
    EXPECT_EQ(start.info.outPoint, 5000u);
    ASSERT_EQ(start.info.envelope.size(), 2u);
    EXPECT_EQ(start.info.envelope[1].pos44, 441u);
    EXPECT_EQ(start.info.envelope[1].left, 32768);
    EXPECT_EQ(start.info.envelope[1].right, 0);
    ASSERT_EQ(movie.frames[1].sounds.size(), 1u);
    EXPECT_TRUE(movie.frames[1].sounds[0].info.syncStop);
    EXPECT_EQ(movie.frames[1].sounds[0].info.loops, 1);
}

TEST(SwfSoundTest, StartSound2FindsItsSoundByTheExportedName) {
    const SwfMovie movie = Read(DefineSound(9, SoundFormatByte(3, 3, true, false), 1, Pcm16({5})) +
                                ExportAssets(9, "chime") + StartSound2("chime", SoundInfo()) +
                                StartSound2("nothing", SoundInfo()) + ShowFrame());
    ASSERT_EQ(movie.frames[0].sounds.size(), 1u) << "an unknown name starts nothing";
    EXPECT_EQ(movie.frames[0].sounds[0].soundId, 9);
}

TEST(SwfSoundTest, EachTimelineHasItsStreamAndAFrameItsBlock) {
    const std::uint8_t format = SoundFormatByte(3, 1, true, false);
    const Bytes sprite =
        Sprite(5, 2, StreamHead(format, 1100) + StreamBlock({1, 2}) + ShowFrame() + ShowFrame());
    const SwfMovie movie =
        Read(sprite + StreamHead(SoundFormatByte(2, 2, true, false), 1837) +
             StreamBlock({9, 9, 9}) + StreamBlock({8}) + ShowFrame() + ShowFrame());
    EXPECT_TRUE(movie.stream.present);
    EXPECT_EQ(movie.stream.stream.codec, SoundCodec::Mp3);
    EXPECT_EQ(movie.stream.samplesPerFrame, 1837);
    ASSERT_EQ(movie.frames.size(), 2u);
    EXPECT_TRUE(movie.frames[0].hasStreamBlock);
    EXPECT_EQ(movie.frames[0].streamBlock, (Bytes{9, 9, 9})) << "one block a frame: the first";
    EXPECT_FALSE(movie.frames[1].hasStreamBlock);

    const SwfSprite& s = movie.sprites.at(5);
    EXPECT_TRUE(s.stream.present);
    EXPECT_EQ(s.stream.stream.Rate(), 11025u);
    EXPECT_EQ(s.stream.samplesPerFrame, 1100);
    EXPECT_EQ(s.frames.at(0).streamBlock, (Bytes{1, 2}));
}

TEST(SwfSoundTest, ABlockWithoutAStreamHeadIsNoSound) {
    const SwfMovie movie = Read(StreamBlock({1, 2}) + ShowFrame());
    EXPECT_FALSE(movie.stream.present);
    EXPECT_FALSE(movie.frames.at(0).hasStreamBlock);
}

TEST(SwfSoundTest, AButtonsSoundsFollowItsTransitions) {
    const SwfMovie movie =
        Read(ButtonSound(3, {{0, {}}, {7, SoundInfo()}, {8, SoundInfo(false, false, 2)}, {0, {}}}) +
             ShowFrame());
    ASSERT_EQ(movie.buttonSounds.count(3), 1u);
    const SwfButtonSounds& b = movie.buttonSounds.at(3);
    EXPECT_EQ(b.transitions[SwfButtonSounds::OverUpToIdle].soundId, 0);
    EXPECT_EQ(b.transitions[SwfButtonSounds::IdleToOverUp].soundId, 7);
    EXPECT_EQ(b.transitions[SwfButtonSounds::OverUpToOverDown].soundId, 8);
    EXPECT_EQ(b.transitions[SwfButtonSounds::OverUpToOverDown].info.loops, 2);
    EXPECT_EQ(b.transitions[SwfButtonSounds::OverDownToOverUp].soundId, 0);
}

TEST(SwfSoundTest, SoundTagsCutShortStartNothing) {
    Bytes cutInfo = SoundInfo(false, false, 3, 100);
    cutInfo.resize(3);  // the in point is cut
    const SwfMovie movie =
        Read(StartSound(7, cutInfo) + Tag(14, {1, 0}) + ButtonSound(3, {{7, {}}}) + ShowFrame());
    EXPECT_TRUE(movie.frames.at(0).sounds.empty());
    EXPECT_TRUE(movie.sounds.empty());
    EXPECT_TRUE(movie.buttonSounds.empty());
}

}  // namespace
