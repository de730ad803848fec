#include "MouseFilter.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

constexpr std::uint32_t kMove = 0x200, kLeftDown = 0x201, kLeftUp = 0x202, kLeftDouble = 0x203,
                        kRightDown = 0x204, kRightUp = 0x205, kRightDouble = 0x206,
                        kMiddleDown = 0x207, kMiddleUp = 0x208, kMiddleDouble = 0x209,
                        kWheel = 0x20A;

std::intptr_t Point(int x, int y) {
    return static_cast<std::intptr_t>((static_cast<std::uint32_t>(y & 0xFFFF) << 16) |
                                      static_cast<std::uint32_t>(x & 0xFFFF));
}

// The events as text, e.g. "Down(8;3,4) Up Click".
std::string Events(const MouseFilterResult& r) {
    std::string s;
    for (int i = 0; i < r.count; ++i) {
        const MouseAction& a = r.actions[i];
        if (!s.empty()) s += ' ';
        switch (a.kind) {
            case MouseAction::MouseDown:
                s += "Down";
                break;
            case MouseAction::MouseUp:
                s += "Up";
                break;
            case MouseAction::MouseMove:
                s += "Move";
                break;
            case MouseAction::Click:
                s += "Click";
                break;
            case MouseAction::ShowPopupMenu:
                s += "Popup";
                break;
        }
    }
    return s;
}

struct Step {
    std::uint32_t message;
    bool toControl;
    const char* events;
};

struct Sequence {
    const char* what;
    bool lock, menu, popup;
    std::vector<Step> steps;
};

}  // namespace

TEST(MouseFilter, WhatReachesTheControlAndWhichEventsFire) {
    const Sequence sequences[] = {
        {"every message passes with Menu on and no lock",
         false,
         true,
         false,
         {{kMove, true, "Move"},
          {kLeftDown, true, "Down"},
          {kLeftUp, true, "Up Click"},
          {kLeftDouble, true, ""},
          {kLeftUp, true, "Up"},
          {kRightDown, true, ""},
          {kRightUp, true, ""},
          {kRightDouble, true, ""},
          {kMiddleDown, true, ""},
          {kMiddleUp, true, ""},
          {kMiddleDouble, true, ""},
          {kWheel, true, ""}}},
        {"Menu off swallows the right press only",
         false,
         false,
         false,
         {{kRightDown, false, ""},
          {kRightUp, true, ""},
          {kRightDouble, true, ""},
          {kLeftDown, true, "Down"}}},
        {"a right press then a left release is a click too",
         false,
         true,
         false,
         {{kRightDown, true, ""}, {kLeftUp, true, "Up Click"}, {kLeftUp, true, "Up"}}},
        {"the lock swallows clicks but the events still fire",
         true,
         true,
         false,
         {{kLeftDown, false, "Down"},
          {kLeftUp, false, "Up Click"},
          {kLeftDouble, false, ""},
          {kRightDown, true, ""},
          {kRightUp, false, ""},
          {kMove, true, "Move"},
          {kRightDouble, true, ""},
          {kMiddleDown, true, ""},
          {kMiddleUp, true, ""},
          {kMiddleDouble, true, ""},
          {kWheel, true, ""}}},
        {"the lock with Menu off",
         true,
         false,
         false,
         {{kRightDown, false, ""}, {kRightUp, false, ""}, {kLeftUp, false, "Up Click"}}},
        {"the popup menu takes the press",
         false,
         true,
         true,
         {{kRightDown, true, ""},
          {kRightUp, true, "Popup"},
          {kLeftUp, true, "Up"},
          {kRightUp, true, ""},
          {kLeftDown, true, "Down"},
          {kRightUp, true, "Popup"},
          {kLeftUp, true, "Up"}}},
        {"without a press no popup menu", false, true, true, {{kRightUp, true, ""}}},
    };
    for (const Sequence& seq : sequences) {
        MouseFilter filter;
        filter.LockMouseClick = seq.lock;
        int menuReads = 0;
        const auto menu = [&] {
            ++menuReads;
            return seq.menu;
        };
        int rightPresses = 0;
        for (std::size_t i = 0; i < seq.steps.size(); ++i) {
            const Step& step = seq.steps[i];
            rightPresses += step.message == kRightDown;
            const MouseFilterResult r =
                filter.Filter({step.message, 0, Point(5, 6), false}, seq.popup, menu);
            EXPECT_EQ(r.toControl, step.toControl) << seq.what << ", step " << i;
            EXPECT_EQ(Events(r), step.events) << seq.what << ", step " << i;
        }
        EXPECT_EQ(menuReads, rightPresses) << seq.what << ": Menu is read for right presses only";
    }
}

TEST(MouseFilter, PressedFlagFollowsPressesReleasesAndThePopup) {
    MouseFilter filter;
    const auto menu = [] { return true; };
    EXPECT_FALSE(filter.Pressed());
    filter.Filter({kLeftDown, 0, 0, false}, false, menu);
    EXPECT_TRUE(filter.Pressed());
    filter.Filter({kLeftUp, 0, 0, false}, false, menu);
    EXPECT_FALSE(filter.Pressed());
    filter.Filter({kRightDown, 0, 0, false}, false, menu);
    EXPECT_TRUE(filter.Pressed());
    filter.Filter({kRightUp, 0, 0, false}, false, menu);
    EXPECT_TRUE(filter.Pressed()) << "a right release without a popup menu keeps it";
    filter.Filter({kRightUp, 0, 0, false}, true, menu);
    EXPECT_FALSE(filter.Pressed());
}

TEST(MouseFilter, EventsCarryTheShiftStateAndSignedCoordinates) {
    MouseFilter filter;
    const auto menu = [] { return true; };
    const struct {
        std::uint32_t message;
        std::uintptr_t keys;
        bool alt;
        int x, y;
        unsigned shift;
    } cases[] = {
        {kMove, 0x0000, false, 10, 20, 0},
        {kMove, 0x0004 | 0x0008, false, -3, -40, ssShift | ssCtrl},
        {kLeftDown, 0x0001, true, 32767, -32768, ssLeft | ssAlt},
        {kLeftUp, 0x0002 | 0x0010, false, 0, 5, ssRight | ssMiddle},
        {kMove, 0xFFFF0000u | 0x0001, false, 1, 1, ssLeft},  // only the low word counts
    };
    for (const auto& c : cases) {
        const MouseFilterResult r =
            filter.Filter({c.message, c.keys, Point(c.x, c.y), c.alt}, false, menu);
        ASSERT_GE(r.count, 1);
        EXPECT_EQ(r.actions[0].shift, c.shift) << c.message;
        EXPECT_EQ(r.actions[0].x, c.x);
        EXPECT_EQ(r.actions[0].y, c.y);
        if (c.message != kMove) {
            EXPECT_EQ(r.actions[0].button, MouseButton::Left);
        }
    }
}

TEST(MouseFilter, PopupMenuAppearsWhereTheButtonWasReleased) {
    MouseFilter filter;
    filter.Filter({kRightDown, 0, Point(1, 1), false}, true, [] { return true; });
    const MouseFilterResult r =
        filter.Filter({kRightUp, 0, Point(120, -7), false}, true, [] { return true; });
    ASSERT_EQ(r.count, 1);
    EXPECT_EQ(r.actions[0].kind, MouseAction::ShowPopupMenu);
    EXPECT_EQ(r.actions[0].x, 120);
    EXPECT_EQ(r.actions[0].y, -7);
}

TEST(MouseFilter, OtherMessagesPassUntouched) {
    MouseFilter filter;
    filter.LockMouseClick = true;
    for (const std::uint32_t m : {0x0001u, 0x0100u, 0x01FFu, 0x020Bu, 0x020Eu, 0x02A3u}) {
        const MouseFilterResult r =
            filter.Filter({m, 1, Point(1, 1), false}, true, [] { return false; });
        EXPECT_TRUE(r.toControl) << m;
        EXPECT_EQ(r.count, 0) << m;
    }
    EXPECT_FALSE(filter.Pressed());
}
