#pragma once
// The message loop of a Windows test's own thread.
#include <windows.h>

namespace testwait {

// Dispatches every message that waits.
inline void Pump() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

// Runs the message loop until `done` holds; false when `timeoutMs` passed first.
template <typename Pred>
bool PumpUntil(Pred done, DWORD timeoutMs = 10000) {
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    while (!done()) {
        if (GetTickCount64() > deadline) return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
        Pump();
    }
    return true;
}

// Runs the message loop for `ms` milliseconds.
inline void PumpFor(DWORD ms) {
    const ULONGLONG end = GetTickCount64() + ms;
    PumpUntil([&] { return GetTickCount64() >= end; }, ms + 1000);
}

}  // namespace testwait
