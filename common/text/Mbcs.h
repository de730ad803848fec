#pragma once
#include <cstddef>
#include <string>

// Double-byte character set rules of the ANSI code page 936: a lead byte takes the next byte with
// it, and that trail byte may be a backslash or an ASCII letter.
inline bool IsLeadByte(unsigned char c) {
    return c >= 0x81 && c <= 0xFE;
}

// Index of the last single-byte occurrence of any of `delims`, or npos.
std::size_t LastDelimiter(const std::string& text, const char* delims);

// ASCII case-insensitive equality that leaves double-byte characters alone.
bool SameTextMbcs(const std::string& a, const std::string& b);
