#pragma once
#include <windows.h>

#include <optional>
#include <string>

#include "PlayerComponents_win.h"
#include "Umain_win.h"
#include "Uunlock_win.h"

// The player's windows as its entry makes them: the main window with the player's components,
// then the unlock dialog that the main window owns, handed to the lock mode. The components go
// with the main window's destruction, before the dialog's object.
class PlayerWindows {
  public:
    // `application` carries the taskbar button; `executablePath` as MakePlayerComponents takes
    // it. Throws what making the windows and the components throws.
    explicit PlayerWindows(HWND application, const std::string& executablePath = {});
    PlayerWindows(const PlayerWindows&) = delete;
    PlayerWindows& operator=(const PlayerWindows&) = delete;

    // False when the main window or its components were not made; nothing else is then.
    bool Made() const { return unlockDialog_.has_value(); }
    Tfrm_wuxplay& MainWindow() { return mainWindow_; }
    // Only when Made(), while the main window is there.
    MainComponents& Components() { return *components_; }

  private:
    MainComponents* components_ = nullptr;  // owned by the main window
    Tfrm_wuxplay mainWindow_;
    std::optional<TFrm_unlock> unlockDialog_;
};
