#include "SyncReport_win.h"

namespace {
constexpr UINT kRunReports = WM_APP + 0x5D1;
}  // namespace

// The queue asks for a wake-up only under its lock and never after Close, which the destructor
// calls before anything goes: the wake-up may use this object.
SyncReportWindow::SyncReportWindow()
    : queue_(std::make_shared<SyncReportQueue>(
          [this] { return PostMessageW(window_->Handle(), kRunReports, 0, 0) != FALSE; })),
      window_(std::make_unique<MessageWindow>([this](UINT msg, WPARAM, LPARAM, LRESULT& result) {
          if (msg == kRunReports) {
              queue_->RunPending();
              result = 0;
              return true;
          }
          // Also when the system destroys the window because its thread ends.
          if (msg == WM_NCDESTROY) queue_->Close();
          return false;
      })) {}

SyncReportWindow::~SyncReportWindow() {
    queue_->Close();
    window_.reset();
}
