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

// The first top-level window of process `pid` that `match` accepts.
template <typename Match>
HWND FindTopWindow(DWORD pid, Match match) {
    struct Search {
        DWORD pid;
        Match& match;
        HWND found = nullptr;
    } search{pid, match};
    EnumWindows(
        [](HWND w, LPARAM p) -> BOOL {
            auto& s = *reinterpret_cast<Search*>(p);
            if (ProcessOf(w) != s.pid || !s.match(w)) return TRUE;
            s.found = w;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

}  // namespace testwin
