#include "ImgTrackBar.h"

#include <cstdint>

namespace {

// A travel or range of 0 (or less) would divide by zero. A travel below 1 counts as 1, so any
// pointer beyond the start gives Max; a range of 0 keeps the slider at the start of its travel.
int AtLeastOne(int v) {
    return v < 1 ? 1 : v;
}

int Clamp32(std::int64_t v) {
    if (v > INT32_MAX) return INT32_MAX;
    if (v < INT32_MIN) return INT32_MIN;
    return static_cast<int>(v);
}

}  // namespace

void ImgTrackBarLogic::SetPosition(int v) {
    if (OnChanging) OnChanging();
    position_ = v < min_ ? min_ : (v > max_ ? max_ : v);
    if (OnChange) OnChange();
}

void ImgTrackBarLogic::SetMax(int v) {
    max_ = v;
    if (v < position_) SetPosition(v);
}

void ImgTrackBarLogic::SetMin(int v) {
    min_ = v;
    if (position_ < v) SetPosition(v);
}

bool ImgTrackBarLogic::SetBorderWidth(int v, int width) {
    if (v < 0 || v >= width / 2) return false;
    border_ = v;
    return true;
}

int ImgTrackBarLogic::Travel(const Geometry& g) const {
    return orientation_ == TTrackBarOrientation::trHorizontal
               ? g.width - g.sliderWidth - 2 * border_
               : g.height - g.sliderHeight - 2 * border_;
}

void ImgTrackBarLogic::Pointer(const Geometry& g, int x, int y) {
    if (!sliderVisible_) return;
    const std::int64_t range = static_cast<std::int64_t>(max_) - min_;
    const int travel = AtLeastOne(Travel(g));
    if (orientation_ == TTrackBarOrientation::trHorizontal)
        SetPosition(Clamp32(range * x / travel + min_));
    else
        SetPosition(Clamp32(max_ - range * y / travel));
}

TRect ImgTrackBarLogic::SliderRect(const Geometry& g) const {
    const std::int64_t range = static_cast<std::int64_t>(max_) - min_;
    const std::int64_t offset = static_cast<std::int64_t>(position_) - min_;
    const int travel = Travel(g);
    const int t = range == 0 ? 0 : Clamp32(offset * travel / range);
    int sx = 0, sy = 0;
    if (orientation_ == TTrackBarOrientation::trHorizontal)
        sx = t + border_;
    else
        sy = g.height - g.sliderHeight - t + border_;
    return {sx, sy, sx + g.sliderWidth, sy + g.sliderHeight};
}

TRect ImgTrackBarLogic::PosRect(const Geometry& g) const {
    const TRect s = SliderRect(g);
    return {0, 0, s.right, s.bottom};
}
