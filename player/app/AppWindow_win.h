#pragma once
#include <windows.h>

#include <string>

// The application's own window: it carries the taskbar button with the application title and
// owns the main window, so the borderless main window keeps its own text.
class TAppWindow {
  public:
    explicit TAppWindow(const std::wstring& title);
    ~TAppWindow();
    TAppWindow(const TAppWindow&) = delete;
    TAppWindow& operator=(const TAppWindow&) = delete;
    HWND Handle() const { return hwnd_; }

  private:
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    HWND hwnd_ = nullptr;
};
