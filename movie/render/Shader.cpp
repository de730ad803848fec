#include "Shader.h"

#include <algorithm>
#include <cmath>

namespace {

double ToLinear(double c) {
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

double ToGamma(double c) {
    return c <= 0.0031308 ? c * 12.92 : 1.055 * std::pow(c, 1 / 2.4) - 0.055;
}

// Gradient position t (0 start, 1 end) after the spread mode.
double Spread(double t, std::uint8_t mode) {
    if (!std::isfinite(t)) return 0;
    if (mode == 1) {  // reflect
        t = std::fmod(std::fabs(t), 2.0);
        return t > 1 ? 2 - t : t;
    }
    if (mode == 2) return t - std::floor(t);  // repeat
    return std::clamp(t, 0.0, 1.0);
}

ColorF Unpack(std::uint32_t p) {
    return {(p >> 16 & 0xFF) / 255.0f, (p >> 8 & 0xFF) / 255.0f, (p & 0xFF) / 255.0f,
            (p >> 24) / 255.0f};
}

}  // namespace

void Shader::PrepareSolid(Rgba color, const SwfCxform& cxform) {
    kind_ = SwfFillStyle::Solid;
    solid_ = Premultiplied(Apply(cxform, color));
}

bool Shader::Prepare(const SwfFillStyle& style, const Matrix2D& toDevice, const SwfCxform& cxform,
                     const BitmapTable* bitmaps) {
    kind_ = style.kind;
    cxform_ = cxform;
    if (kind_ == SwfFillStyle::Solid) {
        PrepareSolid(style.color, cxform);
        return true;
    }
    const Matrix2D full = toDevice * Matrix2D::From(style.matrix);
    if (std::fabs(full.Determinant()) < 1e-12) return false;
    inverse_ = full.Inverse();
    if (kind_ == SwfFillStyle::Bitmap) {
        if (!bitmaps) return false;
        const auto it = bitmaps->find(style.bitmapId);
        if (it == bitmaps->end() || it->second.width <= 0 || it->second.height <= 0) return false;
        bitmap_ = &it->second;
        clipped_ = style.clipped;
        smoothed_ = style.smoothed;
        transformTexels_ = !cxform.IsIdentity();
        return true;
    }
    spread_ = style.spread;
    focal_ = std::clamp(style.focal, -0.98, 0.98);
    if (style.stops.empty()) return false;
    const bool linearRgb = style.interpolation == 1;
    for (int i = 0; i < 256; ++i) {
        const auto& stops = style.stops;
        std::size_t k = 0;
        while (k < stops.size() && stops[k].ratio < i) ++k;
        Rgba c;
        if (k == 0 || k == stops.size()) {
            c = k == 0 ? stops.front().color : stops.back().color;
            c = Apply(cxform, c);
            lut_[static_cast<std::size_t>(i)] = Premultiplied(c);
            continue;
        }
        const SwfGradientStop& a = stops[k - 1];
        const SwfGradientStop& b = stops[k];
        const double t = b.ratio == a.ratio ? 1.0 : (i - a.ratio) / double(b.ratio - a.ratio);
        const Rgba ca = Apply(cxform, a.color), cb = Apply(cxform, b.color);
        const auto mix = [&](std::uint8_t x, std::uint8_t y) {
            double v;
            if (linearRgb) {
                v = ToGamma(ToLinear(x / 255.0) + (ToLinear(y / 255.0) - ToLinear(x / 255.0)) * t);
            } else {
                v = (x + (y - x) * t) / 255.0;
            }
            return static_cast<std::uint8_t>(std::clamp(std::lround(v * 255), 0L, 255L));
        };
        c = {mix(ca.r, cb.r), mix(ca.g, cb.g), mix(ca.b, cb.b),
             static_cast<std::uint8_t>(std::lround(ca.a + (cb.a - ca.a) * t))};
        lut_[static_cast<std::size_t>(i)] = Premultiplied(c);
    }
    return true;
}

ColorF Shader::Gradient(double gx, double gy) const {
    constexpr double kHalf = 16384;
    double t;
    if (kind_ == SwfFillStyle::Linear) {
        t = (gx + kHalf) / (2 * kHalf);
    } else if (kind_ == SwfFillStyle::Radial || focal_ == 0) {
        t = std::sqrt(gx * gx + gy * gy) / kHalf;
    } else {
        // From the focal point through the pixel to the circle: t is how far along that ray.
        const double px = gx / kHalf, py = gy / kHalf;
        const double dx = px - focal_, dy = py;
        const double len = std::sqrt(dx * dx + dy * dy);
        if (len < 1e-9) {
            t = 0;
        } else {
            const double ux = dx / len;
            const double b = focal_ * ux;
            const double s = -b + std::sqrt(b * b - (focal_ * focal_ - 1));
            t = s > 0 ? len / s : 1;
        }
    }
    const double spread = Spread(t, spread_);
    return lut_[static_cast<std::size_t>(std::clamp(static_cast<int>(spread * 255 + 0.5), 0, 255))];
}

ColorF Shader::Texel(int u, int v) const {
    const int w = bitmap_->width, h = bitmap_->height;
    if (clipped_) {
        u = std::clamp(u, 0, w - 1);
        v = std::clamp(v, 0, h - 1);
    } else {
        u %= w;
        v %= h;
        if (u < 0) u += w;
        if (v < 0) v += h;
    }
    ColorF c = Unpack(bitmap_->pixels[static_cast<std::size_t>(v) * static_cast<std::size_t>(w) +
                                      static_cast<std::size_t>(u)]);
    if (transformTexels_ && c.a > 0) {
        const Rgba straight{static_cast<std::uint8_t>(std::lround(c.r / c.a * 255)),
                            static_cast<std::uint8_t>(std::lround(c.g / c.a * 255)),
                            static_cast<std::uint8_t>(std::lround(c.b / c.a * 255)),
                            static_cast<std::uint8_t>(std::lround(c.a * 255))};
        c = Premultiplied(Apply(cxform_, straight));
    }
    return c;
}

ColorF Shader::Sample(double u, double v) const {
    if (!std::isfinite(u) || !std::isfinite(v) || std::fabs(u) > 1e9 || std::fabs(v) > 1e9)
        return {};
    if (!smoothed_) return Texel(static_cast<int>(std::floor(u)), static_cast<int>(std::floor(v)));
    const double fu = u - 0.5, fv = v - 0.5;
    const int u0 = static_cast<int>(std::floor(fu)), v0 = static_cast<int>(std::floor(fv));
    const float tx = static_cast<float>(fu - u0), ty = static_cast<float>(fv - v0);
    const ColorF a = Texel(u0, v0), b = Texel(u0 + 1, v0), c = Texel(u0, v0 + 1),
                 d = Texel(u0 + 1, v0 + 1);
    const auto mix = [&](float p, float q, float r, float s) {
        return (p * (1 - tx) + q * tx) * (1 - ty) + (r * (1 - tx) + s * tx) * ty;
    };
    return {mix(a.r, b.r, c.r, d.r), mix(a.g, b.g, c.g, d.g), mix(a.b, b.b, c.b, d.b),
            mix(a.a, b.a, c.a, d.a)};
}

void Shader::Row(int y, int x0, int x1, ColorF* out) const {
    if (kind_ == SwfFillStyle::Solid) {
        std::fill(out, out + (x1 - x0), solid_);
        return;
    }
    const double py = y + 0.5;
    double u = inverse_.a * (x0 + 0.5) + inverse_.c * py + inverse_.tx;
    double v = inverse_.b * (x0 + 0.5) + inverse_.d * py + inverse_.ty;
    for (int x = x0; x < x1; ++x) {
        *out++ = kind_ == SwfFillStyle::Bitmap ? Sample(u, v) : Gradient(u, v);
        u += inverse_.a;
        v += inverse_.b;
    }
}
