#include "SwfReader.h"

#include <gtest/gtest.h>

#include "Actions.h"
#include "SwfTestData.h"

using namespace swfdata;

namespace {

SwfMovie Read(const Bytes& data) {
    SwfMovie m;
    EXPECT_TRUE(ReadSwf(data.data(), data.size(), m));
    return m;
}

// What a frame's action blocks ask for: "stop", "play", and FSCommands as "command|args".
class CommandRecorder : public ActionHost {
  public:
    std::vector<std::u16string> out;
    void SetTarget(const std::u16string&) override {}
    void Stop() override { out.push_back(u"stop"); }
    void Play() override { out.push_back(u"play"); }
    void NextFrame() override {}
    void PrevFrame() override {}
    void GotoFrame(int, bool) override {}
    void GotoLabel(const std::u16string&, bool) override {}
    void GetUrl(const std::u16string& url, const std::u16string& target) override {
        if (url.size() > 10 &&
            (url.compare(0, 10, u"FSCommand:") == 0 || url.compare(0, 10, u"fscommand:") == 0))
            out.push_back(url.substr(10) + u"|" + target);
    }
    ActionValue GetVariable(const std::u16string&) override { return {}; }
    void SetVariable(const std::u16string&, const ActionValue&) override {}
    ActionValue GetProperty(const std::u16string&, int) override { return {}; }
    void SetProperty(const std::u16string&, int, const ActionValue&) override {}
    bool CallClipMethod(const std::u16string&, const std::u16string&,
                        const std::vector<ActionValue>&) override {
        return false;
    }
};

std::vector<std::u16string> Commands(const SwfFrame& f) {
    CommandRecorder r;
    for (const auto& block : f.actions) RunActions(block, 8, r);
    return r.out;
}

}  // namespace

TEST(SwfReader, ReadsTheToolsEpisode) {
    const SwfMovie m = Read(ReadBytes(TestMovie("episode.swf")));
    EXPECT_EQ(m.version, 8);
    EXPECT_EQ(m.stage.xMin, 0);
    EXPECT_EQ(m.stage.xMax, 550 * 20);
    EXPECT_EQ(m.stage.yMax, 400 * 20);
    EXPECT_DOUBLE_EQ(m.FramesPerSecond(), 12.0);
    EXPECT_EQ(m.frameCount, 6);
    ASSERT_EQ(m.frames.size(), 6u);
    EXPECT_FALSE(m.truncated);
    EXPECT_TRUE(m.hasBackground);

    std::vector<std::u16string> texts;
    for (const auto& [id, t] : m.editTexts) texts.push_back(t.initialText);
    EXPECT_NE(std::find(texts.begin(), texts.end(), u"小小画家"), texts.end());
    EXPECT_NE(std::find(texts.begin(), texts.end(), u"第3集"), texts.end());

    for (std::size_t f = 0; f + 1 < m.frames.size(); ++f)
        EXPECT_TRUE(m.frames[f].actions.empty()) << f;
    EXPECT_EQ(Commands(m.frames.back()), (std::vector<std::u16string>{u"kefoend|", u"stop"}));
    // Every frame after the first moves the ball along.
    ASSERT_EQ(m.frames[2].places.size(), 1u);
    EXPECT_EQ(m.frames[2].places[0].kind, SwfPlace::Modify);
    EXPECT_GT(m.frames[2].places[0].translateX, m.frames[1].places[0].translateX);
}

TEST(SwfReader, ReadsTheLoadingMoviesBoundField) {
    const SwfMovie m = Read(ReadBytes(TestMovie("load.swf")));
    bool found = false;
    for (const auto& [id, t] : m.editTexts) {
        if (t.variable != u"_root.loadint") continue;
        found = true;
        EXPECT_EQ(t.initialText, u"0");
        EXPECT_EQ(t.align, 1);
        EXPECT_EQ(t.fontHeight, 36 * 20);
    }
    EXPECT_TRUE(found);
}

TEST(SwfReader, CompressedAndPlainReadAlike) {
    const SwfMovie plain = Read(ReadBytes(TestMovie("episode.swf")));
    const SwfMovie compressed = Read(ReadBytes(TestMovie("episode_cws.swf")));
    EXPECT_EQ(compressed.frames.size(), plain.frames.size());
    EXPECT_EQ(compressed.editTexts.size(), plain.editTexts.size());
    EXPECT_EQ(compressed.background, plain.background);
}

TEST(SwfReader, FieldsOfTheKnownTags) {
    Bytes tags = Tag(9, {0x10, 0x20, 0x30});
    Append(tags, Tag(9, {0x99, 0x99, 0x99}));  // only the first colour counts
    Append(tags, EditText(5, "_root.loadint", "42"));
    Append(tags, EditText(6, "", "<p>one</p><p>two &amp; <b>three</b></p>a<br/>b &lt;", true));
    Append(tags, Place(5, 1, 200, -300));
    Append(tags, Tag(4, [] {  // PlaceObject: character, depth, matrix
               Bytes b = U16(6);
               Append(b, U16(2));
               Append(b, Translate(7, 8));
               return b;
           }()));
    Append(tags, ShowFrame());
    Append(tags, Move(1, 400, 500));
    Append(tags, RemoveDepth(2));
    Append(tags, Tag(5, {6, 0, 2, 0}));  // RemoveObject: character, depth
    Append(tags, Actions({0x07, 0x06}));
    Bytes urls = GetUrl("FSCommand:kefoweb", "/a/b/");
    Append(urls, GetUrl("fscommand:quit", ""));
    Append(urls, GetUrl("http://elsewhere/", "_blank"));
    Append(tags, Actions(urls));
    Append(tags, ShowFrame());
    const SwfMovie m = Read(Movie(tags, 8, 0x1880, 2));

    EXPECT_EQ(m.background, (Rgb{0x10, 0x20, 0x30}));
    EXPECT_DOUBLE_EQ(m.FramesPerSecond(), 24.5);
    ASSERT_EQ(m.editTexts.count(5), 1u);
    const SwfEditText& bound = m.editTexts.at(5);
    EXPECT_EQ(bound.variable, u"_root.loadint");
    EXPECT_EQ(bound.initialText, u"42");
    EXPECT_EQ(bound.color, (Rgb{0x11, 0x22, 0x33}));
    EXPECT_EQ(bound.fontHeight, 240);
    EXPECT_EQ(bound.bounds.xMax, 2000);
    EXPECT_EQ(bound.bounds.yMax, 400);
    EXPECT_EQ(m.editTexts.at(6).initialText, u"one\rtwo & three\ra\rb <");

    ASSERT_EQ(m.frames.size(), 2u);
    const auto& first = m.frames[0].places;
    ASSERT_EQ(first.size(), 2u);
    EXPECT_EQ(first[0].kind, SwfPlace::Place);
    EXPECT_EQ(first[0].characterId, 5);
    EXPECT_EQ(first[0].depth, 1);
    EXPECT_EQ(first[0].translateX, 200);
    EXPECT_EQ(first[0].translateY, -300);
    EXPECT_EQ(first[1].characterId, 6);
    EXPECT_EQ(first[1].depth, 2);
    EXPECT_EQ(first[1].translateY, 8);
    const auto& second = m.frames[1].places;
    ASSERT_EQ(second.size(), 3u);
    EXPECT_EQ(second[0].kind, SwfPlace::Modify);
    EXPECT_FALSE(second[0].hasCharacter);
    EXPECT_EQ(second[0].translateX, 400);
    EXPECT_EQ(second[1].kind, SwfPlace::Remove);
    EXPECT_EQ(second[1].depth, 2);
    EXPECT_EQ(second[2].kind, SwfPlace::Remove);
    EXPECT_EQ(second[2].depth, 2);
    EXPECT_EQ(Commands(m.frames[1]),
              (std::vector<std::u16string>{u"stop", u"play", u"kefoweb|/a/b/", u"quit|"}));
}

TEST(SwfReader, OldMoviesKeepTheirBytesAsCharacters) {
    const Bytes tags = [] {
        Bytes t = EditText(1, "", "caf\xE9");
        Append(t, ShowFrame());
        return t;
    }();
    EXPECT_EQ(Read(Movie(tags, 5)).editTexts.at(1).initialText, u"caf\u00E9");
    EXPECT_EQ(Read(Movie(tags, 8)).editTexts.at(1).initialText, u"caf\uFFFD");
}

TEST(SwfReader, UnknownTagsAndUnknownActionsAreSkipped) {
    Bytes tags = Tag(777, BytesOf("whatever this is"));
    Append(tags, Tag(39, Bytes(100, 0xEE), true));  // a sprite, long header
    Append(tags, ShowFrame());
    Bytes actions{0x04, 0x81, 0x02, 0x00, 0x05, 0x00, 0x07};  // next frame, go to frame 5, stop
    Append(tags, Actions(actions));
    Append(tags, Tag(69, U32(0)));
    Append(tags, ShowFrame());
    const SwfMovie m = Read(Movie(tags));
    ASSERT_EQ(m.frames.size(), 2u);
    EXPECT_EQ(Commands(m.frames[1]), (std::vector<std::u16string>{u"stop"}));
    EXPECT_FALSE(m.truncated);
}

TEST(SwfReader, WhatRunsPastTheEndIsDropped) {
    Bytes frame1 = EditText(1, "", "kept");
    Append(frame1, Place(1, 1, 0, 0));
    Append(frame1, ShowFrame());

    const auto withTail = [&](const Bytes& tail) {
        Bytes tags = frame1;
        Append(tags, tail);
        return Read(Movie(tags));
    };
    const Bytes longTagCut = [] {
        Bytes t = U16((12 << 6) | 0x3F);
        Append(t, {0x10, 0x00});  // half of the length
        return t;
    }();
    const Bytes tagPastEnd = [] {
        Bytes t = U16((12 << 6) | 10);
        Append(t, {0x07, 0x07});
        return t;
    }();
    const Bytes hugeLength = [] {
        Bytes t = U16((37 << 6) | 0x3F);
        Append(t, U32(0xFFFFFFF0));
        Append(t, Bytes(20, 1));
        return t;
    }();
    const Bytes actionPastTag = [] {
        Bytes t = Actions({0x07, 0x83, 0x40, 0x00, 'F', 'S'});  // a GetURL claims 64 bytes
        Append(t, ShowFrame());
        return t;
    }();
    const Bytes brokenEditText = [] {
        Bytes t = Tag(37, {0x09, 0x00, 0xFF});  // a rectangle cut short
        Append(t, ShowFrame());
        return t;
    }();

    for (const Bytes* tail : {&longTagCut, &tagPastEnd, &hugeLength}) {
        const SwfMovie m = withTail(*tail);
        EXPECT_TRUE(m.truncated);
        ASSERT_EQ(m.frames.size(), 1u);
        EXPECT_EQ(m.editTexts.at(1).initialText, u"kept");
    }
    const Bytes oneByte{0x01};
    EXPECT_TRUE(withTail(oneByte).truncated);

    const SwfMovie cutAction = withTail(actionPastTag);
    ASSERT_EQ(cutAction.frames.size(), 2u);
    EXPECT_EQ(Commands(cutAction.frames[1]), (std::vector<std::u16string>{u"stop"}));

    const SwfMovie cutField = withTail(brokenEditText);
    EXPECT_EQ(cutField.frames.size(), 2u);
    EXPECT_EQ(cutField.editTexts.count(9), 0u);

    // Tags after End are not read; a movie without End ends with its data.
    Bytes afterEnd = Tag(0, {});
    Append(afterEnd, ShowFrame());
    EXPECT_EQ(withTail(afterEnd).frames.size(), 1u);
    EXPECT_FALSE(withTail({}).truncated);
}

TEST(SwfReader, NoMovieAtAll) {
    const Bytes real = Movie(ShowFrame());
    Bytes badCws{'C', 'W', 'S', 8, 0x40, 0, 0, 0};
    Append(badCws, BytesOf("garbage"));
    const Bytes hugeRect{'F', 'W', 'S', 8, 0x20, 0, 0, 0, 0xF8};
    for (const Bytes& data : {Bytes{}, BytesOf("FWS"), BytesOf("GIF89a........"),
                              Bytes(real.begin(), real.begin() + 9), badCws, hugeRect}) {
        SwfMovie m;
        EXPECT_FALSE(ReadSwf(data.data(), data.size(), m)) << data.size();
    }
    SwfMovie m;
    EXPECT_TRUE(ReadSwf(real.data(), real.size(), m));
}

TEST(SwfReader, AHostileMovieStaysSmall) {
    Bytes tags;
    for (int i = 0; i < 70000; ++i) Append(tags, ShowFrame());
    EXPECT_EQ(Read(Movie(tags)).frames.size(), kSwfMaxFrames);

    Bytes stops(200000, 0x07);  // one long DoAction tag of Stop actions, several times over
    Bytes many;
    for (int i = 0; i < 6; ++i) Append(many, Actions(stops));
    Append(many, ShowFrame());
    const SwfMovie m = Read(Movie(many));
    std::size_t actions = 0;
    for (const SwfFrame& f : m.frames) actions += f.actions.size();
    EXPECT_LE(actions, kSwfMaxRecords);
}

TEST(SwfReader, ShapesFlattenTheStylesThatTheirRecordsBringIn) {
    // DefineShape2: one fill and one line; an edge; then new styles whose fill the same record
    // selects, and a curve.
    Bytes body = U16(3);
    Append(body, Rect(0, 2000, 0, 2000));
    Append(body, {1, 0x00, 0xFF, 0x00, 0x00});   // a red fill
    Append(body, {1, 20, 0, 0x00, 0x00, 0x00});  // a black line, one pixel
    Bits b;
    b.Put(1, 4);  // fill bits
    b.Put(1, 4);  // line bits
    b.Put(0, 1);
    b.Put(0b01101, 5);  // line, fill 1, move
    b.Put(8, 5);
    b.Put(10, 8);
    b.Put(20, 8);
    b.Put(1, 1);
    b.Put(1, 1);
    b.Put(1, 1);  // a straight edge of 8 bits a field, 100 to the right
    b.Put(1, 1);
    b.Put(6, 4);
    b.Put(1, 1);
    b.Put(100, 8);
    b.Put(0, 8);
    b.Put(0, 1);
    b.Put(0b10100, 5);  // new styles, fill 1
    b.Put(1, 1);
    b.Put(0, 5);  // to the byte
    for (const std::uint8_t v : {1, 0x00, 0x00, 0x00, 0xFF, 1, 40, 0, 0x00, 0xFF, 0x00})
        b.Put(v, 8);
    b.Put(2, 4);  // new fill bits
    b.Put(1, 4);  // new line bits
    b.Put(1, 1);  // a curve: control (+10, -10), anchor (+10, +10)
    b.Put(0, 1);
    b.Put(6, 4);
    for (const int v : {10, -10, 10, 10}) b.Put(v, 8);
    b.Put(0, 6);
    Append(body, b.Take());
    Bytes tags = Tag(22, body);
    Append(tags, ShowFrame());
    const SwfMovie m = Read(Movie(tags));
    ASSERT_EQ(m.shapes.count(3), 1u);
    const SwfShape& s = m.shapes.at(3);
    ASSERT_EQ(s.fills.size(), 2u);
    ASSERT_EQ(s.lines.size(), 2u);
    EXPECT_EQ(s.fills[1].color, (Rgba{0, 0, 0xFF, 0xFF}));
    EXPECT_EQ(s.lines[1].width, 40);
    ASSERT_EQ(s.paths.size(), 2u);
    const SwfPath& first = s.paths[0];
    EXPECT_EQ(first.fill0, 0u);
    EXPECT_EQ(first.fill1, 1u);
    EXPECT_EQ(first.line, 1u);
    EXPECT_EQ(first.startX, 10);
    EXPECT_EQ(first.startY, 20);
    ASSERT_EQ(first.segments.size(), 1u);
    EXPECT_EQ(first.segments[0].x, 110);
    const SwfPath& second = s.paths[1];
    EXPECT_EQ(second.fill1, 2u) << "the new list's first fill";
    EXPECT_EQ(second.line, 0u);
    EXPECT_EQ(second.startX, 110);
    ASSERT_EQ(second.segments.size(), 1u);
    const SwfSegment& curve = second.segments[0];
    EXPECT_TRUE(curve.curve);
    EXPECT_EQ(curve.cx, 120);
    EXPECT_EQ(curve.cy, 10);
    EXPECT_EQ(curve.x, 130);
    EXPECT_EQ(curve.y, 20);
}

TEST(SwfReader, SpritesLabelsAndTheThirdPlaceObject) {
    Bytes inner = Tag(43, Str("a"));
    Append(inner, EditText(9, "", "inside"));  // definitions do not belong in a sprite
    Append(inner, Place(2, 1, 0, 0));
    Append(inner, ShowFrame());
    Append(inner, RemoveDepth(1));
    Append(inner, ShowFrame());
    Append(inner, Tag(0, {}));
    Bytes sprite = U16(7);
    Append(sprite, U16(2));
    Append(sprite, inner);
    Bytes tags = EditText(2, "", "field");
    Append(tags, Tag(39, sprite));
    Bytes place3{0x02 | 0x20, 0x01 | 0x02};  // character and name; filters and blend mode
    Append(place3, U16(3));
    Append(place3, U16(7));
    Append(place3, Str("clip"));
    Append(place3, {1, 1});  // one blur filter
    Append(place3, Bytes(9, 0));
    place3.push_back(3);  // multiply
    Append(tags, Tag(70, place3));
    Append(tags, Tag(43, Str("start")));
    Append(tags, ShowFrame());
    const SwfMovie m = Read(Movie(tags));

    ASSERT_EQ(m.sprites.count(7), 1u);
    const SwfSprite& s = m.sprites.at(7);
    EXPECT_EQ(s.frameCount, 2);
    ASSERT_EQ(s.frames.size(), 2u);
    EXPECT_EQ(s.frames[0].label, u"a");
    EXPECT_EQ(s.frames[0].places.size(), 1u);
    EXPECT_EQ(s.frames[1].places[0].kind, SwfPlace::Remove);
    EXPECT_EQ(m.editTexts.count(9), 0u);

    ASSERT_EQ(m.frames.size(), 1u);
    EXPECT_EQ(m.frames[0].label, u"start");
    ASSERT_EQ(m.frames[0].places.size(), 1u);
    const SwfPlace& p = m.frames[0].places[0];
    EXPECT_EQ(p.characterId, 7);
    EXPECT_EQ(p.depth, 3);
    EXPECT_EQ(p.name, u"clip");
    EXPECT_EQ(p.blendMode, 3);
    EXPECT_TRUE(m.otherBlendModes);
}
