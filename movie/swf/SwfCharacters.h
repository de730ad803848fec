#pragma once
// The characters a movie defines, as the readers leave them: parsed once at load, in twips, with
// every style a shape record introduces flattened into one style list per shape.
#include <cstdint>
#include <string>
#include <vector>

struct Rgb {
    std::uint8_t r = 0, g = 0, b = 0;
    bool operator==(const Rgb& o) const { return r == o.r && g == o.g && b == o.b; }
    bool operator!=(const Rgb& o) const { return !(*this == o); }
};

struct Rgba {
    std::uint8_t r = 0, g = 0, b = 0, a = 255;
    bool operator==(const Rgba& o) const { return r == o.r && g == o.g && b == o.b && a == o.a; }
    bool operator!=(const Rgba& o) const { return !(*this == o); }
};

struct SwfRect {  // twips
    std::int32_t xMin = 0, xMax = 0, yMin = 0, yMax = 0;
};

// x' = a x + c y + tx, y' = b x + d y + ty; translations in twips.
struct SwfMatrix {
    double a = 1, b = 0, c = 0, d = 1;
    double tx = 0, ty = 0;
};

// Each channel: value * mult + add, clamped; mult 1 and add 0 leave it alone.
struct SwfCxform {
    double rm = 1, gm = 1, bm = 1, am = 1;
    double ra = 0, ga = 0, ba = 0, aa = 0;
    bool IsIdentity() const {
        return rm == 1 && gm == 1 && bm == 1 && am == 1 && ra == 0 && ga == 0 && ba == 0 && aa == 0;
    }
};

struct SwfGradientStop {
    std::uint8_t ratio = 0;
    Rgba color;
};

struct SwfFillStyle {
    enum Kind : std::uint8_t { Solid, Linear, Radial, Focal, Bitmap } kind = Solid;
    Rgba color;
    SwfMatrix matrix;  // gradient square or bitmap pixels into shape space
    std::vector<SwfGradientStop> stops;
    std::uint8_t spread = 0;         // 0 pad, 1 reflect, 2 repeat
    std::uint8_t interpolation = 0;  // 0 normal RGB, 1 linear RGB
    double focal = 0;                // -1..1 along the gradient's x axis
    std::uint16_t bitmapId = 0;
    bool clipped = false, smoothed = false;
};

struct SwfLineStyle {
    std::uint16_t width = 0;  // twips; 0 is a hairline
    Rgba color;
    enum Cap : std::uint8_t { RoundCap, NoCap, SquareCap };
    enum Join : std::uint8_t { RoundJoin, BevelJoin, MiterJoin };
    Cap startCap = RoundCap, endCap = RoundCap;
    Join join = RoundJoin;
    double miterLimit = 3;
    bool noHScale = false, noVScale = false;
    bool hasFill = false;
    SwfFillStyle fill;
};

// An edge: a straight line to (x, y), or a quadratic curve through the control (cx, cy).
struct SwfSegment {
    std::int32_t cx = 0, cy = 0, x = 0, y = 0;
    bool curve = false;
};

// A run of edges drawn with the same styles; indices are into the shape's lists plus one, 0 none.
// fill0 lies on the left of the direction of drawing, fill1 on the right (y pointing down).
struct SwfPath {
    std::uint32_t fill0 = 0, fill1 = 0, line = 0;
    std::int32_t startX = 0, startY = 0;
    std::vector<SwfSegment> segments;
};

struct SwfShape {
    SwfRect bounds;
    std::vector<SwfFillStyle> fills;
    std::vector<SwfLineStyle> lines;
    std::vector<SwfPath> paths;
};

// Start and end shapes with the same edges in the same order; styles pair by index.
struct SwfMorphShape {
    SwfShape start, end;
};

// Premultiplied 0xAARRGGBB pixels, rows top down.
struct SwfBitmap {
    int width = 0, height = 0;
    std::vector<std::uint32_t> pixels;
};

struct SwfFont {
    std::string name;
    std::vector<SwfShape> glyphs;
    std::vector<std::uint16_t> codes;    // by glyph
    std::vector<std::int16_t> advances;  // by glyph, when the font has its layout
    bool hasLayout = false;
    std::int16_t ascent = 0, descent = 0, leading = 0;
    double emSquare = 1024;  // glyph units of one font height; 20480 in DefineFont3
};

struct SwfGlyphEntry {
    std::uint32_t index = 0;
    std::int32_t advance = 0;
};

struct SwfTextRecord {
    std::uint16_t fontId = 0;
    Rgba color;
    std::int32_t x = 0, y = 0;  // baseline origin of the first glyph
    std::uint16_t height = 0;
    std::vector<SwfGlyphEntry> glyphs;
};

struct SwfText {
    SwfRect bounds;
    SwfMatrix matrix;
    std::vector<SwfTextRecord> records;
};

struct SwfEditText {
    SwfRect bounds;
    Rgb color;  // black unless the field gives one
    std::uint8_t alpha = 255;
    bool hasFont = false;
    std::uint16_t fontId = 0;
    std::uint16_t fontHeight = 240;  // twips
    std::uint8_t align = 0;          // 0 left, 1 right, 2 centre, 3 justify
    std::uint16_t leftMargin = 0, rightMargin = 0;
    std::int16_t leading = 0;
    bool useOutlines = false;    // drawn from the embedded font's glyphs
    std::u16string variable;     // bound variable, as written in the movie
    std::u16string initialText;  // markup already taken out of an HTML field
};

struct SwfButtonRecord {
    enum State : std::uint8_t { Up = 1, Over = 2, Down = 4, Hit = 8 };
    std::uint8_t states = 0;
    std::uint16_t characterId = 0, depth = 0;
    SwfMatrix matrix;
    SwfCxform cxform;
};

// When a button's actions run: one bit per transition.
namespace SwfButtonCondition {
constexpr std::uint16_t IdleToOverUp = 1 << 0;
constexpr std::uint16_t OverUpToIdle = 1 << 1;
constexpr std::uint16_t OverUpToOverDown = 1 << 2;
constexpr std::uint16_t OverDownToOverUp = 1 << 3;  // the release
constexpr std::uint16_t OverDownToOutDown = 1 << 4;
constexpr std::uint16_t OutDownToOverDown = 1 << 5;
constexpr std::uint16_t OutDownToIdle = 1 << 6;
constexpr std::uint16_t IdleToOverDown = 1 << 7;
constexpr std::uint16_t OverDownToIdle = 1 << 8;
}  // namespace SwfButtonCondition

struct SwfButtonAction {
    std::uint16_t conditions = 0;
    std::vector<std::uint8_t> bytes;
};

struct SwfButton {
    bool trackAsMenu = false;
    std::vector<SwfButtonRecord> records;
    std::vector<SwfButtonAction> actions;
};
