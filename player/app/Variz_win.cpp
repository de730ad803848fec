// The player's entry: one player at a time, its windows, the message loop.
#include <windows.h>
#include <ole2.h>

#include "AppWindow_win.h"
#include "ComSessions_win.h"
#include "Contract.h"
#include "Picture_win.h"
#include "PlayerWindows_win.h"

namespace {

// Another player holds the mutex: bring its window forward, if it has one yet.
void ActivateRunningPlayer() {
    if (HWND running = FindWindowW(contract::kPlayerWindowClass, nullptr)) {
        ShowWindow(running, SW_SHOWNORMAL);
        SetForegroundWindow(running);
    }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    // Held until the process ends; a mutex that cannot be made lets the player run anyway.
    HANDLE mutex = CreateMutexW(nullptr, FALSE, contract::kPlayerMutex);
    if (mutex && WaitForSingleObject(mutex, 0) == WAIT_TIMEOUT) {
        ActivateRunningPlayer();
        return 0;
    }

    OleSession ole;
    GdiplusSession gdiplus;

    try {
        TAppWindow application(L"儿童辅助学习播放器");
        SetExceptionReporter([&application](const std::exception& e) {
            MessageBoxA(application.Handle(), e.what(), nullptr, MB_OK | MB_ICONERROR);
        });
        PlayerWindows windows(application.Handle());
        if (!windows.Made()) return 1;

        windows.MainWindow().Show();
        MSG msg;
        while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    } catch (const std::exception& e) {
        // The window could not be made.
        MessageBoxA(nullptr, e.what(), nullptr, MB_OK | MB_ICONERROR);
        return 1;
    }
    return 0;
}
