// The items of a page's text, as the bridge's two methods split them.
#include "DelimitedText.h"

#include <gtest/gtest.h>

namespace {

using V = std::vector<std::string>;

TEST(SplitDelimited, Rule) {
    const struct {
        const char* what;
        std::string text;
        char delimiter;
        V items;
    } cases[] = {
        {"four parts",
         "tolu_Little Painter_123_art",
         '_',
         {"tolu", "Little", "Painter", "123", "art"}},
        {"a quoted item keeps its space",
         "tolu_\"Little Painter\"_123_art",
         '_',
         {"tolu", "Little Painter", "123", "art"}},
        {"a doubled quote is one quote", "\"say \"\"hi\"\"\";x", ';', {"say \"hi\"", "x"}},
        {"a quote left open runs to the end", "a;\"b;c", ';', {"a", "b;c"}},
        {"text right after a quoted item is an item of its own", "\"a\"b;c", ';', {"a", "b", "c"}},
        {"blanks around items are dropped", "  \t a ;\r\n b  ", ';', {"a", "b"}},
        {"control characters separate",
         "a\x01"
         "b\x1F"
         "c",
         ';',
         {"a", "b", "c"}},
        {"two delimiters give an empty item", "a__b", '_', {"a", "", "b"}},
        {"a delimiter at the end gives an empty item", "a_b_", '_', {"a", "b", ""}},
        {"but not when blanks follow it", "a_b_ ", '_', {"a", "b"}},
        {"a delimiter first gives an empty item", "_a", '_', {"", "a"}},
        {"the other delimiter is text", "a_b;c", ';', {"a_b", "c"}},
        {"a double-byte character whose second byte is the delimiter stays whole",
         "tolu_\xB0\x5F_1_\xC3\x5F\xC0\xE0",
         '_',
         {"tolu", "\xB0\x5F", "1", "\xC3\x5F\xC0\xE0"}},
        {"nor does its second byte close a quote", "\"\x81\x22\";x", ';', {"\x81\x22", "x"}},
        {"a lead byte at the very end is kept", "a;b\x81", ';', {"a", "b\x81"}},
        {"nothing", "", ';', {}},
        {"blanks only", " \t ", ';', {}},
        {"the text ends at a zero byte", std::string("a;b\0;c", 6), ';', {"a", "b"}},
    };
    for (const auto& c : cases) EXPECT_EQ(SplitDelimited(c.text, c.delimiter), c.items) << c.what;
}

}  // namespace
