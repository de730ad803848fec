#include "Control_win.h"

#include <algorithm>

#include "BufferedPaint_win.h"
#include "CallbackGuards_win.h"
#include "DestRect.h"
#include "WindowClass_win.h"

namespace {
HINSTANCE Instance() {
    return GetModuleHandleW(nullptr);
}
}  // namespace

// ---- TControl

TControl::TControl(TWinControl* parent) : parent_(parent) {
    if (parent_) parent_->AddChild(this);
}

TControl::~TControl() {
    if (parent_) parent_->RemoveChild(this);
}

void TControl::SetAlign(TAlign align) {
    layout_.align = align;
    if (parent_) parent_->Realign();
}

void TControl::SetBounds(int left, int top, int width, int height) {
    layout_.bounds = {left, top, left + width, top + height};
    ApplyBounds();
    if (parent_ && layout_.align != TAlign::None) parent_->Realign();
}

void TControl::SetVisible(bool visible) {
    if (layout_.visible == visible) return;
    layout_.visible = visible;
    ApplyVisible();
    if (parent_) parent_->Realign();
}

void TControl::Invalidate() {
    if (!parent_ || !parent_->Handle()) return;
    const RECT r{layout_.bounds.left, layout_.bounds.top, layout_.bounds.right,
                 layout_.bounds.bottom};
    InvalidateRect(parent_->Handle(), &r, FALSE);
}

void TControl::ApplyBounds() {
    Invalidate();
}

void TControl::SetEnabled(bool enabled) {
    enabled_ = enabled;
    Invalidate();
}

void TControl::Press(TMouseButton button, TShiftState shift, int x, int y) {
    if (shift.doubleClick && OnDblClick) OnDblClick();
    MouseDown(button, shift, x, y);
}

void TControl::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    if (OnMouseDown) OnMouseDown(button, shift, x, y);
}

void TControl::MouseRelease(TMouseButton button, TShiftState shift, int x, int y, bool click) {
    if (click && OnClick) OnClick();
    if (OnMouseUp) OnMouseUp(button, shift, x, y);
}

void TControl::MouseMove(TShiftState shift, int x, int y) {
    if (OnMouseMove) OnMouseMove(shift, x, y);
}

void TControl::ApplyVisible() {
    // The container repaints the place the control leaves or takes.
    if (parent_ && parent_->Handle()) InvalidateRect(parent_->Handle(), nullptr, FALSE);
}

// ---- TWinControl

TWinControl::TWinControl(TWinControl* parent) : TControl(parent) {}

TWinControl::~TWinControl() {
    // A window that went with its parent's window is no longer ours to destroy.
    if (hwnd_ && IsWindow(hwnd_) &&
        GetWindowLongPtrW(hwnd_, GWLP_USERDATA) == reinterpret_cast<LONG_PTR>(this)) {
        DestroyWindow(hwnd_);
    }
}

void TWinControl::AddChild(TControl* child) {
    children_.push_back(child);
}

void TWinControl::RemoveChild(TControl* child) {
    children_.erase(std::remove(children_.begin(), children_.end(), child), children_.end());
    router_.Removed(child);
}

void TWinControl::Invalidate() {
    if (hwnd_) InvalidateRect(hwnd_, nullptr, FALSE);
}

void TWinControl::ApplyBounds() {
    if (!hwnd_) return;
    const TRect b = layout_.bounds;
    SetWindowPos(hwnd_, nullptr, b.left, b.top, b.Width(), b.Height(),
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

void TWinControl::ApplyVisible() {
    if (hwnd_) ShowWindow(hwnd_, layout_.visible ? SW_SHOWNA : SW_HIDE);
}

void TWinControl::Realign() {
    if (!hwnd_) return;
    RECT client{};
    GetClientRect(hwnd_, &client);
    std::vector<AlignItem*> items;
    for (TControl* c : children_) items.push_back(&c->Layout());
    ArrangeAligned(items, client.right, client.bottom);
    for (TControl* c : children_)
        if (c->Layout().align != TAlign::None) c->ApplyBounds();
    InvalidateRect(hwnd_, nullptr, FALSE);
}

bool TWinControl::RegisterOwnClass(const wchar_t* name, UINT classStyle) {
    return RegisterWindowClass(name, &TWinControl::WindowProc, classStyle,
                               LoadCursorW(nullptr, MAKEINTRESOURCEW(32512)));  // IDC_ARROW
}

bool TWinControl::CreateOwnWindow(const wchar_t* className, const wchar_t* text, DWORD style,
                                  DWORD exStyle, HWND parentWindow, const RECT& r) {
    CreateWindowExW(exStyle, className, text, style, r.left, r.top, r.right - r.left,
                    r.bottom - r.top, parentWindow, nullptr, Instance(), this);
    if (!hwnd_) return false;
    layout_.bounds = {r.left, r.top, r.right, r.bottom};
    // A later sibling lies above an earlier one.
    if (style & WS_CHILD)
        SetWindowPos(hwnd_, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    return true;
}

bool TWinControl::CreateSystemWindow(const wchar_t* className, const wchar_t* text, DWORD style) {
    if (!parent_ || !parent_->Handle()) return false;
    hwnd_ = CreateWindowExW(0, className, text, WS_CHILD | WS_VISIBLE | style, 0, 0, 0, 0,
                            parent_->Handle(), nullptr, Instance(), nullptr);
    if (!hwnd_) return false;
    SetWindowLongPtrW(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)),
                 FALSE);
    SetWindowPos(hwnd_, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    return true;
}

LRESULT CALLBACK TWinControl::WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    auto* self = reinterpret_cast<TWinControl*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (msg == WM_NCCREATE) {
        self = static_cast<TWinControl*>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams);
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        self->hwnd_ = hwnd;
    }
    if (!self) return DefWindowProcW(hwnd, msg, wp, lp);
    const LRESULT result = GuardWindowMessage([&] { return self->HandleMessage(msg, wp, lp); });
    if (msg == WM_NCDESTROY) {
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        self->hwnd_ = nullptr;
    }
    return result;
}

LRESULT TWinControl::DefaultHandling(UINT msg, WPARAM wp, LPARAM lp) {
    return DefWindowProcW(hwnd_, msg, wp, lp);
}

void TWinControl::PaintContent(HDC dc, const RECT& client) {
    UniqueGdi brush(CreateSolidBrush(Color));
    if (brush) FillRect(dc, &client, static_cast<HBRUSH>(brush.get()));
    for (TControl* c : children_)
        if (!c->Windowed() && c->Visible()) c->Paint(dc);
}

std::vector<MouseRouter::Child> TWinControl::MouseChildren() const {
    std::vector<MouseRouter::Child> children;
    for (const TControl* c : children_)
        if (!c->Windowed()) children.push_back({c, c->Bounds(), c->Visible(), c->Enabled()});
    return children;
}

namespace {
int MouseX(LPARAM lp) {
    return static_cast<short>(LOWORD(lp));
}
int MouseY(LPARAM lp) {
    return static_cast<short>(HIWORD(lp));
}
}  // namespace

bool TWinControl::RouteMouse(UINT msg, WPARAM wp, LPARAM lp) {
    const int x = MouseX(lp), y = MouseY(lp);
    MouseRouter::Result r;
    switch (msg) {
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
            r = router_.Press(MouseChildren(), TMouseButton::Left, x, y, msg == WM_LBUTTONDBLCLK);
            break;
        case WM_RBUTTONDOWN:
        case WM_RBUTTONDBLCLK:
            r = router_.Press(MouseChildren(), TMouseButton::Right, x, y, msg == WM_RBUTTONDBLCLK);
            break;
        case WM_MBUTTONDOWN:
        case WM_MBUTTONDBLCLK:
            r = router_.Press(MouseChildren(), TMouseButton::Middle, x, y, msg == WM_MBUTTONDBLCLK);
            break;
        case WM_LBUTTONUP:
            r = router_.Release(MouseChildren(), TMouseButton::Left, x, y);
            break;
        case WM_RBUTTONUP:
            r = router_.Release(MouseChildren(), TMouseButton::Right, x, y);
            break;
        case WM_MBUTTONUP:
            r = router_.Release(MouseChildren(), TMouseButton::Middle, x, y);
            break;
        case WM_MOUSEMOVE:
            r = router_.Move(MouseChildren(), x, y);
            break;
        case WM_MOUSELEAVE:
            r = router_.Left();
            break;
        default:
            return false;
    }
    Perform(r, wp);
    return r.handled;
}

// The router's ids are the children themselves; a child may be gone by the time an action of an
// earlier step ran, so each is looked up again.
void TWinControl::Perform(const MouseRouter::Result& r, WPARAM wp) {
    for (int i = 0; i < r.count; ++i) {
        const MouseRouter::Action& a = r.actions[i];
        TControl* child = nullptr;
        for (TControl* c : children_)
            if (c == a.child) child = c;
        switch (a.kind) {
            case MouseRouter::Action::Capture:
                SetCapture(hwnd_);
                break;
            case MouseRouter::Action::ReleaseCapture:
                if (GetCapture() == hwnd_) ReleaseCapture();
                break;
            case MouseRouter::Action::TrackLeave: {
                TRACKMOUSEEVENT tme{sizeof tme, TME_LEAVE, hwnd_, 0};
                router_.LeaveTracked(TrackMouseEvent(&tme) != FALSE);
                break;
            }
            case MouseRouter::Action::Press:
                if (child) child->Press(a.button, TShiftState{wp, a.doubleClick}, a.x, a.y);
                break;
            case MouseRouter::Action::Release:
                if (child) child->MouseRelease(a.button, TShiftState{wp, false}, a.x, a.y, a.click);
                break;
            case MouseRouter::Action::Move:
                if (child) child->MouseMove(TShiftState{wp, false}, a.x, a.y);
                break;
            case MouseRouter::Action::Enter:
                if (child) child->MouseEnter();
                break;
            case MouseRouter::Action::Leave:
                if (child) child->MouseLeave();
                break;
        }
    }
}

LRESULT TWinControl::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_ERASEBKGND:
            return 1;
        case WM_PAINT: {
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(hwnd_, &ps);
            if (!dc) return 0;
            RECT client{};
            GetClientRect(hwnd_, &client);
            if (DoubleBuffered)
                PaintBuffered(dc, client, [&](HDC target) { PaintContent(target, client); });
            else
                PaintContent(dc, client);
            EndPaint(hwnd_, &ps);
            return 0;
        }
        case WM_SIZE:
            Realign();
            if (OnResize) OnResize();
            return 0;
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
        case WM_RBUTTONDOWN:
        case WM_RBUTTONDBLCLK:
        case WM_MBUTTONDOWN:
        case WM_MBUTTONDBLCLK:
        case WM_LBUTTONUP:
        case WM_RBUTTONUP:
        case WM_MBUTTONUP:
            if (RouteMouse(msg, wp, lp)) return 0;
            break;
        case WM_MOUSEMOVE:
        case WM_MOUSELEAVE:
            RouteMouse(msg, wp, lp);  // the container's own handling follows
            break;
        case WM_CAPTURECHANGED:
            if (reinterpret_cast<HWND>(lp) != hwnd_) router_.CaptureLost();
            break;
        case WM_NOTIFY: {
            const auto* header = reinterpret_cast<const NMHDR*>(lp);
            for (TControl* c : children_) {
                auto* w = c->Windowed() ? static_cast<TWinControl*>(c) : nullptr;
                if (header && w && w->Handle() == header->hwndFrom) {
                    bool handled = false;
                    const LRESULT result = w->NotifyMessage(*header, handled);
                    if (handled) return result;
                    break;
                }
            }
            break;
        }
        case WM_COMMAND:
        case WM_HSCROLL:
            for (TControl* c : children_) {
                auto* w = c->Windowed() ? static_cast<TWinControl*>(c) : nullptr;
                if (w && lp != 0 && w->Handle() == reinterpret_cast<HWND>(lp)) {
                    w->Notify(wp, lp);
                    return 0;
                }
            }
            break;
        default:
            break;
    }
    return DefaultHandling(msg, wp, lp);
}

// ---- TzamPanel

TzamPanel::TzamPanel(TWinControl* parent) : TWinControl(parent) {
    RegisterOwnClass(L"TzamPanel", CS_DBLCLKS);
    if (parent && parent->Handle())
        CreateOwnWindow(L"TzamPanel", L"",
                        WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS, 0,
                        parent->Handle(), RECT{0, 0, 0, 0});
}

// ---- Tzamimage

void Tzamimage::Paint(HDC dc) {
    const TRect b = Bounds();
    const TRect d = DestRect(Picture.Width(), Picture.Height(), b.Width(), b.Height(), Stretch,
                             Proportional, Center);
    // The picture stays inside the control, as a control's own canvas would clip it.
    const int saved = SaveDC(dc);
    IntersectClipRect(dc, b.left, b.top, b.right, b.bottom);
    Picture.Draw(dc, RECT{b.left + d.left, b.top + d.top, b.left + d.right, b.top + d.bottom});
    RestoreDC(dc, saved);
}

// ---- TLabel

void TLabel::SetCaption(const std::wstring& caption) {
    caption_ = caption;
    Invalidate();
}

void TLabel::SetFont(const wchar_t* face, int pixelHeight, bool bold) {
    font_.reset(CreateFontW(-pixelHeight, 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE, FALSE,
                            DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                            DEFAULT_QUALITY, DEFAULT_PITCH, face));
    Invalidate();
}

void TLabel::Paint(HDC dc) {
    if (caption_.empty()) return;
    const TRect b = Bounds();
    RECT r{b.left, b.top, b.right, b.bottom};
    HGDIOBJ oldFont = font_ ? SelectObject(dc, font_.get()) : nullptr;
    SetTextColor(dc, FontColor);
    SetBkMode(dc, TRANSPARENT);
    UINT flags = DT_NOPREFIX | (WordWrap ? DT_WORDBREAK : DT_SINGLELINE);
    if (VerticalCentre) {
        if (WordWrap) {
            RECT calc = r;
            DrawTextW(dc, caption_.c_str(), static_cast<int>(caption_.size()), &calc,
                      flags | DT_CALCRECT);
            const int offset = (r.bottom - r.top - (calc.bottom - calc.top)) / 2;
            if (offset > 0) r.top += offset;
        } else {
            flags |= DT_VCENTER;
        }
    }
    DrawTextW(dc, caption_.c_str(), static_cast<int>(caption_.size()), &r, flags);
    if (oldFont) SelectObject(dc, oldFont);
}
