#pragma once
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "AlignLayout.h"
#include "Handles_win.h"
#include "Picture_win.h"

class TWinControl;

enum class TMouseButton { Left, Right, Middle };

// A control placed and docked in a container. A control without a window of its own (a picture,
// a label) is painted by its container.
class TControl {
  public:
    explicit TControl(TWinControl* parent);
    virtual ~TControl();
    TControl(const TControl&) = delete;
    TControl& operator=(const TControl&) = delete;

    TWinControl* Parent() const { return parent_; }
    AlignItem& Layout() { return layout_; }
    TRect Bounds() const { return layout_.bounds; }
    bool Visible() const { return layout_.visible; }
    void SetAlign(TAlign align);
    void SetBounds(int left, int top, int width, int height);
    void SetVisible(bool visible);

    // Any mouse button pressed on the control.
    std::function<void(TMouseButton)> OnMouseDown;

    virtual bool Windowed() const { return false; }
    virtual void Paint(HDC) {}
    virtual void Invalidate();
    // Called by the container after docking moved the control.
    virtual void ApplyBounds();

  protected:
    virtual void ApplyVisible();

    TWinControl* parent_;
    AlignItem layout_;
};

// A control with a window of its own, which docks its children on every size change.
class TWinControl : public TControl {
  public:
    explicit TWinControl(TWinControl* parent);
    ~TWinControl() override;

    HWND Handle() const { return hwnd_; }
    bool Windowed() const override { return true; }
    void Invalidate() override;
    void ApplyBounds() override;
    void Realign();

    void AddChild(TControl* child);
    void RemoveChild(TControl* child);

    COLORREF Color = RGB(0xF0, 0xF0, 0xF0);
    bool DoubleBuffered = false;
    std::function<void()> OnResize;

    // A notification (WM_COMMAND, WM_HSCROLL) from this control's own window to its container.
    virtual void Notify(WPARAM, LPARAM) {}

  protected:
    // Registers the class once per process; instances bind to their object at WM_NCCREATE.
    static bool RegisterOwnClass(const wchar_t* name, UINT classStyle = 0);
    bool CreateOwnWindow(const wchar_t* className, const wchar_t* text, DWORD style, DWORD exStyle,
                         HWND parentWindow, const RECT& r);
    // Wraps a window of a system class (button, track bar).
    bool CreateSystemWindow(const wchar_t* className, const wchar_t* text, DWORD style);
    virtual LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp);
    LRESULT DefaultHandling(UINT msg, WPARAM wp, LPARAM lp);
    void ApplyVisible() override;
    void PaintContent(HDC dc, const RECT& client);

    HWND hwnd_ = nullptr;
    std::vector<TControl*> children_;

  private:
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    bool MouseDownOnGraphic(TMouseButton button, LPARAM lp);
};

// A plain container with a colour.
class TzamPanel : public TWinControl {
  public:
    explicit TzamPanel(TWinControl* parent);
};

// A picture drawn into the destination rectangle of its own Stretch, Proportional and Center.
class Tzamimage : public TControl {
  public:
    explicit Tzamimage(TWinControl* parent) : TControl(parent) {}
    TPicture Picture;
    bool Stretch = false;
    bool Proportional = false;
    bool Center = false;
    void Paint(HDC dc) override;
};

// A line or block of text drawn on its container.
class TLabel : public TControl {
  public:
    explicit TLabel(TWinControl* parent) : TControl(parent) {}
    void SetCaption(const std::wstring& caption);
    const std::wstring& Caption() const { return caption_; }
    void SetFont(const wchar_t* face, int pixelHeight, bool bold);
    COLORREF FontColor = RGB(0, 0, 0);
    bool WordWrap = false;
    bool VerticalCentre = false;
    void Paint(HDC dc) override;

  private:
    std::wstring caption_;
    UniqueGdi font_;
};
