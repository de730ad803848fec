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
    MainWindowLogic(MainView& view, SitePages& pages, PlayControl& play, LockControl& lock,
                    std::string host);

    const SidePanel& Side() const { return side_; }
    bool CloseAllowed() const { return close_.CloseAllowed(); }

    void FormShow();
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
    bool SysCommandSwallowed(std::uintptr_t command) const { return SwallowSysCommand(command); }

  private:
    void ShowPageThroughLoadingPage(const std::string& target);
    void ApplySide();

    MainView& view_;
    SitePages& pages_;
    PlayControl& play_;
    LockControl& lock_;
    std::string host_;
    SidePanel side_;
    CloseGate close_;
};
