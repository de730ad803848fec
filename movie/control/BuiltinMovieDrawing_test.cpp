// Pixels of the built-in control's frames, on the small movies of the movie tool: each place
// checked is one whose colour follows from the movie's geometry.
#include <gtest/gtest.h>

#include <cstdlib>

#include "BuiltinMovie.h"
#include "EmbedMovie.h"
#include "SwfTestData.h"

namespace {

class QuietHost : public BuiltinMovieHost {
  public:
    unsigned timer = 0;
    void Invalidate() override {}
    void SetFrameTimer(unsigned intervalMs) override { timer = intervalMs; }
};

class Commands : public MovieControlEvents {
  public:
    std::vector<std::u16string> seen;
    void OnFSCommand(const std::u16string& command, const std::u16string&) override {
        seen.push_back(command);
    }
};

struct Color {
    int r, g, b;
};

::testing::AssertionResult Near(const PixelImage& p, int x, int y, Color want, int tolerance = 2) {
    const std::uint32_t v = p.At(x, y);
    const Color got{RedOf(v), GreenOf(v), BlueOf(v)};
    if (AlphaOf(v) == 255 && std::abs(got.r - want.r) <= tolerance &&
        std::abs(got.g - want.g) <= tolerance && std::abs(got.b - want.b) <= tolerance)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << "pixel (" << x << ", " << y << ") is " << got.r << "," << got.g << "," << got.b
           << " alpha " << AlphaOf(v) << ", wanted " << want.r << "," << want.g << "," << want.b;
}

constexpr Color kWhite{255, 255, 255}, kRed{255, 0, 0}, kBlue{0, 0, 255}, kBlack{0, 0, 0};

class DrawingTest : public ::testing::Test {
  protected:
    DrawingTest() { control_.SetEvents(&commands_); }
    void Load(const char* name) {
        MemoryStream s(ReadBytes(TestMovie(name)));
        EmbedMovieStream(control_, &s);
        ASSERT_TRUE(control_.HasMovie()) << name;
    }
    // The stage is 100 x 100 pixels: at that size a stage pixel is a device pixel.
    const PixelImage& Frame() { return control_.Render(100, 100); }

    QuietHost host_;
    Commands commands_;
    BuiltinMovie control_{host_};
};

}  // namespace

TEST_F(DrawingTest, SolidFillsEdgesCurvesAndStrokes) {
    Load("shapes.swf");
    const PixelImage& p = Frame();
    // A square on whole pixels: its edges are sharp.
    EXPECT_TRUE(Near(p, 20, 20, kRed, 0));
    EXPECT_TRUE(Near(p, 10, 10, kRed, 0));
    EXPECT_TRUE(Near(p, 29, 29, kRed, 0));
    EXPECT_TRUE(Near(p, 9, 20, kWhite, 0));
    EXPECT_TRUE(Near(p, 30, 20, kWhite, 0));
    EXPECT_TRUE(Near(p, 20, 30, kWhite, 0));

    // Two fills meeting inside a pixel share it with nothing of the background between them.
    const std::uint32_t seam = p.At(50, 20);
    EXPECT_EQ(AlphaOf(seam), 255);
    EXPECT_LE(RedOf(seam), 1) << "white shows through the shared edge";
    EXPECT_NEAR(GreenOf(seam), 128, 2);
    EXPECT_NEAR(BlueOf(seam), 128, 2);
    EXPECT_TRUE(Near(p, 45, 20, {0, 255, 0}, 0));
    EXPECT_TRUE(Near(p, 55, 20, kBlue, 0));

    // Edges at a quarter of a pixel: three quarters covered.
    EXPECT_TRUE(Near(p, 70, 20, {64, 64, 64}));
    EXPECT_TRUE(Near(p, 90, 20, {64, 64, 64}));
    EXPECT_TRUE(Near(p, 80, 20, kBlack, 0));

    // The curve's apex at y = 60 over x = 30.
    EXPECT_TRUE(Near(p, 30, 58, kWhite, 0));
    EXPECT_TRUE(Near(p, 30, 61, kRed, 0));
    EXPECT_TRUE(Near(p, 30, 60, kRed, 13)) << "within a twentieth of a pixel";
    // Near its end the curve crosses x = 12.5 at y = 67.7.
    EXPECT_TRUE(Near(p, 12, 66, kWhite, 0));
    EXPECT_TRUE(Near(p, 12, 69, kRed, 0));

    // A line four pixels wide along y = 80, with round caps.
    for (int y = 78; y < 82; ++y) EXPECT_TRUE(Near(p, 75, y, kBlack, 0)) << y;
    EXPECT_TRUE(Near(p, 75, 77, kWhite, 0));
    EXPECT_TRUE(Near(p, 75, 82, kWhite, 0));
    EXPECT_TRUE(Near(p, 59, 80, kBlack, 2)) << "the cap";
    EXPECT_TRUE(Near(p, 56, 80, kWhite, 0));
}

TEST_F(DrawingTest, MatricesColourTransformsAndMasks) {
    Load("display.swf");
    const PixelImage& p = Frame();
    // The square rotated by 45 degrees and doubled: a diamond from (20, 20) down to (20, 48.3),
    // (5.9, 34.1) to (34.1, 34.1).
    EXPECT_TRUE(Near(p, 20, 34, kRed, 0));
    EXPECT_TRUE(Near(p, 10, 34, kRed, 0));
    EXPECT_TRUE(Near(p, 30, 34, kRed, 0));
    EXPECT_TRUE(Near(p, 20, 46, kRed, 0));
    EXPECT_TRUE(Near(p, 3, 34, kWhite, 0));
    EXPECT_TRUE(Near(p, 36, 34, kWhite, 0));
    EXPECT_TRUE(Near(p, 20, 49, kWhite, 0));
    EXPECT_TRUE(Near(p, 10, 24, kWhite, 0)) << "outside the diamond's upper left side";

    // Half the alpha over white.
    EXPECT_TRUE(Near(p, 60, 20, {255, 128, 128}));
    EXPECT_TRUE(Near(p, 71, 20, kWhite, 0));

    // The blue rectangle shows only inside its mask, and the mask itself draws nothing.
    EXPECT_TRUE(Near(p, 55, 50, kBlue, 0));
    EXPECT_TRUE(Near(p, 45, 50, kWhite, 0));
    EXPECT_TRUE(Near(p, 70, 50, kWhite, 0));
}

TEST_F(DrawingTest, GradientsAndBitmaps) {
    Load("fills.swf");
    const PixelImage& p = Frame();
    // Pixel centres at 0.5 / 80, 40.5 / 80 and 79.5 / 80 of the way from red to blue.
    EXPECT_TRUE(Near(p, 10, 20, {253, 0, 2}, 3));
    EXPECT_TRUE(Near(p, 50, 20, {126, 0, 129}, 3));
    EXPECT_TRUE(Near(p, 89, 20, {2, 0, 253}, 3));
    // The radial gradient by the distance of the pixel centres (50.5, 40.5) and (55.5, 40.5)
    // from its centre: 0.07 and 0.55 of its radius.
    EXPECT_TRUE(Near(p, 50, 40, {237, 0, 18}, 3));
    EXPECT_TRUE(Near(p, 55, 40, {114, 0, 141}, 3));
    EXPECT_TRUE(Near(p, 63, 46, kBlue, 0)) << "padded past the circle";

    // The bitmap's corner texels, ten pixels each; the fourth is black at half alpha.
    EXPECT_TRUE(Near(p, 10, 50, kRed, 0));
    EXPECT_TRUE(Near(p, 29, 50, {0, 255, 0}, 0));
    EXPECT_TRUE(Near(p, 10, 69, kBlue, 0));
    EXPECT_TRUE(Near(p, 29, 69, {127, 127, 127}, 1));
    EXPECT_TRUE(Near(p, 19, 59, kRed, 0));
    EXPECT_TRUE(Near(p, 20, 60, {127, 127, 127}, 1));
    // Placed on its own, a texel is a pixel.
    EXPECT_TRUE(Near(p, 60, 50, kRed, 0));
    EXPECT_TRUE(Near(p, 61, 50, {0, 255, 0}, 0));
    EXPECT_TRUE(Near(p, 60, 51, kBlue, 0));
    EXPECT_TRUE(Near(p, 61, 51, {127, 127, 127}, 1));
    EXPECT_TRUE(Near(p, 62, 50, kWhite, 0));
}

TEST_F(DrawingTest, TextFromAFontsGlyphs) {
    Load("text.swf");
    const PixelImage& p = Frame();
    // "A" fills (10, 20)-(20, 30); "B", 12 pixels on, (22, 20)-(27, 30).
    EXPECT_TRUE(Near(p, 10, 20, kBlue, 0));
    EXPECT_TRUE(Near(p, 19, 29, kBlue, 0));
    EXPECT_TRUE(Near(p, 20, 25, kWhite, 0));
    EXPECT_TRUE(Near(p, 22, 25, kBlue, 0));
    EXPECT_TRUE(Near(p, 26, 25, kBlue, 0));
    EXPECT_TRUE(Near(p, 27, 25, kWhite, 0));
    EXPECT_TRUE(Near(p, 15, 30, kWhite, 0)) << "below the baseline";
    // The field's glyphs start two pixels inside its bounds at (10, 50).
    EXPECT_TRUE(Near(p, 12, 52, kRed, 0));
    EXPECT_TRUE(Near(p, 21, 61, kRed, 0));
    EXPECT_TRUE(Near(p, 11, 55, kWhite, 0));
    EXPECT_TRUE(Near(p, 23, 55, kWhite, 0));
    EXPECT_TRUE(Near(p, 25, 55, kRed, 0));

    // Drawn from glyphs, the field is not left to a platform font.
    struct Canvas : MovieCanvas {
        int texts = 0;
        void FillRect(const PixelRect&, Rgb) override {}
        void DrawPicture(const PixelImage&) override {}
        void DrawText(const PixelRect&, const std::u16string&, Rgb, int, TextAlign) override {
            ++texts;
        }
    } canvas;
    control_.Paint(canvas, 100, 100);
    EXPECT_EQ(canvas.texts, 0);
}

TEST_F(DrawingTest, AButtonFollowsThePointerAndRunsItsReleaseAction) {
    Load("button.swf");
    EXPECT_TRUE(Near(Frame(), 50, 50, kRed, 0));
    EXPECT_TRUE(Near(Frame(), 10, 10, kRed, 0)) << "a face that is a movie clip";
    EXPECT_TRUE(Near(Frame(), 16, 10, kWhite, 0));
    control_.PointerMove(20, 20);
    EXPECT_FALSE(control_.OverButton());
    control_.PointerMove(45, 45);
    EXPECT_TRUE(control_.OverButton());
    EXPECT_TRUE(Near(Frame(), 50, 50, kBlue, 0));
    control_.PointerDown(45, 45);
    EXPECT_TRUE(Near(Frame(), 50, 50, kBlack, 0));
    EXPECT_TRUE(commands_.seen.empty()) << "the press alone runs nothing";
    control_.PointerUp(46, 46);
    EXPECT_EQ(commands_.seen, std::vector<std::u16string>{u"kefoend"});
    EXPECT_EQ(control_.Variable(u"pressed"), u"yes");
    EXPECT_TRUE(Near(Frame(), 50, 50, kBlue, 0));

    // Pressed, moved away and released elsewhere: no action.
    control_.PointerDown(45, 45);
    control_.PointerMove(90, 90);
    EXPECT_TRUE(Near(Frame(), 50, 50, kRed, 0));
    control_.PointerUp(90, 90);
    EXPECT_EQ(commands_.seen.size(), 1u);
    EXPECT_FALSE(control_.OverButton());
}

TEST_F(DrawingTest, AMorphShapeAtItsRatio) {
    Load("morph.swf");
    EXPECT_TRUE(Near(Frame(), 29, 29, kRed, 0));
    EXPECT_TRUE(Near(Frame(), 31, 31, kWhite, 0));
    control_.Tick();
    // Half way: (10, 10)-(40, 40), half red and half blue.
    EXPECT_TRUE(Near(Frame(), 39, 39, {128, 0, 127}, 1));
    EXPECT_TRUE(Near(Frame(), 41, 41, kWhite, 0));
    control_.Tick();
    EXPECT_TRUE(Near(Frame(), 49, 49, kBlue, 0));
    EXPECT_TRUE(Near(Frame(), 50, 50, kWhite, 0));
}

TEST_F(DrawingTest, ActionsReachAMovieClipByItsPaths) {
    Load("script.swf");
    // Told to its third frame and moved to x = 50: the square at (70, 50), at half alpha.
    EXPECT_TRUE(Near(Frame(), 75, 55, {255, 128, 128}, 1));
    EXPECT_TRUE(Near(Frame(), 55, 55, kWhite, 0));
    EXPECT_TRUE(Near(Frame(), 35, 55, kWhite, 0));
    control_.Tick();
    EXPECT_TRUE(Near(Frame(), 75, 55, {255, 128, 128}, 1)) << "it stopped there";
    EXPECT_EQ(control_.Variable(u"/mover:v"), u"inside");
    EXPECT_EQ(control_.Variable(u"_root.mover.w"), u"also");
    EXPECT_EQ(control_.Variable(u"mover.v"), u"inside");
    EXPECT_EQ(control_.Variable(u"fromClip"), u"yes");
    EXPECT_EQ(control_.Variable(u"v"), u"") << "not the main timeline's";
}

TEST_F(DrawingTest, TheMainTimelineMovesAndFadesLikeAClip) {
    Load("root.swf");
    EXPECT_TRUE(Near(Frame(), 45, 15, {255, 128, 128}, 1));
    EXPECT_TRUE(Near(Frame(), 15, 15, kWhite, 0));
}

TEST_F(DrawingTest, TheStageScalesIntoTheWindow) {
    Load("shapes.swf");
    // Twice the stage: the square covers (20, 20) to (60, 60); the wider window centres it.
    const PixelImage& p = control_.Render(300, 200);
    EXPECT_TRUE(Near(p, 50 + 20, 20, kRed, 0));
    EXPECT_TRUE(Near(p, 50 + 59, 59, kRed, 0));
    EXPECT_TRUE(Near(p, 50 + 19, 40, kWhite, 0));
    EXPECT_TRUE(Near(p, 50 + 60, 40, kWhite, 0));
}

TEST_F(DrawingTest, AMovieClipPlaysItsOwnFramesAfterTheMainTimelineStops) {
    Load("sprite.swf");
    const auto squareAt = [&](int x) { return Near(Frame(), x + 5, 55, kRed, 0); };
    EXPECT_TRUE(squareAt(10));
    control_.Tick();
    EXPECT_EQ(control_.CurrentFrame(), 1);
    EXPECT_FALSE(control_.Timelines().Playing()) << "the second frame stops the main timeline";
    EXPECT_TRUE(squareAt(20));
    EXPECT_TRUE(Near(Frame(), 15, 55, kWhite, 0));
    EXPECT_NE(host_.timer, 0u) << "the clip still moves";
    control_.Tick();
    EXPECT_TRUE(squareAt(30));
    control_.Tick();
    EXPECT_TRUE(squareAt(10)) << "the clip starts over";
    EXPECT_EQ(control_.CurrentFrame(), 1);

    // Stopped by the player, nothing moves.
    control_.Stop();
    EXPECT_EQ(host_.timer, 0u);
    control_.Tick();
    EXPECT_TRUE(squareAt(10));
}

TEST_F(DrawingTest, FrameActionsGoToALabelAndSetVariables) {
    Load("actions.swf");
    EXPECT_EQ(control_.CurrentFrame(), 2);
    EXPECT_FALSE(control_.IsPlaying());
    EXPECT_EQ(control_.Variable(u"count"), u"1");
    EXPECT_EQ(control_.Variable(u"_root.done"), u"yes");
    EXPECT_EQ(commands_.seen, std::vector<std::u16string>{u"kefoend"});
}
