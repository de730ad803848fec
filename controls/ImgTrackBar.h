#pragma once
#include <functional>

#include "Geometry.h"

enum class TTrackBarOrientation { trHorizontal, trVertical };

// Value, range and geometry of the image track bar.
class ImgTrackBarLogic {
  public:
    std::function<void()> OnChanging;  // before every assignment of Position
    std::function<void()> OnChange;    // after every assignment of Position

    int Min() const { return min_; }
    int Max() const { return max_; }
    int Position() const { return position_; }
    int BorderWidth() const { return border_; }
    TTrackBarOrientation Orientation() const { return orientation_; }
    bool SliderVisible() const { return sliderVisible_; }

    void SetPosition(int v);
    void SetMax(int v);
    void SetMin(int v);
    // Ignored below 0 and from half the width on; answers whether it was taken.
    bool SetBorderWidth(int v, int width);
    void SetOrientation(TTrackBarOrientation o) { orientation_ = o; }
    void SetSliderVisible(bool v) { sliderVisible_ = v; }

    struct Geometry {
        int width = 0, height = 0;              // of the control
        int sliderWidth = 0, sliderHeight = 0;  // of SliderPicture
    };
    // Pixels the slider travels along the track.
    int Travel(const Geometry& g) const;
    // A left press, or a move with the left button held, at (x, y): sets Position when the
    // slider is visible.
    void Pointer(const Geometry& g, int x, int y);
    // The slider's rectangle, and the filled strip from the origin to its far edge.
    TRect SliderRect(const Geometry& g) const;
    TRect PosRect(const Geometry& g) const;

  private:
    int min_ = 0;
    int max_ = 10;
    int position_ = 0;
    int border_ = 0;
    TTrackBarOrientation orientation_ = TTrackBarOrientation::trHorizontal;
    bool sliderVisible_ = true;
};
