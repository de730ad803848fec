#include "AlignLayout.h"

#include <algorithm>

void ArrangeAligned(const std::vector<AlignItem*>& items, int clientWidth, int clientHeight) {
    TRect free{0, 0, clientWidth, clientHeight};
    const TAlign order[] = {TAlign::Top, TAlign::Bottom, TAlign::Left, TAlign::Right,
                            TAlign::Client};
    for (TAlign pass : order) {
        for (AlignItem* item : items) {
            if (item->align != pass || !item->visible) continue;
            TRect& b = item->bounds;
            const int w = b.Width(), h = b.Height();
            switch (pass) {
                case TAlign::Top:
                    b = {free.left, free.top, free.right, free.top + h};
                    free.top = std::min(free.bottom, b.bottom);
                    break;
                case TAlign::Bottom:
                    b = {free.left, free.bottom - h, free.right, free.bottom};
                    free.bottom = std::max(free.top, b.top);
                    break;
                case TAlign::Left:
                    b = {free.left, free.top, free.left + w, free.bottom};
                    free.left = std::min(free.right, b.right);
                    break;
                case TAlign::Right:
                    b = {free.right - w, free.top, free.right, free.bottom};
                    free.right = std::max(free.left, b.left);
                    break;
                case TAlign::Client:
                    b = free;
                    break;
                case TAlign::None:
                    break;
            }
        }
    }
}
