#pragma once
#include "Control_win.h"
#include "ImgButton.h"

// The skin's button: a windowless control that shows one of its pictures according to the
// mouse and to its Enabled, Down and sel flags.
class TImgButton : public TControl {
  public:
    explicit TImgButton(TWinControl* parent);

    TPicture Picture, PictureDisable, PictureDown, PictureOver, PictureOut, PictureUp;
    bool Center = false;
    bool Stretch = false;
    bool Proportional = false;
    bool Transparent = false;         // the pictures keep their own alpha either way
    bool IncrementalDisplay = false;  // decoding is never progressive here
    bool AutoSize = false;

    // Loads the pictures named base, base_over, base_down, base_disable from the module's
    // resources; the ones that do not exist stay empty. Sizes the control to Picture with AutoSize.
    void LoadPictures(HMODULE module, const std::wstring& base);

    const ImgButtonLogic& State() const { return logic_; }
    void SetEnabled(bool enabled) override;
    bool Down() const { return logic_.Down(); }
    void SetDown(bool down);
    bool Sel() const { return logic_.Sel(); }
    void SetSel(bool sel);

    void Paint(HDC dc) override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseRelease(TMouseButton button, TShiftState shift, int x, int y, bool click) override;
    void MouseEnter() override;
    void MouseLeave() override;

  private:
    void Repaint(bool wanted);
    const TPicture& PictureOf(ButtonPicture which) const;

    ImgButtonLogic logic_;
};
