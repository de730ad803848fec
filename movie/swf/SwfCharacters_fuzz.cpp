// The readers of the character tags on any bytes, each as the movie reader calls it, and what is
// read drawn by the rasteriser into a small picture. The first byte picks the reader. Besides not
// crashing: the budget's limits hold, style indices stay within their lists, bitmaps have as many
// pixels as their size, and the drawn picture stays premultiplied.
#include <cstddef>
#include <cstdint>

#include "FuzzCheck.h"
#include "Renderer.h"
#include "SwfBitmapReader.h"
#include "SwfButtonReader.h"
#include "SwfFontReader.h"
#include "SwfReader.h"
#include "SwfShapeReader.h"

namespace {

void CheckShape(const SwfShape& s) {
    for (const SwfPath& p : s.paths) {
        FUZZ_CHECK(p.fill0 <= s.fills.size() && p.fill1 <= s.fills.size());
        FUZZ_CHECK(p.line <= s.lines.size());
        FUZZ_CHECK(!p.segments.empty());
    }
}

void Draw(const SwfShape& shape, const BitmapTable& bitmaps, std::uint8_t how) {
    PixelImage picture;
    picture.Resize(24, 16);
    Renderer r;
    r.Begin(picture);
    DrawContext c;
    // Twips to pixels, at a scale the byte picks, rotated or not.
    const double scale = (1 + (how & 7)) / 40.0;
    c.toDevice = Matrix2D{scale, (how & 8) ? scale : 0, (how & 8) ? -scale : 0, scale, 4, 4};
    c.bitmaps = &bitmaps;
    r.DrawShape(BuildGeometry(shape), c);
    for (const std::uint32_t p : picture.pixels) {
        const std::uint32_t a = p >> 24;
        FUZZ_CHECK((p >> 16 & 0xFF) <= a && (p >> 8 & 0xFF) <= a && (p & 0xFF) <= a);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) return 0;
    const std::uint8_t pick = data[0], how = data[1];
    swf::BitReader r(data + 2, size - 2);
    swf::Budget budget;
    BitmapTable bitmaps;
    switch (pick % 7) {
        case 0:
        case 1: {
            SwfShape shape;
            swf::ReadDefineShape(r, 1 + pick / 7 % 4, shape, budget);
            FUZZ_CHECK(budget.edges <= kSwfMaxEdges + 1);
            CheckShape(shape);
            // A bitmap for the shape's bitmap fills to find.
            SwfBitmap b;
            b.width = b.height = 2;
            b.pixels = {0xFF0000FF, 0x80800000, 0, 0xFFFFFFFF};
            for (const SwfFillStyle& f : shape.fills) bitmaps[f.bitmapId] = b;
            Draw(shape, bitmaps, how);
            break;
        }
        case 2: {
            SwfMorphShape morph;
            swf::ReadDefineMorphShape(r, 1 + pick / 7 % 2, morph, budget);
            CheckShape(morph.start);
            Draw(MorphAt(morph, static_cast<std::uint16_t>(how * 257)), bitmaps, how);
            break;
        }
        case 3: {
            SwfBitmap bitmap;
            if (swf::ReadDefineBitsLossless(r, 1 + pick / 7 % 2, bitmap, budget)) {
                FUZZ_CHECK(bitmap.width > 0 && bitmap.height > 0);
                FUZZ_CHECK(bitmap.pixels.size() ==
                           static_cast<std::size_t>(bitmap.width) * bitmap.height);
                FUZZ_CHECK(bitmap.pixels.size() <= kSwfMaxBitmapPixels);
            }
            break;
        }
        case 4: {
            SwfFont font;
            const bool read = pick / 7 % 3 == 0
                                  ? swf::ReadDefineFont(r, font, budget)
                                  : swf::ReadDefineFont2(r, pick / 7 % 3 == 2, font, budget);
            if (read) FUZZ_CHECK(font.codes.size() == font.glyphs.size());
            for (const SwfShape& g : font.glyphs) CheckShape(g);
            if (!font.glyphs.empty()) Draw(font.glyphs[how % font.glyphs.size()], bitmaps, how);
            break;
        }
        case 5: {
            SwfText text;
            swf::ReadDefineText(r, pick / 7 % 2 == 1, text);
            break;
        }
        default: {
            SwfButton button;
            swf::ReadDefineButton(r, 1 + pick / 7 % 2, button, budget);
            FUZZ_CHECK(budget.actionBytes <= kSwfMaxActionBytes);
            for (const SwfButtonRecord& b : button.records) FUZZ_CHECK((b.states & ~0x0F) == 0);
            break;
        }
    }
    return 0;
}
