#pragma once
#include <functional>

#include "MainPorts.h"
#include "ShockwaveEx_win.h"

// The play operations that the movie control alone carries: stopping to the logo movie and
// following the window's changes. The rest of the play pipeline is not part of the player yet.
class TMoviePlay : public PlayControl {
  public:
    TMoviePlay(TShockwaveFlashEx& movie, std::function<void()> clearTitle,
               std::function<void()> showStopAdvert)
        : movie_(movie),
          clearTitle_(std::move(clearTitle)),
          showStopAdvert_(std::move(showStopAdvert)) {}

    // Stops what plays and shows the logo movie; a running download goes on.
    void StopPlay() override;
    void RefreshFlashWindow() override { movie_.ActivateInPlace(); }
    // Not part of the player yet.
    void PausePlay() override {}
    void ResumePlay() override {}
    void NextEpisode() override {}
    void SetMute(bool) override {}
    void SetVolume(int) override {}
    int GetVolume() override { return 100; }

    // The logo movie at the whole control's size, from LogoMoviePath.
    void ShowLogoMovie();

  private:
    TShockwaveFlashEx& movie_;
    std::function<void()> clearTitle_;
    std::function<void()> showStopAdvert_;
};
