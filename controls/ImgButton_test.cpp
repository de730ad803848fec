#include "ImgButton.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

using P = ButtonPicture;
using L = ImgButtonLogic;

struct Step {
    const char* what;
    std::function<bool(L&)> act;
    bool repaint;
    L::State state;
    bool inside, down, sel;
};

void Walk(const char* name, const std::vector<Step>& steps) {
    L b;
    for (const auto& s : steps) {
        EXPECT_EQ(s.act(b), s.repaint) << name << ": " << s.what;
        EXPECT_EQ(b.ButtonState(), s.state) << name << ": " << s.what;
        EXPECT_EQ(b.MouseInside(), s.inside) << name << ": " << s.what;
        EXPECT_EQ(b.Down(), s.down) << name << ": " << s.what;
        EXPECT_EQ(b.Sel(), s.sel) << name << ": " << s.what;
    }
}

const auto Press = [](L& b) { return b.LeftPress(); };
const auto Release = [](L& b) { return b.LeftRelease(); };
const auto Enter = [](L& b) { return b.MouseEnter(); };
const auto Leave = [](L& b) { return b.MouseLeave(); };
const auto Enable = [](L& b) { return b.SetEnabled(true); };
const auto Disable = [](L& b) { return b.SetEnabled(false); };
const auto DownOn = [](L& b) { return b.SetDown(true); };
const auto DownOff = [](L& b) { return b.SetDown(false); };
const auto SelOn = [](L& b) { return b.SetSel(true); };

TEST(ImgButtonLogic, Transitions) {
    Walk("hover and click", {{"enter", Enter, true, L::Normal, true, false, false},
                             {"enter again", Enter, false, L::Normal, true, false, false},
                             {"press", Press, true, L::Pressed, true, false, false},
                             {"press again", Press, false, L::Pressed, true, false, false},
                             {"release", Release, true, L::Normal, true, false, false},
                             {"leave", Leave, true, L::Normal, false, false, false},
                             {"leave again", Leave, false, L::Normal, false, false, false}});
    Walk("disabled drops down and sel",
         {{"down", DownOn, true, L::Pressed, false, true, false},
          {"disable", Disable, true, L::Disabled, false, true, false},
          {"down off dropped", DownOff, false, L::Disabled, false, true, false},
          {"sel dropped", SelOn, false, L::Disabled, false, true, false},
          {"press ignored", Press, false, L::Disabled, false, true, false},
          {"release ignored", Release, false, L::Disabled, false, true, false},
          {"enable", Enable, true, L::Normal, false, true, false}});
    Walk("disabling a hovered button keeps MouseInside",
         {{"enter", Enter, true, L::Normal, true, false, false},
          {"disable", Disable, true, L::Disabled, true, false, false},
          {"leave ignored", Leave, false, L::Disabled, true, false, false},
          {"enable", Enable, true, L::Normal, true, false, false},
          {"leave", Leave, true, L::Normal, false, false, false}});
    Walk("click handler sets sel, release clears the state only",
         {{"press", Press, true, L::Pressed, false, false, false},
          {"handler: sel", SelOn, true, L::Selected, false, false, true},
          {"release", Release, true, L::Normal, false, false, true}});
    Walk("click handler disables",
         {{"press", Press, true, L::Pressed, false, false, false},
          {"handler: disable", Disable, true, L::Disabled, false, false, false},
          {"release", Release, false, L::Disabled, false, false, false}});
}

std::vector<P> Pictures(const L& b, std::initializer_list<P> present) {
    L::Look look;
    look.pictureWidth = 10;
    look.pictureHeight = 10;
    look.clientWidth = look.clientHeight = 10;
    for (P p : present) look.hasImage[static_cast<int>(p)] = true;
    std::vector<P> out;
    for (const auto& s : b.PaintPlan(look)) out.push_back(s.picture);
    return out;
}

TEST(ImgButtonLogic, PaintDecisions) {
    const auto all = {P::Picture,     P::PictureDisable, P::PictureDown,
                      P::PictureOver, P::PictureOut,     P::PictureUp};
    const auto noDown = {P::Picture, P::PictureOver, P::PictureOut};
    using V = std::vector<P>;
    struct Case {
        const char* what;
        std::function<void(L&)> setup;
        std::vector<P> allPictures, withoutDown;
    } cases[] = {
        {"normal", [](L&) {}, V{P::PictureOut, P::Picture}, V{P::PictureOut, P::Picture}},
        {"hovered", [](L& b) { b.MouseEnter(); }, V{P::PictureOver, P::Picture},
         V{P::PictureOver, P::Picture}},
        {"pressed", [](L& b) { b.LeftPress(); }, V{P::PictureOut, P::PictureDown},
         V{P::PictureOut, P::Picture}},
        {"down and hovered",
         [](L& b) {
             b.SetDown(true);
             b.MouseEnter();
         },
         V{P::PictureOver, P::PictureDown}, V{P::PictureOver, P::Picture}},
        {"selected", [](L& b) { b.SetSel(true); }, V{P::PictureOut, P::PictureOver, P::Picture},
         V{P::PictureOut, P::PictureOver, P::Picture}},
        {"down wins over sel",
         [](L& b) {
             b.SetSel(true);
             b.SetDown(true);
         },
         V{P::PictureOut, P::PictureDown}, V{P::PictureOut, P::Picture}},
        {"re-enabled down button still shows down",
         [](L& b) {
             b.SetDown(true);
             b.SetEnabled(false);
             b.SetEnabled(true);
         },
         V{P::PictureOut, P::PictureDown}, V{P::PictureOut, P::Picture}},
        {"disabled shows its picture alone",
         [](L& b) {
             b.MouseEnter();
             b.SetEnabled(false);
         },
         V{P::PictureDisable}, V{}},
    };
    for (const auto& c : cases) {
        L b;
        c.setup(b);
        EXPECT_EQ(Pictures(b, all), c.allPictures) << c.what;
        EXPECT_EQ(Pictures(b, noDown), c.withoutDown) << c.what;
    }
}

TEST(ImgButtonLogic, EveryPictureUsesTheMainPicturesRectangle) {
    L b;
    b.MouseEnter();
    L::Look look;
    look.pictureWidth = 20;
    look.pictureHeight = 10;
    look.clientWidth = 64;
    look.clientHeight = 63;
    look.center = true;
    look.hasImage[static_cast<int>(P::Picture)] = true;
    look.hasImage[static_cast<int>(P::PictureOver)] = true;
    const auto plan = b.PaintPlan(look);
    ASSERT_EQ(plan.size(), 2u);
    for (const auto& s : plan) EXPECT_EQ(s.rect, (TRect{22, 26, 42, 36}));

    // Without a main picture and without Stretch the rectangle is empty.
    look.pictureWidth = look.pictureHeight = 0;
    look.center = false;
    for (const auto& s : b.PaintPlan(look)) EXPECT_EQ(s.rect, (TRect{0, 0, 0, 0}));
}

}  // namespace
