#pragma once
// A shape's geometry, built once: the edges of each fill style gathered and turned so that the
// style's region lies on the same side of all of them (fill 1 edges as drawn, fill 0 edges
// reversed), and the strokes as runs of edges per line style. Per frame only a matrix moves it.
#include <vector>

#include "Geometry.h"
#include "SwfCharacters.h"

struct GeometryEdge {
    Point p0, c, p1;
    bool curve = false;
};

struct FillRegion {
    std::uint32_t style = 0;  // index into the fill styles
    std::vector<GeometryEdge> edges;
};

struct StrokeRun {
    std::uint32_t style = 0;          // index into the line styles
    std::vector<GeometryEdge> edges;  // joined end to start
    bool closed = false;
};

struct ShapeGeometry {
    SwfRect bounds;
    std::vector<SwfFillStyle> fills;
    std::vector<SwfLineStyle> lines;
    std::vector<FillRegion> regions;  // in style order
    std::vector<StrokeRun> strokes;   // in drawing order
};

ShapeGeometry BuildGeometry(const SwfShape& shape);
// The morph shape at `ratio` (0 the start, 65535 the end).
SwfShape MorphAt(const SwfMorphShape& morph, std::uint16_t ratio);
// Whether the point (in the shape's twips) is inside a fill or on a stroke.
bool HitTest(const ShapeGeometry& geometry, Point p);
