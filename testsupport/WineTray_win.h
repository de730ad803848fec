#pragma once
// The notification area as a test under Wine sees it: without a desktop tray to dock into, Wine
// shows its own small tray window with one child window per icon.
#include <windows.h>

#include <string>

namespace winetray {

inline bool IsIconWindow(HWND window) {
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    const std::wstring cls = name;
    return cls == L"__winex11_tray_icon" || cls == L"__wine_tray_icon";
}

// The icons in the notification area, whichever program put them there.
inline int IconCount() {
    struct Count {
        int n = 0;
        static BOOL CALLBACK Child(HWND w, LPARAM p) {
            if (IsIconWindow(w) && IsWindowVisible(w)) ++reinterpret_cast<Count*>(p)->n;
            return TRUE;
        }
        static BOOL CALLBACK Top(HWND w, LPARAM p) {
            Child(w, p);
            EnumChildWindows(w, Child, p);
            return TRUE;
        }
    } count;
    EnumWindows(Count::Top, reinterpret_cast<LPARAM>(&count));
    return count.n;
}

}  // namespace winetray
