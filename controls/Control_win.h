#pragma once
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "AlignLayout.h"
#include "ErrorReport_win.h"
#include "Handles_win.h"
#include "MouseRouting.h"
#include "Picture_win.h"

class TWinControl;

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

    bool Enabled() const { return enabled_; }
    virtual void SetEnabled(bool enabled);

    // Mouse events, in client coordinates of the control. A windowless control gets them from
    // its container, which keeps the mouse captured for it from a press to the release.
    std::function<void(TMouseButton, TShiftState, int, int)> OnMouseDown;
    std::function<void(TMouseButton, TShiftState, int, int)> OnMouseUp;
    std::function<void(TShiftState, int, int)> OnMouseMove;
    std::function<void()> OnClick;
    std::function<void()> OnDblClick;

    // From the container: a press raises OnDblClick first when it is the second of a double
    // click, whatever the control does with the press itself.
    void Press(TMouseButton button, TShiftState shift, int x, int y);

    virtual void MouseDown(TMouseButton button, TShiftState shift, int x, int y);
    // The release; `click` when it ends a left press on the control inside the control.
    virtual void MouseRelease(TMouseButton button, TShiftState shift, int x, int y, bool click);
    virtual void MouseMove(TShiftState shift, int x, int y);
    virtual void MouseEnter() {}
    virtual void MouseLeave() {}

    virtual bool Windowed() const { return false; }
    virtual void Paint(HDC) {}
    virtual void Invalidate();
    // Called by the container after docking moved the control.
    virtual void ApplyBounds();

  protected:
    virtual void ApplyVisible();

    TWinControl* parent_;
    AlignItem layout_;
    bool enabled_ = true;
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
    // A WM_NOTIFY from this control's own window to its container; `handled` says whether the
    // result counts.
    virtual LRESULT NotifyMessage(const NMHDR&, bool& handled) {
        handled = false;
        return 0;
    }

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
    // The windowless children as the mouse router sees them.
    std::vector<MouseRouter::Child> MouseChildren() const;
    // Hands a mouse message to the router and carries out what it answers; true when a child
    // took the message.
    bool RouteMouse(UINT msg, WPARAM wp, LPARAM lp);
    void Perform(const MouseRouter::Result& r, WPARAM wp);

    MouseRouter router_;
};

// A window that another part of the program made and owns (a dialog, say) as the container of
// windowed controls of ours: they become its child windows. It neither docks nor paints them, and
// never destroys the window.
class TForeignWindow : public TWinControl {
  public:
    explicit TForeignWindow(HWND window) : TWinControl(nullptr) { hwnd_ = window; }
    ~TForeignWindow() override { hwnd_ = nullptr; }
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
