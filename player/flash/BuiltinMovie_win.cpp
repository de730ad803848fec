#include "BuiltinMovie_win.h"

#include "BufferedPaint_win.h"

namespace {
// Movies name device fonts; one face with Chinese glyphs serves them all.
constexpr wchar_t kTextFace[] = L"宋体";
constexpr std::size_t kMaxFontSizes = 32;

double Seconds() {
    return static_cast<double>(GetTickCount64()) / 1000;
}

COLORREF ColorOf(Rgb c) {
    return RGB(c.r, c.g, c.b);
}
}  // namespace

// ---- fonts and canvas

HFONT MovieFonts::Get(int pixelHeight) {
    auto it = fonts_.find(pixelHeight);
    if (it == fonts_.end()) {
        UniqueGdi font(CreateFontW(-pixelHeight, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                                   DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                                   ANTIALIASED_QUALITY, DEFAULT_PITCH | FF_DONTCARE, kTextFace));
        if (!font) return nullptr;
        it = fonts_.emplace(pixelHeight, std::move(font)).first;
    }
    return static_cast<HFONT>(it->second.get());
}

void MovieFonts::Trim() {
    if (fonts_.size() > kMaxFontSizes) fonts_.clear();
}

GdiMovieCanvas::GdiMovieCanvas(HDC dc, MovieFonts& fonts) : dc_(dc), fonts_(fonts) {
    fonts_.Trim();
    oldMode_ = SetBkMode(dc_, TRANSPARENT);
}

GdiMovieCanvas::~GdiMovieCanvas() {
    if (oldFont_) SelectObject(dc_, oldFont_);
    if (oldMode_) SetBkMode(dc_, oldMode_);
}

void GdiMovieCanvas::FillRect(const PixelRect& rect, Rgb color) {
    if (rect.right <= rect.left || rect.bottom <= rect.top) return;
    UniqueGdi brush(CreateSolidBrush(ColorOf(color)));
    if (!brush) return;
    const RECT r{rect.left, rect.top, rect.right, rect.bottom};
    ::FillRect(dc_, &r, static_cast<HBRUSH>(brush.get()));
}

void GdiMovieCanvas::DrawPicture(const PixelImage& picture) {
    if (picture.width <= 0 || picture.height <= 0) return;
    // The picture's rows are a top-down 32-bit device-independent bitmap already.
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = picture.width;
    info.bmiHeader.biHeight = -picture.height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    // A failed copy leaves the background that was filled before.
    SetDIBitsToDevice(
        dc_, 0, 0, static_cast<DWORD>(picture.width), static_cast<DWORD>(picture.height), 0, 0, 0,
        static_cast<UINT>(picture.height), picture.pixels.data(), &info, DIB_RGB_COLORS);
}

void GdiMovieCanvas::DrawText(const PixelRect& box, const std::u16string& line, Rgb color,
                              int pixelHeight, TextAlign align) {
    if (line.empty() || box.right <= box.left || box.bottom <= box.top) return;
    if (HFONT font = fonts_.Get(pixelHeight)) {
        HGDIOBJ old = SelectObject(dc_, font);
        if (!oldFont_) oldFont_ = old;
    }
    SetTextColor(dc_, ColorOf(color));
    RECT r{box.left, box.top, box.right, box.bottom};
    const UINT alignment = align == TextAlign::Right    ? DT_RIGHT
                           : align == TextAlign::Center ? DT_CENTER
                                                        : DT_LEFT;
    ::DrawTextW(dc_, reinterpret_cast<const wchar_t*>(line.data()), static_cast<int>(line.size()),
                &r, DT_SINGLELINE | DT_NOPREFIX | DT_TOP | alignment);
}

// ---- the control on its window

BuiltinMovieControl::BuiltinMovieControl(HWND window)
    : window_(window), core_(*this, decoder_.get(), {&mixer_, &sound_, &MakeMp3Decoder, &Seconds}) {
    core_.SetEvents(this);
}

BuiltinMovieControl::~BuiltinMovieControl() {
    if (timerRunning_ && IsWindow(window_)) KillTimer(window_, kFrameTimer);
}

void BuiltinMovieControl::MovieChangedFrom(const SwfMovie* before) {
    // A new movie is made before the old one goes, so a change always shows as a new address.
    if (core_.Movie() != before) ++generation_;
}

void BuiltinMovieControl::LoadMovie(int layer, const std::u16string& url) {
    const SwfMovie* before = core_.Movie();
    core_.LoadMovie(layer, url);
    MovieChangedFrom(before);
}

void BuiltinMovieControl::SetProperty(int dispId, const FlashValue& value) {
    const SwfMovie* before = core_.Movie();
    core_.SetProperty(dispId, value);
    MovieChangedFrom(before);
}

void BuiltinMovieControl::LoadState(const std::vector<std::uint8_t>& image) {
    // Counted first: the new movie's first frame may raise a command from in here, and that one
    // belongs to the new movie.
    ++generation_;
    try {
        core_.LoadState(image);
    } catch (...) {
        --generation_;  // nothing was raised, the old movie goes on
        throw;
    }
}

void BuiltinMovieControl::Invalidate() {
    if (window_) InvalidateRect(window_, nullptr, FALSE);
}

void BuiltinMovieControl::SetFrameTimer(unsigned intervalMs) {
    if (!window_) return;
    if (intervalMs == 0) {
        if (timerRunning_) KillTimer(window_, kFrameTimer);
        timerRunning_ = false;
        return;
    }
    // Without a timer the movie shows its current frame and does not advance.
    timerRunning_ = SetTimer(window_, kFrameTimer, intervalMs, nullptr) != 0;
}

void BuiltinMovieControl::OnFSCommand(const std::u16string& command, const std::u16string& args) {
    commands_.push_back(Command{generation_, command, args});
    if (!window_ || !PostMessageW(window_, kCommandMessage, 0, 0)) commands_.pop_back();
}

void BuiltinMovieControl::DeliverCommand() {
    if (commands_.empty()) return;
    const Command c = std::move(commands_.front());
    commands_.pop_front();
    if (c.generation == generation_ && events_) events_->OnFSCommand(c.command, c.args);
}

void BuiltinMovieControl::Paint() {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window_, &ps);
    if (!dc) return;
    RECT client{};
    GetClientRect(window_, &client);
    // The frame appears whole, without flicker.
    PaintBuffered(dc, client, [&](HDC target) {
        GdiMovieCanvas canvas(target, fonts_);
        core_.Paint(canvas, client.right, client.bottom);
    });
    EndPaint(window_, &ps);
}

bool BuiltinMovieControl::HandleMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
    result = 0;
    // The pointer's messages go on to the window's own handling as well.
    const int x = static_cast<short>(LOWORD(lp)), y = static_cast<short>(HIWORD(lp));
    switch (msg) {
        case WM_MOUSEMOVE:
            core_.PointerMove(x, y);
            return false;
        case WM_LBUTTONDOWN:
            core_.PointerDown(x, y);
            return false;
        case WM_LBUTTONUP:
            core_.PointerUp(x, y);
            return false;
        case WM_SETCURSOR:
            if (LOWORD(lp) != HTCLIENT || !core_.OverButton()) return false;
            SetCursor(LoadCursorW(nullptr, MAKEINTRESOURCEW(32649)));  // IDC_HAND
            result = TRUE;
            return true;
        case WM_PAINT:
            Paint();
            return true;
        case WM_ERASEBKGND:
            result = 1;
            return true;
        case WM_SIZE:
            // The stage scales with the window.
            Invalidate();
            return false;
        case WM_TIMER:
            if (wp != kFrameTimer) return false;
            core_.Tick();
            return true;
        case kCommandMessage:
            DeliverCommand();
            return true;
        case WM_DESTROY:
            if (timerRunning_) KillTimer(window_, kFrameTimer);
            timerRunning_ = false;
            return false;
        default:
            return false;
    }
}
