#pragma once
#include <cstdint>
#include <stdexcept>
#include <string>

#include "DIvezoZaz.h"
#include "DownloadPorts.h"
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

// The download component as the pipeline drives it; its progress, completion and failure come
// back through the pipeline's three handlers.
class EpisodeDownload {
  public:
    virtual ~EpisodeDownload() = default;
    // Starts fetching `source` into `destination`; a download that runs is replaced.
    virtual void BeginDownload(const std::string& source, const std::string& destination) = 0;
    // Where the current download goes.
    virtual std::string DestFile() const = 0;
};

// The play history, as the pipeline records what it fetches.
class HistoryRecorder {
  public:
    virtual ~HistoryRecorder() = default;
    // Adds an entry; it may raise, which the pipeline drops.
    virtual void AddHistory(const std::string& id, const std::string& name,
                            const std::string& types, const std::string& episode) = 0;
};

// Everything the pipeline works with; all of it is required.
struct PipelineServices {
    PlayerState& state;
    MovieControl& movie;
    MovieWindow& window;
    PlayBarView& bar;
    VolumeControl& volume;
    LogoRefresh& logo;
    EpisodeDownload& download;
    HistoryRecorder& history;
    HttpTextPort& http;
    std::string host;  // the content server host
    bool advertising;  // whether advertising pages show around play, pause and stop
};

// What a page's request to start a series needs of the pipeline.
class SeriesPlayer {
  public:
    virtual ~SeriesPlayer() = default;
    // The title label; bytes of the ANSI code page.
    virtual void SetTitle(const std::string& title) = 0;
    // Plays episode 1 of the series that the state names. Throws ListIndexError for an empty
    // play list.
    virtual void StartSeries() = 0;
};

// Raised when a play list has no line to play: "List index out of bounds (0)".
class ListIndexError : public std::out_of_range {
  public:
    explicit ListIndexError(std::int32_t index);
};

// The play pipeline: what plays in the play area, the series that plays, and the play bar that
// follows it.
class PlayPipeline : public PlayControl, public SeriesPlayer {
  public:
    explicit PlayPipeline(PipelineServices services);

    // Plays episode 1 of the series named by SeriesId, SeriesName and SeriesTypes: from the
    // cache, else by its play list and a download. Throws ListIndexError for an empty play list.
    void StartSeries() override;
    // The loading movie, and a download of episode n into the cache.
    void DownloadEpisode(const std::string& id, const std::string& address, std::int32_t n);
    // Plays episode n of series id when it is in the cache; false, changing nothing, when not.
    bool PlayIfCached(const std::string& id, std::int32_t n);
    void PlayCachedEpisode(const std::string& id, std::int32_t n);
    // A cached episode played on its own (a replay from the history): the series that plays
    // stays as it was, and the end of the replayed movie moves no series on.
    bool ReplayCached(const std::string& id, std::int32_t n);
    // Plays a movie file from its start.
    void PlayMovieFile(const std::string& path);
    void SetTitle(const std::string& title) override;

    // Halts the movie where it is.
    void PausePlay() override;
    // Plays on from where the movie halted.
    void ResumePlay() override;
    // Stops what plays and shows the logo movie; a running download goes on, the play button
    // stays as it is.
    void StopPlay() override;
    // Stops, then plays the next episode of the series from the cache or fetches it.
    void NextEpisode() override;
    void SetMute(bool mute) override;
    void SetVolume(int volume) override;
    int GetVolume() override;
    void RefreshFlashWindow() override;
    // The refreshed logo's place becomes LogoMoviePath; the logo shows and its refresh starts.
    void StartLogoMovie() override;

    // The download component's events.
    void EpisodeDownloadProgress(std::uint32_t progress, std::uint32_t progressMax);
    void EpisodeDownloadComplete();
    void EpisodeDownloadFailed(std::int32_t reason);

    // The logo movie at the whole control's size: the one LogoMoviePath names, or the one shipped
    // with the player while that file does not exist yet (a first start without a network).
    void ShowLogoMovie();
    // The logo updater finished its check. The logo shows again, refreshed, but only when the
    // logo is what plays: an episode is never interrupted for it.
    void LogoRefreshed();
    bool ShowingLogo() const { return showingLogo_; }

  private:
    // The play list of SeriesId, fetched now; its lines.
    std::vector<std::string> FetchPlayList();
    // Records an episode in the history; an error there never stops playing.
    void Record(std::int32_t episode);

    PipelineServices s_;
    bool showingLogo_ = false;
    // The series whose play list EpisodeList holds; empty while it holds none. A series that
    // started from the cache fetches its list only when it moves on.
    std::string listSeries_;
    // Whether the end of what plays moves the series on: not after a replay.
    bool followingSeries_ = true;
};
