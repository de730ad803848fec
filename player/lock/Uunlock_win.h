#pragma once
#include <windows.h>

// The unlock dialog's window, created hidden at start. Its content arrives with the lock mode.
class TFrm_unlock {
  public:
    TFrm_unlock();
    ~TFrm_unlock();
    TFrm_unlock(const TFrm_unlock&) = delete;
    TFrm_unlock& operator=(const TFrm_unlock&) = delete;
    HWND Handle() const { return hwnd_; }

  private:
    HWND hwnd_ = nullptr;
};
