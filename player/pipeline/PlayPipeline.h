#pragma once
#include <string>

#include "DIvezoZaz.h"
#include "MainPorts.h"
#include "MovieControl.h"

// What the pipeline shows on the play bar and around the play area.
class PlayBarView {
  public:
    virtual ~PlayBarView() = default;
    // The title label; bytes of the ANSI code page.
    virtual void SetTitle(const std::string& title) = 0;
    // The play button's down state: down while a movie plays.
    virtual void SetPlaying(bool playing) = 0;
    // The advertising panel with a page, or hidden.
    virtual void ShowAdvert(const std::string& address) = 0;
    virtual void HideAdvert() = 0;
};

// The play area's movie control as a window.
class MovieWindow {
  public:
    virtual ~MovieWindow() = default;
    // In-place activation again at the control's current bounds, after the window's region or
    // the play area's parent changed.
    virtual void ActivateInPlace() = 0;
};

// The loudness of the movie's sound.
class VolumeControl {
  public:
    virtual ~VolumeControl() = default;
    virtual int Volume() const = 0;
    virtual void SetVolume(int volume) = 0;  // 0 to 100
    virtual void SetMute(bool mute) = 0;
};

// The logo updater as the pipeline starts it: fetch `source` into `destination` when the server
// has a newer logo, then tell the pipeline (LogoRefreshed).
class LogoRefresh {
  public:
    virtual ~LogoRefresh() = default;
    virtual void BeginRefresh(const std::string& source, const std::string& destination) = 0;
};

// Everything the pipeline works with; all of it is required.
struct PipelineServices {
    PlayerState& state;
    MovieControl& movie;
    MovieWindow& window;
    PlayBarView& bar;
    VolumeControl& volume;
    LogoRefresh& logo;
    std::string host;  // the content server host
    bool advertising;  // whether advertising pages show around play, pause and stop
};

// The play pipeline: what plays in the play area, and the play bar that follows it.
class PlayPipeline : public PlayControl {
  public:
    explicit PlayPipeline(PipelineServices services);

    // Halts the movie where it is.
    void PausePlay() override;
    // Plays on from where the movie halted.
    void ResumePlay() override;
    // Stops what plays and shows the logo movie; a running download goes on, the play button
    // stays as it is.
    void StopPlay() override;
    // Stops, then moves to the next episode of the series.
    void NextEpisode() override;
    void SetMute(bool mute) override;
    void SetVolume(int volume) override;
    int GetVolume() override;
    void RefreshFlashWindow() override;
    // The refreshed logo's place becomes LogoMoviePath; the logo shows and its refresh starts.
    void StartLogoMovie() override;

    // Plays a movie file from its start.
    void PlayMovieFile(const std::string& path);
    // The logo movie at the whole control's size: the one LogoMoviePath names, or the one shipped
    // with the player while that file does not exist yet (a first start without a network).
    void ShowLogoMovie();
    // The logo updater finished its check. The logo shows again, refreshed, but only when the
    // logo is what plays: an episode is never interrupted for it.
    void LogoRefreshed();
    bool ShowingLogo() const { return showingLogo_; }

  private:
    PipelineServices s_;
    bool showingLogo_ = false;
};
