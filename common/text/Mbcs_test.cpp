#include "Mbcs.h"

#include <gtest/gtest.h>

TEST(Mbcs, LastDelimiterSkipsTrailBytes) {
    struct Case {
        std::string text;
        std::size_t expect;
    } cases[] = {
        {"C:\\a\\b.exe", 4},
        {"b.exe", std::string::npos},
        {"C:b.exe", 1},
        // 0x81 0x5C is one double-byte character whose second byte is a backslash.
        {"C:\\\x81\x5C"
         "b.exe",
         2},
        {"C:\\\x81\x5C\\b.exe", 5},
        {"\\\x81", 0},  // a lead byte at the end stands alone
    };
    for (const auto& c : cases) EXPECT_EQ(LastDelimiter(c.text, "\\:"), c.expect) << c.text;
}

TEST(Mbcs, SameTextFoldsAsciiOnly) {
    EXPECT_TRUE(SameTextMbcs("System", "SYSTEM"));
    EXPECT_FALSE(SameTextMbcs("system", "systems"));
    // Trail bytes 'a' and 'A' name different characters.
    EXPECT_FALSE(
        SameTextMbcs("\x81"
                     "a",
                     "\x81"
                     "A"));
    EXPECT_TRUE(
        SameTextMbcs("\x81"
                     "ax",
                     "\x81"
                     "aX"));
}
