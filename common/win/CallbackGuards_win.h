#pragma once
// The edges where the system calls window procedures and hooks of ours: nothing may unwind into
// its frames. COM methods and event sinks have theirs in common/com.
#include <windows.h>

#include "ErrorReport_win.h"

// A window's message handler: an error is shown to the user and the message answers `onError`.
template <typename Body>
LRESULT GuardWindowMessage(Body&& body, LRESULT onError = 0) noexcept {
    try {
        return body();
    } catch (...) {
        ReportCurrentException();
        return onError;
    }
}

// A hook procedure: on an error the input goes on to the next hook as if this one were not there.
template <typename Body>
LRESULT GuardHook(int code, WPARAM wp, LPARAM lp, Body&& body) noexcept {
    try {
        return body();
    } catch (...) {
        return CallNextHookEx(nullptr, code, wp, lp);
    }
}
