// The delivered player as a process: one instance, the tray start, the close rules between
// programs.
#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "Handles_win.h"

namespace fs = std::filesystem;

namespace {

// The build passes Unix paths; Wine sees them on drive Z:.
fs::path FromBuild(const char* unixPath) {
    std::string p = std::string("Z:") + unixPath;
    for (auto& c : p)
        if (c == '/') c = '\\';
    return fs::path(p);
}

template <typename Pred>
bool WaitFor(Pred pred, DWORD ms = 10000) {
    const DWORD start = GetTickCount();
    while (!pred()) {
        if (GetTickCount() - start > ms) return false;
        Sleep(50);
    }
    return true;
}

class PlayerProcessTest : public ::testing::Test {
  protected:
    void SetUp() override {
        char temp[MAX_PATH];
        ASSERT_NE(GetTempPathA(MAX_PATH, temp), 0u);
        dir_ = fs::path(temp) / "variz_process_test";
        fs::remove_all(dir_);
        fs::create_directories(dir_);
        fs::copy_file(FromBuild(VARIZ_EXE), dir_ / "Variz.exe");
        fs::copy_file(FromBuild(ZORVANE_STANDIN_EXE), dir_ / "Zorvane.exe");
    }
    void TearDown() override {
        if (HWND w = FindWindowW(L"Tfrm_wuxplay", nullptr)) {
            DWORD_PTR result = 0;
            SendMessageTimeoutW(w, WM_USER + 1, 0, 0, SMTO_ABORTIFHUNG, 5000, &result);
        }
        for (auto& p : players_) {
            if (WaitForSingleObject(p.get(), 10000) != WAIT_OBJECT_0) TerminateProcess(p.get(), 1);
        }
        players_.clear();
        std::error_code ec;
        fs::remove_all(dir_, ec);
    }
    HANDLE StartPlayer() {
        STARTUPINFOW si{};
        si.cb = sizeof si;
        PROCESS_INFORMATION pi{};
        std::wstring exe = (dir_ / "Variz.exe").wstring();
        std::wstring cmd = L"\"" + exe + L"\"";
        if (!CreateProcessW(exe.c_str(), cmd.data(), nullptr, nullptr, FALSE, 0, nullptr,
                            dir_.wstring().c_str(), &si, &pi))
            return nullptr;
        UniqueHandle thread(pi.hThread);
        players_.emplace_back(pi.hProcess);
        return pi.hProcess;
    }
    static HWND PlayerWindow() { return FindWindowW(L"Tfrm_wuxplay", nullptr); }
    int TrayStarts() {
        std::ifstream in(dir_ / "zorvane-starts.txt");
        std::string all{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
        int n = 0;
        for (std::size_t at = all.find("started"); at != std::string::npos;
             at = all.find("started", at + 1))
            ++n;
        return n;
    }
    bool Ended(HANDLE process, DWORD ms = 10000) {
        return WaitForSingleObject(process, ms) == WAIT_OBJECT_0;
    }

    fs::path dir_;
    std::vector<UniqueHandle> players_;
};

TEST_F(PlayerProcessTest, StartsTheTrayOnceAndMakesTheCache) {
    HANDLE player = StartPlayer();
    ASSERT_NE(player, nullptr);
    ASSERT_TRUE(WaitFor([] { return PlayerWindow() != nullptr; }));
    ASSERT_TRUE(WaitFor([&] { return TrayStarts() >= 1; }));
    EXPECT_TRUE(fs::is_directory(dir_ / "cache"));
    Sleep(500);
    EXPECT_EQ(TrayStarts(), 1);
}

TEST_F(PlayerProcessTest, SecondStartBringsTheFirstForwardAndEnds) {
    HANDLE first = StartPlayer();
    ASSERT_TRUE(WaitFor([] { return PlayerWindow() != nullptr; }));
    ASSERT_TRUE(WaitFor([&] { return TrayStarts() == 1; }));
    HWND window = PlayerWindow();
    ShowWindow(window, SW_MINIMIZE);
    ASSERT_TRUE(WaitFor([&] { return IsIconic(window) != FALSE; }));

    HANDLE second = StartPlayer();
    ASSERT_NE(second, nullptr);
    ASSERT_TRUE(Ended(second));
    DWORD code = 1;
    GetExitCodeProcess(second, &code);
    EXPECT_EQ(code, 0u);
    EXPECT_TRUE(WaitFor([&] { return !IsIconic(window) && IsWindowVisible(window); }));
    EXPECT_EQ(PlayerWindow(), window);
    EXPECT_EQ(TrayStarts(), 1);
    EXPECT_FALSE(Ended(first, 0));
}

TEST_F(PlayerProcessTest, CloseMessageOfThePlatformIsRefused) {
    HANDLE player = StartPlayer();
    ASSERT_TRUE(WaitFor([] { return PlayerWindow() != nullptr; }));
    PostMessageW(PlayerWindow(), WM_CLOSE, 0, 0);
    EXPECT_FALSE(Ended(player, 1500));
    EXPECT_NE(PlayerWindow(), nullptr);
}

TEST_F(PlayerProcessTest, CloseRequestEndsThePlayerWithoutHoldingTheSender) {
    HANDLE player = StartPlayer();
    ASSERT_TRUE(WaitFor([] { return PlayerWindow() != nullptr; }));
    DWORD_PTR result = 1;
    ASSERT_NE(SendMessageTimeoutW(PlayerWindow(), WM_USER + 1, 0, 0, SMTO_NORMAL, 5000, &result),
              0);
    EXPECT_EQ(result, 0u);
    EXPECT_TRUE(Ended(player));
    EXPECT_EQ(PlayerWindow(), nullptr);
}

}  // namespace
