#include "Umain.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace {

// Records every port call as one line, in order.
struct Recorder : MainView, SitePages, PlayControl {
    std::vector<std::string> calls;
    std::map<ButtonId, bool> down;

    void ShowSideLayers(bool web, bool grid) override {
        calls.push_back(std::string("side web=") + (web ? "1" : "0") +
                        " grid=" + (grid ? "1" : "0"));
    }
    bool Down(ButtonId b) const override {
        auto it = down.find(b);
        return it != down.end() && it->second;
    }
    void SetDown(ButtonId b, bool d) override {
        down[b] = d;
        calls.push_back(std::string("down ") + (d ? "1" : "0"));
    }
    void SetEnabled(ButtonId, bool) override { calls.push_back("enable"); }
    void SetFullScreen(bool on) override {
        calls.push_back(std::string("fullscreen ") + (on ? "1" : "0"));
    }
    void Minimize() override { calls.push_back("minimize"); }
    void ToggleMaximized() override { calls.push_back("maximize"); }
    void Close() override { calls.push_back("close"); }
    void SetVolumePosition(int p) override { calls.push_back("slider " + std::to_string(p)); }
    void ShowAdvertPanel(bool v) override {
        calls.push_back(std::string("advert ") + (v ? "1" : "0"));
    }

    void ShowLoadingPage(const std::string& t) override { calls.push_back("loading " + t); }
    void Navigate(const std::string& a) override { calls.push_back("navigate " + a); }
    void OpenInDefaultBrowser(const std::string& a) override { calls.push_back("browser " + a); }

    void PausePlay() override { calls.push_back("pause"); }
    void ResumePlay() override { calls.push_back("resume"); }
    void StopPlay() override { calls.push_back("stop"); }
    void NextEpisode() override { calls.push_back("next"); }
    void SetMute(bool m) override { calls.push_back(std::string("mute ") + (m ? "1" : "0")); }
    void SetVolume(int v) override { calls.push_back("volume " + std::to_string(v)); }
    int GetVolume() override { return 50; }
    void RefreshFlashWindow() override { calls.push_back("refresh"); }
    void StartLogoMovie() override { calls.push_back("logo"); }
};

class MainWindowLogicTest : public ::testing::Test {
  protected:
    Recorder r;
    MainWindowLogic logic{{r, r, r, "host:1"}};
    std::vector<std::string> Take() { return std::exchange(r.calls, {}); }
};

using V = std::vector<std::string>;

TEST_F(MainWindowLogicTest, ButtonsReachTheirOperations) {
    struct Case {
        ButtonId button;
        V calls;
    } cases[] = {
        {ButtonId::ImgButton1, {"loading http://host:1/member/index1.php"}},
        {ButtonId::ImgButton2, {}},  // the lock mode's own
        {ButtonId::ImgButton3, {"browser http://host:1/bbs/forum.php"}},
        {ButtonId::ImgButton4, {"browser http://host:1/bbs/home.php?mod=spacecp"}},
        {ButtonId::ImgButton5, {"browser http://host:1/bbs/home.php?mod=space&do=blog"}},
        {ButtonId::ImgButton6, {"browser http://host:1/bbs/home.php?mod=space&do=album"}},
        {ButtonId::ImgButton7, {"navigate http://host:1/plus/search_v.php?channeltype=7&q="}},
        {ButtonId::ImgButton8, {"side web=0 grid=1"}},
        {ButtonId::ImgButton9, {"side web=0 grid=0", "stop"}},
        {ButtonId::ImgButton14, {"stop"}},
        {ButtonId::ImgButton15, {"next"}},
        {ButtonId::ImgBut_min, {"minimize"}},
        {ButtonId::ImgBut_max, {"maximize"}},
    };
    for (const auto& c : cases) {
        logic.ButtonClick(c.button);
        EXPECT_EQ(Take(), c.calls) << static_cast<int>(c.button);
    }
    EXPECT_FALSE(logic.CloseAllowed());
}

TEST_F(MainWindowLogicTest, PlayButtonFollowsItsDownState) {
    logic.ButtonClick(ButtonId::ImgButton13);
    EXPECT_EQ(Take(), V{"resume"});
    r.down[ButtonId::ImgButton13] = true;  // the pipeline marks it playing
    logic.ButtonClick(ButtonId::ImgButton13);
    EXPECT_EQ(Take(), V{"pause"});
    EXPECT_TRUE(r.down[ButtonId::ImgButton13]);  // the button never flips itself
}

TEST_F(MainWindowLogicTest, MuteAndFullScreenFlipTheirButtons) {
    logic.ButtonClick(ButtonId::ImgButton16);
    logic.ButtonClick(ButtonId::ImgButton16);
    EXPECT_EQ(Take(), (V{"down 1", "mute 1", "down 0", "mute 0"}));
    logic.ButtonClick(ButtonId::ImgButton17);
    logic.ButtonClick(ButtonId::ImgButton17);
    EXPECT_EQ(Take(),
              (V{"down 1", "fullscreen 1", "refresh", "down 0", "fullscreen 0", "refresh"}));
    logic.ImgTrackBar1Change(37);
    EXPECT_EQ(Take(), V{"volume 37"});
}

TEST_F(MainWindowLogicTest, TheFirstShowingOpensTheStartPageThenTheLogo) {
    logic.NavigateError();
    logic.WindowShown();
    EXPECT_EQ(Take(), (V{"loading http://host:1/a/zodivodedozi/", "logo"}));
    EXPECT_FALSE(logic.Side().NavigateFailed());
}

TEST_F(MainWindowLogicTest, ALaterShowingLeavesPageAndMovieAsTheyAre) {
    logic.WindowShown();
    Take();
    logic.NavigateError();
    logic.WindowShown();  // brought back after a minimise, or by a second start
    EXPECT_EQ(Take(), V{});
    EXPECT_TRUE(logic.Side().NavigateFailed());
}

TEST_F(MainWindowLogicTest, PlayerNavigationsClearAFailedNavigation) {
    struct Case {
        const char* what;
        std::function<void()> navigate;
    } cases[] = {
        {"log-in button", [&] { logic.ButtonClick(ButtonId::ImgButton1); }},
        {"search button", [&] { logic.ButtonClick(ButtonId::ImgButton7); }},
        {"kefoweb", [&] { logic.FSCommand("kefoweb", "/x.php"); }},
    };
    for (const auto& c : cases) {
        EXPECT_TRUE(logic.NavigateError()) << c.what;
        logic.DocumentComplete();
        EXPECT_EQ(logic.Side().Layer(), SideLayer::History) << c.what;
        c.navigate();
        EXPECT_FALSE(logic.Side().NavigateFailed()) << c.what;
        logic.DocumentComplete();
        EXPECT_EQ(logic.Side().Layer(), SideLayer::SitePage) << c.what;
    }
    // A browser button opens no page in the panel and leaves the failure standing.
    logic.NavigateError();
    logic.ButtonClick(ButtonId::ImgButton3);
    EXPECT_TRUE(logic.Side().NavigateFailed());
}

TEST_F(MainWindowLogicTest, StalledFailedNavigationShowsTheHistory) {
    logic.NavigationStalled();  // nothing failed: nothing changes
    EXPECT_EQ(logic.Side().Layer(), SideLayer::Cover);
    EXPECT_TRUE(Take().empty());
    logic.NavigateError();
    logic.NavigationStalled();
    EXPECT_EQ(logic.Side().Layer(), SideLayer::History);
    EXPECT_EQ(Take(), V{"side web=0 grid=1"});
}

TEST_F(MainWindowLogicTest, MovieCommands) {
    logic.FSCommand("kefoweb", "/a/b.html");
    logic.FSCommand("kefoend", "");
    logic.FSCommand("kefoweb", "@other.host/");
    logic.FSCommand("other", "");
    EXPECT_EQ(Take(), (V{"loading http://host:1/a/b.html", "next"}));
}

TEST_F(MainWindowLogicTest, OnlyThePlayerItselfClosesTheWindow) {
    EXPECT_FALSE(logic.FormCloseQuery());
    logic.HandleCloseRequest();
    EXPECT_EQ(Take(), V{"close"});
    EXPECT_TRUE(logic.FormCloseQuery());

    Recorder r2;
    MainWindowLogic other{{r2, r2, r2, "h"}};
    other.ButtonClick(ButtonId::ImgBut_close);
    EXPECT_EQ(r2.calls, V{"close"});
    EXPECT_TRUE(other.FormCloseQuery());
}

TEST(WindowRules, SysCommands) {
    struct Case {
        std::uintptr_t command;
        bool swallowed;
    } cases[] = {
        {0xF140, true},  {0xF170, true},  {0xF142, true},  // low bits belong to the system
        {0xF020, false}, {0xF030, false}, {0xF060, false}, {0xF012, false}, {0xF120, false},
    };
    for (const auto& c : cases) EXPECT_EQ(SwallowSysCommand(c.command), c.swallowed) << c.command;
}

TEST(WindowRules, CentreOffsetTruncatesTowardZero) {
    EXPECT_EQ(CentreOffset(599, 473), 63);
    EXPECT_EQ(CentreOffset(379, 297), 41);
    EXPECT_EQ(CentreOffset(200, 297), -48);  // -97 / 2
    EXPECT_EQ(CentreOffset(0, 1), 0);
}

}  // namespace
