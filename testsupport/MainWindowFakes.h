#pragma once
// Stand-ins of the main window's services for its tests: each records what reaches it.
#include <string>
#include <vector>

#include "MainPorts.h"

struct RecordingPages : SitePages {
    std::vector<std::string> calls;
    void ShowLoadingPage(const std::string& t) override { calls.push_back("loading " + t); }
    void Navigate(const std::string& a) override { calls.push_back("navigate " + a); }
    void OpenInDefaultBrowser(const std::string& a) override { calls.push_back("browser " + a); }
};

struct RecordingPlay : PlayControl {
    std::vector<std::string> calls;
    int volume = 100;
    void PausePlay() override { calls.push_back("pause"); }
    void ResumePlay() override { calls.push_back("resume"); }
    void StopPlay() override { calls.push_back("stop"); }
    void NextEpisode() override { calls.push_back("next"); }
    void SetMute(bool m) override { calls.push_back(m ? "mute on" : "mute off"); }
    void SetVolume(int v) override { calls.push_back("volume " + std::to_string(volume = v)); }
    int GetVolume() override { return volume; }
    void RefreshFlashWindow() override { calls.push_back("refresh"); }
    void StartLogoMovie() override { calls.push_back("logo"); }
};
