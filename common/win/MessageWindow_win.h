#pragma once
#include <windows.h>

#include <functional>

// A window that only receives messages, never shows: a place for posted work, timers and
// notifications on the thread that made it. Its messages go to `handler`, which answers whether
// it took the message (with its result); the rest get the default handling. The handler also
// sees WM_NCDESTROY, also when the system destroys the window because its thread ends.
class MessageWindow {
  public:
    using Handler = std::function<bool(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result)>;

    // Throws std::runtime_error when the window cannot be made.
    explicit MessageWindow(Handler handler);
    ~MessageWindow();
    MessageWindow(const MessageWindow&) = delete;
    MessageWindow& operator=(const MessageWindow&) = delete;

    HWND Handle() const { return hwnd_; }

  private:
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);

    Handler handler_;
    HWND hwnd_ = nullptr;
};
