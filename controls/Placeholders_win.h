#pragma once
// Plain system controls that hold the places of the skinned button and slider until those exist.
#include <functional>
#include <string>

#include "Control_win.h"

// A push-like button that shows a held-down state.
class TPlainButton : public TWinControl {
  public:
    TPlainButton(TWinControl* parent, const std::wstring& text);
    bool Down() const;
    void SetDown(bool down);
    bool Enabled() const;
    void SetEnabled(bool enabled);
    std::function<void()> OnClick;
    void Notify(WPARAM wp, LPARAM lp) override;
};

// A horizontal slider from Min to Max.
class TPlainTrackBar : public TWinControl {
  public:
    TPlainTrackBar(TWinControl* parent, int min, int max);
    int Position() const;
    void SetPosition(int position);
    std::function<void(int)> OnChange;
    void Notify(WPARAM wp, LPARAM lp) override;
};
