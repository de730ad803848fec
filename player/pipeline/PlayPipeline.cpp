#include "PlayPipeline.h"

#include "OsFile.h"
#include "PlayList.h"
#include "ShockwaveEx.h"
#include "SiteAddresses.h"
#include "TextFormat.h"

namespace {
constexpr char kShippedLogo[] = "web\\logo.swf";
constexpr char kRefreshedLogo[] = "web\\logo%d.swf";
constexpr int kLogoNumber = 1;
constexpr char16_t kLoadingVariable[] = u"_root.loadint";

std::u16string Decimal(std::uint32_t n) {
    const std::string s = std::to_string(n);
    return std::u16string(s.begin(), s.end());
}
}  // namespace

ListIndexError::ListIndexError(std::int32_t index)
    : std::out_of_range(FormatD("List index out of bounds (%d)", index)) {}

PlayPipeline::PlayPipeline(PipelineServices services) : s_(std::move(services)) {}

std::vector<std::string> PlayPipeline::FetchPlayList() {
    const std::string address = FormatS(FormatS(SiteAddress::PlayList, s_.host), s_.state.SeriesId);
    return SplitPlayList(s_.http.HttpGetText(address));
}

void PlayPipeline::Record(std::int32_t episode) {
    const PlayerState& st = s_.state;
    try {
        s_.history.AddHistory(st.SeriesId, st.SeriesName, st.SeriesTypes, std::to_string(episode));
    } catch (...) {
        // The history never stops playing.
    }
}

void PlayPipeline::StartSeries() {
    PlayerState& st = s_.state;
    followingSeries_ = true;
    if (PlayIfCached(st.SeriesId, 1)) {
        // Its play list comes when the series moves on, so that the next episode is this
        // series' second.
        st.EpisodeIndex = 0;
        return;
    }
    const auto lines = FetchPlayList();
    if (st.EpisodeListReady && st.EpisodeList) {
        if (lines.empty()) throw ListIndexError(0);
        *st.EpisodeList = lines;
        listSeries_ = st.SeriesId;
        st.EpisodeIndex = 0;
        Record(1);
        DownloadEpisode(st.SeriesId, lines.front(), 1);
    } else {
        // Without a list only the first episode plays, under a name without a number.
        SetTitle(st.SeriesName);
        if (lines.empty()) throw ListIndexError(0);
        st.EpisodeIndex = 0;
        Record(1);
        DownloadEpisode(st.SeriesId, lines.front(), 0);
    }
}

void PlayPipeline::DownloadEpisode(const std::string& id, const std::string& address,
                                   std::int32_t n) {
    const std::string path = EpisodeFileName(s_.state.CacheDir, id, n);
    LoadMovieFile(s_.movie, s_.state.LoadMoviePath);
    showingLogo_ = false;
    s_.download.BeginDownload("http://" + s_.host + address, path);
}

bool PlayPipeline::PlayIfCached(const std::string& id, std::int32_t n) {
    if (!osfile::FileExists(EpisodeFileName(s_.state.CacheDir, id, n))) return false;
    PlayCachedEpisode(id, n);
    return true;
}

void PlayPipeline::PlayCachedEpisode(const std::string& id, std::int32_t n) {
    PlayMovieFile(EpisodeFileName(s_.state.CacheDir, id, n));
}

bool PlayPipeline::ReplayCached(const std::string& id, std::int32_t n) {
    if (!PlayIfCached(id, n)) return false;
    followingSeries_ = false;
    return true;
}

void PlayPipeline::PlayMovieFile(const std::string& path) {
    if (s_.advertising) s_.bar.ShowAdvert(FormatS(SiteAddress::PlayAdvert, s_.host));
    s_.movie.Stop();
    s_.movie.LoadMovie(0, u"http://");
    LoadMovieFile(s_.movie, path);
    showingLogo_ = false;
    ResumePlay();
}

void PlayPipeline::SetTitle(const std::string& title) {
    s_.bar.SetTitle(title);
}

void PlayPipeline::PausePlay() {
    if (s_.advertising) s_.bar.ShowAdvert(FormatS(SiteAddress::PauseAdvert, s_.host));
    s_.bar.SetPlaying(false);
    s_.movie.Stop();
}

void PlayPipeline::ResumePlay() {
    if (s_.advertising) s_.bar.HideAdvert();
    s_.bar.SetPlaying(true);
    s_.movie.Play();
}

void PlayPipeline::StopPlay() {
    s_.bar.SetTitle("");
    if (s_.advertising) s_.bar.ShowAdvert(FormatS(SiteAddress::StopAdvert, s_.host));
    s_.movie.Stop();
    s_.movie.LoadMovie(0, u"");
    s_.movie.LoadMovie(0, u"http://");
    ShowLogoMovie();
}

void PlayPipeline::NextEpisode() {
    StopPlay();
    PlayerState& st = s_.state;
    // A replayed episode belongs to no series that could move on.
    if (!followingSeries_) return;
    if (!st.EpisodeListReady || !st.EpisodeList) return;
    if (listSeries_ != st.SeriesId) {
        // The series started from the cache: its play list comes now. Without an answer the
        // series ends here, and the next end asks again.
        *st.EpisodeList = FetchPlayList();
        if (!st.EpisodeList->empty()) listSeries_ = st.SeriesId;
    }
    ++st.EpisodeIndex;
    // Past the end the series is over and the logo shows; every further call counts on.
    if (st.EpisodeIndex >= static_cast<std::int32_t>(st.EpisodeList->size())) return;
    const std::int32_t n = st.EpisodeIndex + 1;
    if (PlayIfCached(st.SeriesId, n)) return;
    SetTitle(st.SeriesName + "[" + std::to_string(n) + "]");
    Record(n);
    DownloadEpisode(st.SeriesId, (*st.EpisodeList)[static_cast<std::size_t>(st.EpisodeIndex)], n);
}

void PlayPipeline::SetMute(bool mute) {
    s_.volume.SetMute(mute);
}

void PlayPipeline::SetVolume(int volume) {
    s_.volume.SetVolume(volume);
}

int PlayPipeline::GetVolume() {
    return s_.volume.Volume();
}

void PlayPipeline::RefreshFlashWindow() {
    s_.window.ActivateInPlace();
}

void PlayPipeline::StartLogoMovie() {
    PlayerState& st = s_.state;
    st.LogoMoviePath = st.ProgramDir + FormatD(kRefreshedLogo, kLogoNumber);
    ShowLogoMovie();
    s_.logo.BeginRefresh(FormatD(FormatS(SiteAddress::LogoMovie, s_.host), kLogoNumber),
                         st.LogoMoviePath);
}

void PlayPipeline::EpisodeDownloadProgress(std::uint32_t progress, std::uint32_t progressMax) {
    if (progress == 0 || progressMax == 0) return;
    try {
        s_.movie.SetVariable(kLoadingVariable, Decimal(progress));
    } catch (...) {
        // The percentage is for show; the download goes on.
    }
}

void PlayPipeline::EpisodeDownloadComplete() {
    followingSeries_ = true;
    PlayMovieFile(s_.download.DestFile());
}

void PlayPipeline::EpisodeDownloadFailed(std::int32_t) {
    // The loading movie stays; the user can stop, skip or start another series.
}

void PlayPipeline::ShowLogoMovie() {
    const PlayerState& st = s_.state;
    const std::string path =
        osfile::FileExists(st.LogoMoviePath) ? st.LogoMoviePath : st.ProgramDir + kShippedLogo;
    s_.movie.SetProperty(FlashDispId::ScaleMode, std::int32_t{0});
    LoadMovieFile(s_.movie, path);
    showingLogo_ = true;
}

void PlayPipeline::LogoRefreshed() {
    if (showingLogo_) StopPlay();
}
