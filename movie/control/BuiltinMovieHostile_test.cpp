// Hostile movies end within their caps: clips nested without end or doubling at every level, a
// button that draws itself, actions that loop within a block and frames that send each other back
// and forth, shapes cut short. Each case must load, play a few frames and draw.
#include <gtest/gtest.h>

#include "BuiltinMovie.h"
#include "EmbedMovie.h"
#include "SwfTestData.h"
#include "QuietMovieHost.h"

using namespace swfdata;

namespace {

// A sprite of one frame made of `tags`.
Bytes Sprite(unsigned id, const Bytes& tags, unsigned frames = 1) {
    Bytes body = U16(id);
    Append(body, U16(frames));
    Append(body, tags);
    Append(body, Tag(0, {}));
    return Tag(39, body, true);
}

// A solid square of 10 pixels, DefineShape with one fill.
Bytes Square(unsigned id) {
    swfdata::Bits b;
    b.Put(1, 4);  // fill bits
    b.Put(0, 4);  // line bits
    b.Put(0, 1);
    b.Put(0b00101, 5);  // fill 1, move
    b.Put(1, 5);
    b.Put(0, 1);
    b.Put(0, 1);
    b.Put(1, 1);
    for (const auto& [dx, dy] :
         {std::pair{200, 0}, std::pair{0, 200}, std::pair{-200, 0}, std::pair{0, -200}}) {
        b.Put(1, 1);
        b.Put(1, 1);
        b.Put(10 - 2, 4);
        b.Put(1, 1);
        b.Put(dx, 10);
        b.Put(dy, 10);
    }
    b.Put(0, 6);
    Bytes body = U16(id);
    Append(body, Rect(0, 200, 0, 200));
    Append(body, {1, 0x00, 0xFF, 0x00, 0x00});  // one solid red fill
    body.push_back(0);                          // no lines
    Append(body, b.Take());
    return Tag(2, body);
}

Bytes PlaceAt(unsigned id, unsigned depth) {
    return Place(id, depth, 0, 0);
}

struct Played {
    std::size_t objects;
    int frame;
};

Played PlayAndDraw(const Bytes& movie, int ticks = 3) {
    QuietMovieHost host;
    BuiltinMovie control(host);
    MemoryStream s(movie);
    EmbedMovieStream(control, &s);
    EXPECT_TRUE(control.HasMovie());
    for (int i = 0; i < ticks; ++i) control.Tick();
    const PixelImage& p = control.Render(64, 64);
    EXPECT_EQ(p.pixels.size(), 64u * 64u);
    return {control.Timelines().DisplayObjects(), control.CurrentFrame()};
}

}  // namespace

TEST(HostileMovies, ClipsNestedWithoutEndStopAtTheLimit) {
    // Sprite 1 places itself: each level one deeper.
    Bytes tags = Square(2);
    Bytes inner = PlaceAt(2, 1);
    Append(inner, PlaceAt(1, 2));
    Append(inner, ShowFrame());
    Append(tags, Sprite(1, inner));
    Append(tags, PlaceAt(1, 1));
    Append(tags, ShowFrame());
    const Played nested = PlayAndDraw(Movie(tags));
    EXPECT_LE(nested.objects, 2u * (kMaxClipNesting + 1));
    EXPECT_GE(nested.objects, 2u * kMaxClipNesting);

    // Sprite 1 places itself twice: the levels double until the count of objects stops them.
    Bytes doubling = Square(2);
    Bytes twice = PlaceAt(1, 1);
    Append(twice, PlaceAt(1, 2));
    Append(twice, PlaceAt(2, 3));
    Append(twice, ShowFrame());
    Append(doubling, Sprite(1, twice));
    Append(doubling, PlaceAt(1, 1));
    Append(doubling, ShowFrame());
    const Played doubled = PlayAndDraw(Movie(doubling), 1);
    EXPECT_LE(doubled.objects, kMaxDisplayObjects);
    EXPECT_GT(doubled.objects, kMaxDisplayObjects / 2) << "it got near the limit";

    // A button whose every state names itself three times: drawing stops at its budget.
    Bytes button = U16(5);
    Append(button, {0, 0, 0});  // not a menu, no actions
    for (unsigned depth = 1; depth <= 3; ++depth) {
        button.push_back(0x01);  // up
        Append(button, U16(5));
        Append(button, U16(depth));
        Append(button, Translate(0, 0));
        button.push_back(0);  // a colour transform that changes nothing
    }
    button.push_back(0);
    Bytes selfish = Square(2);
    Append(selfish, Tag(34, button));
    Append(selfish, PlaceAt(5, 1));
    Append(selfish, ShowFrame());
    PlayAndDraw(Movie(selfish), 1);
}

TEST(HostileMovies, ActionsThatLoopEndWithinTheirCaps) {
    // A block that jumps to itself, every frame.
    Bytes forever = Actions({0x99, 0x02, 0x00, 0xFB, 0xFF});
    Append(forever, ShowFrame());
    Append(forever, Actions({0x99, 0x02, 0x00, 0xFB, 0xFF}));
    Append(forever, ShowFrame());
    EXPECT_GE(PlayAndDraw(Movie(forever, 8, 12 * 256, 2)).frame, 0);

    // Two frames that send each other back and forth, and a clip that does the same.
    Bytes pingPong = Actions({0x81, 0x02, 0x00, 0x01, 0x00, 0x06});  // go to frame 2, play
    Append(pingPong, ShowFrame());
    Append(pingPong, Actions({0x81, 0x02, 0x00, 0x00, 0x00, 0x06}));  // go to frame 1, play
    Append(pingPong, ShowFrame());
    Bytes clipFrames = pingPong;
    Bytes withClip = Sprite(1, clipFrames, 2);
    Append(withClip, PlaceAt(1, 1));
    Append(withClip, pingPong);
    const Played played = PlayAndDraw(Movie(withClip, 8, 12 * 256, 2), 5);
    EXPECT_TRUE(played.frame == 0 || played.frame == 1);
}

TEST(HostileMovies, TagsCutShortKeepWhatCameBefore) {
    Bytes tags = Square(2);
    Append(tags, PlaceAt(2, 1));
    Append(tags, ShowFrame());
    // A shape whose styles say 255 fills and then end; a sprite whose inner tag runs past it.
    Append(tags, Tag(2, {3, 0, 0x00, 0xFF, 0x00}));
    Bytes inner = U16((26 << 6) | 20);
    Append(inner, {0x06, 0x01});
    Append(tags, Sprite(4, inner));
    Append(tags, PlaceAt(3, 2));
    Append(tags, PlaceAt(4, 3));
    Append(tags, ShowFrame());
    const Bytes movie = Movie(tags, 8, 12 * 256, 2);
    QuietMovieHost host;
    BuiltinMovie control(host);
    MemoryStream s(movie);
    EmbedMovieStream(control, &s);
    ASSERT_TRUE(control.HasMovie());
    EXPECT_EQ(control.Movie()->frames.size(), 2u);
    control.Tick();
    const PixelImage& p = control.Render(550, 400);
    EXPECT_EQ(p.At(5, 5), 0xFFFF0000u) << "the whole square still draws";
}
