#include "Placeholders_win.h"

#include <commctrl.h>

TPlainButton::TPlainButton(TWinControl* parent, const std::wstring& text) : TWinControl(parent) {
    CreateSystemWindow(L"BUTTON", text.c_str(), BS_CHECKBOX | BS_PUSHLIKE | WS_CLIPSIBLINGS);
}

bool TPlainButton::Down() const {
    return hwnd_ && SendMessageW(hwnd_, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void TPlainButton::SetDown(bool down) {
    if (hwnd_) SendMessageW(hwnd_, BM_SETCHECK, down ? BST_CHECKED : BST_UNCHECKED, 0);
}

bool TPlainButton::Enabled() const {
    return hwnd_ && IsWindowEnabled(hwnd_);
}

void TPlainButton::SetEnabled(bool enabled) {
    if (hwnd_) EnableWindow(hwnd_, enabled ? TRUE : FALSE);
}

void TPlainButton::Notify(WPARAM wp, LPARAM) {
    if (HIWORD(wp) == BN_CLICKED && OnClick) OnClick();
}

TPlainTrackBar::TPlainTrackBar(TWinControl* parent, int min, int max) : TWinControl(parent) {
    if (CreateSystemWindow(TRACKBAR_CLASSW, L"", TBS_HORZ | TBS_NOTICKS | WS_CLIPSIBLINGS))
        SendMessageW(hwnd_, TBM_SETRANGE, TRUE, MAKELPARAM(min, max));
}

int TPlainTrackBar::Position() const {
    return hwnd_ ? static_cast<int>(SendMessageW(hwnd_, TBM_GETPOS, 0, 0)) : 0;
}

void TPlainTrackBar::SetPosition(int position) {
    if (!hwnd_) return;
    SendMessageW(hwnd_, TBM_SETPOS, TRUE, position);
    if (OnChange) OnChange(Position());
}

void TPlainTrackBar::Notify(WPARAM, LPARAM) {
    if (OnChange) OnChange(Position());
}
