// The mouse of windowless children: hit order, capture from press to release, clicks, hover.
#include "MouseRouting.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Three children: a background picture, a button on it and a disabled button beside it.
const char kPicture[] = "picture", kButton[] = "button", kDisabled[] = "disabled";

std::vector<MouseRouter::Child> Children(bool buttonVisible = true) {
    return {{kPicture, {0, 0, 200, 50}, true, true},
            {kButton, {10, 10, 40, 40}, buttonVisible, true},
            {kDisabled, {50, 10, 80, 40}, true, false}};
}

// The actions as short lines: "press button 5,5", "capture", ...
std::vector<std::string> Lines(const MouseRouter::Result& r) {
    static const char* const kinds[] = {"capture", "uncapture", "track", "press",
                                        "release", "move",      "enter", "leave"};
    std::vector<std::string> out;
    for (int i = 0; i < r.count; ++i) {
        const auto& a = r.actions[i];
        std::string line = kinds[a.kind];
        if (a.child) line += std::string(" ") + static_cast<const char*>(a.child);
        if (a.kind == MouseRouter::Action::Press || a.kind == MouseRouter::Action::Release ||
            a.kind == MouseRouter::Action::Move)
            line += " " + std::to_string(a.x) + "," + std::to_string(a.y);
        if (a.doubleClick) line += " double";
        if (a.click) line += " click";
        out.push_back(line);
    }
    return out;
}

using V = std::vector<std::string>;

TEST(MouseRouter, APressGoesToTheTopmostEnabledVisibleChild) {
    const struct {
        const char* what;
        int x, y;
        bool buttonVisible;
        V expect;
    } cases[] = {
        {"the button over the picture", 15, 20, true, {"capture", "press button 5,10"}},
        {"the picture beside it", 100, 20, true, {"capture", "press picture 100,20"}},
        {"a disabled button lets the press through",
         60,
         20,
         true,
         {"capture", "press picture 60,20"}},
        {"a hidden button too", 15, 20, false, {"capture", "press picture 15,20"}},
        {"outside every child", 250, 20, true, {}},
    };
    for (const auto& c : cases) {
        MouseRouter router;
        const auto r = router.Press(Children(c.buttonVisible), TMouseButton::Left, c.x, c.y, false);
        EXPECT_EQ(Lines(r), c.expect) << c.what;
        EXPECT_EQ(r.handled, !c.expect.empty()) << c.what;
    }
}

TEST(MouseRouter, TheChildThatWasPressedKeepsTheMouseUntilTheRelease) {
    MouseRouter router;
    const auto children = Children();
    router.Press(children, TMouseButton::Left, 15, 20, false);
    // Moves outside the button still reach it, in its own coordinates; hover does not change.
    EXPECT_EQ(Lines(router.Move(children, 150, 20)), V{"move button 140,10"});
    EXPECT_EQ(router.Hot(), nullptr);
    EXPECT_EQ(Lines(router.Release(children, TMouseButton::Left, 150, 20)),
              (V{"uncapture", "release button 140,10"}));
    // Released: a later release reaches nobody.
    EXPECT_FALSE(router.Release(children, TMouseButton::Left, 15, 20).handled);
}

TEST(MouseRouter, AClickIsASingleLeftPressReleasedInsideThePressedChild) {
    const struct {
        const char* what;
        TMouseButton button;
        bool doubleClick;
        int releaseX;
        bool click;
    } cases[] = {
        {"left press and release inside", TMouseButton::Left, false, 20, true},
        {"released outside", TMouseButton::Left, false, 45, false},
        {"the second press of a double click", TMouseButton::Left, true, 20, false},
        {"the right button", TMouseButton::Right, false, 20, false},
        {"the middle button", TMouseButton::Middle, false, 20, false},
    };
    for (const auto& c : cases) {
        MouseRouter router;
        const auto children = Children();
        const auto press = router.Press(children, c.button, 15, 20, c.doubleClick);
        EXPECT_EQ(press.actions[1].doubleClick, c.doubleClick) << c.what;
        EXPECT_EQ(press.actions[1].button, c.button) << c.what;
        const auto r = router.Release(children, c.button, c.releaseX, 20);
        ASSERT_EQ(r.count, 2) << c.what;
        EXPECT_EQ(r.actions[1].click, c.click) << c.what;
    }
}

TEST(MouseRouter, HoverFollowsThePointerAndLeavesWithIt) {
    MouseRouter router;
    const auto children = Children();
    EXPECT_EQ(Lines(router.Move(children, 15, 20)),
              (V{"enter button", "track", "move button 5,10"}));
    router.LeaveTracked(true);
    EXPECT_EQ(Lines(router.Move(children, 16, 20)), V{"move button 6,10"});
    // A disabled child is hot (it shows the pointer over it) but gets no moves.
    EXPECT_EQ(Lines(router.Move(children, 60, 20)), (V{"leave button", "enter disabled"}));
    EXPECT_EQ(Lines(router.Move(children, 100, 20)),
              (V{"leave disabled", "enter picture", "move picture 100,20"}));
    EXPECT_EQ(Lines(router.Left()), V{"leave picture"});
    EXPECT_EQ(router.Hot(), nullptr);
    // The leave notice was used up: the next hot child asks for it again.
    EXPECT_EQ(Lines(router.Move(children, 15, 20)),
              (V{"enter button", "track", "move button 5,10"}));
}

TEST(MouseRouter, ThePointerLeavingWhileAChildHoldsTheMouseKeepsItsHover) {
    MouseRouter router;
    const auto children = Children();
    router.Move(children, 15, 20);
    router.Press(children, TMouseButton::Left, 15, 20, false);
    EXPECT_EQ(Lines(router.Left()), V{});
    EXPECT_EQ(router.Hot(), kButton);
}

TEST(MouseRouter, ALostCaptureOrAChildThatGoesEndsThePress) {
    MouseRouter router;
    auto children = Children();
    router.Press(children, TMouseButton::Left, 15, 20, false);
    router.CaptureLost();
    EXPECT_FALSE(router.Release(children, TMouseButton::Left, 15, 20).handled);

    router.Press(children, TMouseButton::Left, 15, 20, false);
    router.Move(children, 15, 20);
    children.erase(children.begin() + 1);
    router.Removed(kButton);
    EXPECT_EQ(router.Captured(), nullptr);
    EXPECT_EQ(router.Hot(), nullptr);
    EXPECT_FALSE(router.Release(children, TMouseButton::Left, 15, 20).handled);
}

}  // namespace
