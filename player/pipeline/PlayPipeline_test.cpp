// The play pipeline over a recording movie control: stop to the logo, the logo's fallback and
// refresh, pause and resume, the play bar and the advertising pages.
#include "PlayPipeline.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "FakeMovieControl.h"
#include "SwfTestData.h"
#include "TempFolder.h"

namespace {

using V = std::vector<std::string>;

struct Recorder : PlayBarView, MovieWindow, VolumeControl, LogoRefresh {
    V calls;
    int volume = 100;
    void SetTitle(const std::string& t) override { calls.push_back("title '" + t + "'"); }
    void SetPlaying(bool p) override { calls.push_back(p ? "playing" : "halted"); }
    void ShowAdvert(const std::string& a) override { calls.push_back("advert " + a); }
    void HideAdvert() override { calls.push_back("no advert"); }
    void ActivateInPlace() override { calls.push_back("activate"); }
    int Volume() const override { return volume; }
    void SetVolume(int v) override { calls.push_back("volume " + std::to_string(volume = v)); }
    void SetMute(bool m) override { calls.push_back(m ? "mute" : "sound"); }
    void BeginRefresh(const std::string& source, const std::string& destination) override {
        calls.push_back("refresh " + source + " into " + destination);
    }
};

class PlayPipelineTest : public ::testing::Test {
  protected:
    PlayPipelineTest() {
        // On Windows the names below lie in this folder; elsewhere they are plain names.
        std::filesystem::create_directories(folder_.Path() / "web");
        state_.ProgramDir = folder_.File("");
        state_.LogoMoviePath = state_.ProgramDir + "web\\logo1.swf";
        state_.LoadMoviePath = state_.ProgramDir + "web\\load.swf";
    }
    PlayPipeline Make(bool advertising = false) {
        return PlayPipeline({state_, control_, r_, r_, r_, r_, "host:1", advertising});
    }
    // The files beside the player: a plain name here stands for the program folder's file.
    void Install(const std::string& name, const Bytes& movie) {
        WriteBytes(state_.ProgramDir + name, movie);
    }
    V Take() {
        V all = r_.calls;
        all.insert(all.end(), control_.calls.begin(), control_.calls.end());
        r_.calls.clear();
        control_.calls.clear();
        return all;
    }

    TempFolder folder_;
    PlayerState state_;
    FakeControl control_;
    Recorder r_;
    const Bytes shipped_ = ReadBytes(TestMovie("logo.swf"));
    const Bytes refreshed_ = ReadBytes(TestMovie("episode.swf"));
    const Bytes episode_ = ReadBytes(TestMovie("load.swf"));
};

TEST_F(PlayPipelineTest, StopClearsTheTitleAndShowsTheLogo) {
    Install("web\\logo1.swf", refreshed_);
    PlayPipeline p = Make();
    p.StopPlay();
    EXPECT_EQ(Take(), (V{"title ''", "Stop", "LoadMovie", "LoadMovie", "Set 120", "Set 139 false",
                         "SizeMax", "Save", "Load"}));
    EXPECT_EQ(control_.loaded, control_.ImageFor(refreshed_));
    EXPECT_TRUE(p.ShowingLogo());
}

TEST_F(PlayPipelineTest, StartingTheLogoShowsItAndStartsItsRefresh) {
    Install("web\\logo1.swf", refreshed_);
    state_.LogoMoviePath = state_.ProgramDir + "web\\logo.swf";
    PlayPipeline p = Make();
    p.StartLogoMovie();
    EXPECT_EQ(state_.LogoMoviePath, state_.ProgramDir + "web\\logo1.swf");
    EXPECT_EQ(control_.loaded, control_.ImageFor(refreshed_));
    EXPECT_EQ(r_.calls, V{"refresh http://host:1/images/logo1.swf into " + state_.LogoMoviePath});
}

TEST_F(PlayPipelineTest, TheShippedLogoStandsInUntilARefreshedOneExists) {
    Install("web\\logo.swf", shipped_);
    PlayPipeline p = Make();
    p.ShowLogoMovie();
    EXPECT_EQ(control_.loaded, control_.ImageFor(shipped_));

    Install("web\\logo1.swf", refreshed_);
    p.ShowLogoMovie();
    EXPECT_EQ(control_.loaded, control_.ImageFor(refreshed_));
}

TEST_F(PlayPipelineTest, WithoutAnyLogoThePlayAreaKeepsWhatItShowed) {
    PlayPipeline p = Make();
    p.ShowLogoMovie();
    EXPECT_TRUE(control_.loaded.empty());
    EXPECT_EQ(Take(), V{"Set 120"});
}

TEST_F(PlayPipelineTest, ARefreshedLogoWaitsWhileAnEpisodePlays) {
    Install("web\\logo.swf", shipped_);
    Install("episode.swf", episode_);
    PlayPipeline p = Make();
    p.ShowLogoMovie();
    p.PlayMovieFile(state_.ProgramDir + "episode.swf");
    EXPECT_EQ(control_.loaded, control_.ImageFor(episode_));
    EXPECT_FALSE(p.ShowingLogo());
    Take();

    // The updater finished with a new logo: the episode plays on.
    Install("web\\logo1.swf", refreshed_);
    p.LogoRefreshed();
    EXPECT_EQ(Take(), V{});
    EXPECT_EQ(control_.loaded, control_.ImageFor(episode_));

    // The next time the logo shows, it is the new one; a refresh then shows it again.
    p.StopPlay();
    EXPECT_EQ(control_.loaded, control_.ImageFor(refreshed_));
    Take();
    p.LogoRefreshed();
    EXPECT_EQ(Take().front(), "title ''");
    EXPECT_EQ(control_.loaded, control_.ImageFor(refreshed_));
}

TEST_F(PlayPipelineTest, PauseAndResumeHaltAndPlayAndSetThePlayButton) {
    PlayPipeline p = Make();
    p.PausePlay();
    p.ResumePlay();
    EXPECT_EQ(Take(), (V{"halted", "playing", "Stop", "Play"}));
}

TEST_F(PlayPipelineTest, AdvertisingPagesShowAroundPlayPauseAndStopOnlyWhenSwitchedOn) {
    Install("episode.swf", episode_);
    for (bool advertising : {false, true}) {
        PlayPipeline p = Make(advertising);
        p.PlayMovieFile(state_.ProgramDir + "episode.swf");
        p.PausePlay();
        p.ResumePlay();
        p.StopPlay();
        V adverts;
        for (const auto& c : Take())
            if (c.find("advert") != std::string::npos) adverts.push_back(c);
        if (advertising)
            EXPECT_EQ(adverts, (V{"advert http://host:1/toluad/getplayaad.html", "no advert",
                                  "advert http://host:1/toluad/getpause.html", "no advert",
                                  "advert http://host:1/toluad/getstop.html"}));
        else
            EXPECT_EQ(adverts, V{});
    }
}

TEST_F(PlayPipelineTest, NextEpisodeStopsAndPassesTheEndOfTheSeries) {
    PlayPipeline p = Make();
    state_.EpisodeList = std::make_unique<TEpisodeList>();
    state_.EpisodeListReady = true;
    state_.EpisodeIndex = 0;
    p.NextEpisode();
    p.NextEpisode();
    EXPECT_EQ(state_.EpisodeIndex, 2) << "every call past the end counts on";
    EXPECT_TRUE(p.ShowingLogo());

    state_.EpisodeListReady = false;
    p.NextEpisode();
    EXPECT_EQ(state_.EpisodeIndex, 2);
    EXPECT_EQ(Take().front(), "title ''");
}

TEST_F(PlayPipelineTest, VolumeMuteAndTheControlWindowGoWhereTheyBelong) {
    PlayPipeline p = Make();
    EXPECT_EQ(p.GetVolume(), 100);
    p.SetVolume(40);
    p.SetMute(true);
    p.RefreshFlashWindow();
    EXPECT_EQ(Take(), (V{"volume 40", "mute", "activate"}));
    EXPECT_EQ(p.GetVolume(), 40);
}

}  // namespace
