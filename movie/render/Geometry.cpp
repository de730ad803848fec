#include "Geometry.h"

#include <algorithm>

SwfCxform Concat(const SwfCxform& o, const SwfCxform& i) {
    SwfCxform c;
    c.rm = o.rm * i.rm;
    c.gm = o.gm * i.gm;
    c.bm = o.bm * i.bm;
    c.am = o.am * i.am;
    c.ra = i.ra * o.rm + o.ra;
    c.ga = i.ga * o.gm + o.ga;
    c.ba = i.ba * o.bm + o.ba;
    c.aa = i.aa * o.am + o.aa;
    return c;
}

namespace {
std::uint8_t Channel(double v, double mult, double add) {
    return static_cast<std::uint8_t>(std::clamp(std::lround(v * mult + add), 0L, 255L));
}
}  // namespace

Rgba Apply(const SwfCxform& c, Rgba color) {
    if (c.IsIdentity()) return color;
    return {Channel(color.r, c.rm, c.ra), Channel(color.g, c.gm, c.ga),
            Channel(color.b, c.bm, c.ba), Channel(color.a, c.am, c.aa)};
}

ColorF Premultiplied(Rgba c) {
    const float a = c.a / 255.0f;
    return {c.r / 255.0f * a, c.g / 255.0f * a, c.b / 255.0f * a, a};
}
