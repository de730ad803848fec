// The play pipeline over a recording movie control: stop to the logo, the logo's fallback and
// refresh, pause and resume, the play bar and the advertising pages.
#include "PlayPipeline.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "FakeMovieControl.h"
#include "PlayList.h"
#include "SwfTestData.h"
#include "TempFolder.h"

namespace {

using V = std::vector<std::string>;

struct Recorder : PlayBarView,
                  MovieWindow,
                  VolumeControl,
                  LogoRefresh,
                  EpisodeDownload,
                  HistoryRecorder,
                  HttpTextPort {
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
    // The download component: what it was last given.
    std::string source, destination;
    void BeginDownload(const std::string& from, const std::string& to) override {
        calls.push_back("download " + from);
        source = from;
        destination = to;
    }
    std::string DestFile() const override { return destination; }
    // The history; an entry may be made to fail.
    bool historyFails = false;
    void AddHistory(const std::string& id, const std::string& name, const std::string& types,
                    const std::string& episode) override {
        calls.push_back("history " + id + " " + name + " " + types + " " + episode);
        if (historyFails) throw std::runtime_error("history store closed");
    }
    // The server: play lists by address; every request is noted.
    std::map<std::string, std::string> answers;
    V requests;
    std::string HttpGetText(const std::string& address) override {
        requests.push_back(address);
        auto it = answers.find(address);
        return it == answers.end() ? std::string() : it->second;
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
        std::filesystem::create_directories(folder_.Path() / "cache");
        state_.CacheDir = state_.ProgramDir + "cache\\";
        state_.EpisodeListReady = CreateEpisodeList(state_);
        Install("web\\load.swf", loading_);
    }
    // A page started the series "Painter", id 123, with three episodes on the server.
    void Series(const std::string& id = "123", const std::string& list =
                                                   "/media/123/1.swf\r\n/media/123/2.swf\r\n"
                                                   "/media/123/3.swf\r\n") {
        state_.SeriesId = id;
        state_.SeriesName = "Painter";
        state_.SeriesTypes = "art";
        r_.answers["http://host:1/plus/play.php?aid=" + id] = list;
    }
    // The download component finished: the file is in the cache, the pipeline hears it.
    void Downloaded(PlayPipeline& p) {
        WriteBytes(r_.destination, episode_);
        p.EpisodeDownloadComplete();
    }
    void Cache(const std::string& id, int n) {
        WriteBytes(EpisodeFileName(state_.CacheDir, id, n), episode_);
    }
    // The lines of what happened that match one of the words.
    V Only(const V& lines, std::initializer_list<const char*> words) {
        V out;
        for (const auto& l : lines)
            for (const char* w : words)
                if (l.rfind(w, 0) == 0) out.push_back(l);
        return out;
    }
    bool Loaded(const Bytes& movie) const { return control_.loaded == control_.ImageFor(movie); }
    PlayPipeline Make(bool advertising = false) {
        return PlayPipeline({state_, control_, r_, r_, r_, r_, r_, r_, r_, "host:1", advertising});
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
    const Bytes refreshed_ = ReadBytes(TestMovie("episode_one_frame.swf"));
    const Bytes episode_ = ReadBytes(TestMovie("episode.swf"));
    const Bytes loading_ = ReadBytes(TestMovie("load.swf"));
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

TEST_F(PlayPipelineTest, ACachedFirstEpisodePlaysWithoutAnyRequest) {
    Series();
    Cache("123", 1);
    PlayPipeline p = Make();
    p.StartSeries();
    EXPECT_TRUE(r_.requests.empty());
    EXPECT_TRUE(Loaded(episode_));
    EXPECT_EQ(Only(Take(), {"history", "download", "playing", "title"}), V{"playing"});
}

TEST_F(PlayPipelineTest, ASeriesOfThreeIsFetchedPlayedAndEndsWithTheLogo) {
    Series();
    Install("web\\logo.swf", shipped_);
    PlayPipeline p = Make();
    p.StartSeries();
    EXPECT_EQ(r_.requests, V{"http://host:1/plus/play.php?aid=123"});
    EXPECT_TRUE(Loaded(loading_)) << "the loading movie shows while the episode comes";
    EXPECT_EQ(r_.destination, state_.CacheDir + "123-1.swf");
    EXPECT_EQ(Only(Take(), {"history", "download"}),
              (V{"history 123 Painter art 1", "download http://host:1/media/123/1.swf"}));

    p.EpisodeDownloadProgress(42, 100);
    EXPECT_EQ(Take(), V{"SetVariable _root.loadint=42"});
    Downloaded(p);
    EXPECT_TRUE(Loaded(episode_));

    for (int n = 2; n <= 3; ++n) {
        p.NextEpisode();  // "kefoend"
        const std::string number = std::to_string(n);
        EXPECT_EQ(
            Only(Take(), {"history", "download", "title"}),
            (V{"title ''", "title 'Painter[" + number + "]'", "history 123 Painter art " + number,
               "download http://host:1/media/123/" + number + ".swf"}));
        EXPECT_EQ(r_.destination, state_.CacheDir + "123-" + number + ".swf");
        Downloaded(p);
    }
    p.NextEpisode();
    EXPECT_EQ(Only(Take(), {"history", "download", "title"}), V{"title ''"});
    EXPECT_TRUE(Loaded(shipped_));
    EXPECT_EQ(state_.EpisodeIndex, 3);
    EXPECT_EQ(r_.requests.size(), 1u) << "the play list was fetched once";
}

TEST_F(PlayPipelineTest, ACachedNextEpisodePlaysAtOnceWithAnEmptyTitle) {
    Series();
    Cache("123", 2);
    PlayPipeline p = Make();
    p.StartSeries();
    Downloaded(p);
    Take();
    p.NextEpisode();
    EXPECT_EQ(Only(Take(), {"history", "download", "title"}), V{"title ''"});
    EXPECT_TRUE(Loaded(episode_));
    EXPECT_EQ(state_.EpisodeIndex, 1);
}

TEST_F(PlayPipelineTest, AfterACachedStartTheNextEpisodeIsThisSeriesSecond) {
    // Another series' list was loaded before.
    Series("77", "/media/77/1.swf\r\n/media/77/2.swf\r\n/media/77/3.swf\r\n");
    PlayPipeline p = Make();
    p.StartSeries();
    Downloaded(p);
    p.NextEpisode();
    Series();
    Cache("123", 1);
    r_.requests.clear();
    p.StartSeries();
    EXPECT_TRUE(r_.requests.empty());
    Take();
    p.NextEpisode();
    EXPECT_EQ(r_.requests, V{"http://host:1/plus/play.php?aid=123"});
    EXPECT_EQ(Only(Take(), {"download"}), V{"download http://host:1/media/123/2.swf"});
    EXPECT_EQ(r_.destination, state_.CacheDir + "123-2.swf");
}

TEST_F(PlayPipelineTest, AReplayMovesNoSeriesOn) {
    Series();
    PlayPipeline p = Make();
    p.StartSeries();
    Downloaded(p);
    Cache("55", 4);
    EXPECT_TRUE(p.ReplayCached("55", 4));
    EXPECT_FALSE(p.ReplayCached("55", 5));
    Take();
    p.NextEpisode();  // the replayed movie ended
    EXPECT_EQ(Only(Take(), {"history", "download", "title"}), V{"title ''"});
    EXPECT_EQ(state_.EpisodeIndex, 0);
}

TEST_F(PlayPipelineTest, StopDuringADownloadShowsTheLogoAndTheCompletedEpisodePlays) {
    Series();
    Install("web\\logo.swf", shipped_);
    PlayPipeline p = Make();
    p.StartSeries();
    p.StopPlay();
    EXPECT_TRUE(Loaded(shipped_));
    Downloaded(p);
    EXPECT_TRUE(Loaded(episode_));
    EXPECT_FALSE(p.ShowingLogo());
}

TEST_F(PlayPipelineTest, AnEmptyPlayListFailsBeforeAnythingIsFetched) {
    Series("123", "");
    PlayPipeline p = Make();
    try {
        p.StartSeries();
        FAIL() << "no error";
    } catch (const ListIndexError& e) {
        EXPECT_STREQ(e.what(), "List index out of bounds (0)");
    }
    EXPECT_EQ(Only(Take(), {"history", "download"}), V{});
}

TEST_F(PlayPipelineTest, WithoutAnEpisodeListOnlyTheFirstEpisodeComesUnderTheBareName) {
    Series();
    FreeEpisodeList(state_);
    state_.EpisodeListReady = false;
    PlayPipeline p = Make();
    p.StartSeries();
    EXPECT_EQ(Only(Take(), {"title", "download"}),
              (V{"title 'Painter'", "download http://host:1/media/123/1.swf"}));
    EXPECT_EQ(r_.destination, state_.CacheDir + "123.swf");
    Downloaded(p);
    p.NextEpisode();
    EXPECT_EQ(Only(Take(), {"download"}), V{});
}

TEST_F(PlayPipelineTest, ProgressAndHistoryErrorsNeverStopTheSeries) {
    Series();
    r_.historyFails = true;
    PlayPipeline p = Make();
    p.StartSeries();
    EXPECT_EQ(Only(Take(), {"download"}), V{"download http://host:1/media/123/1.swf"});
    p.EpisodeDownloadProgress(0, 100);
    p.EpisodeDownloadProgress(5, 0);
    EXPECT_EQ(Take(), V{}) << "nothing to show yet";
    control_.failSetVariable = true;
    p.EpisodeDownloadProgress(7, 100);
    EXPECT_EQ(Take(), V{"SetVariable _root.loadint=7"});
    p.EpisodeDownloadFailed(-2146697211);
    EXPECT_TRUE(Loaded(loading_)) << "a failed download leaves the loading movie";
}

}  // namespace
