#pragma once
#include <vector>

#include "Geometry.h"

enum class TAlign { None, Top, Bottom, Left, Right, Client };

// One child of a container as the docking sees it; bounds are relative to the container.
struct AlignItem {
    TAlign align = TAlign::None;
    TRect bounds;
    bool visible = true;
};

// Docks the visible children into a client area: top ones first, then bottom, left, right and
// the filling ones, each group in creation order; undocked children keep their bounds.
void ArrangeAligned(const std::vector<AlignItem*>& items, int clientWidth, int clientHeight);
