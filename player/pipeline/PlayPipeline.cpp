#include "PlayPipeline.h"

#include "OsFile.h"
#include "ShockwaveEx.h"
#include "SiteAddresses.h"
#include "TextFormat.h"

namespace {
constexpr char kShippedLogo[] = "web\\logo.swf";
constexpr char kRefreshedLogo[] = "web\\logo%d.swf";
constexpr int kLogoNumber = 1;
}  // namespace

PlayPipeline::PlayPipeline(PipelineServices services) : s_(std::move(services)) {}

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
    if (!st.EpisodeListReady || !st.EpisodeList) return;
    ++st.EpisodeIndex;
    // Past the end the series is over and the logo shows. A list only ever holds entries once a
    // series can start; playing the next one comes with that.
    if (st.EpisodeIndex >= static_cast<std::int32_t>(st.EpisodeList->size())) return;
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

void PlayPipeline::PlayMovieFile(const std::string& path) {
    if (s_.advertising) s_.bar.ShowAdvert(FormatS(SiteAddress::PlayAdvert, s_.host));
    s_.movie.Stop();
    s_.movie.LoadMovie(0, u"http://");
    LoadMovieFile(s_.movie, path);
    showingLogo_ = false;
    ResumePlay();
}

void PlayPipeline::ShowLogoMovie() {
    const PlayerState& st = s_.state;
    const std::string path =
        osfile::FileExists(st.LogoMoviePath) ? st.LogoMoviePath : st.ProgramDir + kShippedLogo;
    s_.movie.SetProperty(FlashDispId::ScaleMode, std::int32_t{0});
    LoadMovieFile(s_.movie, path);
    showingLogo_ = true;
}

void PlayPipeline::StartLogoMovie() {
    PlayerState& st = s_.state;
    st.LogoMoviePath = st.ProgramDir + FormatD(kRefreshedLogo, kLogoNumber);
    ShowLogoMovie();
    s_.logo.BeginRefresh(FormatD(FormatS(SiteAddress::LogoMovie, s_.host), kLogoNumber),
                         st.LogoMoviePath);
}

void PlayPipeline::LogoRefreshed() {
    if (showingLogo_) StopPlay();
}
