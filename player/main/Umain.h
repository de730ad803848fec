#pragma once
#include <cstdint>
#include <string>

#include "FSCommand.h"
#include "MainPorts.h"
#include "SidePanel.h"
#include "WindowRules.h"

// The decisions of the main window: what its buttons, its close requests, its side panel and the
// commands of its movies do. The window feeds events in and carries out the calls on the ports.
class MainWindowLogic {
  public:
    explicit MainWindowLogic(MainWindowServices services);

    const SidePanel& Side() const { return side_; }
    bool CloseAllowed() const { return close_.CloseAllowed(); }

    // The window is shown. The first showing opens the start page and the logo movie; a later one
    // (the window brought back after the player was minimised, a second start) changes nothing,
    // so that what plays and the page in the panel stay.
    void WindowShown();
    bool FirstShowDone() const { return shown_; }

    // The buttons whose clicks the window logic decides; another subsystem attaches to the rest.
    static bool OwnsButton(ButtonId button);
    void ButtonClick(ButtonId button);
    void ImgTrackBar1Change(int position);
    void FSCommand(const std::string& command, const std::string& args);
    bool NavigateError();  // answers Cancel
    void DocumentComplete();
    // A failed navigation after which no document completed: the history takes the panel.
    void NavigationStalled();

    // The window's own close requests (Alt+F4, the taskbar) answer whether to close.
    bool FormCloseQuery() const { return close_.CloseAllowed(); }
    void HandleCloseRequest();  // WM_USER+1
    static bool SysCommandSwallowed(std::uintptr_t command) { return SwallowSysCommand(command); }

  private:
    void FormShow();
    void ShowPageThroughLoadingPage(const std::string& target);
    void ApplySide();

    MainWindowServices s_;
    SidePanel side_;
    CloseGate close_;
    bool shown_ = false;
};
