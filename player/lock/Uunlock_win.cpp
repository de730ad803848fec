#include "Uunlock_win.h"

TFrm_unlock::TFrm_unlock() {
    HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = instance;
    wc.lpszClassName = L"TFrm_unlock";
    if (!GetClassInfoExW(instance, wc.lpszClassName, &wc) && !RegisterClassExW(&wc)) return;
    hwnd_ = CreateWindowExW(0, L"TFrm_unlock", L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                            instance, nullptr);
}

TFrm_unlock::~TFrm_unlock() {
    if (hwnd_ && IsWindow(hwnd_)) DestroyWindow(hwnd_);
}
