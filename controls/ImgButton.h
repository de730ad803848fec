#pragma once
#include <cstdint>
#include <vector>

#include "Geometry.h"

// The pictures of an image button.
enum class ButtonPicture {
    Picture,
    PictureDisable,
    PictureDown,
    PictureOver,
    PictureOut,
    PictureUp
};

// States of the image button: what the mouse and the window logic did to it, and which pictures
// it shows. Every change answers whether the button wants a repaint.
class ImgButtonLogic {
  public:
    enum State : std::uint8_t { Normal = 0, Selected = 1, Disabled = 2, Pressed = 3 };

    State ButtonState() const { return state_; }
    bool MouseInside() const { return mouseInside_; }
    bool Enabled() const { return enabled_; }
    bool Down() const { return down_; }
    bool Sel() const { return sel_; }

    bool LeftPress();  // a single press; a double click's second press does not come here
    bool LeftRelease();
    bool MouseEnter();
    bool MouseLeave();
    bool SetEnabled(bool v);
    bool SetDown(bool v);  // dropped while disabled
    bool SetSel(bool v);   // dropped while disabled

    struct Step {
        ButtonPicture picture;
        TRect rect;
    };
    struct Look {
        int pictureWidth = 0, pictureHeight = 0;  // of the main picture
        bool hasImage[6] = {};                    // by ButtonPicture
        int clientWidth = 0, clientHeight = 0;
        bool stretch = false, proportional = false, center = false;
    };
    // Which pictures to draw, in which rectangles, in which order. Every picture goes into the
    // rectangle computed from the main picture's size; an empty picture draws nothing.
    std::vector<Step> PaintPlan(const Look& look) const;

  private:
    State state_ = Normal;
    bool mouseInside_ = false;
    bool enabled_ = true;
    bool down_ = false;
    bool sel_ = false;
};
