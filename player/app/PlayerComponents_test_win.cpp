// The player's real components on its real main window, in a folder of their own: the start-up,
// the logo movie, the side panel without a network, and a window shown again.
#include "PlayerComponents_win.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "BuildPath.h"
#include "BuiltinMovie.h"
#include "Picture_win.h"
#include "PumpMessages_win.h"
#include "SwfTestData.h"
#include "TempFolder.h"
#include "Umain_win.h"
#include "WineWindowEnvironment_win.h"

namespace fs = std::filesystem;

namespace {

std::string ReadText(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class PlayerComponentsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        testwin::Errors().clear();
        fs::create_directories(folder_.Path() / "web");
        fs::copy_file(TestMovie("logo.swf"), folder_.Path() / "web" / "logo.swf");
        fs::copy_file(FromBuild(ZORVANE_STANDIN_EXE), folder_.Path() / "Zorvane.exe");
        state_ = PlayerState{};
        form_ = std::make_unique<Tfrm_wuxplay>(nullptr, [this](MainPlaces& p, MainView& v) {
            return MakePlayerComponents(p, v, state_, folder_.File("Variz.exe"));
        });
        ASSERT_NE(form_->Handle(), nullptr);
    }
    void TearDown() override {
        form_.reset();
        testwait::Pump();
    }

    GdiplusSession gdiplus_;
    TempFolder folder_;
    PlayerState state_;
    std::unique_ptr<Tfrm_wuxplay> form_;
};

TEST_F(PlayerComponentsTest, TheStartUpMakesTheCacheAndStartsTheTrayInThePlayersFolder) {
    EXPECT_EQ(state_.ProgramDir, folder_.File(""));
    EXPECT_TRUE(fs::is_directory(folder_.Path() / "cache"));
    ASSERT_TRUE(
        testwait::PumpUntil([&] { return fs::exists(folder_.Path() / "zorvane-starts.txt"); }));
    // The stand-in notes the folder it was started in.
    const std::string starts = ReadText(folder_.Path() / "zorvane-starts.txt");
    const std::string folder = state_.ProgramDir.substr(0, state_.ProgramDir.size() - 1);
    const std::string expected = "started in " + folder + "\r\n";
    EXPECT_EQ(starts, expected);
    EXPECT_TRUE(state_.EpisodeListReady);
}

TEST_F(PlayerComponentsTest, WithoutARefreshedLogoTheShippedOneShows) {
    form_->Show();
    testwait::Pump();
    ASSERT_NE(form_->PlayArea().BuiltinCore(), nullptr) << "no registered control here";
    EXPECT_TRUE(form_->PlayArea().BuiltinCore()->HasMovie());
    EXPECT_EQ(state_.LogoMoviePath, state_.ProgramDir + "web\\logo1.swf");
}

TEST_F(PlayerComponentsTest, WithoutANetworkTheHistoryTakesTheSidePanel) {
    // Here every navigation fails and no document ever completes.
    form_->Show();
    ASSERT_TRUE(testwait::PumpUntil(
        [&] { return form_->Logic().Side().Layer() == SideLayer::History; }, 15000));
    EXPECT_TRUE(form_->Logic().Side().NavigateFailed());

    // The log-in button's navigation clears the failure at once; it fails again and falls back.
    form_->Logic().ButtonClick(ButtonId::ImgButton1);
    EXPECT_FALSE(form_->Logic().Side().NavigateFailed());
    ASSERT_TRUE(testwait::PumpUntil([&] { return form_->Logic().Side().NavigateFailed(); }, 15000));
    EXPECT_EQ(form_->Logic().Side().Layer(), SideLayer::History);

    // Shown again (restored, or by a second start): the first showing does not run again, so
    // nothing clears the failure or reloads the start page.
    ShowWindow(form_->Handle(), SW_HIDE);
    ShowWindow(form_->Handle(), SW_SHOWNORMAL);
    testwait::Pump();
    EXPECT_TRUE(form_->Logic().Side().NavigateFailed());
    EXPECT_TRUE(testwin::Errors().empty()) << testwin::Errors().front();
}

}  // namespace
