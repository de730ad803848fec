#pragma once
// Stand-ins for the components that the main window reaches through its ports and that are not
// part of the player yet: their operations do nothing.
#include "MainPorts.h"

class PendingSitePages : public SitePages {
  public:
    void ShowLoadingPage(const std::string&) override {}
    void Navigate(const std::string&) override {}
    void OpenInDefaultBrowser(const std::string&) override {}
    void StartLogoMovie() override {}
};

class PendingPlayControl : public PlayControl {
  public:
    void PausePlay() override {}
    void ResumePlay() override {}
    void StopPlay() override {}
    void NextEpisode() override {}
    void SetMute(bool) override {}
    void SetVolume(int) override {}
    int GetVolume() override { return 100; }  // unscaled sound
    void RefreshFlashWindow() override {}
};

class PendingLockControl : public LockControl {
  public:
    void ToggleLockMode() override {}
};
