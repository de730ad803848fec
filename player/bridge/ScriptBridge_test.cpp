// What a page's calls of the bridge do: starting a series, reporting the member.
#include "ScriptBridge.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "BridgeFakes.h"

namespace {

using V = std::vector<std::string>;

using Recorder = BridgeRecorder;

class ScriptBridgeTest : public ::testing::Test {
  protected:
    ScriptBridgeTest() { state_.ProgramDir = "C:\\V\\"; }
    PlayerState state_;
    Recorder r_;
    ScriptBridge bridge_{{state_, r_, r_, r_, r_, r_}};
};

TEST_F(ScriptBridgeTest, AddUrlStartsOnlyAWellFormedSeries) {
    const struct {
        const char* what;
        std::string value;
        V calls;
    } cases[] = {
        {"four items", "tolu_Painter_123_art", {"title Painter[1]", "start"}},
        {"a quoted name with a space",
         "tolu_\"Little Painter\"_9_art",
         {"title Little Painter[1]", "start"}},
        {"a name with a space is five items", "tolu_Little Painter_9_art", {}},
        {"a fifth item", "tolu_Painter_123_art_x", {}},
        {"three items", "tolu_Painter_123", {}},
        {"the mark in other letters", "Tolu_Painter_123_art", {}},
        {"another mark", "play_Painter_123_art", {}},
        // The id becomes a file name in the cache.
        {"an empty id", "tolu_Painter__art", {}},
        {"a path in the id", "tolu_Painter_..\\..\\x_art", {}},
        {"a slash", "tolu_Painter_a/b_art", {}},
        {"a drive", "tolu_Painter_c:x_art", {}},
        {"a GBK id whose second byte is a backslash byte",
         "tolu_Painter_\x81\x5C_art",
         {"title Painter[1]", "start"}},
    };
    for (const auto& c : cases) {
        r_.calls.clear();
        bridge_.AddUrl(c.value);
        EXPECT_EQ(r_.calls, c.calls) << c.what;
    }
    EXPECT_EQ(state_.SeriesId, "\x81\x5C");
    EXPECT_EQ(state_.SeriesName, "Painter");
    EXPECT_EQ(state_.SeriesTypes, "art");
}

TEST_F(ScriptBridgeTest, AnEmptyPlayListFailsTheCallAfterTheTitleWasSet) {
    r_.emptyPlayList = true;
    EXPECT_THROW(bridge_.AddUrl("tolu_Painter_123_art"), ListIndexError);
    EXPECT_EQ(r_.calls, (V{"title Painter[1]", "start"}));
}

TEST(IsSafeSeriesId, ControlBytesAndDoubleByteCharacters) {
    EXPECT_TRUE(IsSafeSeriesId("123"));
    EXPECT_TRUE(IsSafeSeriesId("a.b"));
    EXPECT_FALSE(IsSafeSeriesId("a\tb"));
    EXPECT_FALSE(IsSafeSeriesId(".."));
    EXPECT_FALSE(
        IsSafeSeriesId("\x81"
                       "a\\"));
}

TEST_F(ScriptBridgeTest, WebLogoWithThreeItemsStoresThePasswordOnly) {
    bridge_.Web_Logo("u", "0cc175b9c0f1b6a831c399e269772661", "Anna;7;3");
    EXPECT_EQ(r_.calls, (V{"buttons", "write system/syspass=0cc175b9c0f1b6a831c399e269772661"}));
    EXPECT_TRUE(state_.SiteLoggedIn);
    EXPECT_EQ(state_.SysPass, "0cc175b9c0f1b6a831c399e269772661");
}

// The lock keeps the member buttons off; leaving it turns them on, since the member is logged in.
TEST_F(ScriptBridgeTest, WebLogoWhileLockedLeavesTheMemberButtonsOff) {
    r_.locked = true;
    bridge_.Web_Logo("u", "0cc175b9c0f1b6a831c399e269772661", "Anna;7;3");
    EXPECT_EQ(r_.calls, (V{"write system/syspass=0cc175b9c0f1b6a831c399e269772661"}));
    EXPECT_TRUE(state_.SiteLoggedIn);
    EXPECT_EQ(state_.SysPass, "0cc175b9c0f1b6a831c399e269772661");
}

TEST_F(ScriptBridgeTest, WebLogoShowsTheMemberAndTriesThePictureAsJpegPngGif) {
    const std::string web = "C:\\V\\web\\";
    const V head{"buttons", "write system/syspass=p", "member Anna 3",
                 "download http://h/a.pic " + web + "Avatar.jpg", "show " + web + "Avatar.jpg"};
    const V toPng{"delete " + web + "Avatar.png",
                  "rename " + web + "Avatar.jpg " + web + "Avatar.png",
                  "show " + web + "Avatar.png"};
    const V toGif{"delete " + web + "Avatar.gif",
                  "rename " + web + "Avatar.png " + web + "Avatar.gif",
                  "show " + web + "Avatar.gif"};
    const auto join = [](V a, const V& b) {
        a.insert(a.end(), b.begin(), b.end());
        return a;
    };
    const struct {
        const char* what;
        std::set<AvatarPicture::Format> picture;
        V calls;
    } cases[] = {
        {"a JPEG", {AvatarPicture::Format::Jpeg}, head},
        {"a PNG", {AvatarPicture::Format::Png}, join(head, toPng)},
        {"a GIF", {AvatarPicture::Format::Gif}, join(join(head, toPng), toGif)},
    };
    for (const auto& c : cases) {
        r_.calls.clear();
        r_.decodable = c.picture;
        bridge_.Web_Logo("u", "p", "Anna;7;3;http://h/a.pic;more");
        EXPECT_EQ(r_.calls, c.calls) << c.what;
    }
}

TEST_F(ScriptBridgeTest, APictureThatIsNoneOfTheThreeFailsTheCallAsAGif) {
    EXPECT_THROW(bridge_.Web_Logo("u", "p", "Anna;7;3;http://h/a.pic"), std::runtime_error);
    EXPECT_EQ(r_.calls.back(), "show C:\\V\\web\\Avatar.gif");
}

TEST_F(ScriptBridgeTest, AFailedPictureDownloadKeepsThePictureThatShows) {
    r_.downloads = false;
    bridge_.Web_Logo("u", "p", "Anna;7;3;http://h/a.pic");
    EXPECT_EQ(r_.calls.back(), "download http://h/a.pic C:\\V\\web\\Avatar.jpg");
}

TEST_F(ScriptBridgeTest, ARefusedSettingsWriteEndsTheCallAfterThePassword) {
    r_.refuseWrites = true;
    try {
        bridge_.Web_Logo("u", "p", "Anna;7;3;http://h/a.pic");
        FAIL() << "no error";
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), "Unable to write to C:\\V\\Variz.dat");
    }
    EXPECT_EQ(r_.calls, (V{"buttons", "write system/syspass=p"}));
    EXPECT_EQ(state_.SysPass, "p");
    EXPECT_TRUE(state_.SiteLoggedIn);
}

}  // namespace
