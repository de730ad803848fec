#pragma once
#include <windows.h>

#include <string>

// Conversions at the Windows boundary: the system's own texts are UTF-8 in the source, the data
// texts are bytes of the ANSI code page.
std::wstring WideFrom(const std::string& text, UINT codePage);
std::string BytesFrom(const std::wstring& text, UINT codePage);

inline std::wstring Utf8ToWide(const std::string& text) {
    return WideFrom(text, CP_UTF8);
}
inline std::wstring AnsiToWide(const std::string& text) {
    return WideFrom(text, CP_ACP);
}
inline std::string WideToAnsi(const std::wstring& text) {
    return BytesFrom(text, CP_ACP);
}
