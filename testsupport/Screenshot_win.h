#pragma once
// Reading back what a window or the whole screen shows, as 0x00RRGGBB per pixel.
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <vector>

#include "Handles_win.h"

namespace testwin {

class Screenshot {
  public:
    // A window's client area; null: the whole screen.
    explicit Screenshot(HWND window) {
        if (window) {
            UpdateWindow(window);
            RECT r{};
            GetClientRect(window, &r);
            width_ = r.right;
            height_ = r.bottom;
        } else {
            width_ = GetSystemMetrics(SM_CXSCREEN);
            height_ = GetSystemMetrics(SM_CYSCREEN);
        }
        pixels_.assign(static_cast<std::size_t>(width_) * height_, 0);
        HDC dc = GetDC(window);
        if (!dc) return;
        UniqueDc memory(CreateCompatibleDC(dc));
        const BITMAPINFO info = Info();
        void* bits = nullptr;
        UniqueGdi bitmap(CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
        if (memory && bitmap && bits) {
            HGDIOBJ old = SelectObject(memory.get(), bitmap.get());
            if (BitBlt(memory.get(), 0, 0, width_, height_, dc, 0, 0, SRCCOPY)) {
                GdiFlush();
                const auto* p = static_cast<const std::uint32_t*>(bits);
                std::copy(p, p + pixels_.size(), pixels_.begin());
            }
            SelectObject(memory.get(), old);
        }
        ReleaseDC(window, dc);
    }
    int Width() const { return width_; }
    int Height() const { return height_; }
    std::uint32_t At(int x, int y) const {
        return pixels_[static_cast<std::size_t>(y) * width_ + x] & 0xFFFFFF;
    }
    // Pixels of a rectangle (cut to the picture) within `tolerance` of a colour in every channel.
    int CountNear(RECT r, std::uint32_t rgb, int tolerance = 8) const {
        r.left = std::max<LONG>(r.left, 0);
        r.top = std::max<LONG>(r.top, 0);
        r.right = std::min<LONG>(r.right, width_);
        r.bottom = std::min<LONG>(r.bottom, height_);
        int n = 0;
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x) {
                const std::uint32_t p = At(x, y);
                bool close = true;
                for (int shift : {0, 8, 16})
                    close = close && std::abs(static_cast<int>((p >> shift) & 0xFF) -
                                              static_cast<int>((rgb >> shift) & 0xFF)) <= tolerance;
                n += close;
            }
        return n;
    }
    // The pixels of a rectangle, row by row.
    std::vector<std::uint32_t> Part(const RECT& r) const {
        std::vector<std::uint32_t> part;
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x) part.push_back(At(x, y));
        return part;
    }
    // As a 32-bit BMP file.
    bool Save(const std::filesystem::path& path) const {
        const BITMAPINFO info = Info();
        const DWORD bytes = static_cast<DWORD>(pixels_.size() * sizeof(std::uint32_t));
        BITMAPFILEHEADER file{};
        file.bfType = 0x4D42;  // "BM"
        file.bfOffBits = sizeof file + sizeof info.bmiHeader;
        file.bfSize = file.bfOffBits + bytes;
        std::ofstream out(path, std::ios::binary);
        out.write(reinterpret_cast<const char*>(&file), sizeof file);
        out.write(reinterpret_cast<const char*>(&info.bmiHeader), sizeof info.bmiHeader);
        out.write(reinterpret_cast<const char*>(pixels_.data()), bytes);
        return static_cast<bool>(out);
    }

  private:
    BITMAPINFO Info() const {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = width_;
        info.bmiHeader.biHeight = -height_;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        return info;
    }
    int width_ = 0, height_ = 0;
    std::vector<std::uint32_t> pixels_;
};

}  // namespace testwin
