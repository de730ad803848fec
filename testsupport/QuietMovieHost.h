#pragma once
// A window for the built-in control's core that shows nothing and runs no timer: tests, fuzz
// targets and benchmarks call Tick themselves.
#include "BuiltinMovie.h"

class QuietMovieHost : public BuiltinMovieHost {
  public:
    void Invalidate() override {}
    void SetFrameTimer(unsigned) override {}
};
