#include "TrayDlg_win.h"

#include <stdexcept>
#include <vector>

#include "DialogProc_win.h"
#include "Contract.h"
#include "Launch_win.h"
#include "ProfileFile_win.h"
#include "TextConv_win.h"
#include "UrlDownload_win.h"

namespace {

std::string CurrentDirectory() {
    const DWORD size = GetCurrentDirectoryA(0, nullptr);
    if (size == 0) return {};
    std::vector<char> buffer(size + 1, '\0');
    const DWORD n = GetCurrentDirectoryA(static_cast<DWORD>(buffer.size()), buffer.data());
    if (n == 0 || n >= buffer.size()) return {};
    return std::string(buffer.data(), n);
}

}  // namespace

CTrayDlg::CTrayDlg()
    : icon_(LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_TRAY))),
      taskbarCreated_(RegisterWindowMessageW(L"TaskbarCreated")) {}

CTrayDlg::~CTrayDlg() {
    // The logic and the update before the ports they use; the icon goes with its member.
    logic_.reset();
    update_.reset();
}

void CTrayDlg::DoModal() {
    const INT_PTR result =
        DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_TRAY), nullptr,
                        ObjectDialogProc<CTrayDlg>, reinterpret_cast<LPARAM>(this));
    if (result == -1) throw std::runtime_error("Unable to create the tray's window");
}

INT_PTR CTrayDlg::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == taskbarCreated_ && taskbarCreated_ != 0) {
        trayIcon_.Restore();
        return TRUE;
    }
    switch (msg) {
        case WM_INITDIALOG:
            OnInitDialog();
            return TRUE;
        case kIconNotifyMessage:
            if (logic_) logic_->OnIconNotify(wp, lp);
            return TRUE;
        case WM_TIMER:
            return logic_ && logic_->OnTimer(static_cast<unsigned>(wp));
        case WM_COMMAND:
            switch (LOWORD(wp)) {
                case IDOK:
                case IDCANCEL:
                    // The dialog's own endings: a request to close the tray ends it too.
                    EndDialog(hwnd_, LOWORD(wp));
                    return TRUE;
                default:
                    return logic_ && logic_->OnCommand(LOWORD(wp));
            }
        case WM_WINDOWPOSCHANGING:
            // The modal loop shows its dialog once it is idle; this one stays hidden for good,
            // and takes the foreground from no one.
            if (auto* pos = reinterpret_cast<WINDOWPOS*>(lp); pos->flags & SWP_SHOWWINDOW)
                pos->flags = (pos->flags & ~SWP_SHOWWINDOW) | SWP_NOACTIVATE;
            return FALSE;
        case WM_DESTROY:
            // While the window is still there for the shell to find the icon by.
            trayIcon_.Remove();
            return FALSE;
        default:
            return FALSE;
    }
}

void CTrayDlg::OnInitDialog() {
    baseDirectory_ = BaseDirectoryOf(CurrentDirectory());
    update_ = std::make_unique<TrayUpdate>(TrayUpdateServices{
        version_,
        std::make_shared<ProfileFile>(TraySettingsPath(baseDirectory_), kTraySettingsBuffer),
        WindowsDownloadServices(reports_.Reporter()), *this, *this, *this, *this,
        contract::kContentHost, baseDirectory_});
    logic_ = std::make_unique<TrayDlgLogic>(TrayDlgServices{*this, *this, *this, *this, *this,
                                                            *this, *update_, contract::kContentHost,
                                                            baseDirectory_});

    trayIcon_.Create(kTrayIconId, hwnd_, kIconNotifyMessage, kTrayTip, icon_);

    // Never a taskbar button.
    const LONG_PTR exStyle = GetWindowLongPtrW(hwnd_, GWL_EXSTYLE);
    SetWindowLongPtrW(hwnd_, GWL_EXSTYLE,
                      (exStyle & ~static_cast<LONG_PTR>(WS_EX_APPWINDOW)) | WS_EX_TOOLWINDOW);
    // Placed hidden, the modal dialog stays hidden for its whole run.
    WINDOWPLACEMENT placement{};
    placement.length = sizeof placement;
    placement.flags = WPF_RESTORETOMAXIMIZED;
    placement.showCmd = SW_HIDE;
    SetWindowPlacement(hwnd_, &placement);

    CenterWindow();
    SendMessageW(hwnd_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon_));
    SendMessageW(hwnd_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon_));
    logic_->OnInitDialog();
}

void CTrayDlg::CenterWindow() {
    RECT window{}, area{};
    if (!GetWindowRect(hwnd_, &window) || !SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0))
        return;
    const int x = area.left + (area.right - area.left - (window.right - window.left)) / 2;
    const int y = area.top + (area.bottom - area.top - (window.bottom - window.top)) / 2;
    SetWindowPos(hwnd_, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CTrayDlg::SetTimer(unsigned id, unsigned ms) {
    if (!::SetTimer(hwnd_, id, ms, nullptr))
        throw std::runtime_error("Unable to start a timer of the tray");
}

void CTrayDlg::KillTimer(unsigned id) {
    // A timer that is not running is as good as stopped.
    ::KillTimer(hwnd_, id);
}

void CTrayDlg::Inform(const std::string& text) {
    MessageBoxW(hwnd_, Utf8ToWide(text).c_str(), Utf8ToWide(kTrayCaption).c_str(),
                MB_OK | MB_SETFOREGROUND);
}

bool CTrayDlg::Confirm(const std::string& text) {
    // The tray has no window in front: the question comes forward by itself. A box that cannot
    // be shown counts as Cancel.
    return MessageBoxW(hwnd_, Utf8ToWide(text).c_str(), Utf8ToWide(kTrayCaption).c_str(),
                       MB_OKCANCEL | MB_SETFOREGROUND) == IDOK;
}

void CTrayDlg::StartProgram(const std::string& path) {
    launch::StartProgram(path, baseDirectory_);
}

void CTrayDlg::OpenAddress(const std::string& address) {
    launch::OpenAddress(address);
}

void CTrayDlg::EndTray() {
    EndDialog(hwnd_, IDOK);
}

void CTrayDlg::IconNotify(std::uintptr_t wParam, std::intptr_t lParam) {
    trayIcon_.OnNotify(static_cast<WPARAM>(wParam), static_cast<LPARAM>(lParam));
}

void CTrayDlg::ShowNotice(const std::string& address) {
    trayIcon_.ShowNotice(address);
}

bool CTrayDlg::IsPlayerRunning() {
    return FindWindowW(contract::kPlayerWindowClass, nullptr) != nullptr;
}

void CTrayDlg::ClosePlayer() {
    // A player that went in the meantime is closed already.
    if (HWND player = FindWindowW(contract::kPlayerWindowClass, nullptr))
        SendMessageW(player, contract::kCloseRequestMessage, 0, 0);
}
