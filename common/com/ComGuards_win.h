#pragma once
// The edges where the system calls COM objects of ours: nothing may unwind into its frames.
#include <windows.h>

#include <new>

#include "ComError_win.h"
#include "ErrorReport_win.h"

// A COM method of ours, `body` answering its result: what it throws becomes a failure code, its
// own for a COM error, else `onError`.
template <typename Body>
HRESULT GuardComMethod(Body&& body, HRESULT onError = E_FAIL) noexcept {
    try {
        return body();
    } catch (const ComError& e) {
        return FAILED(e.Result()) ? e.Result() : onError;
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    } catch (...) {
        return onError;
    }
}

// An event of a hosted control reaching a handler of ours. The handler belongs to a window, so
// what it raises is shown to the user as any window handler's error is; the control carries on.
template <typename Body>
void GuardEventSink(Body&& body) noexcept {
    try {
        body();
    } catch (...) {
        ReportCurrentException();
    }
}
