#include "Uunlock_win.h"

#include "WindowClass_win.h"

TFrm_unlock::TFrm_unlock() {
    HINSTANCE instance = GetModuleHandleW(nullptr);
    if (!RegisterWindowClass(L"TFrm_unlock", DefWindowProcW)) return;
    hwnd_ = CreateWindowExW(0, L"TFrm_unlock", L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                            instance, nullptr);
}

TFrm_unlock::~TFrm_unlock() {
    if (hwnd_ && IsWindow(hwnd_)) DestroyWindow(hwnd_);
}
