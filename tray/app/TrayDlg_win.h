#pragma once
#include <windows.h>

#include <memory>
#include <string>

#include "DialogProc_win.h"
#include "SyncReport_win.h"
#include "TrayDlg.h"
#include "TrayIcon_win.h"
#include "TrayUpdate.h"
#include "VersionText_win.h"

// The tray's main window: a dialog that runs modally for the whole life of the program and is
// never seen. It owns the icon, runs the timers, and carries out what its logic decides.
class CTrayDlg final : TrayTimers,
                       TrayMessages,
                       TrayPrograms,
                       TrayEnding,
                       TrayWindow,
                       PlayerWindow {
  public:
    // Loads the program icon. Throws std::runtime_error when the window's helpers cannot be made.
    CTrayDlg();
    ~CTrayDlg() override;
    CTrayDlg(const CTrayDlg&) = delete;
    CTrayDlg& operator=(const CTrayDlg&) = delete;

    // Runs the window until the tray ends. Throws std::runtime_error when it cannot be made.
    void DoModal();

  private:
    friend INT_PTR CALLBACK ObjectDialogProc<CTrayDlg>(HWND, UINT, WPARAM, LPARAM);
    INT_PTR HandleMessage(UINT msg, WPARAM wp, LPARAM lp);
    void OnInitDialog();
    void CenterWindow();

    // TrayTimers
    void SetTimer(unsigned id, unsigned ms) override;
    void KillTimer(unsigned id) override;
    // TrayMessages
    void Inform(const std::string& text) override;
    bool Confirm(const std::string& text) override;
    // TrayPrograms
    void StartProgram(const std::string& path) override;
    void OpenAddress(const std::string& address) override;
    // TrayEnding
    void EndTray() override;
    // TrayWindow
    void IconNotify(std::uintptr_t wParam, std::intptr_t lParam) override;
    void ShowNotice(const std::string& address) override;
    // PlayerWindow
    bool IsPlayerRunning() override;
    void ClosePlayer() override;

    HWND hwnd_ = nullptr;
    std::string baseDirectory_;
    HICON icon_;
    CTrayIcon trayIcon_;
    // Broadcast by the shell when its taskbar is made anew; 0 when it cannot be registered.
    const UINT taskbarCreated_;
    // Workers' reports run on this thread through it.
    SyncReportWindow reports_;
    WinVersionSource version_;
    std::unique_ptr<TrayUpdate> update_;
    std::unique_ptr<TrayDlgLogic> logic_;
};
