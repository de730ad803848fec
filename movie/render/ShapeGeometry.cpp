#include "ShapeGeometry.h"

#include <algorithm>
#include <cmath>
#include <map>

namespace {

Point P(std::int32_t x, std::int32_t y) {
    return {static_cast<double>(x), static_cast<double>(y)};
}

double Lerp(double a, double b, double t) {
    return a + (b - a) * t;
}

std::uint8_t Lerp8(std::uint8_t a, std::uint8_t b, double t) {
    return static_cast<std::uint8_t>(std::lround(Lerp(a, b, t)));
}

Rgba LerpColor(Rgba a, Rgba b, double t) {
    return {Lerp8(a.r, b.r, t), Lerp8(a.g, b.g, t), Lerp8(a.b, b.b, t), Lerp8(a.a, b.a, t)};
}

SwfMatrix LerpMatrix(const SwfMatrix& a, const SwfMatrix& b, double t) {
    return {Lerp(a.a, b.a, t), Lerp(a.b, b.b, t),   Lerp(a.c, b.c, t),
            Lerp(a.d, b.d, t), Lerp(a.tx, b.tx, t), Lerp(a.ty, b.ty, t)};
}

SwfFillStyle LerpFill(const SwfFillStyle& a, const SwfFillStyle& b, double t) {
    SwfFillStyle f = a;
    f.color = LerpColor(a.color, b.color, t);
    f.matrix = LerpMatrix(a.matrix, b.matrix, t);
    f.focal = Lerp(a.focal, b.focal, t);
    for (std::size_t i = 0; i < f.stops.size() && i < b.stops.size(); ++i) {
        f.stops[i].ratio = Lerp8(a.stops[i].ratio, b.stops[i].ratio, t);
        f.stops[i].color = LerpColor(a.stops[i].color, b.stops[i].color, t);
    }
    return f;
}

struct FlatEdge {
    std::int32_t fromX, fromY;
    SwfSegment s;
};

std::vector<FlatEdge> Flatten(const SwfShape& shape) {
    std::vector<FlatEdge> out;
    for (const SwfPath& p : shape.paths) {
        std::int32_t x = p.startX, y = p.startY;
        for (const SwfSegment& s : p.segments) {
            out.push_back({x, y, s});
            x = s.x;
            y = s.y;
        }
    }
    return out;
}

// A straight edge as a curve whose control lies halfway.
SwfSegment AsCurve(std::int32_t fromX, std::int32_t fromY, const SwfSegment& s) {
    if (s.curve) return s;
    SwfSegment c = s;
    c.curve = true;
    c.cx = fromX + (s.x - fromX) / 2;
    c.cy = fromY + (s.y - fromY) / 2;
    return c;
}

double DistanceToSegment(Point p, Point a, Point b) {
    const double dx = b.x - a.x, dy = b.y - a.y;
    const double len2 = dx * dx + dy * dy;
    double t = len2 > 0 ? ((p.x - a.x) * dx + (p.y - a.y) * dy) / len2 : 0;
    t = std::clamp(t, 0.0, 1.0);
    const double ex = a.x + t * dx - p.x, ey = a.y + t * dy - p.y;
    return std::sqrt(ex * ex + ey * ey);
}

template <class F>
void ForEachLine(const GeometryEdge& e, F&& f) {
    if (!e.curve) {
        f(e.p0, e.p1);
        return;
    }
    constexpr int kSteps = 8;
    Point prev = e.p0;
    for (int i = 1; i <= kSteps; ++i) {
        const double t = static_cast<double>(i) / kSteps, u = 1 - t;
        const Point q{u * u * e.p0.x + 2 * u * t * e.c.x + t * t * e.p1.x,
                      u * u * e.p0.y + 2 * u * t * e.c.y + t * t * e.p1.y};
        f(prev, q);
        prev = q;
    }
}

}  // namespace

ShapeGeometry BuildGeometry(const SwfShape& shape) {
    ShapeGeometry g;
    g.bounds = shape.bounds;
    g.fills = shape.fills;
    g.lines = shape.lines;
    std::map<std::uint32_t, std::vector<GeometryEdge>> regions;
    for (const SwfPath& path : shape.paths) {
        Point at = P(path.startX, path.startY);
        StrokeRun run;
        run.style = path.line;
        for (const SwfSegment& s : path.segments) {
            GeometryEdge e;
            e.p0 = at;
            e.p1 = P(s.x, s.y);
            e.curve = s.curve;
            e.c = s.curve ? P(s.cx, s.cy) : e.p0;
            if (path.fill1 != path.fill0) {
                if (path.fill1) regions[path.fill1].push_back(e);
                if (path.fill0) regions[path.fill0].push_back({e.p1, e.c, e.p0, e.curve});
            }
            if (path.line) run.edges.push_back(e);
            at = e.p1;
        }
        if (!run.edges.empty()) {
            const Point s = run.edges.front().p0, t = run.edges.back().p1;
            run.closed = s.x == t.x && s.y == t.y;
            --run.style;
            g.strokes.push_back(std::move(run));
        }
    }
    for (auto& [style, edges] : regions) g.regions.push_back({style - 1, std::move(edges)});
    // The edges decide where the shape draws; a declared rectangle may be wrong or missing
    // (glyphs have none).
    bool any = false;
    double x0 = 0, y0 = 0, x1 = 0, y1 = 0;
    for (const SwfPath& path : shape.paths) {
        const auto grow = [&](double x, double y) {
            if (!any) {
                x0 = x1 = x;
                y0 = y1 = y;
                any = true;
            }
            x0 = std::min(x0, x);
            y0 = std::min(y0, y);
            x1 = std::max(x1, x);
            y1 = std::max(y1, y);
        };
        grow(path.startX, path.startY);
        for (const SwfSegment& s : path.segments) {
            grow(s.x, s.y);
            if (s.curve) grow(s.cx, s.cy);
        }
    }
    g.bounds = {static_cast<std::int32_t>(std::floor(x0)), static_cast<std::int32_t>(std::ceil(x1)),
                static_cast<std::int32_t>(std::floor(y0)),
                static_cast<std::int32_t>(std::ceil(y1))};
    return g;
}

SwfShape MorphAt(const SwfMorphShape& morph, std::uint16_t ratio) {
    const double t = ratio / 65535.0;
    SwfShape out;
    out.bounds = {
        static_cast<std::int32_t>(Lerp(morph.start.bounds.xMin, morph.end.bounds.xMin, t)),
        static_cast<std::int32_t>(Lerp(morph.start.bounds.xMax, morph.end.bounds.xMax, t)),
        static_cast<std::int32_t>(Lerp(morph.start.bounds.yMin, morph.end.bounds.yMin, t)),
        static_cast<std::int32_t>(Lerp(morph.start.bounds.yMax, morph.end.bounds.yMax, t))};
    for (std::size_t i = 0; i < morph.start.fills.size(); ++i)
        out.fills.push_back(i < morph.end.fills.size()
                                ? LerpFill(morph.start.fills[i], morph.end.fills[i], t)
                                : morph.start.fills[i]);
    for (std::size_t i = 0; i < morph.start.lines.size(); ++i) {
        SwfLineStyle l = morph.start.lines[i];
        if (i < morph.end.lines.size()) {
            const SwfLineStyle& e = morph.end.lines[i];
            l.width = static_cast<std::uint16_t>(std::lround(Lerp(l.width, e.width, t)));
            l.color = LerpColor(l.color, e.color, t);
            if (l.hasFill) l.fill = LerpFill(l.fill, e.fill, t);
        }
        out.lines.push_back(l);
    }
    const std::vector<FlatEdge> end = Flatten(morph.end);
    const auto mix = [t](std::int32_t a, std::int32_t b) {
        return static_cast<std::int32_t>(std::lround(Lerp(a, b, t)));
    };
    std::size_t k = 0;
    for (const SwfPath& p : morph.start.paths) {
        SwfPath q = p;
        q.segments.clear();
        std::int32_t x = p.startX, y = p.startY;
        bool first = true;
        for (const SwfSegment& s : p.segments) {
            if (k >= end.size()) break;
            const FlatEdge& e = end[k++];
            if (first) {
                q.startX = mix(x, e.fromX);
                q.startY = mix(y, e.fromY);
                first = false;
            }
            SwfSegment m;
            if (s.curve || e.s.curve) {
                const SwfSegment a = AsCurve(x, y, s), b = AsCurve(e.fromX, e.fromY, e.s);
                m.curve = true;
                m.cx = mix(a.cx, b.cx);
                m.cy = mix(a.cy, b.cy);
            }
            m.x = mix(s.x, e.s.x);
            m.y = mix(s.y, e.s.y);
            q.segments.push_back(m);
            x = s.x;
            y = s.y;
        }
        if (!q.segments.empty()) out.paths.push_back(std::move(q));
    }
    return out;
}

bool HitTest(const ShapeGeometry& g, Point p) {
    for (const FillRegion& r : g.regions) {
        int winding = 0;
        for (const GeometryEdge& e : r.edges) {
            ForEachLine(e, [&](Point a, Point b) {
                if ((a.y <= p.y) != (b.y <= p.y)) {
                    const double x = a.x + (p.y - a.y) * (b.x - a.x) / (b.y - a.y);
                    if (x > p.x) winding += a.y < b.y ? 1 : -1;
                }
            });
        }
        if (winding != 0) return true;
    }
    for (const StrokeRun& s : g.strokes) {
        if (s.style >= g.lines.size()) continue;
        const double half = std::max(g.lines[s.style].width / 2.0, 20.0);
        bool hit = false;
        for (const GeometryEdge& e : s.edges)
            ForEachLine(e,
                        [&](Point a, Point b) { hit = hit || DistanceToSegment(p, a, b) <= half; });
        if (hit) return true;
    }
    return false;
}
