#pragma once

struct TRect {
    int left = 0, top = 0, right = 0, bottom = 0;
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    bool operator==(const TRect& o) const {
        return left == o.left && top == o.top && right == o.right && bottom == o.bottom;
    }
};
