#include "ErrorReport_win.h"

#include <windows.h>

#include <stdexcept>

namespace {
std::function<void(const std::exception&)>& Reporter() {
    static std::function<void(const std::exception&)> reporter;
    return reporter;
}
}  // namespace

void SetExceptionReporter(std::function<void(const std::exception&)> reporter) {
    Reporter() = std::move(reporter);
}

void ReportException(const std::exception& e) noexcept {
    try {
        if (Reporter()) {
            Reporter()(e);
            return;
        }
    } catch (...) {
        // A reporter that fails itself still gets the plain box below.
    }
    MessageBoxA(nullptr, e.what(), nullptr, MB_OK | MB_ICONERROR);
}

void ReportCurrentException() noexcept {
    try {
        throw;
    } catch (const std::exception& e) {
        ReportException(e);
    } catch (...) {
        // Thrown by code that is not ours (a foreign runtime, a stray throw of a number).
        ReportException(std::runtime_error("An unexpected error occurred"));
    }
}
