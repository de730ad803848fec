#pragma once
// The platform's graphics library expects min and max, which NOMINMAX keeps out of windows.h.
#include <windows.h>
#include <objidl.h>  // lean windows.h leaves out what the library needs

#include <algorithm>
namespace Gdiplus {
using std::max;
using std::min;
}  // namespace Gdiplus
#include <gdiplus.h>
