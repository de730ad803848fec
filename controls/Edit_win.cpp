#include "Edit_win.h"

#include <vector>

TEdit::TEdit(TWinControl* parent, DWORD style) : TWinControl(parent) {
    CreateSystemWindow(L"EDIT", L"", WS_TABSTOP | ES_LEFT | ES_AUTOHSCROLL | style);
}

TEdit::~TEdit() {
    if (hwnd_ && IsWindow(hwnd_)) DestroyWindow(hwnd_);
}

std::wstring TEdit::Text() const {
    if (!hwnd_) return {};
    const int length = GetWindowTextLengthW(hwnd_);
    if (length <= 0) return {};
    std::vector<wchar_t> buffer(static_cast<std::size_t>(length) + 1);
    const int copied = GetWindowTextW(hwnd_, buffer.data(), length + 1);
    return std::wstring(buffer.data(), copied > 0 ? static_cast<std::size_t>(copied) : 0);
}

void TEdit::SetText(const std::wstring& text) {
    if (hwnd_) SetWindowTextW(hwnd_, text.c_str());
}

void TEdit::SetFont(const wchar_t* face, int height) {
    UniqueGdi font(CreateFontW(height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                               OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                               DEFAULT_PITCH, face));
    // Without the font the edit keeps the one it has.
    if (!font || !hwnd_) return;
    SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), TRUE);
    // The edit draws with the font until the next one: the old one goes only now.
    font_ = std::move(font);
}

void TEdit::SetPasswordChar(wchar_t c) {
    if (hwnd_) SendMessageW(hwnd_, EM_SETPASSWORDCHAR, c, 0);
}

void TEdit::Focus() {
    if (hwnd_) SetFocus(hwnd_);
}
