#include "DestRect.h"

TRect DestRect(int w, int h, int cw, int ch, bool stretch, bool proportional, bool center) {
    if (stretch || (proportional && (w > cw || h > ch))) {
        if (proportional && w > 0 && h > 0) {
            const double r = static_cast<double>(w) / h;
            if (w > h) {
                w = cw;
                h = static_cast<int>(cw / r);
                if (h > ch) {
                    h = ch;
                    w = static_cast<int>(ch * r);
                }
            } else {
                h = ch;
                w = static_cast<int>(ch * r);
                if (w > cw) {
                    w = cw;
                    h = static_cast<int>(cw / r);
                }
            }
        } else {
            w = cw;
            h = ch;
        }
    }
    TRect rect{0, 0, w, h};
    if (center) {
        const int dx = (cw - w) / 2, dy = (ch - h) / 2;
        rect = {dx, dy, dx + w, dy + h};
    }
    return rect;
}
