#include "Renderer.h"

#include <algorithm>

#include "Stroker.h"

namespace {

inline std::uint32_t Over(std::uint32_t d, const ColorF& s, float k) {
    // s is premultiplied; k is coverage times mask.
    const float sa = s.a * k;
    const float keep = 1 - sa;
    const auto ch = [&](int shift, float sc) {
        const float v = sc * k * 255.0f + static_cast<float>((d >> shift) & 0xFF) * keep;
        return static_cast<std::uint32_t>(std::min(255.0f, v + 0.5f));
    };
    return ch(24, s.a) << 24 | ch(16, s.r) << 16 | ch(8, s.g) << 8 | ch(0, s.b);
}

inline float MaskAt(const CoverageMask* mask, int x, int y) {
    if (!mask) return 1;
    if (x < 0 || y < 0 || x >= mask->width || y >= mask->height) return 0;
    return mask->alpha[static_cast<std::size_t>(y) * static_cast<std::size_t>(mask->width) +
                       static_cast<std::size_t>(x)] /
           255.0f;
}

}  // namespace

void Renderer::Begin(PixelImage& target) {
    target_ = &target;
    raster_.Begin(target.width, target.height);
    row_.resize(static_cast<std::size_t>(target.width) + 2);
}

void Renderer::Clear(std::uint32_t pixel) {
    std::fill(target_->pixels.begin(), target_->pixels.end(), pixel);
}

void Renderer::FillRect(int x0, int y0, int x1, int y1, Rgba color) {
    x0 = std::max(x0, 0);
    y0 = std::max(y0, 0);
    x1 = std::min(x1, target_->width);
    y1 = std::min(y1, target_->height);
    const ColorF c = Premultiplied(color);
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) {
            std::uint32_t& d = target_->pixels[static_cast<std::size_t>(y) * target_->width + x];
            d = Over(d, c, 1);
        }
}

Renderer::Box Renderer::DeviceBox(const ShapeGeometry& shape, const DrawContext& c) const {
    double widest = 0;
    for (const SwfLineStyle& l : shape.lines) widest = std::max<double>(widest, l.width);
    const double pad = widest / 2 * std::max(c.toDevice.LengthScale(), c.stageScale) + 2;
    const SwfRect& b = shape.bounds;
    double x0 = 1e18, y0 = 1e18, x1 = -1e18, y1 = -1e18;
    for (const Point p :
         {Point{double(b.xMin), double(b.yMin)}, Point{double(b.xMax), double(b.yMin)},
          Point{double(b.xMin), double(b.yMax)}, Point{double(b.xMax), double(b.yMax)}}) {
        const Point q = c.toDevice.Apply(p);
        x0 = std::min(x0, q.x);
        y0 = std::min(y0, q.y);
        x1 = std::max(x1, q.x);
        y1 = std::max(y1, q.y);
    }
    Box box;
    if (!(std::isfinite(x0) && std::isfinite(y0) && std::isfinite(x1) && std::isfinite(y1)))
        return box;
    box.x0 = static_cast<int>(std::clamp(std::floor(x0 - pad), 0.0, double(target_->width)));
    box.y0 = static_cast<int>(std::clamp(std::floor(y0 - pad), 0.0, double(target_->height)));
    box.x1 = static_cast<int>(std::clamp(std::ceil(x1 + pad), 0.0, double(target_->width)));
    box.y1 = static_cast<int>(std::clamp(std::ceil(y1 + pad), 0.0, double(target_->height)));
    return box;
}

void Renderer::RasterFill(const FillRegion& region, const Matrix2D& m) {
    for (const GeometryEdge& e : region.edges) {
        if (e.curve)
            raster_.Quad(m.Apply(e.p0), m.Apply(e.c), m.Apply(e.p1));
        else
            raster_.Line(m.Apply(e.p0), m.Apply(e.p1));
    }
}

void Renderer::RasterStroke(const StrokeRun& run, const SwfLineStyle& style, const DrawContext& c) {
    const Matrix2D& m = c.toDevice;
    std::vector<Point> points{m.Apply(run.edges.front().p0)};
    for (const GeometryEdge& e : run.edges) {
        const Point p0 = m.Apply(e.p0), p1 = m.Apply(e.p1);
        if (e.curve) {
            const Point q = m.Apply(e.c);
            const double ddx = p0.x - 2 * q.x + p1.x, ddy = p0.y - 2 * q.y + p1.y;
            const int n = std::clamp(
                static_cast<int>(std::ceil(std::sqrt(std::sqrt(ddx * ddx + ddy * ddy) * 5))), 1,
                100);
            for (int i = 1; i <= n; ++i) {
                const double t = static_cast<double>(i) / n, u = 1 - t;
                points.push_back({u * u * p0.x + 2 * u * t * q.x + t * t * p1.x,
                                  u * u * p0.y + 2 * u * t * q.y + t * t * p1.y});
            }
        } else {
            points.push_back(p1);
        }
    }
    StrokeStyle s;
    const double scale = style.noHScale || style.noVScale ? c.stageScale : m.LengthScale();
    // A hairline and anything thinner than a pixel draws one pixel wide.
    s.halfWidth = std::max(0.5, style.width * scale / 2);
    s.startCap = style.startCap;
    s.endCap = style.endCap;
    s.join = style.join;
    s.miterLimit = std::max(1.0, style.miterLimit);
    StrokePolyline(points, run.closed, s, raster_);
}

bool Renderer::PrepareShader(Shader& shader, const SwfFillStyle& style,
                             const DrawContext& c) const {
    if (c.color) {
        shader.PrepareSolid(*c.color, c.cxform);
        return true;
    }
    return shader.Prepare(style, c.toDevice, c.cxform, c.bitmaps);
}

void Renderer::SweepOver(const Shader& shader, const DrawContext& c) {
    const bool solid = shader.IsSolid();
    const ColorF color = shader.Solid();
    // An opaque colour over whole pixels replaces them: most of a cartoon's area.
    const bool opaque = solid && color.a >= 1 && !c.mask;
    const auto byte = [](float v) { return static_cast<std::uint32_t>(v * 255.0f + 0.5f); };
    const std::uint32_t packed =
        0xFF000000u | byte(color.r) << 16 | byte(color.g) << 8 | byte(color.b);
    raster_.Sweep([&](int y, int from, int to, const float* cov) {
        const int x0 = std::max(from, box_.x0), x1 = std::min(to, box_.x1);
        if (y < box_.y0 || y >= box_.y1 || x0 >= x1) return;
        if (!solid) shader.Row(y, x0, x1, row_.data());
        std::uint32_t* d = target_->pixels.data() + static_cast<std::size_t>(y) * target_->width;
        for (int x = x0; x < x1; ++x) {
            const float k = cov[x - from] * MaskAt(c.mask, x, y);
            if (k <= 0) continue;
            if (opaque && k >= 1) {
                d[x] = packed;
                continue;
            }
            d[x] = Over(d[x], solid ? color : row_[static_cast<std::size_t>(x - x0)], k);
        }
    });
}

void Renderer::SweepLayer(const Shader& shader, bool over) {
    const bool solid = shader.IsSolid();
    const ColorF color = shader.Solid();
    const int width = box_.x1 - box_.x0;
    raster_.Sweep([&](int y, int from, int to, const float* cov) {
        const int x0 = std::max(from, box_.x0), x1 = std::min(to, box_.x1);
        if (y < box_.y0 || y >= box_.y1 || x0 >= x1) return;
        if (!solid) shader.Row(y, x0, x1, row_.data());
        ColorF* l = layer_.data() + static_cast<std::size_t>(y - box_.y0) * width - box_.x0;
        for (int x = x0; x < x1; ++x) {
            const float k = cov[x - from];
            if (k <= 0) continue;
            const ColorF& s = solid ? color : row_[static_cast<std::size_t>(x - x0)];
            ColorF& d = l[x];
            const float keep = over ? 1 - s.a * k : 1;
            d.r = s.r * k + d.r * keep;
            d.g = s.g * k + d.g * keep;
            d.b = s.b * k + d.b * keep;
            d.a = s.a * k + d.a * keep;
        }
    });
}

void Renderer::LayerOver(const DrawContext& c) {
    const int width = box_.x1 - box_.x0;
    for (int y = box_.y0; y < box_.y1; ++y) {
        const ColorF* l = layer_.data() + static_cast<std::size_t>(y - box_.y0) * width;
        std::uint32_t* d = target_->pixels.data() + static_cast<std::size_t>(y) * target_->width;
        for (int x = box_.x0; x < box_.x1; ++x, ++l) {
            if (l->a <= 0) continue;
            ColorF s = *l;
            if (s.a > 1) {  // sums of fills may pass one by rounding
                const float f = 1 / s.a;
                s = {s.r * f, s.g * f, s.b * f, 1};
            }
            const float k = MaskAt(c.mask, x, y);
            if (k > 0) d[x] = Over(d[x], s, k);
        }
    }
}

void Renderer::DrawShape(const ShapeGeometry& shape, const DrawContext& c) {
    if (!target_ || target_->width == 0 || target_->height == 0) return;
    box_ = DeviceBox(shape, c);
    if (box_.Empty()) return;
    std::size_t parts = shape.regions.size();
    for (const StrokeRun& s : shape.strokes)
        if (s.style < shape.lines.size()) ++parts;
    Shader shader;
    if (parts == 1 && !shape.regions.empty()) {
        const FillRegion& r = shape.regions.front();
        if (r.style >= shape.fills.size() || !PrepareShader(shader, shape.fills[r.style], c))
            return;
        RasterFill(r, c.toDevice);
        SweepOver(shader, c);
        return;
    }
    if (parts == 0) return;
    layer_.assign(static_cast<std::size_t>(box_.x1 - box_.x0) * (box_.y1 - box_.y0), ColorF{});
    for (const FillRegion& r : shape.regions) {
        if (r.style >= shape.fills.size() || !PrepareShader(shader, shape.fills[r.style], c))
            continue;
        RasterFill(r, c.toDevice);
        SweepLayer(shader, false);
    }
    for (const StrokeRun& s : shape.strokes) {
        if (s.style >= shape.lines.size()) continue;
        const SwfLineStyle& style = shape.lines[s.style];
        if (style.hasFill && !c.color) {
            if (!shader.Prepare(style.fill, c.toDevice, c.cxform, c.bitmaps)) continue;
        } else {
            shader.PrepareSolid(c.color ? *c.color : style.color, c.cxform);
        }
        RasterStroke(s, style, c);
        SweepLayer(shader, true);
    }
    LayerOver(c);
}
