#pragma once
#include <string>
#include <vector>

// Splits a page's text into items: an item ends at `delimiter` or at a blank (a byte from 1 to
// 32), so a blank separates items as the delimiter does; an item in double quotes may hold both,
// a doubled quote inside standing for one. Blanks around items are dropped; two delimiters in a
// row give an empty item between them, and a delimiter at the very end gives an empty last item.
// A double-byte character of the ANSI code page is stepped over whole, so its second byte never
// counts as a delimiter or a quote. The text ends at its first zero byte.
std::vector<std::string> SplitDelimited(const std::string& text, char delimiter);
