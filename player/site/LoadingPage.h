#pragma once
#include <string>

// The page written into the site page panel before a site page opens: the loading picture of the
// program directory, a line of text, and a script that opens `target` one second later. GBK bytes,
// no character set declaration.
std::string BuildLoadingPage(const std::string& programDir, const std::string& target);

// `target` made safe to stand inside the page's double-quoted script string: the double quote,
// the backslash, '<', '>' and the control characters become %XX; every other byte stays. The
// second byte of a double-byte character is part of that character, never a backslash.
std::string EscapeLoadingTarget(const std::string& target);
