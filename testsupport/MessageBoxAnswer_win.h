#pragma once
// A user at the keyboard for the tests: answers the next message box of this process, from a
// thread of its own, while the test's thread sits in the box's modal loop.
#include <windows.h>

#include <atomic>
#include <string>
#include <thread>

class MessageBoxAnswer {
  public:
    // `button`: IDOK, IDCANCEL, IDYES, IDNO.
    explicit MessageBoxAnswer(int button, DWORD timeoutMs = 10000)
        : thread_([this, button, timeoutMs] { Run(button, timeoutMs); }) {}
    ~MessageBoxAnswer() { Wait(); }
    MessageBoxAnswer(const MessageBoxAnswer&) = delete;
    MessageBoxAnswer& operator=(const MessageBoxAnswer&) = delete;

    // After the box went: whether there was one, and its text and caption.
    bool Answered() {
        Wait();
        return answered_;
    }
    std::wstring Text() {
        Wait();
        return text_;
    }
    std::wstring Caption() {
        Wait();
        return caption_;
    }

  private:
    void Wait() {
        if (thread_.joinable()) thread_.join();
    }
    static HWND FindBox() {
        HWND found = nullptr;
        EnumWindows(
            [](HWND w, LPARAM out) -> BOOL {
                DWORD pid = 0;
                GetWindowThreadProcessId(w, &pid);
                wchar_t cls[16] = {};
                GetClassNameW(w, cls, 16);
                if (pid == GetCurrentProcessId() && IsWindowVisible(w) &&
                    std::wstring(cls) == L"#32770") {
                    *reinterpret_cast<HWND*>(out) = w;
                    return FALSE;
                }
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&found));
        return found;
    }
    void Run(int button, DWORD timeoutMs) {
        const ULONGLONG deadline = GetTickCount64() + timeoutMs;
        while (GetTickCount64() < deadline) {
            if (HWND box = FindBox()) {
                wchar_t text[512] = {}, caption[256] = {};
                GetDlgItemTextW(box, 0xFFFF, text, 512);  // the box's message
                GetWindowTextW(box, caption, 256);
                text_ = text;
                caption_ = caption;
                PostMessageW(box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0);
                answered_ = true;
                return;
            }
            Sleep(20);
        }
    }

    bool answered_ = false;
    std::wstring text_, caption_;
    std::thread thread_;
};
