#pragma once
// The edges where the system calls COM objects of ours: nothing may unwind into its frames.
#include <windows.h>

#include <new>

#include "ComError_win.h"
#include "ErrorReport_win.h"

// Sets the thread's error information for a failed call of interface `iid`; the message is text
// of the ANSI code page. Answers `hr`. Never throws.
HRESULT SetAutomationError(REFIID iid, const char* message, HRESULT hr) noexcept;

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

// A method of an automation object of ours that scripts call: on an error the thread's error
// information describes it (its message, the interface `iid` as its source) and the method
// answers the error's own failure code, or E_UNEXPECTED.
template <typename Body>
HRESULT GuardAutomationMethod(REFIID iid, Body&& body) noexcept {
    try {
        body();
        return S_OK;
    } catch (const ComError& e) {
        return SetAutomationError(iid, e.what(), FAILED(e.Result()) ? e.Result() : E_UNEXPECTED);
    } catch (const std::exception& e) {
        return SetAutomationError(iid, e.what(), E_UNEXPECTED);
    } catch (...) {
        return SetAutomationError(iid, "An unexpected error occurred", E_UNEXPECTED);
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
