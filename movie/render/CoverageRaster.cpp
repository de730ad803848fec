#include "CoverageRaster.h"

void CoverageRaster::Begin(int width, int height) {
    width = std::max(width, 0);
    height = std::max(height, 0);
    const std::size_t stride = static_cast<std::size_t>(width) + 2;
    const std::size_t size = stride * static_cast<std::size_t>(height);
    if (width != width_ || height != height_ || acc_.size() != size) {
        acc_.assign(size, 0.0f);
        row_.assign(static_cast<std::size_t>(width) + 2, 0.0f);
        rowMin_.assign(static_cast<std::size_t>(height), width + 1);
        rowMax_.assign(static_cast<std::size_t>(height), -1);
        width_ = width;
        height_ = height;
        stride_ = stride;
    } else if (!Empty()) {
        Sweep([](int, int, int, const float*) {});
    }
    minY_ = height_;
    maxY_ = -1;
}

void CoverageRaster::Quad(Point p0, Point c, Point p1) {
    const double ddx = p0.x - 2 * c.x + p1.x, ddy = p0.y - 2 * c.y + p1.y;
    const double dd = std::sqrt(ddx * ddx + ddy * ddy);
    if (!std::isfinite(dd)) return;
    // A chord of n pieces strays dd / (4 n^2) from the curve: a twentieth of a pixel at most.
    const int n = std::clamp(static_cast<int>(std::ceil(std::sqrt(dd * 5))), 1, 200);
    Point prev = p0;
    for (int i = 1; i <= n; ++i) {
        const double t = static_cast<double>(i) / n, u = 1 - t;
        const Point q{u * u * p0.x + 2 * u * t * c.x + t * t * p1.x,
                      u * u * p0.y + 2 * u * t * c.y + t * t * p1.y};
        Line(prev, q);
        prev = q;
    }
}

void CoverageRaster::Line(Point p0, Point p1) {
    if (!(std::isfinite(p0.x) && std::isfinite(p0.y) && std::isfinite(p1.x) && std::isfinite(p1.y)))
        return;
    if (p0.y == p1.y) return;
    // Pieces left of the raster count as on its left edge, pieces right of it on its right edge.
    const double w = width_;
    double cuts[2];
    int n = 0;
    for (const double edge : {0.0, w}) {
        if ((p0.x < edge) != (p1.x < edge) && p0.x != p1.x) {
            const double t = (edge - p0.x) / (p1.x - p0.x);
            if (t > 0 && t < 1) cuts[n++] = t;
        }
    }
    if (n == 2 && cuts[0] > cuts[1]) std::swap(cuts[0], cuts[1]);
    Point from = p0;
    for (int i = 0; i <= n; ++i) {
        const Point to =
            i < n ? Point{p0.x + (p1.x - p0.x) * cuts[i], p0.y + (p1.y - p0.y) * cuts[i]} : p1;
        Clipped(from, to);
        from = to;
    }
}

void CoverageRaster::Clipped(Point p0, Point p1) {
    const double w = width_;
    p0.x = std::clamp(p0.x, 0.0, w);
    p1.x = std::clamp(p1.x, 0.0, w);
    double dir = 1;
    if (p0.y > p1.y) {
        std::swap(p0, p1);
        dir = -1;
    }
    if (p1.y <= 0 || p0.y >= height_ || p0.y == p1.y) return;
    const double dxdy = (p1.x - p0.x) / (p1.y - p0.y);
    const double y0 = std::max(p0.y, 0.0), y1 = std::min(p1.y, static_cast<double>(height_));
    const int first = static_cast<int>(std::floor(y0));
    const int last = std::min(static_cast<int>(std::ceil(y1)) - 1, height_ - 1);
    for (int row = first; row <= last; ++row) {
        const double ya = std::max(y0, static_cast<double>(row));
        const double yb = std::min(y1, static_cast<double>(row) + 1);
        if (yb <= ya) continue;
        const double xa = std::clamp(p0.x + (ya - p0.y) * dxdy, 0.0, w);
        const double xb = std::clamp(p0.x + (yb - p0.y) * dxdy, 0.0, w);
        Row(row, xa, xb, (yb - ya) * dir);
    }
}

void CoverageRaster::Row(int y, double xa, double xb, double d) {
    if (xa > xb) std::swap(xa, xb);
    float* acc = acc_.data() + static_cast<std::size_t>(y) * stride_;
    const int i0 = std::min(static_cast<int>(xa), width_);
    const int i1 = std::min(static_cast<int>(xb), width_);
    const auto yi = static_cast<std::size_t>(y);
    rowMin_[yi] = std::min(rowMin_[yi], i0);
    rowMax_[yi] = std::max(rowMax_[yi], i1 + 1);
    minY_ = std::min(minY_, y);
    maxY_ = std::max(maxY_, y);
    if (i0 == i1) {
        const double mid = (xa + xb) / 2 - i0;
        acc[i0] += static_cast<float>(d * (1 - mid));
        acc[i0 + 1] += static_cast<float>(d * mid);
        return;
    }
    const double s = d / (xb - xa);
    // The first cell holds the part from xa to its right border.
    const double f0 = xa - i0;
    const double d0 = s * (1 - f0);
    const double m0 = (f0 + 1) / 2;
    acc[i0] += static_cast<float>(d0 * (1 - m0));
    acc[i0 + 1] += static_cast<float>(d0 * m0);
    for (int i = i0 + 1; i < i1; ++i) {
        acc[i] += static_cast<float>(s * 0.5);
        acc[i + 1] += static_cast<float>(s * 0.5);
    }
    const double f1 = xb - i1;
    const double d1 = s * f1;
    acc[i1] += static_cast<float>(d1 * (1 - f1 / 2));
    acc[i1 + 1] += static_cast<float>(d1 * f1 / 2);
}
