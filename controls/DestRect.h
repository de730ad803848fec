#pragma once
#include "Geometry.h"

// Where a w x h picture is drawn in a cw x ch client area.
TRect DestRect(int w, int h, int cw, int ch, bool stretch, bool proportional, bool center);
