#pragma once
// Strokes into fills: each piece of a line (segment bodies, joins, caps) becomes a polygon turned
// the same way, so their union fills by the non-zero rule.
#include <vector>

#include "CoverageRaster.h"
#include "SwfCharacters.h"

struct StrokeStyle {
    double halfWidth = 0.5;  // device pixels
    SwfLineStyle::Cap startCap = SwfLineStyle::RoundCap, endCap = SwfLineStyle::RoundCap;
    SwfLineStyle::Join join = SwfLineStyle::RoundJoin;
    double miterLimit = 3;
};

// A polyline in device pixels; a closed one joins its end to its start and has no caps.
void StrokePolyline(const std::vector<Point>& points, bool closed, const StrokeStyle& style,
                    CoverageRaster& raster);
