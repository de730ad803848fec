#include "TrayIcon_win.h"

#include <optional>

#include "ComError_win.h"
#include "Handles_win.h"
#include "Notice.h"
#include "TrayDlg.h"

#ifndef _WIN64
static_assert(NOTIFYICONDATAA_V1_SIZE == 88, "the delivered build's record has 88 bytes");
#endif

// The shell's answers to the icon calls are not looked at: an icon that did not make it in leaves
// nothing to do about it.

void CTrayIcon::Create(UINT iconId, HWND owner, UINT callbackMessage, const std::string& tip,
                       HICON icon) {
    // Without its popup the tray runs on; a notice then shows nowhere.
    notice_.Create(owner);
    data_ = {};
    data_.cbSize = NOTIFYICONDATAA_V1_SIZE;
    data_.hWnd = owner;
    data_.uID = iconId;
    data_.uFlags = NIF_ICON | NIF_MESSAGE | NIF_TIP;
    data_.uCallbackMessage = callbackMessage;
    data_.hIcon = icon;
    lstrcpynA(data_.szTip, tip.c_str(), sizeof data_.szTip);
    Shell_NotifyIconA(NIM_ADD, &data_);
    added_ = true;
}

void CTrayIcon::Remove() {
    if (!added_) return;
    Shell_NotifyIconA(NIM_DELETE, &data_);
    notice_.DestroyWindow();
    added_ = false;
}

void CTrayIcon::Restore() {
    if (added_) Shell_NotifyIconA(NIM_ADD, &data_);
}

void CTrayIcon::OnNotify(WPARAM wp, LPARAM lp) {
    if (IconMenuWanted(data_.uID, wp, lp)) ShowMenu();
}

void CTrayIcon::ShowMenu() {
    const UniqueMenu menu(
        LoadMenuW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(LOWORD(data_.uID))));
    if (!menu) return;
    HMENU popup = GetSubMenu(menu.get(), 0);
    if (!popup) return;
    POINT at{};
    if (!GetCursorPos(&at)) return;
    // With its owner in front, the menu closes when the user clicks elsewhere.
    SetForegroundWindow(data_.hWnd);
    TrackPopupMenu(popup, TPM_LEFTALIGN | TPM_LEFTBUTTON, at.x, at.y, 0, data_.hWnd, nullptr);
    // A message of no meaning completes the switch to this program, so that the next menu stays
    // open too.
    PostMessageW(data_.hWnd, WM_NULL, 0, 0);
}

void CTrayIcon::ShowNotice(const std::string& address) {
    std::optional<TRect> taskbar;
    if (HWND bar = FindWindowW(L"Shell_TrayWnd", nullptr)) {
        RECT r{};
        if (GetWindowRect(bar, &r)) taskbar = TRect{r.left, r.top, r.right, r.bottom};
    }
    try {
        notice_.Html().Navigate(address);
    } catch (const ComError&) {
        // Without a browser there is no notice to show.
        return;
    }
    const TRect place = NoticePlacement(GetSystemMetrics(SM_CXSCREEN),
                                        GetSystemMetrics(SM_CYSCREEN), TaskbarHeight(taskbar));
    notice_.SlideIn(place);
}
