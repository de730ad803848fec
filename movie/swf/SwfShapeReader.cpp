#include "SwfShapeReader.h"

#include "SwfReader.h"

namespace swf {
namespace {

void ReadGradient(BitReader& r, int version, SwfFillStyle& f, bool focal) {
    f.spread = static_cast<std::uint8_t>(r.UBits(2));
    f.interpolation = static_cast<std::uint8_t>(r.UBits(2));
    const int count = static_cast<int>(r.UBits(4));
    for (int i = 0; i < count; ++i) {
        SwfGradientStop s;
        s.ratio = r.U8();
        s.color = version >= 3 ? ReadRgba(r) : ReadRgb(r);
        f.stops.push_back(s);
    }
    if (focal) f.focal = r.Fixed8();
}

bool SetKind(SwfFillStyle& f, std::uint8_t type) {
    switch (type) {
        case 0x00:
            f.kind = SwfFillStyle::Solid;
            return true;
        case 0x10:
            f.kind = SwfFillStyle::Linear;
            return true;
        case 0x12:
            f.kind = SwfFillStyle::Radial;
            return true;
        case 0x13:
            f.kind = SwfFillStyle::Focal;
            return true;
        case 0x40:
        case 0x41:
        case 0x42:
        case 0x43:
            f.kind = SwfFillStyle::Bitmap;
            f.clipped = type & 1;
            f.smoothed = !(type & 2);
            return true;
        default:
            return false;
    }
}

bool ReadFillStyle(BitReader& r, int version, SwfFillStyle& f) {
    if (!SetKind(f, r.U8())) return false;
    switch (f.kind) {
        case SwfFillStyle::Solid:
            f.color = version >= 3 ? ReadRgba(r) : ReadRgb(r);
            break;
        case SwfFillStyle::Bitmap:
            f.bitmapId = r.U16();
            f.matrix = ReadMatrix(r);
            break;
        default:
            f.matrix = ReadMatrix(r);
            ReadGradient(r, version, f, f.kind == SwfFillStyle::Focal);
            break;
    }
    return r.Ok();
}

std::size_t Count(BitReader& r, int version) {
    std::size_t n = r.U8();
    if (n == 0xFF && version >= 2) n = r.U16();
    return n;
}

SwfLineStyle::Cap CapOf(std::uint32_t v) {
    return v == 1 ? SwfLineStyle::NoCap : v == 2 ? SwfLineStyle::SquareCap : SwfLineStyle::RoundCap;
}

bool ReadStyles(BitReader& r, int version, SwfShape& shape) {
    const std::size_t fills = Count(r, version);
    for (std::size_t i = 0; i < fills && r.Ok(); ++i) {
        if (shape.fills.size() >= kSwfMaxStyles) return false;
        SwfFillStyle f;
        if (!ReadFillStyle(r, version, f)) return false;
        shape.fills.push_back(std::move(f));
    }
    const std::size_t lines = Count(r, version);
    for (std::size_t i = 0; i < lines && r.Ok(); ++i) {
        if (shape.lines.size() >= kSwfMaxStyles) return false;
        SwfLineStyle l;
        l.width = r.U16();
        if (version >= 4) {
            l.startCap = CapOf(r.UBits(2));
            const std::uint32_t join = r.UBits(2);
            l.join = join == 1   ? SwfLineStyle::BevelJoin
                     : join == 2 ? SwfLineStyle::MiterJoin
                                 : SwfLineStyle::RoundJoin;
            l.hasFill = r.UBits(1);
            l.noHScale = r.UBits(1);
            l.noVScale = r.UBits(1);
            r.UBits(1 + 5 + 1);  // pixel hinting, reserved, no close
            l.endCap = CapOf(r.UBits(2));
            if (join == 2) l.miterLimit = r.Fixed8();
            if (l.hasFill) {
                if (!ReadFillStyle(r, version, l.fill)) return false;
            } else {
                l.color = ReadRgba(r);
            }
        } else {
            l.color = version >= 3 ? ReadRgba(r) : ReadRgb(r);
        }
        shape.lines.push_back(std::move(l));
    }
    return r.Ok();
}

// The shape records into paths. Style indices are local to the last style arrays; `fillBase`
// and `lineBase` turn them into indices of the shape's flattened lists.
class RecordReader {
  public:
    RecordReader(BitReader& r, int version, SwfShape& shape, Budget& budget, bool newStyles)
        : r_(r), version_(version), shape_(shape), budget_(budget), newStyles_(newStyles) {}

    bool Read() {
        int fillBits = static_cast<int>(r_.UBits(4));
        int lineBits = static_cast<int>(r_.UBits(4));
        while (r_.Ok()) {
            if (r_.UBits(1) == 0) {
                const std::uint32_t flags = r_.UBits(5);
                if (flags == 0) return r_.Ok();
                const bool hasNewStyles = flags & 0x10, hasLine = flags & 0x08,
                           hasFill1 = flags & 0x04, hasFill0 = flags & 0x02, hasMove = flags & 0x01;
                SwfPath next = Current();
                next.segments.clear();
                if (hasMove) {
                    const int n = static_cast<int>(r_.UBits(5));
                    x_ = r_.SBits(n);
                    y_ = r_.SBits(n);
                }
                const std::uint32_t fill0 = hasFill0 ? r_.UBits(fillBits) : 0;
                const std::uint32_t fill1 = hasFill1 ? r_.UBits(fillBits) : 0;
                const std::uint32_t line = hasLine ? r_.UBits(lineBits) : 0;
                if (hasNewStyles) {
                    if (!newStyles_ || version_ < 2) return false;
                    fillBase_ = static_cast<std::uint32_t>(shape_.fills.size());
                    lineBase_ = static_cast<std::uint32_t>(shape_.lines.size());
                    r_.Align();
                    if (!ReadStyles(r_, version_, shape_)) return false;
                    fillBits = static_cast<int>(r_.UBits(4));
                    lineBits = static_cast<int>(r_.UBits(4));
                    // New styles start afresh: the old selections mean nothing any more, and
                    // those of this record (read with the old sizes) name the new styles.
                    next.fill0 = next.fill1 = next.line = 0;
                }
                if (hasFill0) next.fill0 = Index(fill0, fillBase_);
                if (hasFill1) next.fill1 = Index(fill1, fillBase_);
                if (hasLine) next.line = Index(line, lineBase_);
                next.startX = x_;
                next.startY = y_;
                shape_.paths.push_back(std::move(next));
                continue;
            }
            if (++budget_.edges > kSwfMaxEdges) return false;
            SwfSegment s;
            const bool straight = r_.UBits(1);
            const int n = static_cast<int>(r_.UBits(4)) + 2;
            if (straight) {
                std::int32_t dx = 0, dy = 0;
                if (r_.UBits(1)) {
                    dx = r_.SBits(n);
                    dy = r_.SBits(n);
                } else if (r_.UBits(1)) {
                    dy = r_.SBits(n);
                } else {
                    dx = r_.SBits(n);
                }
                x_ = AddClamped(x_, dx);
                y_ = AddClamped(y_, dy);
            } else {
                s.curve = true;
                s.cx = AddClamped(x_, r_.SBits(n));
                s.cy = AddClamped(y_, r_.SBits(n));
                x_ = AddClamped(s.cx, r_.SBits(n));
                y_ = AddClamped(s.cy, r_.SBits(n));
            }
            s.x = x_;
            s.y = y_;
            if (shape_.paths.empty()) {
                SwfPath first;
                shape_.paths.push_back(first);
            }
            shape_.paths.back().segments.push_back(s);
        }
        return false;
    }

  private:
    SwfPath Current() const { return shape_.paths.empty() ? SwfPath{} : shape_.paths.back(); }
    static std::uint32_t Index(std::uint32_t local, std::uint32_t base) {
        return local == 0 ? 0 : base + local;
    }

    BitReader& r_;
    int version_;
    SwfShape& shape_;
    Budget& budget_;
    bool newStyles_;
    std::int32_t x_ = 0, y_ = 0;
    std::uint32_t fillBase_ = 0, lineBase_ = 0;
};

// Indices past the style lists draw nothing.
void DropBadIndices(SwfShape& shape) {
    for (SwfPath& p : shape.paths) {
        if (p.fill0 > shape.fills.size()) p.fill0 = 0;
        if (p.fill1 > shape.fills.size()) p.fill1 = 0;
        if (p.line > shape.lines.size()) p.line = 0;
    }
    // Paths without edges carry nothing.
    std::vector<SwfPath> kept;
    for (SwfPath& p : shape.paths)
        if (!p.segments.empty()) kept.push_back(std::move(p));
    shape.paths = std::move(kept);
}

void ReadMorphGradient(BitReader& r, SwfFillStyle& start, SwfFillStyle& end) {
    const int count = r.U8() & 0x0F;
    for (int i = 0; i < count; ++i) {
        SwfGradientStop a, b;
        a.ratio = r.U8();
        a.color = ReadRgba(r);
        b.ratio = r.U8();
        b.color = ReadRgba(r);
        start.stops.push_back(a);
        end.stops.push_back(b);
    }
}

bool ReadMorphFill(BitReader& r, SwfFillStyle& start, SwfFillStyle& end) {
    const std::uint8_t type = r.U8();
    if (!SetKind(start, type) || !SetKind(end, type)) return false;
    switch (start.kind) {
        case SwfFillStyle::Solid:
            start.color = ReadRgba(r);
            end.color = ReadRgba(r);
            break;
        case SwfFillStyle::Bitmap:
            start.bitmapId = end.bitmapId = r.U16();
            start.matrix = ReadMatrix(r);
            end.matrix = ReadMatrix(r);
            break;
        default:
            start.matrix = ReadMatrix(r);
            end.matrix = ReadMatrix(r);
            ReadMorphGradient(r, start, end);
            if (start.kind == SwfFillStyle::Focal) {
                start.focal = r.Fixed8();
                end.focal = r.Fixed8();
            }
            break;
    }
    return r.Ok();
}

bool ReadMorphStyles(BitReader& r, int version, SwfMorphShape& m) {
    const std::size_t fills = Count(r, 2);
    for (std::size_t i = 0; i < fills && r.Ok(); ++i) {
        if (m.start.fills.size() >= kSwfMaxStyles) return false;
        SwfFillStyle a, b;
        if (!ReadMorphFill(r, a, b)) return false;
        m.start.fills.push_back(std::move(a));
        m.end.fills.push_back(std::move(b));
    }
    const std::size_t lines = Count(r, 2);
    for (std::size_t i = 0; i < lines && r.Ok(); ++i) {
        if (m.start.lines.size() >= kSwfMaxStyles) return false;
        SwfLineStyle a, b;
        a.width = r.U16();
        b.width = r.U16();
        if (version >= 2) {
            a.startCap = b.startCap = CapOf(r.UBits(2));
            const std::uint32_t join = r.UBits(2);
            a.join = b.join = join == 1   ? SwfLineStyle::BevelJoin
                              : join == 2 ? SwfLineStyle::MiterJoin
                                          : SwfLineStyle::RoundJoin;
            a.hasFill = b.hasFill = r.UBits(1);
            a.noHScale = b.noHScale = r.UBits(1);
            a.noVScale = b.noVScale = r.UBits(1);
            r.UBits(1 + 5 + 1);
            a.endCap = b.endCap = CapOf(r.UBits(2));
            if (join == 2) a.miterLimit = b.miterLimit = r.Fixed8();
            if (a.hasFill) {
                if (!ReadMorphFill(r, a.fill, b.fill)) return false;
            } else {
                a.color = ReadRgba(r);
                b.color = ReadRgba(r);
            }
        } else {
            a.color = ReadRgba(r);
            b.color = ReadRgba(r);
        }
        m.start.lines.push_back(std::move(a));
        m.end.lines.push_back(std::move(b));
    }
    return r.Ok();
}

}  // namespace

bool ReadDefineShape(BitReader& r, int version, SwfShape& shape, Budget& budget) {
    shape.bounds = ReadRect(r);
    if (version >= 4) {
        ReadRect(r);  // edge bounds
        r.U8();       // stroke hints and the winding rule
    }
    if (!ReadStyles(r, version, shape)) return false;
    RecordReader records(r, version, shape, budget, true);
    const bool ok = records.Read();
    DropBadIndices(shape);
    return ok;
}

bool ReadGlyphShape(BitReader& r, SwfShape& shape, Budget& budget) {
    SwfFillStyle glyph;  // the text's colour replaces it
    shape.fills.push_back(glyph);
    RecordReader records(r, 1, shape, budget, false);
    const bool ok = records.Read();
    DropBadIndices(shape);
    return ok;
}

bool ReadDefineMorphShape(BitReader& r, int version, SwfMorphShape& morph, Budget& budget) {
    morph.start.bounds = ReadRect(r);
    morph.end.bounds = ReadRect(r);
    if (version >= 2) {
        ReadRect(r);
        ReadRect(r);
        r.U8();
    }
    const std::uint32_t offset = r.U32();
    const std::size_t afterOffset = r.Pos();
    if (!ReadMorphStyles(r, version, morph)) return false;
    if (offset < r.Pos() - afterOffset) return false;
    BitReader startEdges = r.Sub(afterOffset + offset - r.Pos());
    RecordReader start(startEdges, 3, morph.start, budget, false);
    RecordReader end(r, 3, morph.end, budget, false);
    const bool ok = start.Read() && end.Read();
    DropBadIndices(morph.start);
    // The end shape's own style changes carry moves only; its styles are the start's pairs.
    for (SwfPath& p : morph.end.paths) p.fill0 = p.fill1 = p.line = 0;
    return ok;
}

}  // namespace swf
