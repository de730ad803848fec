#pragma once
// What the Windows tests of the movie control share: one top-level window, the test movies'
// Windows paths and reading back what a window shows.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "Control_win.h"
#include "Handles_win.h"
#include "PumpMessages_win.h"
#include "SwfReader.h"
#include "SwfTestData.h"
#include "WineWindowEnvironment_win.h"

namespace flashtest {

using testwait::Pump;
using testwait::PumpFor;
using testwait::PumpUntil;
using testwin::Errors;

// The Windows form of a test movie's path.
inline std::string MoviePath(const std::string& name) {
    std::string path = TestMovie(name);
    std::replace(path.begin(), path.end(), '/', '\\');
    return path;
}

inline SwfMovie ReadTestMovie(const std::string& name) {
    const Bytes bytes = ReadBytes(MoviePath(name));
    SwfMovie movie;
    EXPECT_TRUE(ReadSwf(bytes.data(), bytes.size(), movie)) << name;
    return movie;
}

// What the window shows, as 0x00RRGGBB per pixel.
class Screenshot {
  public:
    explicit Screenshot(HWND window) {
        UpdateWindow(window);
        RECT r{};
        GetClientRect(window, &r);
        width_ = r.right;
        height_ = r.bottom;
        pixels_.assign(static_cast<std::size_t>(width_) * height_, 0);
        HDC dc = GetDC(window);
        UniqueDc memory(CreateCompatibleDC(dc));
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = width_;
        info.bmiHeader.biHeight = -height_;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        void* bits = nullptr;
        UniqueGdi bitmap(CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
        if (memory && bitmap && bits) {
            HGDIOBJ old = SelectObject(memory.get(), bitmap.get());
            BitBlt(memory.get(), 0, 0, width_, height_, dc, 0, 0, SRCCOPY);
            GdiFlush();
            const auto* p = static_cast<const std::uint32_t*>(bits);
            std::copy(p, p + pixels_.size(), pixels_.begin());
            SelectObject(memory.get(), old);
        }
        ReleaseDC(window, dc);
    }
    int Width() const { return width_; }
    int Height() const { return height_; }
    std::uint32_t At(int x, int y) const {
        return pixels_[static_cast<std::size_t>(y) * width_ + x] & 0xFFFFFF;
    }
    // Pixels of a rectangle within `tolerance` of a colour in every channel.
    int CountNear(const RECT& r, std::uint32_t rgb, int tolerance) const {
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

  private:
    int width_ = 0, height_ = 0;
    std::vector<std::uint32_t> pixels_;
};

inline std::uint32_t Rgb24(Rgb c) {
    return static_cast<std::uint32_t>(c.r) << 16 | c.g << 8 | c.b;
}

// A top-level window holding the control, sized like the movies' stage so that it shows at scale
// 1. One for all tests: Wine without a window manager takes two seconds to hide a top-level window.
class TTestForm : public TWinControl {
  public:
    TTestForm() : TWinControl(nullptr) {
        RegisterOwnClass(L"VarizMovieTestForm");
        CreateOwnWindow(L"VarizMovieTestForm", L"movie", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN,
                        WS_EX_TOOLWINDOW, nullptr, RECT{20, 20, 20 + 550, 20 + 400});
    }
};

inline TTestForm& Form() {
    // Left to the end of the process, which takes it down without that wait.
    static TTestForm* form = new TTestForm;
    return *form;
}

}  // namespace flashtest
