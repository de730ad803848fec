#include "AppWindow_win.h"

#include "WindowClass_win.h"

TAppWindow::TAppWindow(const std::wstring& title) {
    HINSTANCE instance = GetModuleHandleW(nullptr);
    if (!RegisterWindowClass(L"TApplication", &TAppWindow::WindowProc)) return;
    // Visible but without extent: only its taskbar button shows.
    const int x = GetSystemMetrics(SM_CXSCREEN) / 2, y = GetSystemMetrics(SM_CYSCREEN) / 2;
    hwnd_ = CreateWindowExW(0, L"TApplication", title.c_str(),
                            WS_POPUP | WS_CAPTION | WS_CLIPSIBLINGS | WS_SYSMENU | WS_MINIMIZEBOX,
                            x, y, 0, 0, nullptr, nullptr, instance, nullptr);
    if (hwnd_) ShowWindow(hwnd_, SW_SHOWNOACTIVATE);
}

TAppWindow::~TAppWindow() {
    if (hwnd_ && IsWindow(hwnd_)) DestroyWindow(hwnd_);
}

LRESULT CALLBACK TAppWindow::WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_CLOSE:
            return 0;  // the taskbar's close does not end the player
        case WM_ACTIVATE:
            // Activation through the taskbar button goes on to the main window.
            if (LOWORD(wp) != WA_INACTIVE) {
                HWND owned = GetWindow(hwnd, GW_ENABLEDPOPUP);
                if (owned && owned != hwnd) SetActiveWindow(owned);
            }
            return 0;
        default:
            return DefWindowProcW(hwnd, msg, wp, lp);
    }
}
