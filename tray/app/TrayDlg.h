#pragma once
#include <cstdint>
#include <string>

#include "TrayPorts.h"
#include "TrayResources.h"
#include "TrayUpdate.h"

// The icon in the notification area and what it reports.
constexpr unsigned kTrayIconId = IDR_TRAY_MENU;
constexpr unsigned kIconNotifyMessage = 0x0400 + 100;  // WM_USER + 100
constexpr const char* kTrayTip = "Tolubeni";
// The mouse messages the icon reports in the low word of lParam.
constexpr unsigned kLeftButtonDown = 0x0201;
constexpr unsigned kRightButtonUp = 0x0205;

constexpr const char* kExitQuestion = "Tolubeni播发器正在运行，你确认退出吗？";

// True when an icon notification asks for the menu: the right button released over icon `iconId`.
bool IconMenuWanted(unsigned iconId, std::uintptr_t wParam, std::intptr_t lParam);

// The base directory as the tray keeps it: its working folder without a trailing backslash, so
// that a file name is added with one.
std::string BaseDirectoryOf(const std::string& currentDirectory);
std::string PlayerPath(const std::string& baseDirectory);
std::string TraySettingsPath(const std::string& baseDirectory);
std::string HomePageAddress(const std::string& host);

// The player, seen from outside.
class PlayerWindow {
  public:
    virtual ~PlayerWindow() = default;
    virtual bool IsPlayerRunning() = 0;
    // Asks a running player to close and waits for its answer.
    virtual void ClosePlayer() = 0;
};

// The main window's own parts.
class TrayWindow {
  public:
    virtual ~TrayWindow() = default;
    // The icon's own handling of a notification (its menu).
    virtual void IconNotify(std::uintptr_t wParam, std::intptr_t lParam) = 0;
    virtual void ShowNotice(const std::string& address) = 0;
};

// Everything the main window's logic works with; all of it is required.
struct TrayDlgServices {
    TrayTimers& timers;
    TrayWindow& window;
    TrayMessages& messages;
    TrayPrograms& programs;
    TrayEnding& ending;
    PlayerWindow& player;
    TrayUpdate& update;
    std::string host;  // the content server host
    std::string baseDirectory;
};

// The decisions of the tray's hidden main window: its timers, the icon's mouse messages and the
// menu's commands. The window feeds them in and carries out the calls on the ports.
class TrayDlgLogic {
  public:
    explicit TrayDlgLogic(TrayDlgServices services);

    // The end of the window's initialisation: the first timers.
    void OnInitDialog();
    // False for a timer that is not the main window's.
    bool OnTimer(unsigned id);
    void OnIconNotify(std::uintptr_t wParam, std::intptr_t lParam);
    // False for a command that is not the menu's.
    bool OnCommand(unsigned id);

    void RunPlayer();
    void OnHomePage();
    void OnExit();

  private:
    TrayDlgServices s_;
};
