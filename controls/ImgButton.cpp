#include "ImgButton.h"

#include "DestRect.h"

bool ImgButtonLogic::LeftPress() {
    if (!enabled_ || state_ == Pressed) return false;
    state_ = Pressed;
    return true;
}

bool ImgButtonLogic::LeftRelease() {
    if (!enabled_) return false;
    state_ = Normal;
    return true;
}

bool ImgButtonLogic::MouseEnter() {
    if (!enabled_ || mouseInside_) return false;
    mouseInside_ = true;
    return true;
}

bool ImgButtonLogic::MouseLeave() {
    if (!enabled_ || !mouseInside_) return false;
    mouseInside_ = false;
    return true;
}

bool ImgButtonLogic::SetEnabled(bool v) {
    enabled_ = v;
    state_ = v ? Normal : Disabled;
    return true;
}

bool ImgButtonLogic::SetDown(bool v) {
    if (!enabled_) return false;
    down_ = v;
    state_ = v ? Pressed : Normal;
    return true;
}

bool ImgButtonLogic::SetSel(bool v) {
    if (!enabled_) return false;
    sel_ = v;
    state_ = v ? Selected : Normal;
    return true;
}

std::vector<ImgButtonLogic::Step> ImgButtonLogic::PaintPlan(const Look& look) const {
    const TRect rect = DestRect(look.pictureWidth, look.pictureHeight, look.clientWidth,
                                look.clientHeight, look.stretch, look.proportional, look.center);
    std::vector<Step> plan;
    const auto draw = [&](ButtonPicture p) {
        if (look.hasImage[static_cast<int>(p)]) plan.push_back({p, rect});
    };
    const auto downFace = [&] {
        draw(look.hasImage[static_cast<int>(ButtonPicture::PictureDown)]
                 ? ButtonPicture::PictureDown
                 : ButtonPicture::Picture);
    };
    if (state_ == Disabled) {
        draw(ButtonPicture::PictureDisable);
        return plan;
    }
    draw(mouseInside_ ? ButtonPicture::PictureOver : ButtonPicture::PictureOut);
    if (down_) {
        downFace();
    } else if (sel_) {
        draw(ButtonPicture::PictureOver);
        draw(ButtonPicture::Picture);
    } else if (state_ == Pressed) {
        downFace();
    } else {
        draw(ButtonPicture::Picture);
    }
    return plan;
}
