#pragma once
#include <windows.h>

#include "CallbackGuards_win.h"

// The dialog procedure of a dialog object: the object arrives as WM_INITDIALOG's parameter and
// stays in DWLP_USER until WM_NCDESTROY, and its HandleMessage runs under the window-message
// guard. The class keeps its window in `hwnd_` and befriends its own instance of this template.
template <typename Dialog>
INT_PTR CALLBACK ObjectDialogProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    auto* self = reinterpret_cast<Dialog*>(GetWindowLongPtrW(hwnd, DWLP_USER));
    if (msg == WM_INITDIALOG) {
        self = reinterpret_cast<Dialog*>(lp);
        SetWindowLongPtrW(hwnd, DWLP_USER, lp);
        self->hwnd_ = hwnd;
    }
    if (!self) return FALSE;
    const INT_PTR result =
        GuardWindowMessage([&]() -> LRESULT { return self->HandleMessage(msg, wp, lp); }, FALSE);
    if (msg == WM_NCDESTROY) {
        SetWindowLongPtrW(hwnd, DWLP_USER, 0);
        self->hwnd_ = nullptr;
    }
    return result;
}
