#pragma once
#include "Control_win.h"
#include "ImgTrackBar.h"

// The skin's slider: a windowless control that draws a track, the filled part up to the slider
// and the slider, and follows the left button while it is held.
class TImgTrackBar : public TControl {
  public:
    explicit TImgTrackBar(TWinControl* parent);

    TPicture BackPicture, PosPicture, SliderPicture;
    bool Center = false;
    bool Stretch = false;
    bool Proportional = false;
    std::function<void()> OnChanging;
    std::function<void()> OnChange;

    ImgTrackBarLogic& Logic() { return logic_; }
    int Position() const { return logic_.Position(); }
    void SetPosition(int position) { logic_.SetPosition(position); }

    void Paint(HDC dc) override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseMove(TShiftState shift, int x, int y) override;

  private:
    ImgTrackBarLogic::Geometry Geometry() const;
    ImgTrackBarLogic logic_;
};
