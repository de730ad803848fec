#include "ImgTrackBar_win.h"

#include "DestRect.h"

TImgTrackBar::TImgTrackBar(TWinControl* parent) : TControl(parent) {
    layout_.bounds = {0, 0, 100, 25};
    logic_.OnChanging = [this] {
        if (OnChanging) OnChanging();
    };
    logic_.OnChange = [this] {
        if (OnChange) OnChange();
        Invalidate();
    };
}

ImgTrackBarLogic::Geometry TImgTrackBar::Geometry() const {
    const TRect b = Bounds();
    return {b.Width(), b.Height(), SliderPicture.Width(), SliderPicture.Height()};
}

void TImgTrackBar::Paint(HDC dc) {
    const TRect b = Bounds();
    const int saved = SaveDC(dc);
    IntersectClipRect(dc, b.left, b.top, b.right, b.bottom);
    const auto place = [&](const TRect& r) {
        return RECT{b.left + r.left, b.top + r.top, b.left + r.right, b.top + r.bottom};
    };
    BackPicture.Draw(dc, place(DestRect(BackPicture.Width(), BackPicture.Height(), b.Width(),
                                        b.Height(), Stretch, Proportional, Center)));
    if (logic_.SliderVisible()) {
        const auto g = Geometry();
        PosPicture.Draw(dc, place(logic_.PosRect(g)));
        SliderPicture.Draw(dc, place(logic_.SliderRect(g)));
    }
    RestoreDC(dc, saved);
}

void TImgTrackBar::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    if (button == TMouseButton::Left) logic_.Pointer(Geometry(), x, y);
    if (OnMouseDown) OnMouseDown(button, shift, x, y);
    Invalidate();
}

void TImgTrackBar::MouseMove(TShiftState shift, int x, int y) {
    if (shift.Left()) logic_.Pointer(Geometry(), x, y);
    if (OnMouseMove) OnMouseMove(shift, x, y);
    Invalidate();
}
