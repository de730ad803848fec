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
