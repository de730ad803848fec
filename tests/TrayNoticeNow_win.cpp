// Brings the tray's next notice now instead of after its timer, for the tour: the tray's hidden
// window gets the notice timer's tick.
#include <windows.h>

#include "TrayPorts.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    HWND tray = FindWindowW(L"#32770", L"Zorvane");
    if (!tray) return 1;
    return PostMessageW(tray, WM_TIMER, kNoticeTimer, 0) ? 0 : 2;
}
