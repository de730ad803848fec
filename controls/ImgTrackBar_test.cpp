#include "ImgTrackBar.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

namespace {

struct Recorder {
    std::string log;
    ImgTrackBarLogic bar;
    Recorder() {
        bar.OnChanging = [this] { log += "changing(" + std::to_string(bar.Position()) + ") "; };
        bar.OnChange = [this] { log += "change(" + std::to_string(bar.Position()) + ") "; };
    }
};

TEST(ImgTrackBar, SettersFireTheirEventsOnEveryAssignment) {
    Recorder r;
    r.bar.SetMax(100);
    EXPECT_EQ(r.log, "");  // raising Max above Position assigns nothing
    r.bar.SetPosition(0);
    EXPECT_EQ(r.log, "changing(0) change(0) ");
    r.log.clear();
    r.bar.SetPosition(150);
    r.bar.SetPosition(-5);
    EXPECT_EQ(r.log, "changing(0) change(100) changing(100) change(0) ");
    r.log.clear();
    r.bar.SetPosition(60);
    r.bar.SetMax(40);
    EXPECT_EQ(r.bar.Position(), 40);
    r.bar.SetMin(30);
    EXPECT_EQ(r.bar.Position(), 40);  // not below the new Min: nothing assigned
    r.bar.SetMin(50);                 // above Position: assigned 50, which is above Max 40
    EXPECT_EQ(r.bar.Position(), 40);
    EXPECT_EQ(r.log, "changing(0) change(60) changing(60) change(40) changing(40) change(40) ");
}

TEST(ImgTrackBar, MinAboveMaxClampsToMinThenMax) {
    ImgTrackBarLogic bar;
    bar.SetMax(10);
    bar.SetMin(20);  // Position 0 < 20: becomes 20 > Max, so Max
    EXPECT_EQ(bar.Position(), 10);
    bar.SetPosition(5);
    EXPECT_EQ(bar.Position(), 20);
    bar.SetPosition(15);
    EXPECT_EQ(bar.Position(), 20);
    bar.SetPosition(25);
    EXPECT_EQ(bar.Position(), 10);
}

TEST(ImgTrackBar, BorderWidthLimits) {
    ImgTrackBarLogic bar;
    EXPECT_FALSE(bar.SetBorderWidth(-1, 97));
    EXPECT_FALSE(bar.SetBorderWidth(48, 97));
    EXPECT_TRUE(bar.SetBorderWidth(47, 97));
    EXPECT_EQ(bar.BorderWidth(), 47);
    EXPECT_TRUE(bar.SetBorderWidth(0, 97));
}

// The player's volume slider: 97 wide, slider picture 23 x 23, 0..100.
ImgTrackBarLogic Volume() {
    ImgTrackBarLogic bar;
    bar.SetMax(100);
    return bar;
}
const ImgTrackBarLogic::Geometry kVolume{97, 25, 23, 23};

TEST(ImgTrackBar, VolumeSliderGeometry) {
    auto bar = Volume();
    EXPECT_EQ(bar.Travel(kVolume), 74);
    struct Case {
        int position;
        TRect slider, strip;
    } cases[] = {
        {0, {0, 0, 23, 23}, {0, 0, 23, 23}},
        {50, {37, 0, 60, 23}, {0, 0, 60, 23}},
        {100, {74, 0, 97, 23}, {0, 0, 97, 23}},
    };
    for (const auto& c : cases) {
        bar.SetPosition(c.position);
        EXPECT_EQ(bar.SliderRect(kVolume), c.slider) << c.position;
        EXPECT_EQ(bar.PosRect(kVolume), c.strip) << c.position;
    }
}

TEST(ImgTrackBar, PointerMapping) {
    struct Case {
        int x;
        int position;
    } cases[] = {{0, 0}, {37, 50}, {74, 100}, {90, 100}, {-20, 0}, {1, 1}, {73, 98}};
    for (const auto& c : cases) {
        auto bar = Volume();
        bar.Pointer(kVolume, c.x, 5);
        EXPECT_EQ(bar.Position(), c.position) << c.x;
    }
    // Vertical: the top is Max.
    ImgTrackBarLogic v;
    v.SetMax(100);
    v.SetOrientation(TTrackBarOrientation::trVertical);
    const ImgTrackBarLogic::Geometry g{25, 97, 23, 23};
    v.Pointer(g, 5, 0);
    EXPECT_EQ(v.Position(), 100);
    v.Pointer(g, 5, 74);
    EXPECT_EQ(v.Position(), 0);
    EXPECT_EQ(v.SliderRect(g), (TRect{0, 74, 23, 97}));
    v.SetPosition(100);
    EXPECT_EQ(v.SliderRect(g), (TRect{0, 0, 23, 23}));
}

TEST(ImgTrackBar, HiddenSliderIgnoresThePointer) {
    auto bar = Volume();
    bar.SetSliderVisible(false);
    bar.Pointer(kVolume, 50, 5);
    EXPECT_EQ(bar.Position(), 0);
}

TEST(ImgTrackBar, DegenerateRangeAndTravelDoNotDivideByZero) {
    ImgTrackBarLogic same;
    same.SetMax(0);  // Min == Max
    same.Pointer(kVolume, 50, 5);
    EXPECT_EQ(same.Position(), 0);
    EXPECT_EQ(same.SliderRect(kVolume), (TRect{0, 0, 23, 23}));

    // A slider as wide as the control: no travel; any pointer beyond the start gives Max.
    auto bar = Volume();
    const ImgTrackBarLogic::Geometry full{23, 23, 23, 23};
    EXPECT_EQ(bar.Travel(full), 0);
    bar.Pointer(full, 0, 0);
    EXPECT_EQ(bar.Position(), 0);
    bar.Pointer(full, 1, 0);
    EXPECT_EQ(bar.Position(), 100);
    EXPECT_EQ(bar.SliderRect(full), (TRect{0, 0, 23, 23}));

    // Extreme ranges stay within 32 bits.
    ImgTrackBarLogic wide;
    wide.SetMin(INT_MIN);
    wide.SetMax(INT_MAX);
    wide.Pointer(kVolume, 74, 0);
    EXPECT_EQ(wide.Position(), INT_MAX);
    EXPECT_EQ(wide.SliderRect(kVolume).left, 74);
}

}  // namespace
