#pragma once
#include <windows.h>
#include <shellapi.h>

#include <string>

#include "NoticeDlg_win.h"

// The icon in the taskbar's notification area, its menu, and the notice popup it owns.
class CTrayIcon {
  public:
    CTrayIcon() = default;
    ~CTrayIcon() { Remove(); }
    CTrayIcon(const CTrayIcon&) = delete;
    CTrayIcon& operator=(const CTrayIcon&) = delete;

    // Makes the hidden notice popup, then puts the icon into the notification area. The icon counts
    // as added whatever the shell answers.
    void Create(UINT iconId, HWND owner, UINT callbackMessage, const std::string& tip, HICON icon);
    // Takes the icon out and destroys the notice popup; nothing when the icon is not in.
    void Remove();
    // Puts the icon in again after the shell's taskbar was made anew, which forgot it.
    void Restore();
    bool Added() const { return added_; }

    // The icon's callback message: a right-button release over the icon opens its menu at the
    // cursor.
    void OnNotify(WPARAM wp, LPARAM lp);
    // Shows the page at `address` in the notice popup above the taskbar.
    void ShowNotice(const std::string& address);

    CNoticeDlg& Notice() { return notice_; }

  private:
    void ShowMenu();

    // The record in its first, smallest form: the icon, the callback message and a tip of up to
    // 63 characters.
    NOTIFYICONDATAA data_{};
    bool added_ = false;
    CNoticeDlg notice_;
};
