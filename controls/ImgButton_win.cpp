#include "ImgButton_win.h"

TImgButton::TImgButton(TWinControl* parent) : TControl(parent) {
    layout_.bounds = {0, 0, 105, 105};
}

void TImgButton::LoadPictures(HMODULE module, const std::wstring& base) {
    Picture.LoadFromResource(module, base.c_str());
    PictureOver.LoadFromResource(module, (base + L"_OVER").c_str());
    PictureDown.LoadFromResource(module, (base + L"_DOWN").c_str());
    PictureDisable.LoadFromResource(module, (base + L"_DISABLE").c_str());
    if (AutoSize && Picture.Width() > 0 && Picture.Height() > 0) {
        const TRect b = Bounds();
        SetBounds(b.left, b.top, Picture.Width(), Picture.Height());
    }
    Invalidate();
}

void TImgButton::Repaint(bool wanted) {
    if (wanted) Invalidate();
}

void TImgButton::SetEnabled(bool enabled) {
    enabled_ = enabled;
    Repaint(logic_.SetEnabled(enabled));
}

void TImgButton::SetDown(bool down) {
    Repaint(logic_.SetDown(down));
}

void TImgButton::SetSel(bool sel) {
    Repaint(logic_.SetSel(sel));
}

const TPicture& TImgButton::PictureOf(ButtonPicture which) const {
    switch (which) {
        case ButtonPicture::Picture:
            return Picture;
        case ButtonPicture::PictureDisable:
            return PictureDisable;
        case ButtonPicture::PictureDown:
            return PictureDown;
        case ButtonPicture::PictureOver:
            return PictureOver;
        case ButtonPicture::PictureOut:
            return PictureOut;
        case ButtonPicture::PictureUp:
            return PictureUp;
    }
    return Picture;
}

void TImgButton::Paint(HDC dc) {
    const TRect b = Bounds();
    ImgButtonLogic::Look look;
    look.pictureWidth = Picture.Width();
    look.pictureHeight = Picture.Height();
    look.clientWidth = b.Width();
    look.clientHeight = b.Height();
    look.stretch = Stretch;
    look.proportional = Proportional;
    look.center = Center;
    for (auto p :
         {ButtonPicture::Picture, ButtonPicture::PictureDisable, ButtonPicture::PictureDown,
          ButtonPicture::PictureOver, ButtonPicture::PictureOut, ButtonPicture::PictureUp})
        look.hasImage[static_cast<int>(p)] = !PictureOf(p).Empty();

    const int saved = SaveDC(dc);
    IntersectClipRect(dc, b.left, b.top, b.right, b.bottom);
    for (const auto& step : logic_.PaintPlan(look)) {
        const TRect& r = step.rect;
        PictureOf(step.picture)
            .Draw(dc, RECT{b.left + r.left, b.top + r.top, b.left + r.right, b.top + r.bottom});
    }
    RestoreDC(dc, saved);
}

// The events fire first; the button changes its state after them.
void TImgButton::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    TControl::MouseDown(button, shift, x, y);
    if (button == TMouseButton::Left && !shift.doubleClick) Repaint(logic_.LeftPress());
}

void TImgButton::MouseRelease(TMouseButton button, TShiftState shift, int x, int y, bool click) {
    TControl::MouseRelease(button, shift, x, y, click);
    if (button == TMouseButton::Left) Repaint(logic_.LeftRelease());
}

void TImgButton::MouseEnter() {
    Repaint(logic_.MouseEnter());
}

void TImgButton::MouseLeave() {
    Repaint(logic_.MouseLeave());
}
