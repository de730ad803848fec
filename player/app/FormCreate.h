#pragma once
#include <memory>
#include <string>

#include "DIvezoZaz.h"
#include "MainPorts.h"
#include "SettingsFile.h"

// What the creation of the main window asks of the system and of the composition of the player.
class StartupSteps {
  public:
    virtual ~StartupSteps() = default;

    virtual std::string ExecutablePath() = 0;
    virtual std::unique_ptr<SettingsFile> OpenSettings(const std::string& path) = 0;
    // Starts a program with `folder` as its working folder; whether it started is not examined.
    virtual void StartProgram(const std::string& path, const std::string& folder) = 0;
    virtual bool FolderExists(const std::string& path) = 0;
    // A folder that cannot be made leaves the player running.
    virtual void CreateFolder(const std::string& path) = 0;
    // Removes what downloads of an earlier run left half written in the folder.
    virtual void RemoveDownloadLeftovers(const std::string& folder) = 0;

    // The long-lived components, each made at its step of the start-up.
    virtual void MakeVolumeControl() = 0;
    virtual void MakeLogoUpdater() = 0;
    // The object that site pages reach as window.external.
    virtual void MakeScriptBridge() = 0;
    virtual void MakeDownloadComponent() = 0;
    // The play history; it opens or makes its file at once.
    virtual void MakeHistoryStore() = 0;
    // The lock button's switch; the player starts unlocked.
    virtual void MakeLockMode() = 0;
    // The volume the components start with (the play pipeline's GetVolume).
    virtual int InitialVolume() = 0;
};

// Creates the main window's state and components in the start-up order: paths and the lock
// password, the window's first state, the tray program, the components, the episode list and the
// cache folder. The tray starts in the player's own folder: both programs find the settings file
// in their working folder.
void FormCreate(PlayerState& state, StartupSteps& steps, MainView& view, bool advertising);
