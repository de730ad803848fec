#pragma once
#include <windows.h>

// The innermost visible child window under a point given in `top`'s client coordinates; the
// point becomes that window's client coordinates.
inline HWND DeepestChildAt(HWND top, POINT* p) {
    HWND at = top;
    for (;;) {
        HWND child = ChildWindowFromPointEx(at, *p, CWP_SKIPINVISIBLE | CWP_SKIPTRANSPARENT);
        if (!child || child == at) return at;
        MapWindowPoints(at, child, p, 1);
        at = child;
    }
}
