#include "Picture_win.h"

#include <shlwapi.h>

#include "Gdiplus_win.h"

#include <climits>
#include <memory>

#include "ComPtr_win.h"

GdiplusSession::GdiplusSession() {
    Gdiplus::GdiplusStartupInput input;
    if (Gdiplus::GdiplusStartup(&token_, &input, nullptr) != Gdiplus::Ok) token_ = 0;
}

GdiplusSession::~GdiplusSession() {
    if (token_ != 0) Gdiplus::GdiplusShutdown(token_);
}

bool TPicture::LoadFromResource(HMODULE module, const wchar_t* name) {
    HRSRC res = FindResourceW(module, name, MAKEINTRESOURCEW(10));  // RT_RCDATA
    HGLOBAL data = res ? LoadResource(module, res) : nullptr;
    const void* bytes = data ? LockResource(data) : nullptr;
    if (!bytes) {
        *this = TPicture();
        return false;
    }
    return LoadFromMemory(bytes, SizeofResource(module, res));
}

namespace {
// The graphics library's identifiers of the formats a decoded picture came in.
constexpr GUID kFormatJpeg = {
    0xb96b3cae, 0x0728, 0x11d3, {0x9d, 0x7b, 0x00, 0x00, 0xf8, 0x1e, 0xf3, 0x2e}};
constexpr GUID kFormatPng = {
    0xb96b3caf, 0x0728, 0x11d3, {0x9d, 0x7b, 0x00, 0x00, 0xf8, 0x1e, 0xf3, 0x2e}};
constexpr GUID kFormatGif = {
    0xb96b3cb0, 0x0728, 0x11d3, {0x9d, 0x7b, 0x00, 0x00, 0xf8, 0x1e, 0xf3, 0x2e}};

bool IsFormat(Gdiplus::Bitmap& bitmap, TPicture::Format format) {
    if (format == TPicture::Format::Any) return true;
    GUID raw{};
    if (bitmap.GetRawFormat(&raw) != Gdiplus::Ok) return false;
    switch (format) {
        case TPicture::Format::Jpeg:
            return IsEqualGUID(raw, kFormatJpeg) != FALSE;
        case TPicture::Format::Png:
            return IsEqualGUID(raw, kFormatPng) != FALSE;
        case TPicture::Format::Gif:
            return IsEqualGUID(raw, kFormatGif) != FALSE;
        default:
            return false;
    }
}
}  // namespace

bool TPicture::LoadFromMemory(const void* bytes, size_t size, Format format) {
    *this = TPicture();
    if (!bytes || size == 0 || size > UINT_MAX) return false;
    auto stream = ComPtr<IStream>::Attach(
        SHCreateMemStream(static_cast<const BYTE*>(bytes), static_cast<UINT>(size)));
    if (!stream) return false;
    std::unique_ptr<Gdiplus::Bitmap> decoded(Gdiplus::Bitmap::FromStream(stream.Get()));
    if (!decoded || decoded->GetLastStatus() != Gdiplus::Ok || !IsFormat(*decoded, format))
        return false;
    const int w = static_cast<int>(decoded->GetWidth()), h = static_cast<int>(decoded->GetHeight());
    if (w <= 0 || h <= 0) return false;

    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = w;
    info.bmiHeader.biHeight = -h;  // top-down rows, as the graphics library hands them out
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    UniqueGdi dib(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!dib || !bits) return false;

    Gdiplus::BitmapData locked{};
    locked.Width = static_cast<UINT>(w);
    locked.Height = static_cast<UINT>(h);
    locked.Stride = w * 4;
    locked.PixelFormat = PixelFormat32bppPARGB;
    locked.Scan0 = bits;
    Gdiplus::Rect all(0, 0, w, h);
    if (decoded->LockBits(&all, Gdiplus::ImageLockModeRead | Gdiplus::ImageLockModeUserInputBuf,
                          PixelFormat32bppPARGB, &locked) != Gdiplus::Ok)
        return false;
    decoded->UnlockBits(&locked);
    GdiFlush();

    bitmap_ = std::move(dib);
    width_ = w;
    height_ = h;
    return true;
}

void TPicture::Draw(HDC dc, const RECT& dest) const {
    if (!bitmap_ || dest.right <= dest.left || dest.bottom <= dest.top) return;
    UniqueDc source(CreateCompatibleDC(dc));
    if (!source) return;
    HGDIOBJ old = SelectObject(source.get(), bitmap_.get());
    BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    AlphaBlend(dc, dest.left, dest.top, dest.right - dest.left, dest.bottom - dest.top,
               source.get(), 0, 0, width_, height_, blend);
    SelectObject(source.get(), old);
}
