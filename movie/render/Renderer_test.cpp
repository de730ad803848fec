// The rasteriser on shapes built here: what the movies of the tool do not reach (caps, joins,
// spread modes, focal gradients, repeating bitmaps, hairlines, masks), pixel by pixel.
#include "Renderer.h"

#include <gtest/gtest.h>

namespace {

constexpr int kTwips = 20;

struct Canvas {
    PixelImage picture;
    Renderer renderer;
    Canvas() {
        picture.Resize(40, 40);
        renderer.Begin(picture);
    }
    void Draw(const SwfShape& shape, const CoverageMask* mask = nullptr,
              const BitmapTable* bitmaps = nullptr) {
        DrawContext c;
        c.toDevice = Matrix2D::Scale(1.0 / kTwips, 1.0 / kTwips);
        c.mask = mask;
        c.bitmaps = bitmaps;
        renderer.DrawShape(BuildGeometry(shape), c);
    }
    int Alpha(int x, int y) const { return AlphaOf(picture.At(x, y)); }
};

// A path through points given in pixels.
SwfPath Path(std::initializer_list<std::pair<int, int>> points, std::uint32_t fill1,
             std::uint32_t line) {
    SwfPath p;
    p.fill1 = fill1;
    p.line = line;
    auto it = points.begin();
    p.startX = it->first * kTwips;
    p.startY = it->second * kTwips;
    for (++it; it != points.end(); ++it) {
        SwfSegment s;
        s.x = it->first * kTwips;
        s.y = it->second * kTwips;
        p.segments.push_back(s);
    }
    return p;
}

SwfShape Stroke(std::initializer_list<std::pair<int, int>> points, SwfLineStyle style) {
    SwfShape shape;
    style.color = {0, 0, 0, 255};
    shape.lines.push_back(style);
    shape.paths.push_back(Path(points, 0, 1));
    return shape;
}

SwfShape Square(SwfFillStyle fill, int x0 = 0, int y0 = 0, int x1 = 40, int y1 = 40) {
    SwfShape shape;
    shape.fills.push_back(std::move(fill));
    shape.paths.push_back(Path({{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}, {x0, y0}}, 1, 0));
    return shape;
}

SwfFillStyle RedToBlue(SwfFillStyle::Kind kind) {
    SwfFillStyle f;
    f.kind = kind;
    f.stops = {{0, {255, 0, 0, 255}}, {255, {0, 0, 255, 255}}};
    return f;
}

// The gradient square (32768 twips across) onto the box from (x0, y0) to (x1, y1) pixels.
SwfMatrix GradientBox(double x0, double y0, double x1, double y1) {
    SwfMatrix m;
    m.a = (x1 - x0) * kTwips / 32768.0;
    m.d = (y1 - y0) * kTwips / 32768.0;
    m.tx = (x0 + x1) / 2 * kTwips;
    m.ty = (y0 + y1) / 2 * kTwips;
    return m;
}

}  // namespace

TEST(Renderer, CapsEndALineAsTheirStyleSays) {
    const struct {
        SwfLineStyle::Cap cap;
        int firstInked, lastInked;  // along row 10, for a line from x = 10 to x = 30
    } cases[] = {{SwfLineStyle::NoCap, 10, 29},
                 {SwfLineStyle::SquareCap, 8, 31},
                 {SwfLineStyle::RoundCap, 9, 30}};
    for (const auto& c : cases) {
        SwfLineStyle style;
        style.width = 4 * kTwips;
        style.startCap = style.endCap = c.cap;
        Canvas canvas;
        canvas.Draw(Stroke({{10, 10}, {30, 10}}, style));
        EXPECT_EQ(canvas.Alpha(c.firstInked, 10), 255) << c.cap;
        EXPECT_EQ(canvas.Alpha(c.lastInked, 10), 255) << c.cap;
        EXPECT_EQ(canvas.Alpha(c.firstInked - 2, 10), 0) << c.cap;
        EXPECT_EQ(canvas.Alpha(c.lastInked + 2, 10), 0) << c.cap;
        // Four pixels wide: rows 8 to 11.
        EXPECT_EQ(canvas.Alpha(20, 8), 255);
        EXPECT_EQ(canvas.Alpha(20, 11), 255);
        EXPECT_EQ(canvas.Alpha(20, 7), 0);
        EXPECT_EQ(canvas.Alpha(20, 12), 0);
    }
}

TEST(Renderer, JoinsFillTheOuterCornerAsTheirStyleSays) {
    // Right along y = 30, then up along x = 30: the outer corner lies below and to the right.
    const auto cornerAlpha = [](SwfLineStyle::Join join) {
        SwfLineStyle style;
        style.width = 4 * kTwips;
        style.join = join;
        style.startCap = style.endCap = SwfLineStyle::NoCap;
        Canvas canvas;
        canvas.Draw(Stroke({{10, 30}, {30, 30}, {30, 10}}, style));
        EXPECT_EQ(canvas.Alpha(29, 29), 255) << "inside the corner";
        return canvas.Alpha(31, 31);
    };
    EXPECT_EQ(cornerAlpha(SwfLineStyle::MiterJoin), 255);
    EXPECT_LE(cornerAlpha(SwfLineStyle::BevelJoin), 2);
    // A quarter circle of radius 2 leaves about a quarter of that pixel inked.
    const int round = cornerAlpha(SwfLineStyle::RoundJoin);
    EXPECT_GT(round, 40);
    EXPECT_LT(round, 100);
}

TEST(Renderer, AHairlineIsOnePixelWide) {
    SwfLineStyle style;
    style.width = 0;
    Canvas canvas;
    canvas.Draw(Stroke({{5, 20}, {35, 20}}, style));
    // Centred on the pixel border at y = 20: half a pixel on each side.
    EXPECT_NEAR(canvas.Alpha(20, 19), 128, 2);
    EXPECT_NEAR(canvas.Alpha(20, 20), 128, 2);
    EXPECT_EQ(canvas.Alpha(20, 18), 0);
    EXPECT_EQ(canvas.Alpha(20, 21), 0);
}

TEST(Renderer, SpreadModesPastTheGradientsEnd) {
    // The gradient runs over x = 0..10; pixel 15's centre lies at 1.55 of it.
    const struct {
        std::uint8_t spread;
        int red, blue;
    } cases[] = {{0, 0, 255}, {1, 140, 115}, {2, 115, 140}};
    for (const auto& c : cases) {
        SwfFillStyle f = RedToBlue(SwfFillStyle::Linear);
        f.spread = c.spread;
        f.matrix = GradientBox(0, 0, 10, 40);
        Canvas canvas;
        canvas.Draw(Square(f));
        const std::uint32_t p = canvas.picture.At(15, 20);
        EXPECT_NEAR(RedOf(p), c.red, 3) << int{c.spread};
        EXPECT_NEAR(BlueOf(p), c.blue, 3) << int{c.spread};
    }
}

TEST(Renderer, AFocalGradientStartsAtItsFocalPoint) {
    // A circle of radius 20 about (20, 20); the focal point half way to its right edge.
    SwfFillStyle plain = RedToBlue(SwfFillStyle::Radial);
    plain.matrix = GradientBox(0, 0, 40, 40);
    SwfFillStyle focal = RedToBlue(SwfFillStyle::Focal);
    focal.matrix = plain.matrix;
    focal.focal = 0.5;
    Canvas a, b;
    a.Draw(Square(plain));
    b.Draw(Square(focal));
    EXPECT_NEAR(RedOf(a.picture.At(29, 19)), 134, 4) << "0.48 of the radius from the centre";
    EXPECT_GT(RedOf(b.picture.At(29, 19)), 235) << "at the focal point";
    EXPECT_LT(RedOf(b.picture.At(10, 20)), RedOf(a.picture.At(10, 20)))
        << "away from the focal point the circle's end is nearer";
}

TEST(Renderer, ABitmapRepeatsOrClampsPastItsEdge) {
    BitmapTable bitmaps;
    SwfBitmap& b = bitmaps[1];
    b.width = b.height = 2;
    b.pixels = {0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFFFFFFFF};
    SwfFillStyle f;
    f.kind = SwfFillStyle::Bitmap;
    f.bitmapId = 1;
    f.matrix.a = f.matrix.d = 5 * kTwips;  // five pixels a texel
    for (const bool clipped : {false, true}) {
        f.clipped = clipped;
        Canvas canvas;
        canvas.Draw(Square(f), nullptr, &bitmaps);
        EXPECT_EQ(canvas.picture.At(2, 2), 0xFFFF0000u);
        EXPECT_EQ(canvas.picture.At(7, 7), 0xFFFFFFFFu);
        // Past the bitmap at (12, 2): the first column again, or the last one stretched.
        EXPECT_EQ(canvas.picture.At(12, 2), clipped ? 0xFF00FF00u : 0xFFFF0000u) << clipped;
    }
}

TEST(Renderer, AMaskLetsItsCoverageThrough) {
    SwfFillStyle red;
    red.color = {255, 0, 0, 255};
    CoverageMask mask;
    mask.width = mask.height = 40;
    mask.alpha.assign(40 * 40, 0);
    for (int y = 0; y < 40; ++y)
        for (int x = 20; x < 40; ++x) mask.alpha[static_cast<std::size_t>(y) * 40 + x] = 255;
    mask.alpha[10 * 40 + 25] = 128;
    Canvas canvas;
    canvas.Draw(Square(red, 10, 5, 30, 15), &mask);
    EXPECT_EQ(canvas.Alpha(15, 10), 0);
    EXPECT_EQ(canvas.Alpha(22, 10), 255);
    EXPECT_NEAR(canvas.Alpha(25, 10), 128, 1);
}

TEST(Renderer, ASmoothedBitmapBlendsBetweenItsTexels) {
    BitmapTable bitmaps;
    SwfBitmap& b = bitmaps[1];
    b.width = 2;
    b.height = 1;
    b.pixels = {0xFF000000, 0xFFFFFFFF};
    SwfFillStyle f;
    f.kind = SwfFillStyle::Bitmap;
    f.bitmapId = 1;
    f.clipped = true;
    f.smoothed = true;
    f.matrix.a = f.matrix.d = 10 * kTwips;  // ten pixels a texel
    Canvas canvas;
    canvas.Draw(Square(f, 0, 0, 20, 10), nullptr, &bitmaps);
    // Pixel 9's centre lies 0.45 of the way from the first texel's centre to the second's.
    EXPECT_NEAR(RedOf(canvas.picture.At(9, 5)), 115, 2);
    EXPECT_EQ(canvas.picture.At(4, 5), 0xFF000000u);
    EXPECT_EQ(canvas.picture.At(15, 5), 0xFFFFFFFFu);
}

TEST(Renderer, StrokesThatDoNotScaleAndStrokesFilledLikeShapes) {
    // At twice the stage's size, a line two pixels wide is four wide unless it does not scale.
    for (const bool scales : {true, false}) {
        SwfLineStyle style;
        style.width = 2 * kTwips;
        style.noHScale = style.noVScale = !scales;
        PixelImage picture;
        picture.Resize(40, 40);
        Renderer r;
        r.Begin(picture);
        DrawContext c;
        c.toDevice = Matrix2D::Scale(2.0 / kTwips, 2.0 / kTwips);
        c.stageScale = 1.0 / kTwips;
        r.DrawShape(BuildGeometry(Stroke({{2, 10}, {18, 10}}, style)), c);
        EXPECT_EQ(AlphaOf(picture.At(20, 19)), 255) << scales;
        EXPECT_EQ(AlphaOf(picture.At(20, 20)), 255) << scales;
        EXPECT_EQ(AlphaOf(picture.At(20, 18)), scales ? 255 : 0) << scales;
        EXPECT_EQ(AlphaOf(picture.At(20, 21)), scales ? 255 : 0) << scales;
        EXPECT_EQ(AlphaOf(picture.At(20, 17)), 0) << scales;
    }

    SwfLineStyle filled;
    filled.width = 4 * kTwips;
    filled.hasFill = true;
    filled.fill = RedToBlue(SwfFillStyle::Linear);
    filled.fill.matrix = GradientBox(0, 0, 40, 40);
    Canvas canvas;
    canvas.Draw(Stroke({{0, 20}, {40, 20}}, filled));
    EXPECT_GT(RedOf(canvas.picture.At(2, 20)), 230);
    EXPECT_GT(BlueOf(canvas.picture.At(37, 20)), 230);
    EXPECT_EQ(AlphaOf(canvas.picture.At(20, 17)), 0);
}
