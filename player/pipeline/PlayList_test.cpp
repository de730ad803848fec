// The play list's lines and the names of the episodes in the cache.
#include "PlayList.h"

#include <gtest/gtest.h>

namespace {

using V = std::vector<std::string>;

TEST(SplitPlayList, LineBreaks) {
    const struct {
        const char* what;
        std::string text;
        V lines;
    } cases[] = {
        {"CR LF after each", "/a/1.swf\r\n/a/2.swf\r\n", {"/a/1.swf", "/a/2.swf"}},
        {"LF alone", "/a/1.swf\n/a/2.swf", {"/a/1.swf", "/a/2.swf"}},
        {"CR alone", "/a/1.swf\r/a/2.swf\r", {"/a/1.swf", "/a/2.swf"}},
        {"LF CR is two breaks", "a\n\rb", {"a", "", "b"}},
        {"an empty line in the middle", "a\r\n\r\nb", {"a", "", "b"}},
        {"a last line without a break", "a\r\nb", {"a", "b"}},
        {"a line break alone", "\r\n", {""}},
        {"nothing is trimmed", " a \t\r\n", {" a \t"}},
        {"empty text", "", {}},
    };
    for (const auto& c : cases) EXPECT_EQ(SplitPlayList(c.text), c.lines) << c.what;
}

TEST(EpisodeFileName, NumberedAfterTheSeries) {
    EXPECT_EQ(EpisodeFileName("C:\\V\\cache\\", "123", 2), "C:\\V\\cache\\123-2.swf");
    EXPECT_EQ(EpisodeFileName("C:\\V\\cache\\", "123", 12), "C:\\V\\cache\\123-12.swf");
    EXPECT_EQ(EpisodeFileName("C:\\V\\cache\\", "123", 0), "C:\\V\\cache\\123.swf");
}

}  // namespace
