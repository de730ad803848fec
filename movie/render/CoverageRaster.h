#pragma once
// Edges to anti-aliased coverage: each edge adds the signed area it leaves on its right to an
// accumulation buffer, and a sweep along each row turns the running sum into coverage by the
// non-zero rule. Exact area coverage, so two fills that share an edge add up to one there.
#include <algorithm>
#include <cmath>
#include <vector>

#include "Geometry.h"

class CoverageRaster {
  public:
    // A fresh raster over [0, width) x [0, height) device pixels; what lies outside is clipped.
    void Begin(int width, int height);
    void Line(Point p0, Point p1);
    // A quadratic curve, flattened finely enough for anti-aliasing.
    void Quad(Point p0, Point control, Point p1);
    bool Empty() const { return minY_ > maxY_; }
    int MinY() const { return minY_; }
    int MaxY() const { return maxY_; }

    // Calls sink(y, x0, x1, coverage) for each touched row, coverage[i] for pixel x0 + i, and
    // leaves the raster empty.
    template <class Sink>
    void Sweep(Sink&& sink) {
        for (int y = minY_; y <= maxY_; ++y) {
            const int from = rowMin_[static_cast<std::size_t>(y)];
            if (from > width_) continue;
            const int touched = std::min(rowMax_[static_cast<std::size_t>(y)] + 1, width_ + 2);
            float* acc = acc_.data() + static_cast<std::size_t>(y) * stride_;
            float sum = 0;
            int x = from;
            for (; x < width_; ++x) {
                sum += acc[x];
                acc[x] = 0;
                if (x >= touched && std::fabs(sum) < 1e-4f) break;
                const float c = std::fabs(sum);
                row_[static_cast<std::size_t>(x - from)] = c < 1 ? c : 1;
            }
            for (int i = std::max(x, width_); i < touched; ++i) acc[i] = 0;
            rowMin_[static_cast<std::size_t>(y)] = width_ + 1;
            rowMax_[static_cast<std::size_t>(y)] = -1;
            if (x > from) sink(y, from, x, row_.data());
        }
        minY_ = height_;
        maxY_ = -1;
    }

  private:
    void Row(int y, double xa, double xb, double d);
    void Clipped(Point p0, Point p1);

    int width_ = 0, height_ = 0;
    std::size_t stride_ = 0;
    std::vector<float> acc_;
    std::vector<float> row_;
    std::vector<int> rowMin_, rowMax_;
    int minY_ = 0, maxY_ = -1;
};
