#include <gtest/gtest.h>

#include "AlignLayout.h"
#include "DestRect.h"

namespace {

TEST(DestRect, Rule) {
    struct Case {
        const char* what;
        int w, h, cw, ch;
        bool stretch, proportional, center;
        TRect expect;
    } cases[] = {
        {"plain", 30, 20, 100, 50, false, false, false, {0, 0, 30, 20}},
        {"centred", 30, 20, 100, 50, false, false, true, {35, 15, 65, 35}},
        {"stretched", 30, 20, 100, 50, true, false, false, {0, 0, 100, 50}},
        {"wide picture, proportional stretch",
         200,
         100,
         100,
         100,
         true,
         true,
         false,
         {0, 0, 100, 50}},
        {"wide picture hits the height", 200, 100, 100, 40, true, true, true, {10, 0, 90, 40}},
        {"tall picture", 100, 200, 100, 100, true, true, true, {25, 0, 75, 100}},
        {"tall picture hits the width", 100, 300, 50, 300, true, true, false, {0, 0, 50, 150}},
        {"small picture, proportional alone keeps its size",
         30,
         20,
         100,
         50,
         false,
         true,
         false,
         {0, 0, 30, 20}},
        {"larger than client shrinks", 300, 100, 150, 150, false, true, false, {0, 0, 150, 50}},
        {"larger than client, centred negative offset",
         300,
         100,
         100,
         20,
         false,
         false,
         true,
         {-100, -40, 200, 60}},
        {"empty picture stretched", 0, 0, 100, 50, true, true, false, {0, 0, 100, 50}},
        {"empty picture", 0, 0, 100, 50, false, false, true, {50, 25, 50, 25}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(DestRect(c.w, c.h, c.cw, c.ch, c.stretch, c.proportional, c.center), c.expect)
            << c.what;
}

TEST(AlignLayout, MainWindowDocking) {
    // The main window at its design size: toolbar, bottom edge, side panel, play area.
    AlignItem tool{TAlign::Top, {0, 0, 906, 71}}, bott{TAlign::Bottom, {0, 0, 906, 14}},
        list{TAlign::Right, {0, 0, 285, 100}}, play{TAlign::Client, {}};
    ArrangeAligned({&tool, &bott, &list, &play}, 906, 567);
    EXPECT_EQ(tool.bounds, (TRect{0, 0, 906, 71}));
    EXPECT_EQ(bott.bounds, (TRect{0, 553, 906, 567}));
    EXPECT_EQ(list.bounds, (TRect{621, 71, 906, 553}));
    EXPECT_EQ(play.bounds, (TRect{0, 71, 621, 553}));
}

TEST(AlignLayout, OrderHiddenAndUndocked) {
    // A fill created before a right-docked sibling still gets what is left after it.
    AlignItem banner{TAlign::Left, {0, 0, 745, 71}}, filler{TAlign::Client, {}},
        sys{TAlign::Right, {0, 0, 125, 71}}, hidden{TAlign::Top, {0, 0, 10, 30}},
        loose{TAlign::None, {64, 56, 537, 353}};
    hidden.visible = false;
    ArrangeAligned({&banner, &filler, &hidden, &sys, &loose}, 1000, 71);
    EXPECT_EQ(banner.bounds, (TRect{0, 0, 745, 71}));
    EXPECT_EQ(sys.bounds, (TRect{875, 0, 1000, 71}));
    EXPECT_EQ(filler.bounds, (TRect{745, 0, 875, 71}));
    EXPECT_EQ(loose.bounds, (TRect{64, 56, 537, 353}));

    // Too little room: docked children never get a negative free area.
    AlignItem a{TAlign::Left, {0, 0, 80, 10}}, b{TAlign::Right, {0, 0, 80, 10}},
        c{TAlign::Client, {}};
    ArrangeAligned({&a, &b, &c}, 100, 10);
    EXPECT_EQ(b.bounds, (TRect{20, 0, 100, 10}));
    EXPECT_EQ(c.bounds, (TRect{80, 0, 80, 10}));
}

}  // namespace
