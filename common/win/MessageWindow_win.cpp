#include "MessageWindow_win.h"

#include <stdexcept>

#include "CallbackGuards_win.h"
#include "WindowClass_win.h"

namespace {
constexpr wchar_t kClassName[] = L"VarizMessageWindow";
}  // namespace

MessageWindow::MessageWindow(Handler handler) : handler_(std::move(handler)) {
    if (!RegisterWindowClass(kClassName, &WindowProc))
        throw std::runtime_error("Unable to register the message window class");
    CreateWindowExW(0, kClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                    GetModuleHandleW(nullptr), this);
    if (!hwnd_) throw std::runtime_error("Unable to create a message window");
}

MessageWindow::~MessageWindow() {
    if (hwnd_) DestroyWindow(hwnd_);
}

LRESULT CALLBACK MessageWindow::WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    auto* self = reinterpret_cast<MessageWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (msg == WM_NCCREATE) {
        self = static_cast<MessageWindow*>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams);
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        self->hwnd_ = hwnd;
    }
    if (!self) return DefWindowProcW(hwnd, msg, wp, lp);
    LRESULT result = 0;
    const bool handled = self->handler_ && GuardWindowMessage([&]() -> LRESULT {
                                               return self->handler_(msg, wp, lp, result) ? 1 : 0;
                                           }) != 0;
    if (msg == WM_NCDESTROY) {
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        self->hwnd_ = nullptr;
    }
    return handled ? result : DefWindowProcW(hwnd, msg, wp, lp);
}
