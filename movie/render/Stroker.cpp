#include "Stroker.h"

namespace {

constexpr double kPi = 3.14159265358979323846;

void Polygon(CoverageRaster& raster, const Point* p, int n) {
    double area = 0;
    for (int i = 0; i < n; ++i) {
        const Point& a = p[i];
        const Point& b = p[(i + 1) % n];
        area += a.x * b.y - b.x * a.y;
    }
    if (area == 0) return;
    for (int i = 0; i < n; ++i) {
        if (area > 0)
            raster.Line(p[i], p[(i + 1) % n]);
        else
            raster.Line(p[(i + 1) % n], p[i]);
    }
}

void Disc(CoverageRaster& raster, Point c, double r) {
    const int n = std::clamp(static_cast<int>(std::ceil(r * 2)), 8, 72);
    std::vector<Point> pts(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) {
        const double a = 2 * kPi * i / n;
        pts[static_cast<std::size_t>(i)] = {c.x + r * std::cos(a), c.y + r * std::sin(a)};
    }
    Polygon(raster, pts.data(), n);
}

Point Normal(Point a, Point b, double hw) {
    const double dx = b.x - a.x, dy = b.y - a.y;
    const double len = std::sqrt(dx * dx + dy * dy);
    return {-dy / len * hw, dx / len * hw};
}

void Join(CoverageRaster& raster, Point prev, Point at, Point next, const StrokeStyle& s) {
    const double hw = s.halfWidth;
    if (s.join == SwfLineStyle::RoundJoin) {
        Disc(raster, at, hw);
        return;
    }
    const Point n1 = Normal(prev, at, hw), n2 = Normal(at, next, hw);
    const double cross = (at.x - prev.x) * (next.y - at.y) - (at.y - prev.y) * (next.x - at.x);
    if (cross == 0) return;
    // The outer side is where the two bodies leave a gap.
    const double side = cross > 0 ? -1 : 1;
    const Point a{at.x + side * n1.x, at.y + side * n1.y};
    const Point b{at.x + side * n2.x, at.y + side * n2.y};
    if (s.join == SwfLineStyle::MiterJoin) {
        const double mx = (n1.x + n2.x) / 2, my = (n1.y + n2.y) / 2;
        const double m2 = mx * mx + my * my;
        if (m2 > 1e-12) {
            const double scale = hw * hw / m2;  // the miter tip lies where both outer edges meet
            const Point tip{at.x + side * mx * scale, at.y + side * my * scale};
            const double length = std::sqrt(mx * mx + my * my) * scale;
            if (length <= s.miterLimit * hw) {
                const Point quad[4] = {at, a, tip, b};
                Polygon(raster, quad, 4);
                return;
            }
        }
    }
    const Point tri[3] = {at, a, b};
    Polygon(raster, tri, 3);
}

void Cap(CoverageRaster& raster, Point end, Point from, SwfLineStyle::Cap cap, double hw) {
    if (cap == SwfLineStyle::RoundCap) {
        Disc(raster, end, hw);
    } else if (cap == SwfLineStyle::SquareCap) {
        const double dx = end.x - from.x, dy = end.y - from.y;
        const double len = std::sqrt(dx * dx + dy * dy);
        const Point d{dx / len * hw, dy / len * hw};
        const Point n = Normal(from, end, hw);
        const Point quad[4] = {{end.x + n.x, end.y + n.y},
                               {end.x + n.x + d.x, end.y + n.y + d.y},
                               {end.x - n.x + d.x, end.y - n.y + d.y},
                               {end.x - n.x, end.y - n.y}};
        Polygon(raster, quad, 4);
    }
}

}  // namespace

void StrokePolyline(const std::vector<Point>& input, bool closed, const StrokeStyle& s,
                    CoverageRaster& raster) {
    std::vector<Point> p;
    for (const Point& q : input)
        if (p.empty() || q.x != p.back().x || q.y != p.back().y) p.push_back(q);
    if (closed && p.size() > 1 && p.front().x == p.back().x && p.front().y == p.back().y)
        p.pop_back();
    const double hw = s.halfWidth;
    if (p.size() == 1) {
        if (s.startCap == SwfLineStyle::RoundCap) Disc(raster, p[0], hw);
        return;
    }
    if (p.size() < 2) return;
    const std::size_t n = p.size();
    const std::size_t segments = closed ? n : n - 1;
    for (std::size_t i = 0; i < segments; ++i) {
        const Point a = p[i], b = p[(i + 1) % n];
        const Point nn = Normal(a, b, hw);
        const Point quad[4] = {{a.x + nn.x, a.y + nn.y},
                               {b.x + nn.x, b.y + nn.y},
                               {b.x - nn.x, b.y - nn.y},
                               {a.x - nn.x, a.y - nn.y}};
        Polygon(raster, quad, 4);
    }
    for (std::size_t i = closed ? 0 : 1; i < (closed ? n : n - 1); ++i)
        Join(raster, p[(i + n - 1) % n], p[i], p[(i + 1) % n], s);
    if (!closed) {
        Cap(raster, p[0], p[1], s.startCap, hw);
        Cap(raster, p[n - 1], p[n - 2], s.endCap, hw);
    }
}
