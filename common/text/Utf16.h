#pragma once
#include <string>

// UTF-8 and UTF-16 as the movie control's texts need them. Bytes that are not UTF-8 become
// U+FFFD; lone surrogates become U+FFFD on the way back.
std::u16string Utf16FromUtf8(const std::string& text);
std::string Utf8FromUtf16(const std::u16string& text);
// Each byte as the character of the same number.
std::u16string Utf16FromLatin1(const std::string& text);
