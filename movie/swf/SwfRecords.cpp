#include "SwfRecords.h"

namespace swf {

SwfRect ReadRect(BitReader& r) {
    const int n = static_cast<int>(r.UBits(5));
    SwfRect rect;
    rect.xMin = r.SBits(n);
    rect.xMax = r.SBits(n);
    rect.yMin = r.SBits(n);
    rect.yMax = r.SBits(n);
    r.Align();
    return rect;
}

SwfMatrix ReadMatrix(BitReader& r) {
    SwfMatrix m;
    if (r.UBits(1)) {
        const int n = static_cast<int>(r.UBits(5));
        m.a = r.SBits(n) / 65536.0;
        m.d = r.SBits(n) / 65536.0;
    }
    if (r.UBits(1)) {
        const int n = static_cast<int>(r.UBits(5));
        m.b = r.SBits(n) / 65536.0;
        m.c = r.SBits(n) / 65536.0;
    }
    const int n = static_cast<int>(r.UBits(5));
    m.tx = r.SBits(n);
    m.ty = r.SBits(n);
    r.Align();
    return m;
}

SwfCxform ReadCxform(BitReader& r, bool withAlpha) {
    SwfCxform c;
    const bool hasAdd = r.UBits(1), hasMult = r.UBits(1);
    const int n = static_cast<int>(r.UBits(4));
    if (hasMult) {
        c.rm = r.SBits(n) / 256.0;
        c.gm = r.SBits(n) / 256.0;
        c.bm = r.SBits(n) / 256.0;
        if (withAlpha) c.am = r.SBits(n) / 256.0;
    }
    if (hasAdd) {
        c.ra = r.SBits(n);
        c.ga = r.SBits(n);
        c.ba = r.SBits(n);
        if (withAlpha) c.aa = r.SBits(n);
    }
    r.Align();
    return c;
}

Rgba ReadRgb(BitReader& r) {
    Rgba c;
    c.r = r.U8();
    c.g = r.U8();
    c.b = r.U8();
    return c;
}

Rgba ReadRgba(BitReader& r) {
    Rgba c = ReadRgb(r);
    c.a = r.U8();
    return c;
}

}  // namespace swf

namespace swf {

bool SkipFilters(BitReader& r) {
    const int count = r.U8();
    for (int i = 0; i < count && r.Ok(); ++i) {
        switch (r.U8()) {
            case 0:  // drop shadow
                r.Skip(23);
                break;
            case 1:  // blur
                r.Skip(9);
                break;
            case 2:  // glow
                r.Skip(15);
                break;
            case 3:  // bevel
                r.Skip(27);
                break;
            case 4:  // gradient glow
            case 7:  // gradient bevel
                r.Skip(std::size_t{r.U8()} * 5 + 19);
                break;
            case 5: {  // convolution
                const std::size_t w = r.U8(), h = r.U8();
                r.Skip(8 + w * h * 4 + 4 + 1);
                break;
            }
            case 6:  // colour matrix
                r.Skip(80);
                break;
            default:
                return false;
        }
    }
    return r.Ok();
}

}  // namespace swf
