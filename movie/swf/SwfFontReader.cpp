#include "SwfFontReader.h"

#include "SwfReader.h"
#include "SwfShapeReader.h"

namespace swf {
namespace {

// Glyph shapes between offsets of a table that starts at `table`; `end` closes the last.
bool ReadGlyphs(const std::uint8_t* table, std::size_t tableSize,
                const std::vector<std::uint32_t>& offsets, std::uint32_t end, SwfFont& font,
                Budget& budget) {
    for (std::size_t i = 0; i < offsets.size(); ++i) {
        const std::uint32_t from = offsets[i];
        const std::uint32_t to = i + 1 < offsets.size() ? offsets[i + 1] : end;
        if (from > to || to > tableSize) return false;
        BitReader g(table + from, to - from);
        SwfShape shape;
        if (!ReadGlyphShape(g, shape, budget) && budget.edges > kSwfMaxEdges) return false;
        font.glyphs.push_back(std::move(shape));
    }
    return true;
}

}  // namespace

bool ReadDefineFont(BitReader& r, SwfFont& font, Budget& budget) {
    const std::uint8_t* table = r.Here();
    const std::size_t size = r.Left();
    const std::uint16_t first = r.U16();
    if (!r.Ok() || first < 2 || first > size) return false;
    std::vector<std::uint32_t> offsets{first};
    for (std::size_t i = 1; i < first / 2u; ++i) offsets.push_back(r.U16());
    if (!r.Ok()) return false;
    for (std::size_t i = 0; i < offsets.size(); ++i) font.codes.push_back(0);
    return ReadGlyphs(table, size, offsets, static_cast<std::uint32_t>(size), font, budget);
}

bool ReadDefineFont2(BitReader& r, bool font3, SwfFont& font, Budget& budget) {
    const std::uint8_t flags = r.U8();
    const bool hasLayout = flags & 0x80, wideOffsets = flags & 0x08, wideCodes = flags & 0x04;
    r.U8();  // language
    const std::uint8_t nameLength = r.U8();
    for (int i = 0; i < nameLength; ++i) font.name.push_back(static_cast<char>(r.U8()));
    const std::uint16_t count = r.U16();
    if (!r.Ok()) return false;
    font.emSquare = font3 ? 20480 : 1024;
    const std::uint8_t* table = r.Here();
    const std::size_t tableSize = r.Left();
    const std::size_t offsetSize = wideOffsets ? 4 : 2;
    if (count * offsetSize + offsetSize > tableSize) return count == 0;
    std::vector<std::uint32_t> offsets;
    for (std::size_t i = 0; i < count; ++i) offsets.push_back(wideOffsets ? r.U32() : r.U16());
    const std::uint32_t codeOffset = wideOffsets ? r.U32() : r.U16();
    if (!r.Ok() || codeOffset > tableSize) return false;
    if (!ReadGlyphs(table, tableSize, offsets, codeOffset, font, budget)) return false;
    BitReader rest(table + codeOffset, tableSize - codeOffset);
    for (std::size_t i = 0; i < count; ++i)
        font.codes.push_back(wideCodes ? rest.U16() : rest.U8());
    if (hasLayout) {
        font.ascent = rest.S16();
        font.descent = rest.S16();
        font.leading = rest.S16();
        for (std::size_t i = 0; i < count; ++i) font.advances.push_back(rest.S16());
        font.hasLayout = rest.Ok();
    }
    if (!rest.Ok() && !hasLayout) return false;
    if (!font.hasLayout) font.advances.clear();
    return true;
}

bool ReadDefineText(BitReader& r, bool withAlpha, SwfText& text) {
    text.bounds = ReadRect(r);
    text.matrix = ReadMatrix(r);
    const int glyphBits = r.U8(), advanceBits = r.U8();
    if (glyphBits > 32 || advanceBits > 32) return false;
    SwfTextRecord style;
    std::int32_t x = 0, y = 0;
    while (r.Ok()) {
        const std::uint8_t flags = r.U8();
        if (flags == 0 || !r.Ok()) break;
        SwfTextRecord record = style;
        record.glyphs.clear();
        if (flags & 0x08) record.fontId = r.U16();
        if (flags & 0x04) record.color = withAlpha ? ReadRgba(r) : ReadRgb(r);
        if (flags & 0x01) x = r.S16();
        if (flags & 0x02) y = r.S16();
        if (flags & 0x08) record.height = r.U16();
        const std::uint8_t count = r.U8();
        record.x = x;
        record.y = y;
        for (int i = 0; i < count; ++i) {
            SwfGlyphEntry g;
            g.index = r.UBits(glyphBits);
            g.advance = r.SBits(advanceBits);
            x = AddClamped(x, g.advance);
            record.glyphs.push_back(g);
        }
        r.Align();
        if (!r.Ok()) return false;
        style = record;
        text.records.push_back(std::move(record));
    }
    return r.Ok();
}

}  // namespace swf
