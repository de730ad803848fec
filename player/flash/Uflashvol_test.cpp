// The volume and mute of the process's sound, the factor they leave for the samples, and what
// the sound routines do with the events and the buffers.
#include "Uflashvol.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

class NoInterception : public WaveOutInterception {};

class FlashVolumeTest : public ::testing::Test {
  protected:
    void TearDown() override {
        v.SetOnAudioOutputOpen(nullptr);
        v.SetOnAudioOutputWrite(nullptr);
        v.SetOnAudioOutputClose(nullptr);
    }
    TFlashVolume v{std::make_shared<NoInterception>()};
};

TEST_F(FlashVolumeTest, VolumeIsKeptInItsRangeAndSetsTheFactor) {
    EXPECT_EQ(v.Volume(), 100);
    EXPECT_EQ(TFlashVolume::ScaleFactor(), 100);
    const struct { int set, volume; } cases[] = {{50, 50}, {150, 100}, {-5, 0}, {37, 37}};
    for (const auto& c : cases) {
        v.SetVolume(c.set);
        EXPECT_EQ(v.Volume(), c.volume) << c.set;
        EXPECT_EQ(TFlashVolume::ScaleFactor(), c.volume) << c.set;
    }
}

TEST_F(FlashVolumeTest, AVolumeChangeWhileMutedMakesTheSoundAudibleAgain) {
    v.SetMute(true);
    EXPECT_EQ(TFlashVolume::ScaleFactor(), 0);
    v.SetVolume(80);
    EXPECT_EQ(TFlashVolume::ScaleFactor(), 80);
    EXPECT_TRUE(v.Mute());
    // Muting again changes nothing; only off and on silences it.
    v.SetMute(true);
    EXPECT_EQ(TFlashVolume::ScaleFactor(), 80);
    v.SetMute(false);
    EXPECT_EQ(TFlashVolume::ScaleFactor(), 80);
    v.SetMute(true);
    EXPECT_EQ(TFlashVolume::ScaleFactor(), 0);
    // The same volume again is no change, so the silence stays.
    v.SetVolume(80);
    EXPECT_EQ(TFlashVolume::ScaleFactor(), 0);
}

TEST_F(FlashVolumeTest, TheInterceptionLastsAsLongAsTheComponent) {
    auto interception = std::make_shared<NoInterception>();
    std::weak_ptr<WaveOutInterception> held = interception;
    auto volume = std::make_unique<TFlashVolume>(std::move(interception));
    EXPECT_FALSE(held.expired());
    volume.reset();
    EXPECT_TRUE(held.expired());
}

TEST_F(FlashVolumeTest, WritesAreScaledWithTheFormatOfTheOutputOpenedLast) {
    v.SetVolume(50);
    flashvol::KeepOutputFormat(2, 16);
    // An output opened without a sample size leaves the kept format.
    flashvol::KeepOutputFormat(1, 0);
    std::vector<std::int16_t> stereo{1000, -3, 7};
    flashvol::ScaleOutputBuffer(stereo.data(), 6);
    EXPECT_EQ(stereo, (std::vector<std::int16_t>{500, -1, 7}));

    flashvol::KeepOutputFormat(1, 8);
    std::vector<std::uint8_t> bytes{0, 255};
    flashvol::ScaleOutputBuffer(bytes.data(), 2);
    EXPECT_EQ(bytes, (std::vector<std::uint8_t>{64, 191}));

    v.SetMute(true);
    flashvol::ScaleOutputBuffer(bytes.data(), 2);
    EXPECT_EQ(bytes, (std::vector<std::uint8_t>{128, 128}));
}

// The handlers are plain functions; these note their calls here.
std::vector<std::string> raised;

TEST_F(FlashVolumeTest, EventsBelongToTheProcessAndTheirErrorsAreDropped) {
    raised.clear();
    TFlashVolume other{std::make_shared<NoInterception>()};
    other.SetOnAudioOutputOpen([](const void* format) {
        raised.push_back(format ? "open" : "open without format");
        throw std::runtime_error("handler failed");
    });
    other.SetOnAudioOutputWrite([](void*, std::uint32_t size) {
        raised.push_back("write " + std::to_string(size));
        throw 7;
    });
    other.SetOnAudioOutputClose([] { raised.push_back("close"); });
    EXPECT_EQ(v.OnAudioOutputOpen(), other.OnAudioOutputOpen());

    const int format = 0;
    int header = 0;
    EXPECT_NO_THROW(flashvol::RaiseOutputOpen(&format));
    EXPECT_NO_THROW(flashvol::RaiseOutputWrite(&header, 32));
    EXPECT_NO_THROW(flashvol::RaiseOutputClose());
    EXPECT_EQ(raised, (std::vector<std::string>{"open", "write 32", "close"}));

    v.SetOnAudioOutputClose(nullptr);
    flashvol::RaiseOutputClose();
    EXPECT_EQ(raised.size(), 3u);
}

}  // namespace
