#include "SyncReport_win.h"

#include <stdexcept>

namespace {

constexpr wchar_t kClassName[] = L"VarizSyncReport";
constexpr UINT kRunReports = WM_APP + 0x5D1;

ATOM RegisterReportClass(WNDPROC proc) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = proc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = kClassName;
    const ATOM atom = RegisterClassExW(&wc);
    if (atom == 0 && GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
        throw std::runtime_error("Unable to register the report window class");
    return atom;
}

}  // namespace

SyncReportWindow::SyncReportWindow() {
    static const ATOM registered = RegisterReportClass(&WindowProc);
    (void)registered;
    hwnd_ = CreateWindowExW(0, kClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                            GetModuleHandleW(nullptr), nullptr);
    if (!hwnd_) throw std::runtime_error("Unable to create the report window");
    const HWND hwnd = hwnd_;
    // Posting happens under the queue's lock, and Close takes that lock before the window goes,
    // so no wake-up can reach a destroyed window or a later window that got its handle value.
    queue_ = std::make_shared<SyncReportQueue>(
        [hwnd] { return PostMessageW(hwnd, kRunReports, 0, 0) != FALSE; });
    SetWindowLongPtrW(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(queue_.get()));
}

SyncReportWindow::~SyncReportWindow() {
    queue_->Close();
    if (hwnd_) DestroyWindow(hwnd_);
}

LRESULT CALLBACK SyncReportWindow::WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    auto* queue = reinterpret_cast<SyncReportQueue*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    switch (msg) {
        case kRunReports:
            if (queue) queue->RunPending();
            return 0;
        case WM_NCDESTROY:
            // Also when the system destroys the window because its thread ends.
            if (queue) queue->Close();
            SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
            break;
    }
    return DefWindowProcW(hwnd, msg, wp, lp);
}
