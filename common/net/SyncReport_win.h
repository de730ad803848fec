#pragma once
#include <windows.h>

#include <memory>

#include "MessageWindow_win.h"
#include "SyncReport.h"

// The synchronous report on Windows: a worker's report wakes a message-only window of the
// user-interface thread with a posted message, and the window runs it while the worker waits.
// Create and destroy it on the user-interface thread, which must dispatch its messages.
class SyncReportWindow {
  public:
    // Throws std::runtime_error when the window cannot be made.
    SyncReportWindow();
    // Waiting workers return at once without their reports running; later reports are refused.
    ~SyncReportWindow();
    SyncReportWindow(const SyncReportWindow&) = delete;
    SyncReportWindow& operator=(const SyncReportWindow&) = delete;

    // What the workers keep: it stays valid after the window has gone, refusing every report.
    std::shared_ptr<SyncReport> Reporter() const { return queue_; }
    HWND Handle() const { return window_ ? window_->Handle() : nullptr; }

  private:
    std::shared_ptr<SyncReportQueue> queue_;
    std::unique_ptr<MessageWindow> window_;
};
