#include "LoadingPage.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace {

// The program directory D:\学习播放器\ in code page 936.
const std::string kProgramDir = "D:\\\xD1\xA7\xCF\xB0\xB2\xA5\xB7\xC5\xC6\xF7\\";

// The page for kProgramDir, up to the target and after it.
const std::string kHead =
    "<body bgcolor=#202F42 align=center><br>"
    "<img width=119 height=12 id=\"_x0000_i1026\" "
    "src=\"D:\\\xD1\xA7\xCF\xB0\xB2\xA5\xB7\xC5\xC6\xF7\\web\\load.gif\" />"
    "<span style='font-size:9.0pt;color:#7BD1FF'>"
    "\xBA\xA3\xC1\xBF\xD1\xA7\xCF\xB0\xD7\xCA\xC1\xCF\xC2\xED\xC9\xCF\xB3\xCA\xCF\xD6 </span></p>"
    "<script language=\"JavaScript\"  type=\"text/javascript\">"
    "function gotobox(){window.location.href =\"";
const std::string kTail =
    "\"}"
    "setTimeout(function() {\tgotobox();}, 1000)</script>";

TEST(LoadingPage, FixturePageByteForByte) {
    const std::string target = "http://127.0.0.1:8321/a/zodivodedozi/";
    EXPECT_EQ(BuildLoadingPage(kProgramDir, target), kHead + target + kTail);
}

TEST(LoadingPage, TargetIsEscapedInsideTheScriptString) {
    struct Case {
        const char* what;
        std::string target, inPage;
    } cases[] = {
        {"quote ends the string", "http://h/a?q=\"};alert(1);//", "http://h/a?q=%22};alert(1);//"},
        {"backslash", "http://h/a\\b\\", "http://h/a%5Cb%5C"},
        {"script end", "/x</script><script>alert(1)</script>",
         "/x%3C/script%3E%3Cscript%3Ealert(1)%3C/script%3E"},
        {"controls", "a\r\nb\tc\x7F\x1F", "a%0D%0Ab%09c%7F%1F"},
        {"zero byte", std::string("a\0b", 3), "a%00b"},
        {"percent, apostrophe, space and ampersand stay", "/p?q=100%25 it's&x=1",
         "/p?q=100%25 it's&x=1"},
        {"double-byte character ending in 0x5C stays whole", "/\x81\x5C/\xD1\xA7",
         "/\x81\x5C/\xD1\xA7"},
        {"a lead byte before a quote is no pair", "/\x81\"", "/\x81%22"},
        {"pairs are counted from the left", "/\x81\x81\x5C", "/\x81\x81%5C"},
        {"lone lead byte at the end stays", "/ab\x81", "/ab\x81"},
        {"empty target", "", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(BuildLoadingPage(kProgramDir, c.target), kHead + c.inPage + kTail) << c.what;
}

TEST(LoadingPage, TheCharactersOfAnAddressStayAndAnyByteIsItselfOrItsOwnEscape) {
    const std::string address = "abcXYZ019-._~:/?#[]@!$&'()*+,;=% ";
    EXPECT_EQ(EscapeLoadingTarget(address), address);
    for (int b = 0; b < 256; ++b) {
        // The space after it never pairs with a lead byte.
        const std::string target = std::string(1, static_cast<char>(b)) + " ";
        char escaped[8];
        std::snprintf(escaped, sizeof escaped, "%%%02X ", b);
        const std::string out = EscapeLoadingTarget(target);
        EXPECT_TRUE(out == target || out == escaped) << b << ": " << out;
    }
}

}  // namespace
