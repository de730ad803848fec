// The volume and mute of the process's sound, and the factor they leave for the samples.
#include "Uflashvol.h"

#include <gtest/gtest.h>

namespace {

TEST(FlashVolume, VolumeIsKeptInItsRangeAndSetsTheFactor) {
    TFlashVolume v;
    EXPECT_EQ(v.Volume(), 100);
    EXPECT_EQ(TFlashVolume::ScaleFactor(), 100);
    const struct { int set, volume; } cases[] = {{50, 50}, {150, 100}, {-5, 0}, {37, 37}};
    for (const auto& c : cases) {
        v.SetVolume(c.set);
        EXPECT_EQ(v.Volume(), c.volume) << c.set;
        EXPECT_EQ(TFlashVolume::ScaleFactor(), c.volume) << c.set;
    }
}

TEST(FlashVolume, AVolumeChangeWhileMutedMakesTheSoundAudibleAgain) {
    TFlashVolume v;
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

}  // namespace
