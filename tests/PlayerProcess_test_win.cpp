// The delivered player as a process: one instance, the tray start, the close rules between
// programs.
#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "BuildPath.h"
#include "ChildWindowAt_win.h"
#include "Contract.h"
#include "DemoServer_win.h"
#include "Handles_win.h"
#include "StartInFolder_win.h"
#include "TempFolder.h"
#include "WaitFor.h"

namespace fs = std::filesystem;

namespace {

using testwait::WaitUntil;
using namespace std::chrono_literals;

// A left click of the mouse at a point of a window's client area, as the user makes it.
void Click(HWND window, POINT at) {
    HWND target = DeepestChildAt(window, &at);
    PostMessageW(target, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(at.x, at.y));
    PostMessageW(target, WM_LBUTTONUP, 0, MAKELPARAM(at.x, at.y));
}

class PlayerProcessTest : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = folder_.Path() / "player";
        fs::create_directories(dir_);
        fs::copy_file(FromBuild(VARIZ_EXE), dir_ / "Variz.exe");
        fs::copy_file(FromBuild(ZORVANE_STANDIN_EXE), dir_ / "Zorvane.exe");
    }
    void TearDown() override {
        if (HWND w = PlayerWindow()) {
            DWORD_PTR result = 0;
            SendMessageTimeoutW(w, contract::kCloseRequestMessage, 0, 0, SMTO_ABORTIFHUNG, 5000,
                                &result);
        }
        for (auto& p : players_) {
            if (WaitForSingleObject(p.get(), 10000) != WAIT_OBJECT_0) TerminateProcess(p.get(), 1);
        }
        players_.clear();
    }
    // Starts the player with `folder` as its working folder (its own folder unless given).
    HANDLE StartPlayer(const fs::path& folder = {}) {
        auto process = testwin::StartInFolder(dir_ / "Variz.exe", folder.empty() ? dir_ : folder);
        if (!process) return nullptr;
        players_.push_back(std::move(process));
        return players_.back().get();
    }
    static HWND PlayerWindow() { return FindWindowW(contract::kPlayerWindowClass, nullptr); }
    std::string TrayLog() {
        std::ifstream in(dir_ / "zorvane-starts.txt", std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    int TrayStarts() {
        const std::string all = TrayLog();
        int n = 0;
        for (std::size_t at = all.find("started"); at != std::string::npos;
             at = all.find("started", at + 1))
            ++n;
        return n;
    }
    bool Ended(HANDLE process, DWORD ms = 10000) {
        return WaitForSingleObject(process, ms) == WAIT_OBJECT_0;
    }

    TempFolder folder_;
    fs::path dir_;
    std::vector<UniqueHandle> players_;
};

TEST_F(PlayerProcessTest, StartsTheTrayOnceAndMakesTheCache) {
    HANDLE player = StartPlayer();
    ASSERT_NE(player, nullptr);
    ASSERT_TRUE(WaitUntil([] { return PlayerWindow() != nullptr; }));
    ASSERT_TRUE(WaitUntil([&] { return TrayStarts() >= 1; }));
    // The tray starts early in the start-up, the cache comes a few steps later.
    EXPECT_TRUE(WaitUntil([&] { return fs::is_directory(dir_ / "cache"); }));
    Sleep(500);
    EXPECT_EQ(TrayStarts(), 1);
}

TEST_F(PlayerProcessTest, TheTrayStartsInThePlayersFolderWhateverThePlayersWorkingFolder) {
    const fs::path elsewhere = folder_.Path() / "shortcut-folder";
    fs::create_directories(elsewhere);
    ASSERT_NE(StartPlayer(elsewhere), nullptr);
    ASSERT_TRUE(WaitUntil([&] { return TrayStarts() == 1; }));
    EXPECT_EQ(TrayLog(), "started in " + dir_.string() + "\r\n");
    // The player's own files go to its folder, not to the working folder.
    EXPECT_TRUE(WaitUntil([&] { return fs::is_directory(dir_ / "cache"); }));
    EXPECT_FALSE(fs::exists(elsewhere / "cache"));
}

TEST_F(PlayerProcessTest, MinimisedAndBroughtBackByASecondStartThePlayerCarriesOn) {
    // Each player asks the server for the logo's version once, when its window first shows.
    const auto logoChecks = [] { return demo_server::LogLinesWith("/images/getlogo.html").size(); };
    const auto before = logoChecks();
    ASSERT_NE(StartPlayer(), nullptr);
    ASSERT_TRUE(WaitUntil([] { return PlayerWindow() != nullptr; }));
    HWND window = PlayerWindow();
    ASSERT_TRUE(WaitUntil([&] { return logoChecks() == before + 1; }));

    // The minimise button of the window's top right corner hides the window with its owner.
    RECT r{};
    GetClientRect(window, &r);
    Click(window, POINT{r.right - 125 + 1 + 20, 8 + 14});
    ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(window); }));
    HWND taskbarButton = GetWindow(window, GW_OWNER);
    EXPECT_TRUE(WaitUntil([&] { return IsIconic(taskbarButton) != FALSE; }));

    HANDLE second = StartPlayer();
    ASSERT_NE(second, nullptr);
    ASSERT_TRUE(Ended(second));
    ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(window) != FALSE; }));
    EXPECT_TRUE(WaitUntil([&] { return !IsIconic(taskbarButton); }));
    // Shown again, it neither reloads its pages nor restarts the logo updater.
    Sleep(1500);
    EXPECT_EQ(logoChecks(), before + 1);
    EXPECT_EQ(TrayStarts(), 1);
}

TEST_F(PlayerProcessTest, SecondStartBringsTheFirstForwardAndEnds) {
    HANDLE first = StartPlayer();
    ASSERT_TRUE(WaitUntil([] { return PlayerWindow() != nullptr; }));
    ASSERT_TRUE(WaitUntil([&] { return TrayStarts() == 1; }));
    HWND window = PlayerWindow();
    ShowWindow(window, SW_MINIMIZE);
    ASSERT_TRUE(WaitUntil([&] { return IsIconic(window) != FALSE; }));

    HANDLE second = StartPlayer();
    ASSERT_NE(second, nullptr);
    ASSERT_TRUE(Ended(second));
    DWORD code = 1;
    GetExitCodeProcess(second, &code);
    EXPECT_EQ(code, 0u);
    EXPECT_TRUE(WaitUntil([&] { return !IsIconic(window) && IsWindowVisible(window); }));
    EXPECT_EQ(PlayerWindow(), window);
    EXPECT_EQ(TrayStarts(), 1);
    EXPECT_FALSE(Ended(first, 0));
}

TEST_F(PlayerProcessTest, CloseMessageOfThePlatformIsRefused) {
    HANDLE player = StartPlayer();
    ASSERT_TRUE(WaitUntil([] { return PlayerWindow() != nullptr; }));
    PostMessageW(PlayerWindow(), WM_CLOSE, 0, 0);
    EXPECT_FALSE(Ended(player, 1500));
    EXPECT_NE(PlayerWindow(), nullptr);
}

TEST_F(PlayerProcessTest, CloseRequestEndsThePlayerWithoutHoldingTheSender) {
    HANDLE player = StartPlayer();
    ASSERT_TRUE(WaitUntil([] { return PlayerWindow() != nullptr; }));
    DWORD_PTR result = 1;
    ASSERT_NE(SendMessageTimeoutW(PlayerWindow(), contract::kCloseRequestMessage, 0, 0, SMTO_NORMAL,
                                  5000, &result),
              0);
    EXPECT_EQ(result, 0u);
    EXPECT_TRUE(Ended(player));
    EXPECT_EQ(PlayerWindow(), nullptr);
}

}  // namespace
