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
#include "Screenshot_win.h"
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

using testwin::Screenshot;

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
