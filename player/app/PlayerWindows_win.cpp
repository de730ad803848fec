#include "PlayerWindows_win.h"

PlayerWindows::PlayerWindows(HWND application, const std::string& executablePath)
    : mainWindow_(application, [&](MainPlaces& places, MainView& view) {
          auto made = MakePlayerComponents(places, view, Player(), executablePath);
          components_ = made.get();
          return made;
      }) {
    if (!mainWindow_.Handle() || !components_) return;
    unlockDialog_.emplace(mainWindow_.Handle(), Player());
    SetUnlockDialog(*components_, &*unlockDialog_);
}
