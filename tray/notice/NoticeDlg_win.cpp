#include "NoticeDlg_win.h"

#include "DialogProc_win.h"
#include "ComError_win.h"
#include "Notice.h"
#include "TrayResources.h"

namespace {

void Slide(HWND window, DWORD ms, DWORD flags) {
    if (AnimateWindow(window, ms, flags)) return;
    ShowWindow(window, (flags & AW_HIDE) ? SW_HIDE : SW_SHOWNA);
}

}  // namespace

CNoticeDlg::CNoticeDlg() : Animate(Slide) {}

CNoticeDlg::~CNoticeDlg() {
    DestroyWindow();
}

bool CNoticeDlg::Create(HWND owner) {
    if (hwnd_) return true;
    CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_NOTICE), owner,
                       ObjectDialogProc<CNoticeDlg>, reinterpret_cast<LPARAM>(this));
    return hwnd_ != nullptr;
}

void CNoticeDlg::DestroyWindow() {
    // The window may have gone with its owner already.
    if (hwnd_) ::DestroyWindow(hwnd_);
}

INT_PTR CNoticeDlg::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_INITDIALOG:
            OnInitDialog();
            return TRUE;
        case WM_SIZE:
            Layout(LOWORD(lp), HIWORD(lp));
            return FALSE;
        case WM_COMMAND:
            if (LOWORD(wp) != IDOK) return FALSE;
            OnOK();
            return TRUE;
        case WM_TIMER:
            if (wp != kNoticeHideTimer) return FALSE;
            OnOK();
            return TRUE;
        default:
            return FALSE;
    }
}

void CNoticeDlg::OnInitDialog() {
    // No caption, system menu or frame: the page is the whole window.
    const LONG_PTR style = GetWindowLongPtrW(hwnd_, GWL_STYLE);
    SetWindowLongPtrW(hwnd_, GWL_STYLE,
                      style & ~static_cast<LONG_PTR>(WS_CAPTION | WS_SYSMENU | DS_MODALFRAME));
    const LONG_PTR exStyle = GetWindowLongPtrW(hwnd_, GWL_EXSTYLE);
    SetWindowLongPtrW(hwnd_, GWL_EXSTYLE,
                      exStyle & ~static_cast<LONG_PTR>(WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE));
    SetWindowPos(hwnd_, nullptr, 0, 0, 0, 0,
                 SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    if (!html_.ReplacePlaceholder(IDC_NOTICE_HTML, hwnd_)) return;
    try {
        // The browser's own dialogs (script errors and the like) never show.
        html_.PutSilent(true);
    } catch (const ComError&) {
        // A browser that cannot be silenced still shows the notice.
    }
}

// The template's items are measured in the units of the font the system gives it: whatever that
// font measures, the page fills the popup and the close button keeps the top right corner.
void CNoticeDlg::Layout(int width, int height) {
    if (TWebBrowserWithUI* page = html_.Browser()) page->SetBounds(0, 0, width, height);
    HWND close = GetDlgItem(hwnd_, IDOK);
    RECT r{};
    if (!close || !GetWindowRect(close, &r)) return;
    SetWindowPos(close, nullptr, width - (r.right - r.left), 0, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CNoticeDlg::SlideIn(const TRect& place) {
    if (!hwnd_) return;
    // Without its timer the popup stays until its "X" is pressed.
    SetTimer(hwnd_, kNoticeHideTimer, kNoticeShowTime, nullptr);
    SetWindowPos(hwnd_, HWND_TOP, place.left, place.top, place.Width(), place.Height(),
                 SWP_NOACTIVATE);
    Animate(hwnd_, kNoticeSlideTime, AW_SLIDE | AW_VER_NEGATIVE);
}

void CNoticeDlg::OnOK() {
    if (!hwnd_) return;
    KillTimer(hwnd_, kNoticeHideTimer);
    Animate(hwnd_, kNoticeSlideTime, AW_SLIDE | AW_HIDE | AW_VER_POSITIVE);
}
