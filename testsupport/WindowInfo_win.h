#pragma once
// What tests ask of any window, also of another process's.
#include <windows.h>

#include <string>

namespace testwin {

inline std::wstring ClassOf(HWND w) {
    wchar_t name[64] = {};
    GetClassNameW(w, name, 64);
    return name;
}

inline std::wstring TextOf(HWND w) {
    wchar_t text[256] = {};
    GetWindowTextW(w, text, 256);
    return text;
}

inline DWORD ProcessOf(HWND w) {
    DWORD pid = 0;
    GetWindowThreadProcessId(w, &pid);
    return pid;
}

}  // namespace testwin
