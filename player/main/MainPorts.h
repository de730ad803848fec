#pragma once
#include <string>

// The buttons of the main window that the window logic reads or drives.
enum class ButtonId {
    ImgButton1,
    ImgButton2,
    ImgButton3,
    ImgButton4,
    ImgButton5,
    ImgButton6,
    ImgButton7,
    ImgButton8,
    ImgButton9,
    ImgButton13,
    ImgButton14,
    ImgButton15,
    ImgButton16,
    ImgButton17,
    ImgBut_min,
    ImgBut_max,
    ImgBut_close,
};

// What the window logic and the start-up need of the window itself.
class MainView {
  public:
    virtual ~MainView() = default;
    virtual void ShowSideLayers(bool plWebVisible, bool gridVisible) = 0;
    virtual bool Down(ButtonId button) const = 0;
    virtual void SetDown(ButtonId button, bool down) = 0;
    virtual void SetEnabled(ButtonId button, bool enabled) = 0;
    virtual void SetFullScreen(bool on) = 0;
    virtual void Minimize() = 0;
    virtual void ToggleMaximized() = 0;
    virtual void Close() = 0;  // the close itself; the logic has already allowed it
    virtual void SetVolumePosition(int position) = 0;
    virtual void ShowAdvertPanel(bool visible) = 0;
};

// Site pages of the side panel and the default browser.
class SitePages {
  public:
    virtual ~SitePages() = default;
    virtual void ShowLoadingPage(const std::string& target) = 0;
    virtual void Navigate(const std::string& address) = 0;  // the site page panel, directly
    virtual void OpenInDefaultBrowser(const std::string& address) = 0;
};

// The play pipeline and the sound of the movie.
class PlayControl {
  public:
    virtual ~PlayControl() = default;
    virtual void PausePlay() = 0;
    virtual void ResumePlay() = 0;
    virtual void StopPlay() = 0;
    virtual void NextEpisode() = 0;
    virtual void SetMute(bool mute) = 0;
    virtual void SetVolume(int volume) = 0;
    virtual int GetVolume() = 0;
    virtual void RefreshFlashWindow() = 0;
    // The logo movie into the play area, and its refresh from the content server.
    virtual void StartLogoMovie() = 0;
};

// Everything the window logic works with; all of it is required.
struct MainWindowServices {
    MainView& view;
    SitePages& pages;
    PlayControl& play;
    std::string host;  // the content server host
};
