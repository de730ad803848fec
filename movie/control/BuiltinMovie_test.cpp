#include "BuiltinMovie.h"

#include <gtest/gtest.h>

#include <functional>

#include "EmbedMovie.h"
#include "SwfTestData.h"

using namespace swfdata;

namespace {

class FakeHost : public BuiltinMovieHost {
  public:
    int invalidations = 0;
    unsigned timer = 0;
    std::vector<unsigned> timerCalls;
    void Invalidate() override { ++invalidations; }
    void SetFrameTimer(unsigned intervalMs) override {
        timer = intervalMs;
        timerCalls.push_back(intervalMs);
    }
};

class Recorder : public MovieControlEvents {
  public:
    std::vector<std::u16string> commands;
    std::function<void(const std::u16string&)> then;
    void OnFSCommand(const std::u16string& command, const std::u16string& args) override {
        commands.push_back(command + u"|" + args);
        if (then) then(command);
    }
};

struct DrawnText {
    PixelRect box;
    std::u16string line;
    Rgb color;
    int pixelHeight;
    TextAlign align;
};

class FakeCanvas : public MovieCanvas {
  public:
    std::vector<std::pair<PixelRect, Rgb>> fills;
    std::vector<DrawnText> texts;
    void FillRect(const PixelRect& rect, Rgb color) override { fills.push_back({rect, color}); }
    void DrawPicture(const PixelImage& p) override { picture = p; }
    PixelImage picture;
    void DrawText(const PixelRect& box, const std::u16string& line, Rgb color, int pixelHeight,
                  TextAlign align) override {
        texts.push_back({box, line, color, pixelHeight, align});
    }
    const DrawnText* Find(const std::u16string& line) const {
        for (const auto& t : texts)
            if (t.line == line) return &t;
        return nullptr;
    }
    std::vector<std::u16string> Lines() const {
        std::vector<std::u16string> out;
        for (const auto& t : texts) out.push_back(t.line);
        return out;
    }
};

class BuiltinMovieTest : public ::testing::Test {
  protected:
    BuiltinMovieTest() { control_.SetEvents(&events_); }

    // Through the host's path: the movie goes in inside a load image.
    void Load(const Bytes& movie) {
        MemoryStream s(movie);
        EmbedMovieStream(control_, &s);
    }
    FakeCanvas Paint(int w = 550, int h = 400) {
        FakeCanvas c;
        control_.Paint(c, w, h);
        return c;
    }

    FakeHost host_;
    Recorder events_;
    BuiltinMovie control_{host_};
};

// Two frames: a field bound to "_root.v" and a field that moves, then an FSCommand.
Bytes SmallMovie(const std::string& command = "done") {
    Bytes tags = Tag(9, {0, 0, 0});
    Append(tags, EditText(1, "_root.v", "initial"));
    Append(tags, EditText(2, "", "line one\rline two"));
    Append(tags, Place(1, 1, 0, 0));
    Append(tags, Place(2, 2, 1000, 2000));
    Append(tags, ShowFrame());
    Append(tags, Move(2, 3000, 4000));
    Append(tags, Actions(GetUrl("FSCommand:" + command, "x")));
    Append(tags, ShowFrame());
    return Movie(tags, 8, 10 * 256, 2);
}

}  // namespace

TEST_F(BuiltinMovieTest, EveryFormOfTheEpisodePlaysAlike) {
    // The scrambled forms reach the control as the same image (see the movie file tests).
    for (const char* name : {"episode.swf", "episode_cws.swf"}) {
        FakeHost host;
        BuiltinMovie control(host);
        MemoryStream s(ReadBytes(TestMovie(name)));
        EmbedMovieStream(control, &s);
        ASSERT_TRUE(control.HasMovie());
        EXPECT_EQ(control.Movie()->frames.size(), 6u) << name;
        EXPECT_TRUE(control.IsPlaying());
        EXPECT_EQ(host.timer, 83u) << "12 frames a second";
        FakeCanvas canvas;
        control.Paint(canvas, 550, 400);
        EXPECT_NE(canvas.Find(u"小小画家"), nullptr) << name;
        EXPECT_NE(canvas.Find(u"第3集"), nullptr) << name;
        EXPECT_NE(canvas.Find(u"1024"), nullptr) << name;
    }
}

TEST_F(BuiltinMovieTest, TheEpisodesNextButtonSendsTheCommandAtOnce) {
    Load(ReadBytes(TestMovie("episode.swf")));
    control_.Render(550, 400);
    // The button sits 110 pixels from the right and 70 from the bottom of the stage.
    control_.PointerDown(550 - 100, 400 - 60);
    EXPECT_TRUE(control_.OverButton());
    EXPECT_TRUE(events_.commands.empty());
    control_.PointerUp(550 - 100, 400 - 60);
    EXPECT_EQ(events_.commands, std::vector<std::u16string>{u"kefoend|"});
    EXPECT_EQ(control_.CurrentFrame(), 0) << "the episode itself plays on until the player acts";
}

TEST_F(BuiltinMovieTest, TheLastFrameSendsItsCommandOnceAndStops) {
    Load(ReadBytes(TestMovie("episode.swf")));
    for (int frame = 1; frame <= 5; ++frame) {
        EXPECT_TRUE(events_.commands.empty()) << frame;
        control_.Tick();
        EXPECT_EQ(GetIntProperty(control_, FlashDispId::FrameNum), frame);
    }
    EXPECT_EQ(events_.commands, std::vector<std::u16string>{u"kefoend|"});
    EXPECT_FALSE(GetBoolProperty(control_, FlashDispId::Playing));
    EXPECT_NE(host_.timer, 0u) << "the ball's own clip bounces on";
    control_.Tick();
    control_.Tick();
    EXPECT_EQ(events_.commands.size(), 1u);
    EXPECT_EQ(control_.CurrentFrame(), 5);
}

TEST_F(BuiltinMovieTest, AOneFrameEpisodeSendsItsCommandOnLoad) {
    Load(ReadBytes(TestMovie("episode_one_frame.swf")));
    EXPECT_EQ(events_.commands, std::vector<std::u16string>{u"kefoend|"});
    EXPECT_FALSE(control_.IsPlaying());
    control_.Tick();
    EXPECT_EQ(events_.commands.size(), 1u);
}

TEST_F(BuiltinMovieTest, LoopingGoesBackToTheFirstFrameUnlessLoopIsOff) {
    Load(ReadBytes(TestMovie("logo.swf")));
    const int frames = static_cast<int>(control_.Movie()->frames.size());
    ASSERT_GT(frames, 2);
    const auto star = [&] {
        const FakeCanvas c = Paint();
        const DrawnText* t = c.Find(u"★");
        return t ? t->box.left : -1;
    };
    const int startX = star();
    for (int i = 1; i < frames; ++i) control_.Tick();
    EXPECT_EQ(control_.CurrentFrame(), frames - 1);
    EXPECT_GT(star(), startX);
    control_.Tick();
    EXPECT_EQ(control_.CurrentFrame(), 0);
    EXPECT_EQ(star(), startX) << "the display list starts over";
    EXPECT_TRUE(control_.IsPlaying());

    control_.SetProperty(FlashDispId::Loop, false);
    for (int i = 1; i < frames; ++i) control_.Tick();
    control_.Tick();
    EXPECT_EQ(control_.CurrentFrame(), frames - 1);
    EXPECT_FALSE(control_.IsPlaying());
    EXPECT_EQ(host_.timer, 0u);
}

TEST_F(BuiltinMovieTest, StopAndPlay) {
    Load(SmallMovie());
    EXPECT_EQ(host_.timer, 100u);
    control_.Stop();
    EXPECT_EQ(host_.timer, 0u);
    control_.Tick();
    EXPECT_EQ(control_.CurrentFrame(), 0);
    control_.Play();
    EXPECT_EQ(host_.timer, 100u);
    control_.Tick();
    EXPECT_EQ(control_.CurrentFrame(), 1);
    control_.SetProperty(FlashDispId::Playing, false);
    EXPECT_FALSE(GetBoolProperty(control_, FlashDispId::Playing));
}

TEST_F(BuiltinMovieTest, BoundFieldsShowTheirVariable) {
    Load(ReadBytes(TestMovie("load.swf")));
    const auto percent = [&] {
        const FakeCanvas c = Paint();
        for (const auto& t : c.texts)
            if (t.align == TextAlign::Right && t.pixelHeight == 36) return t.line;
        return std::u16string(u"(none)");
    };
    EXPECT_EQ(percent(), u"0");
    EXPECT_NE(Paint().Find(u"正在下载，请稍候……"), nullptr);
    control_.SetVariable(u"_root.loadint", u"42");
    EXPECT_EQ(percent(), u"42");
    control_.SetVariable(u"loadint", u"43");
    EXPECT_EQ(percent(), u"43");
    EXPECT_EQ(control_.Variable(u"_root.loadint"), u"43");
    control_.Tick();
    EXPECT_EQ(percent(), u"43") << "a variable outlives the frame";
}

TEST_F(BuiltinMovieTest, AVariableSetBeforeItsFieldAppearsWins) {
    Bytes tags = ShowFrame();
    Append(tags, EditText(1, "count", "start"));
    Append(tags, Place(1, 1, 0, 0));
    Append(tags, ShowFrame());
    Load(Movie(tags, 8, 12 * 256, 2));
    control_.SetVariable(u"_root.count", u"7");
    control_.Tick();
    EXPECT_NE(Paint().Find(u"7"), nullptr);
    EXPECT_EQ(Paint().Find(u"start"), nullptr);
}

TEST_F(BuiltinMovieTest, PaintsBackgroundTextsAndProgressStrip) {
    Load(SmallMovie());
    FakeCanvas c = Paint(550, 400);
    ASSERT_FALSE(c.fills.empty());
    EXPECT_EQ(c.fills[0].first, (PixelRect{0, 0, 550, 400}));
    EXPECT_EQ(c.fills[0].second, (Rgb{0, 0, 0}));
    EXPECT_EQ(c.Lines(), (std::vector<std::u16string>{u"initial", u"line one", u"line two"}));
    const DrawnText* one = c.Find(u"line one");
    const DrawnText* two = c.Find(u"line two");
    // Field at (50, 100) pixels, bounds 100 x 20 pixels, two pixels of gutter.
    EXPECT_EQ(one->box, (PixelRect{52, 102, 148, 118}));
    EXPECT_EQ(one->pixelHeight, 12);
    EXPECT_EQ(one->color, (Rgb{0x11, 0x22, 0x33}));
    EXPECT_EQ(two->box.top, 114);
    // Half the timeline played: the strip spans half the stage, at its foot.
    ASSERT_EQ(c.fills.size(), 2u);
    EXPECT_EQ(c.fills[1].first, (PixelRect{0, 396, 275, 400}));
    EXPECT_NE(c.fills[1].second, c.fills[0].second);

    control_.Tick();
    c = Paint(1100, 1000);  // twice the size, with room to spare above and below
    EXPECT_EQ(c.Find(u"line one")->box.left, 2 * 150 + 4);
    EXPECT_EQ(c.Find(u"line one")->box.top, 100 + 2 * 200 + 4);
    EXPECT_EQ(c.Find(u"line one")->pixelHeight, 24);
    EXPECT_EQ(c.fills[1].first, (PixelRect{0, 892, 1100, 900}));

    control_.SetProperty(FlashDispId::ScaleMode, 2);  // exact fit
    c = Paint(1100, 1000);
    EXPECT_EQ(c.Find(u"line one")->box.top, 500 + 5);
    EXPECT_EQ(c.Find(u"line one")->pixelHeight, 30);

    control_.SetProperty(FlashDispId::BackgroundColor, 0x336699);
    EXPECT_EQ(Paint().fills[0].second, (Rgb{0x33, 0x66, 0x99}));
}

TEST_F(BuiltinMovieTest, DisplayListFollowsPlaceMoveAndRemove) {
    Bytes tags = EditText(1, "", "a");
    Append(tags, EditText(2, "", "b"));
    Append(tags, Place(1, 1, 0, 0));
    Append(tags, Place(2, 2, 0, 0));
    Append(tags, ShowFrame());
    Append(tags, RemoveDepth(1));
    Bytes replace{0x07};  // move, character and matrix at depth 2: now character 1
    Append(replace, U16(2));
    Append(replace, U16(1));
    Append(replace, Translate(200, 0));
    Append(tags, Tag(26, replace));
    Append(tags, ShowFrame());
    Append(tags, Place(2, 3, 0, 0));
    Append(tags, ShowFrame());
    Load(Movie(tags, 8, 12 * 256, 3));
    EXPECT_EQ(Paint().Lines(), (std::vector<std::u16string>{u"a", u"b"}));
    control_.Tick();
    EXPECT_EQ(Paint().Lines(), (std::vector<std::u16string>{u"a"}));
    EXPECT_EQ(Paint().Find(u"a")->box.left, 12);
    control_.Tick();
    EXPECT_EQ(Paint().Lines(), (std::vector<std::u16string>{u"a", u"b"}));

    // Going to a frame builds the display list up to it.
    control_.SetProperty(FlashDispId::FrameNum, 1);
    EXPECT_EQ(control_.CurrentFrame(), 1);
    EXPECT_EQ(Paint().Lines(), (std::vector<std::u16string>{u"a"}));
    control_.SetProperty(FlashDispId::FrameNum, 99);
    EXPECT_EQ(control_.CurrentFrame(), 2);
}

TEST_F(BuiltinMovieTest, LoadMovieOnLayerZeroClears) {
    const struct {
        int layer;
        std::u16string url;
        bool clears;
    } cases[] = {{0, u"http://", true},
                 {0, u"", true},
                 {1, u"http://", false},
                 {0, u"http://x/a.swf", false},
                 {2, u"", false}};
    for (const auto& c : cases) {
        Load(SmallMovie());
        ASSERT_TRUE(control_.HasMovie());
        control_.LoadMovie(c.layer, c.url);
        EXPECT_EQ(!control_.HasMovie(), c.clears) << c.layer;
        if (c.clears) {
            EXPECT_EQ(host_.timer, 0u);
            EXPECT_EQ(GetIntProperty(control_, FlashDispId::FrameNum), -1);
            EXPECT_FALSE(GetBoolProperty(control_, FlashDispId::Playing));
            const FakeCanvas canvas = Paint();
            EXPECT_TRUE(canvas.texts.empty());
            EXPECT_EQ(canvas.fills.size(), 1u);
        }
    }
}

TEST_F(BuiltinMovieTest, SavedStateRoundTrips) {
    control_.SetProperty(FlashDispId::ScaleMode, 3);
    control_.SetProperty(FlashDispId::AllowScriptAccess, std::u16string(u"never"));
    control_.SetProperty(FlashDispId::Loop, false);
    control_.SetProperty(FlashDispId::FlashVars, std::u16string(u"a=1&b=\u4E2D"));
    Load(SmallMovie());
    EXPECT_EQ(GetIntProperty(control_, FlashDispId::ScaleMode), 3) << "the load image carries it";

    // With EmbedMovie on, the saved state holds the movie; another control plays it from there.
    control_.SetProperty(FlashDispId::EmbedMovie, true);
    std::vector<std::uint8_t> state(control_.SaveStateSizeMax() + 10, 0xEE);
    control_.SaveState(state);
    EXPECT_EQ(state[0], 0x66);
    EXPECT_EQ(state.back(), 0xEE) << "bytes past the state stay";
    FakeHost otherHost;
    BuiltinMovie other(otherHost);
    other.LoadState(state);
    EXPECT_TRUE(other.HasMovie());
    EXPECT_EQ(other.Movie()->frames.size(), 2u);
    EXPECT_EQ(GetIntProperty(other, FlashDispId::ScaleMode), 3);
    EXPECT_EQ(GetTextProperty(other, FlashDispId::AllowScriptAccess), u"never");
    EXPECT_FALSE(GetBoolProperty(other, FlashDispId::Loop));
    EXPECT_EQ(GetTextProperty(other, FlashDispId::FlashVars), u"a=1&b=\u4E2D");
    EXPECT_TRUE(GetBoolProperty(other, FlashDispId::Menu)) << "defaults stay defaults";

    // Without it, the state has no movie and loading it clears the movie.
    control_.SetProperty(FlashDispId::EmbedMovie, false);
    std::vector<std::uint8_t> bare(control_.SaveStateSizeMax());
    control_.SaveState(bare);
    EXPECT_EQ(Bytes(bare.begin(), bare.begin() + 4), (Bytes{0x67, 0x55, 0x66, 0x55}));
    other.LoadState(bare);
    EXPECT_FALSE(other.HasMovie());
    EXPECT_EQ(GetIntProperty(other, FlashDispId::ScaleMode), 3);

    std::vector<std::uint8_t> tooSmall(bare.size() - 1);
    EXPECT_THROW(control_.SaveState(tooSmall), MovieControlError);
}

TEST_F(BuiltinMovieTest, AnUnreadableStateOrMovieLeavesTheCurrentMovie) {
    Load(SmallMovie());
    control_.Tick();
    const Bytes notAMovie = [] {
        Bytes image{0x66, 0x55, 0x66, 0x55};
        Append(image, U32(5));
        Append(image, BytesOf("GIF89"));
        return image;
    }();
    const Bytes lyingLength = [] {
        Bytes image{0x66, 0x55, 0x66, 0x55};
        Append(image, U32(500));
        Append(image, BytesOf("FWS"));
        return image;
    }();
    const Bytes brokenProperties = [] {
        Bytes image{0x67, 0x55, 0x66, 0x55, 0x01, 0x00};
        Append(image, U32(120));
        image.push_back(9);  // no such kind
        return image;
    }();
    for (const Bytes& image : {Bytes{}, Bytes{0x67, 0x55}, Bytes{0x12, 0x34, 0x56, 0x78}, notAMovie,
                               lyingLength, brokenProperties}) {
        EXPECT_THROW(control_.LoadState(image), MovieControlError) << image.size();
        ASSERT_TRUE(control_.HasMovie());
        EXPECT_EQ(control_.CurrentFrame(), 1);
    }
    // Embedded, a movie that is no SWF changes nothing either.
    MemoryStream page(BytesOf("<html>not found</html>"));
    EXPECT_THROW(EmbedMovieStream(control_, &page), MovieControlError);
    EXPECT_EQ(control_.CurrentFrame(), 1);
}

TEST_F(BuiltinMovieTest, AHandlerThatReplacesTheMovieEndsTheOldMoviesCommands) {
    Bytes tags = Actions([] {
        Bytes a = GetUrl("FSCommand:first", "");
        Append(a, GetUrl("FSCommand:second", ""));
        return a;
    }());
    Append(tags, ShowFrame());
    const Bytes twoCommands = Movie(tags);
    events_.then = [&](const std::u16string& command) {
        if (command == u"first") {
            control_.Stop();
            control_.LoadMovie(0, u"http://");
            Load(SmallMovie("next"));
        }
    };
    Load(twoCommands);
    EXPECT_EQ(events_.commands, std::vector<std::u16string>{u"first|"});
    ASSERT_TRUE(control_.HasMovie());
    EXPECT_EQ(control_.Movie()->frames.size(), 2u);
    control_.Tick();
    EXPECT_EQ(events_.commands, (std::vector<std::u16string>{u"first|", u"next|x"}));
}

TEST_F(BuiltinMovieTest, PropertiesKeepTheirKind) {
    EXPECT_TRUE(GetBoolProperty(control_, FlashDispId::Menu));
    control_.SetProperty(FlashDispId::Menu, std::int32_t{0});
    EXPECT_FALSE(GetBoolProperty(control_, FlashDispId::Menu));
    EXPECT_TRUE(std::holds_alternative<bool>(control_.GetProperty(FlashDispId::Menu)));
    control_.SetProperty(FlashDispId::ScaleMode, std::u16string(u"2"));
    EXPECT_EQ(GetIntProperty(control_, FlashDispId::ScaleMode), 2);
    control_.SetProperty(FlashDispId::AllowScriptAccess, std::int32_t{5});
    EXPECT_EQ(GetTextProperty(control_, FlashDispId::AllowScriptAccess), u"5");
    control_.SetProperty(4242, std::int32_t{9});  // unknown, but kept
    EXPECT_EQ(GetIntProperty(control_, 4242), 9);
    EXPECT_EQ(GetIntProperty(control_, FlashDispId::FrameNum), -1);
    control_.SetProperty(FlashDispId::FrameNum, 3);  // no movie: nothing to go to
    EXPECT_EQ(GetIntProperty(control_, FlashDispId::FrameNum), -1);
}
