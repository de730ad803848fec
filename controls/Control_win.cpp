#include "Control_win.h"

#include <algorithm>

#include "DestRect.h"

namespace {
HINSTANCE Instance() {
    return GetModuleHandleW(nullptr);
}

std::function<void(const std::exception&)>& Reporter() {
    static std::function<void(const std::exception&)> reporter;
    return reporter;
}
}  // namespace

void SetExceptionReporter(std::function<void(const std::exception&)> reporter) {
    Reporter() = std::move(reporter);
}

void ReportException(const std::exception& e) {
    if (Reporter()) {
        Reporter()(e);
        return;
    }
    MessageBoxA(nullptr, e.what(), nullptr, MB_OK | MB_ICONERROR);
}

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

void TControl::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    if (shift.doubleClick && OnDblClick) OnDblClick();
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
    if (captured_ == child) captured_ = nullptr;
    if (hot_ == child) hot_ = nullptr;
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
    WNDCLASSEXW wc{};
    if (GetClassInfoExW(Instance(), name, &wc)) return true;
    wc.cbSize = sizeof wc;
    wc.style = classStyle;
    wc.lpfnWndProc = &TWinControl::WindowProc;
    wc.hInstance = Instance();
    wc.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
    wc.lpszClassName = name;
    return RegisterClassExW(&wc) != 0;
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
    LRESULT result = 0;
    // Nothing may unwind through the system's call of this procedure.
    try {
        result = self->HandleMessage(msg, wp, lp);
    } catch (const std::exception& e) {
        ReportException(e);
    }
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

TControl* TWinControl::GraphicAt(int x, int y, bool allowDisabled) const {
    for (auto it = children_.rbegin(); it != children_.rend(); ++it) {
        TControl* c = *it;
        const TRect b = c->Bounds();
        if (!c->Windowed() && c->Visible() && (allowDisabled || c->Enabled()) && x >= b.left &&
            x < b.right && y >= b.top && y < b.bottom)
            return c;
    }
    return nullptr;
}

namespace {
int MouseX(LPARAM lp) {
    return static_cast<short>(LOWORD(lp));
}
int MouseY(LPARAM lp) {
    return static_cast<short>(HIWORD(lp));
}
}  // namespace

bool TWinControl::GraphicPress(TMouseButton button, WPARAM wp, LPARAM lp, bool doubleClick) {
    const int x = MouseX(lp), y = MouseY(lp);
    TControl* target = GraphicAt(x, y, false);
    if (!target) return false;
    captured_ = target;
    clicked_ = button == TMouseButton::Left && !doubleClick;
    SetCapture(hwnd_);
    const TRect b = target->Bounds();
    target->MouseDown(button, TShiftState{wp, doubleClick}, x - b.left, y - b.top);
    return true;
}

bool TWinControl::GraphicRelease(TMouseButton button, WPARAM wp, LPARAM lp) {
    TControl* target = captured_;
    if (!target) return false;
    captured_ = nullptr;
    const bool click = clicked_ && button == TMouseButton::Left;
    clicked_ = false;
    if (GetCapture() == hwnd_) ReleaseCapture();
    const TRect b = target->Bounds();
    const int x = MouseX(lp) - b.left, y = MouseY(lp) - b.top;
    const bool inside = x >= 0 && x < b.Width() && y >= 0 && y < b.Height();
    target->MouseRelease(button, TShiftState{wp, false}, x, y, click && inside);
    return true;
}

void TWinControl::SetHot(TControl* control) {
    if (hot_ == control) return;
    if (hot_) hot_->MouseLeave();
    hot_ = control;
    if (hot_) hot_->MouseEnter();
}

void TWinControl::GraphicMove(WPARAM wp, LPARAM lp) {
    const int x = MouseX(lp), y = MouseY(lp);
    if (!captured_) {
        SetHot(GraphicAt(x, y, true));
        if (hot_ && !trackingLeave_) {
            TRACKMOUSEEVENT tme{sizeof tme, TME_LEAVE, hwnd_, 0};
            trackingLeave_ = TrackMouseEvent(&tme) != FALSE;
        }
    }
    TControl* target = captured_ ? captured_ : hot_;
    if (target && target->Enabled()) {
        const TRect b = target->Bounds();
        target->MouseMove(TShiftState{wp, false}, x - b.left, y - b.top);
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
            bool painted = false;
            if (DoubleBuffered && client.right > 0 && client.bottom > 0) {
                UniqueDc mem(CreateCompatibleDC(dc));
                UniqueGdi bitmap(CreateCompatibleBitmap(dc, client.right, client.bottom));
                if (mem && bitmap) {
                    HGDIOBJ old = SelectObject(mem.get(), bitmap.get());
                    PaintContent(mem.get(), client);
                    BitBlt(dc, 0, 0, client.right, client.bottom, mem.get(), 0, 0, SRCCOPY);
                    SelectObject(mem.get(), old);
                    painted = true;
                }
            }
            if (!painted) PaintContent(dc, client);
            EndPaint(hwnd_, &ps);
            return 0;
        }
        case WM_SIZE:
            Realign();
            if (OnResize) OnResize();
            return 0;
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
            if (GraphicPress(TMouseButton::Left, wp, lp, msg == WM_LBUTTONDBLCLK)) return 0;
            break;
        case WM_RBUTTONDOWN:
        case WM_RBUTTONDBLCLK:
            if (GraphicPress(TMouseButton::Right, wp, lp, msg == WM_RBUTTONDBLCLK)) return 0;
            break;
        case WM_MBUTTONDOWN:
        case WM_MBUTTONDBLCLK:
            if (GraphicPress(TMouseButton::Middle, wp, lp, msg == WM_MBUTTONDBLCLK)) return 0;
            break;
        case WM_LBUTTONUP:
            if (GraphicRelease(TMouseButton::Left, wp, lp)) return 0;
            break;
        case WM_RBUTTONUP:
            if (GraphicRelease(TMouseButton::Right, wp, lp)) return 0;
            break;
        case WM_MBUTTONUP:
            if (GraphicRelease(TMouseButton::Middle, wp, lp)) return 0;
            break;
        case WM_MOUSEMOVE:
            GraphicMove(wp, lp);
            break;
        case WM_MOUSELEAVE:
            trackingLeave_ = false;
            if (!captured_) SetHot(nullptr);
            break;
        case WM_CAPTURECHANGED:
            if (reinterpret_cast<HWND>(lp) != hwnd_) captured_ = nullptr;
            break;
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
