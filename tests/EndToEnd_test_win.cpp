// The delivered programs as a user meets them: the installation folder of the build with the real
// player and tray, the demo server at the build's content host, the mouse and the keyboard of the
// system. Each test keeps its screenshots under the build folder's e2e-shots.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "BuildPath.h"
#include "Contract.h"
#include "DemoServer_win.h"
#include "Handles_win.h"
#include "HistoryTable.h"
#include "Screenshot_win.h"
#include "StartInFolder_win.h"
#include "TempFolder.h"
#include "WaitFor.h"
#include "WindowInfo_win.h"
#include "WineTray_win.h"

namespace fs = std::filesystem;
namespace ds = demo_server;

namespace {

using testwait::WaitUntil;
using namespace std::chrono_literals;
using testwin::ClassOf;
using testwin::ProcessOf;
using testwin::TextOf;

// The movies' background colours: the logo's, and series 103's.
constexpr std::uint32_t kLogoBlue = 0x2A6FB0, kLogoTagBlue = 0xC8DCF0;
// The top of a demo cartoon's sky, where its gradient begins.
constexpr std::uint32_t kCartoonSkyTop = 0x7EC8F0;
// "kitten7", as a login leaves it in the settings.
constexpr char kPassword[] = "kitten7";
constexpr char kPasswordDigest[] = "4124b6fcaa69a4c91cf59c7faeb9dbf3";

// The movie's part of the play area, in the window; the play bar's 65 rows follow it.
constexpr RECT kPlayArea{4, 71, 4 + 615, 71 + 482 - 65};
constexpr int kPlayBarTop = 71 + 482 - 65;

std::string ReadText(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Text of the system's ANSI code page, as the player keeps it.
std::string Ansi(const std::wstring& text) {
    const int n = WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    if (n <= 1) return {};
    std::string out(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, out.data(), n, nullptr, nullptr);
    out.pop_back();
    return out;
}

// The tray programs' hidden main windows, whichever installation started them.
std::vector<HWND> TrayWindows() {
    std::vector<HWND> found;
    EnumWindows(
        [](HWND w, LPARAM p) -> BOOL {
            if (ClassOf(w) != L"#32770" || TextOf(w) != L"Zorvane") return TRUE;
            try {
                reinterpret_cast<std::vector<HWND>*>(p)->push_back(w);
            } catch (...) {
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

bool TrayMutexExists() {
    const UniqueHandle mutex(OpenMutexW(SYNCHRONIZE, FALSE, contract::kTrayMutex));
    return static_cast<bool>(mutex);
}

// The first visible window of the class among `top`'s descendants.
HWND VisibleChildOfClass(HWND top, const wchar_t* cls) {
    struct Search {
        const wchar_t* cls;
        HWND found = nullptr;
    } search{cls};
    EnumChildWindows(
        top,
        [](HWND w, LPARAM p) -> BOOL {
            auto& s = *reinterpret_cast<Search*>(p);
            if (ClassOf(w) != s.cls || !IsWindowVisible(w)) return TRUE;
            s.found = w;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// What the screen shows.
class ScreenShot : public testwin::Screenshot {
  public:
    ScreenShot() : Screenshot(nullptr) {}
};

// The user's hand on the mouse: a move, a press and a release of the left button at a point of
// the screen. Under Xvfb Wine hands a modal window the release only with the next pointer event,
// so the hand moves on a little afterwards.
void ClickAt(POINT at) {
    const int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
    const auto move = [&](int x, int y, DWORD extra) {
        INPUT in{};
        in.type = INPUT_MOUSE;
        in.mi.dx = x * 65535 / (w - 1);
        in.mi.dy = y * 65535 / (h - 1);
        in.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | extra;
        return in;
    };
    INPUT onto[] = {move(at.x, at.y, 0)};
    ASSERT_EQ(SendInput(1, onto, sizeof(INPUT)), 1u);
    Sleep(300);
    INPUT press[] = {move(at.x, at.y, MOUSEEVENTF_LEFTDOWN), move(at.x, at.y, MOUSEEVENTF_LEFTUP)};
    ASSERT_EQ(SendInput(2, press, sizeof(INPUT)), 2u);
    Sleep(300);
    INPUT nudge[] = {move(at.x + 3, at.y + 3, 0)};
    ASSERT_EQ(SendInput(1, nudge, sizeof(INPUT)), 1u);
    Sleep(200);
}

// A point of a window, on the screen.
POINT OnScreen(HWND window, int x, int y) {
    RECT r{};
    GetWindowRect(window, &r);
    return POINT{r.left + x, r.top + y};
}

RECT OnScreen(HWND window, const RECT& inWindow) {
    RECT r{};
    GetWindowRect(window, &r);
    return RECT{r.left + inWindow.left, r.top + inWindow.top, r.left + inWindow.right,
                r.top + inWindow.bottom};
}

INPUT Key(WORD vk, bool up) {
    INPUT in{};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = vk;
    in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    return in;
}

// Presses and releases each key in turn.
void Press(const std::vector<WORD>& vks) {
    std::vector<INPUT> keys;
    for (WORD vk : vks) {
        keys.push_back(Key(vk, false));
        keys.push_back(Key(vk, true));
    }
    ASSERT_EQ(SendInput(static_cast<UINT>(keys.size()), keys.data(), sizeof(INPUT)), keys.size());
    Sleep(300);
}

// Typing a text on the keyboard, a key for each character.
void Type(const std::string& text) {
    std::vector<WORD> vks;
    for (char c : text) {
        const SHORT vk = VkKeyScanA(c);
        ASSERT_NE(vk, -1) << c;
        vks.push_back(LOBYTE(vk));
    }
    Press(vks);
}

// A small window of the test that notes the keys it gets, standing for whatever program the
// child would switch to; the system keys do nothing else here.
class KeyRecorder {
  public:
    KeyRecorder() {
        WNDCLASSW wc{};
        wc.lpfnWndProc = Proc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"VarizEndToEndKeys";
        wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH));
        RegisterClassW(&wc);  // a second test finds it registered
        const int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
        window_ = CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, L"VarizEndToEndKeys", L"keys",
                                  WS_POPUP | WS_VISIBLE, w - 30, h - 30, 24, 24, nullptr, nullptr,
                                  wc.hInstance, nullptr);
    }
    ~KeyRecorder() {
        if (window_) DestroyWindow(window_);
        Pump();
    }
    HWND Handle() const { return window_; }

    // Presses Alt+F4 with this window in front, then a plain key whose arrival shows that
    // everything before it went through; what came of it.
    std::string PressAltF4() {
        seen_.clear();
        SetForegroundWindow(window_);
        SetFocus(window_);
        if (!WaitUntil([&] {
                Pump();
                return GetForegroundWindow() == window_;
            }))
            return "not in front";
        INPUT keys[] = {Key(VK_MENU, false), Key(VK_F4, false), Key(VK_F4, true),
                        Key(VK_MENU, true),  Key('Z', false),   Key('Z', true)};
        if (SendInput(6, keys, sizeof(INPUT)) != 6) return "not sent";
        if (!WaitUntil([&] {
                Pump();
                return Saw(WM_KEYDOWN, 'Z');
            }))
            return "no key arrived";
        return Saw(WM_SYSKEYDOWN, VK_F4) ? "arrived" : "swallowed";
    }
    bool Saw(UINT msg, WPARAM vk) const {
        for (const auto& [m, k] : seen_)
            if (m == msg && k == vk) return true;
        return false;
    }

  private:
    static void Pump() {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
    static LRESULT CALLBACK Proc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
        switch (msg) {
            case WM_KEYDOWN:
            case WM_SYSKEYDOWN:
                try {
                    seen_.emplace_back(msg, wp);
                } catch (...) {
                    // Out of memory: the key goes unnoted, and the test waiting for it fails.
                }
                return 0;
            case WM_SYSKEYUP:
            case WM_SYSCHAR:
            case WM_SYSCOMMAND:
            case WM_CLOSE:
                return 0;
        }
        return DefWindowProcW(w, msg, wp, lp);
    }
    static inline std::vector<std::pair<UINT, WPARAM>> seen_;
    HWND window_ = nullptr;
};

class EndToEndTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_FALSE(ds::Host().empty())
            << "needs the ContentHostServer fixture: run it through ctest";
        ASSERT_EQ(ds::Host(), contract::kContentHost) << "the server must be at the build's host";
        ASSERT_TRUE(ds::Reset());
        ASSERT_TRUE(TrayWindows().empty()) << "a tray of another test still runs";
        dir_ = folder_.Path() / "Variz";
        // What a user gets, without what a tour left in the build's folder (settings, cache,
        // history, a refreshed logo).
        fs::create_directories(dir_ / "web");
        for (const char* file :
             {"Variz.exe", "Zorvane.exe", "web/logo.swf", "web/load.swf", "web/load.gif"})
            fs::copy_file(FromBuild(VARIZ_DIST_DIR) / file, dir_ / file);
        ASSERT_TRUE(fs::exists(dir_ / "Variz.exe"));
        ASSERT_TRUE(fs::exists(dir_ / "web" / "logo.swf"));
        icons_ = winetray::IconCount();
        logStart_ = LogLines().size();
        shots_ = FromBuild(E2E_SHOTS_DIR);
        fs::create_directories(shots_);
    }
    void TearDown() override {
        if (HWND player = PlayerWindow()) {
            DWORD_PTR result = 0;
            SendMessageTimeoutW(player, contract::kCloseRequestMessage, 0, 0, SMTO_ABORTIFHUNG,
                                5000, &result);
        }
        for (auto& p : players_)
            if (WaitForSingleObject(p.get(), 10000) != WAIT_OBJECT_0) TerminateProcess(p.get(), 1);
        players_.clear();
        for (HWND tray : TrayWindows()) {
            const UniqueHandle process(
                OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE, FALSE, ProcessOf(tray)));
            PostMessageW(tray, WM_CLOSE, 0, 0);
            if (process && WaitForSingleObject(process.get(), 10000) != WAIT_OBJECT_0)
                TerminateProcess(process.get(), 1);
        }
        ds::Reset();
    }

    // Starts the player as its shortcut does; the process.
    HANDLE StartPlayer() {
        auto process = testwin::StartInFolder(dir_ / "Variz.exe", dir_);
        if (!process) return nullptr;
        players_.push_back(std::move(process));
        return players_.back().get();
    }
    // Starts the player and waits for its window.
    HWND StartedPlayer() {
        if (!StartPlayer()) return nullptr;
        HWND window = nullptr;
        WaitUntil([&] { return (window = PlayerWindow()) != nullptr && IsWindowVisible(window); });
        return window;
    }
    static HWND PlayerWindow() { return FindWindowW(contract::kPlayerWindowClass, nullptr); }
    bool ClosePlayer() {
        HWND player = PlayerWindow();
        if (!player) return false;
        DWORD_PTR result = 1;
        if (!SendMessageTimeoutW(player, contract::kCloseRequestMessage, 0, 0, SMTO_NORMAL, 5000,
                                 &result))
            return false;
        return WaitForSingleObject(players_.back().get(), 10000) == WAIT_OBJECT_0;
    }
    // The history grid, once it has taken the side panel.
    static HWND HistoryGrid(HWND player) {
        HWND grid = nullptr;
        WaitUntil([&] { return (grid = VisibleChildOfClass(player, WC_LISTVIEWW)) != nullptr; },
                  20s);
        return grid;
    }

    static std::vector<std::string> LogLines() {
        std::vector<std::string> lines;
        std::istringstream log(ds::ReadWholeFile(ds::StateDir() + "\\requests.log"));
        for (std::string line; std::getline(log, line);) lines.push_back(line);
        return lines;
    }
    // The requests since the test began whose log line holds `text`.
    std::size_t RequestsWith(const std::string& text) const {
        const auto lines = LogLines();
        std::size_t n = 0;
        for (std::size_t i = logStart_; i < lines.size(); ++i)
            n += lines[i].find(text) != std::string::npos;
        return n;
    }
    // The requests since the test began whose path begins with `path`.
    std::size_t Requests(const std::string& path) const {
        return RequestsWith("\"path\": \"" + path);
    }
    std::string Setting(const char* section, const char* key) const {
        char value[128] = {};
        GetPrivateProfileStringA(section, key, "(none)", value, sizeof value,
                                 (dir_ / "Variz.dat").string().c_str());
        return value;
    }

    // Keeps what the screen shows now as an artefact of the test; the screenshot.
    ScreenShot Shot(const std::string& name) {
        ScreenShot shot;
        const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
        const fs::path file = shots_ / (std::string(test->name()) + "-" + name + ".bmp");
        EXPECT_TRUE(shot.Save(file)) << file;
        return shot;
    }

    TempFolder folder_;
    fs::path dir_, shots_;
    int icons_ = 0;
    std::size_t logStart_ = 0;
    std::vector<UniqueHandle> players_;

    // An earlier day's history: episode 2 of series 103 in the cache as the server sent it
    // (scrambled), then episode 2 of series 104, which has left the cache.
    bool KeepEpisodeInCacheAndHistory() {
        std::string episode;
        if (!ds::Get("/media/103/2.swf", &episode)) return false;
        fs::create_directories(dir_ / "cache");
        std::ofstream(dir_ / "cache" / "103-2.swf", std::ios::binary) << episode;
        const std::vector<HistoryRow> rows{{103, Ansi(L"英语字母"), Ansi(L"英语"), 2},
                                           {104, Ansi(L"三只小猪"), Ansi(L"故事"), 2}};
        std::ofstream(dir_ / "web" / "Local.dat", std::ios::binary) << EncodeHistory(rows);
        return true;
    }
};

TEST_F(EndToEndTest, AFirstStartMakesTheCacheStartsTheTrayOnceAndRefreshesTheLogo) {
    ASSERT_FALSE(fs::exists(dir_ / "Variz.dat"));
    ASSERT_FALSE(TrayMutexExists());
    // The logo movie as the server gives it to anyone.
    std::string served;
    ASSERT_TRUE(ds::Get("/images/logo1.swf", &served));
    logStart_ = LogLines().size();
    HWND player = StartedPlayer();
    ASSERT_NE(player, nullptr);
    EXPECT_TRUE(WaitUntil([&] { return fs::is_directory(dir_ / "cache"); }));
    ASSERT_TRUE(WaitUntil([] { return TrayWindows().size() == 1; }));
    EXPECT_TRUE(TrayMutexExists());
    const HWND tray = TrayWindows().front();
    {
        const UniqueHandle process(
            OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, ProcessOf(tray)));
        ASSERT_TRUE(process);
        wchar_t image[MAX_PATH] = {};
        DWORD size = MAX_PATH;
        ASSERT_TRUE(QueryFullProcessImageNameW(process.get(), 0, image, &size));
        EXPECT_TRUE(fs::equivalent(image, dir_ / "Zorvane.exe")) << "the tray of this folder";
    }
    EXPECT_TRUE(WaitUntil([&] { return winetray::IconCount() == icons_ + 1; }));

    // The logo: its version asked for, the newer movie fetched into web\ and its version noted.
    ASSERT_TRUE(WaitUntil([&] { return Setting("system", "logoswf") == "1"; }));
    EXPECT_EQ(Requests("/images/getlogo.html"), 1u);
    EXPECT_EQ(Requests("/images/logo1.swf"), 1u);
    EXPECT_EQ(ReadText(dir_ / "web" / "logo1.swf"), served);

    // The start page cannot show here (no HTML engine), so the history takes the side panel.
    HWND grid = HistoryGrid(player);
    ASSERT_NE(grid, nullptr);
    RECT g{}, p{};
    GetWindowRect(grid, &g);
    GetWindowRect(player, &p);
    EXPECT_GE(g.left, p.right - 285) << "in the side panel at the right";
    // The logo plays in the play area, the refreshed one: its version shows small in the corner,
    // where the shipped one has nothing.
    EXPECT_TRUE(WaitUntil([&] {
        return ScreenShot().CountNear(OnScreen(player, kPlayArea), kLogoBlue) > 615 * 417 / 3;
    }));
    const RECT corner{4 + 400, 71 + 375, 4 + 615, 71 + 410};
    EXPECT_TRUE(WaitUntil(
        [&] { return ScreenShot().CountNear(OnScreen(player, corner), kLogoTagBlue, 24) > 10; }));
    Shot("first-start");

    // Started again, the player starts the tray again, which finds itself running; the logo is
    // up to date now.
    ASSERT_TRUE(ClosePlayer());
    EXPECT_TRUE(IsWindow(tray));
    player = StartedPlayer();
    ASSERT_NE(player, nullptr);
    ASSERT_TRUE(WaitUntil([&] { return Requests("/images/getlogo.html") == 2; }));
    Sleep(2000);
    EXPECT_EQ(TrayWindows(), std::vector<HWND>{tray});
    EXPECT_EQ(winetray::IconCount(), icons_ + 1);
    EXPECT_EQ(Requests("/images/logo1.swf"), 1u);
    Shot("second-start");
}

TEST_F(EndToEndTest, TheLockButtonLocksAndOnlyTheLoginsPasswordUnlocks) {
    // A member logged in earlier: the site handed the player the digest of the password.
    ASSERT_TRUE(WritePrivateProfileStringA("system", "syspass", kPasswordDigest,
                                           (dir_ / "Variz.dat").string().c_str()));
    HWND player = StartedPlayer();
    ASSERT_NE(player, nullptr);
    ASSERT_NE(HistoryGrid(player), nullptr);
    KeyRecorder keys;
    ASSERT_NE(keys.Handle(), nullptr);
    ASSERT_EQ(keys.PressAltF4(), "arrived") << "unlocked, the keys reach other programs";

    // The window's own buttons at its top right, away from the round corner.
    const auto windowButtons = [&] {
        RECT r{};
        GetWindowRect(player, &r);
        return ScreenShot().Part(RECT{r.right - 120, r.top + 8, r.right - 8, r.top + 36});
    };
    const auto unlockedButtons = windowButtons();
    const auto lockButton = [&] { return OnScreen(player, 160 + 64 + 32, 8 + 30); };

    ClickAt(lockButton());
    ASSERT_TRUE(WaitUntil([&] { return IsZoomed(player) != FALSE; })) << "fills the screen";
    Sleep(500);
    Shot("locked");
    EXPECT_NE(windowButtons(), unlockedButtons) << "minimise, maximise and close are off";
    EXPECT_EQ(keys.PressAltF4(), "swallowed") << "plain keys pass, Alt+F4 does not";
    EXPECT_EQ(PlayerWindow(), player);

    // The lock button again asks for the password.
    ClickAt(lockButton());
    HWND dialog = nullptr;
    ASSERT_TRUE(WaitUntil([&] {
        dialog = FindWindowW(L"TFrm_unlock", nullptr);
        return dialog && IsWindowVisible(dialog);
    }));
    // Under Xvfb the dialog's picture buttons miss a click made through the system's input, so
    // the click comes as the button's messages.
    const auto confirm = [&] {
        PostMessageW(dialog, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(201 + 48, 119 + 18));
        PostMessageW(dialog, WM_LBUTTONUP, 0, MAKELPARAM(201 + 48, 119 + 18));
    };
    Type("kitten6");
    confirm();
    Sleep(1000);
    EXPECT_TRUE(IsWindowVisible(dialog)) << "a wrong password leaves the dialog up";
    EXPECT_NE(windowButtons(), unlockedButtons) << "still locked";

    Press({VK_END, VK_BACK, VK_BACK, VK_BACK, VK_BACK, VK_BACK, VK_BACK, VK_BACK});
    Type(kPassword);
    confirm();
    ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(dialog); })) << "the password unlocks";
    Sleep(500);
    Shot("unlocked");
    EXPECT_TRUE(WaitUntil([&] { return windowButtons() == unlockedButtons; }))
        << "the window's buttons are back";
    EXPECT_TRUE(IsZoomed(player)) << "the window keeps its size";
    EXPECT_EQ(keys.PressAltF4(), "arrived") << "the keys reach other programs again";
}

TEST_F(EndToEndTest, ThePlayBarsButtonTurnsFullScreenOnAndOff) {
    HWND player = StartedPlayer();
    ASSERT_NE(player, nullptr);
    ASSERT_NE(HistoryGrid(player), nullptr);
    RECT before{};
    GetWindowRect(player, &before);
    // The movie's window, in the play area's window, in the panel that holds it.
    HWND movie = WindowFromPoint(OnScreen(player, (kPlayArea.left + kPlayArea.right) / 2,
                                          (kPlayArea.top + kPlayArea.bottom) / 2));
    ASSERT_EQ(GetAncestor(movie, GA_ROOT), player);
    HWND area = GetParent(movie), panel = GetParent(area);
    RECT docked{};
    GetWindowRect(area, &docked);
    const int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);

    ClickAt(OnScreen(player, 4 + 296 + 23, kPlayBarTop + 17 + 24));
    // The play area leaves the window and covers the screen, in front of everything.
    ASSERT_TRUE(WaitUntil([&] { return GetAncestor(area, GA_ROOT) == area; }));
    const auto answers = [&] {
        DWORD_PTR answer = 0;
        return SendMessageTimeoutW(player, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &answer) != 0;
    };
    ASSERT_TRUE(answers());
    RECT full{};
    GetWindowRect(area, &full);
    EXPECT_EQ(full.left, 0);
    EXPECT_EQ(full.top, 0);
    EXPECT_EQ(full.right, w);
    EXPECT_EQ(full.bottom, h);
    EXPECT_NE(GetWindowLongPtrW(area, GWL_EXSTYLE) & WS_EX_TOPMOST, 0);
    EXPECT_EQ(GetAncestor(WindowFromPoint(POINT{w - 5, h / 2}), GA_ROOT), area);
    Sleep(1000);
    EXPECT_GT(Shot("full-screen").CountNear(RECT{0, 0, w, h - 65}, kLogoBlue), 2 * 615 * 417)
        << "the logo, larger than in the window";

    // The button sits on the play bar at the bottom of the screen now.
    ClickAt(POINT{296 + 23, h - 65 + 17 + 24});
    ASSERT_TRUE(WaitUntil([&] { return GetParent(area) == panel && IsWindowVisible(area); }));
    ASSERT_TRUE(answers());
    RECT back{}, after{};
    GetWindowRect(area, &back);
    EXPECT_TRUE(EqualRect(&back, &docked));
    EXPECT_EQ(GetWindowLongPtrW(area, GWL_EXSTYLE) & WS_EX_TOPMOST, 0);
    GetWindowRect(player, &after);
    EXPECT_TRUE(EqualRect(&before, &after));
    Sleep(1000);
    const ScreenShot shot = Shot("full-screen-off");
    EXPECT_GT(shot.CountNear(OnScreen(player, kPlayArea), kLogoBlue), 615 * 417 / 3);
    EXPECT_EQ(shot.CountNear(RECT{0, 0, w, before.top}, kLogoBlue, 0), 0)
        << "nothing of the movie above the window";
}

// A row's place on the screen, asked of the grid in its own process.
POINT RowMiddle(HWND grid, int row) {
    const UniqueHandle process(OpenProcess(
        PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, ProcessOf(grid)));
    if (!process) return {};
    void* remote = VirtualAllocEx(process.get(), nullptr, sizeof(RECT), MEM_COMMIT | MEM_RESERVE,
                                  PAGE_READWRITE);
    if (!remote) return {};
    RECT r{LVIR_BOUNDS, 0, 0, 0};
    SIZE_T done = 0;
    const bool asked = WriteProcessMemory(process.get(), remote, &r, sizeof r, &done) &&
                       SendMessageW(grid, LVM_GETITEMRECT, row, reinterpret_cast<LPARAM>(remote)) &&
                       ReadProcessMemory(process.get(), remote, &r, sizeof r, &done);
    VirtualFreeEx(process.get(), remote, 0, MEM_RELEASE);
    if (!asked) return {};
    POINT p{r.left + 20, (r.top + r.bottom) / 2};
    ClientToScreen(grid, &p);
    return p;
}

TEST_F(EndToEndTest, AClickOnAHistoryRowReplaysTheCachedEpisodeWithoutTheNetwork) {
    // Fetched on an earlier day: episode 2 of series 103, kept in the cache as the server sent it
    // (scrambled); episode 2 of series 104 no longer is. Other players may use the server at the
    // same time, so only these two series' requests count.
    ASSERT_TRUE(KeepEpisodeInCacheAndHistory());
    logStart_ = LogLines().size();

    HWND player = StartedPlayer();
    ASSERT_NE(player, nullptr);
    HWND grid = HistoryGrid(player);
    ASSERT_NE(grid, nullptr);
    ASSERT_EQ(SendMessageW(grid, LVM_GETITEMCOUNT, 0, 0), 2);
    const RECT area = OnScreen(player, kPlayArea);
    ASSERT_TRUE(WaitUntil([&] { return ScreenShot().CountNear(area, kLogoBlue) > 615 * 417 / 3; }));

    const POINT first = RowMiddle(grid, 0);
    ASSERT_NE(first.x, 0);
    ClickAt(first);
    // The cartoon's sky in place of the logo.
    const auto cartoonShows = [&] {
        const auto shot = ScreenShot();
        return shot.CountNear(area, kLogoBlue) < 615 * 417 / 20 &&
               shot.CountNear(area, kCartoonSkyTop, 24) > 2000;
    };
    EXPECT_TRUE(WaitUntil(cartoonShows)) << "episode 2 of the series plays";
    EXPECT_EQ(SendMessageW(grid, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED), 0);
    Shot("replay");

    // A row whose episode left the cache changes no more than the title: nothing is fetched.
    const POINT second = RowMiddle(grid, 1);
    ASSERT_NE(second.x, 0);
    ClickAt(second);
    Sleep(1500);
    Shot("not-cached");
    EXPECT_EQ(SendMessageW(grid, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED), 1);
    EXPECT_TRUE(cartoonShows());
    for (const char* request : {"\"path\": \"/media/103/", "\"path\": \"/media/104/",
                                "\"query\": \"aid=103\"", "\"query\": \"aid=104\""})
        EXPECT_EQ(RequestsWith(request), 0u) << request;
}

// The sound the player's process makes, as the device takes it: a probe loaded into the player
// plays {1000, -1000, 1000, -1000}; what it notes is "result R\n" and the samples.
class PlayerSoundTest : public EndToEndTest {
  protected:
    std::string SoundOfThePlayer(HWND player) {
        const fs::path probe = dir_ / ("probe-" + std::to_string(++probes_) + ".dll");
        fs::copy_file(FromBuild(SOUND_PROBE_DLL), probe);
        if (!LoadInto(player, probe)) return "not loaded";
        const fs::path note = probe.wstring() + L".txt";
        if (!WaitUntil([&] { return fs::exists(note); })) return "nothing played";
        return ReadText(note);
    }

    // Loads a library into the player's process.
    static bool LoadInto(HWND player, const fs::path& library) {
        const UniqueHandle process(OpenProcess(PROCESS_CREATE_THREAD | PROCESS_VM_OPERATION |
                                                   PROCESS_VM_WRITE | PROCESS_QUERY_INFORMATION,
                                               FALSE, ProcessOf(player)));
        if (!process) return false;
        const std::wstring path = library.wstring();
        const SIZE_T size = (path.size() + 1) * sizeof(wchar_t);
        void* remote =
            VirtualAllocEx(process.get(), nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
        if (!remote) return false;
        SIZE_T written = 0;
        // The system's own functions are at the same place in every process.
        const auto load = reinterpret_cast<LPTHREAD_START_ROUTINE>(reinterpret_cast<void (*)()>(
            GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "LoadLibraryW")));
        bool loaded = false;
        if (load && WriteProcessMemory(process.get(), remote, path.c_str(), size, &written)) {
            const UniqueHandle thread(
                CreateRemoteThread(process.get(), nullptr, 0, load, remote, 0, nullptr));
            loaded = thread && WaitForSingleObject(thread.get(), 10000) == WAIT_OBJECT_0;
        }
        VirtualFreeEx(process.get(), remote, 0, MEM_RELEASE);
        return loaded;
    }

    // The spy's notes since it was loaded: each buffer's loudest sample before and after the
    // volume.
    struct Loudness {
        int before, after;
    };
    std::vector<Loudness> SpyNotes() const {
        std::vector<Loudness> notes;
        std::istringstream in(ReadText(spy_.wstring() + L".txt"));
        std::string line;
        while (std::getline(in, line)) {
            Loudness l{};
            if (std::sscanf(line.c_str(), "%d %d", &l.before, &l.after) == 2) notes.push_back(l);
        }
        return notes;
    }
    // Waits for a buffer of the cartoon's voice, written after the first `from`, that `fits`.
    template <typename Fits>
    bool VoiceHeard(std::size_t from, Fits fits) {
        return WaitUntil([&] {
            const auto notes = SpyNotes();
            for (std::size_t i = from; i < notes.size(); ++i)
                if (notes[i].before > 2000 && fits(notes[i])) return true;
            return false;
        });
    }

    int probes_ = 0;
    fs::path spy_;
};

TEST_F(PlayerSoundTest, TheSliderAndTheMuteButtonSetTheLoudnessOfThePlayersSound) {
    HWND player = StartedPlayer();
    ASSERT_NE(player, nullptr);
    ASSERT_NE(HistoryGrid(player), nullptr);
    EXPECT_EQ(SoundOfThePlayer(player), "result 0\n1000 -1000 1000 -1000 ");

    // The slider at (196, 39) of the play bar, 74 pixels of travel for 0..100: half way.
    ClickAt(OnScreen(player, 4 + 196 + 37, kPlayBarTop + 45));
    EXPECT_EQ(SoundOfThePlayer(player), "result 0\n500 -500 500 -500 ");
    // The mute button at (154, 33) of the play bar, 38 x 32.
    ClickAt(OnScreen(player, 4 + 170, kPlayBarTop + 45));
    Shot("muted");
    EXPECT_EQ(SoundOfThePlayer(player), "result 0\n0 0 0 0 ");
    ClickAt(OnScreen(player, 4 + 170, kPlayBarTop + 45));
    EXPECT_EQ(SoundOfThePlayer(player), "result 0\n500 -500 500 -500 ");
}

TEST_F(PlayerSoundTest, ACartoonSpeaksThroughTheDeviceAndTheSliderAndMuteActOnItsVoice) {
    ASSERT_TRUE(KeepEpisodeInCacheAndHistory());
    HWND player = StartedPlayer();
    ASSERT_NE(player, nullptr);
    HWND grid = HistoryGrid(player);
    ASSERT_NE(grid, nullptr);
    spy_ = dir_ / "spy.dll";
    fs::copy_file(FromBuild(SOUND_SPY_DLL), spy_);
    ASSERT_TRUE(LoadInto(player, spy_));
    ASSERT_TRUE(
        WaitUntil([&] { return ReadText(spy_.wstring() + L".txt").rfind("hooked", 0) == 0; }));

    const POINT row = RowMiddle(grid, 0);
    ASSERT_NE(row.x, 0);
    ClickAt(row);
    EXPECT_TRUE(VoiceHeard(0, [](const Loudness& l) { return l.after == l.before; }))
        << "the episode speaks at full loudness";
    Shot("speaking");
    // Each change counts from the buffers written before its click: the voice goes on meanwhile.
    std::size_t from = SpyNotes().size();
    ClickAt(OnScreen(player, 4 + 196 + 37, kPlayBarTop + 45));
    EXPECT_TRUE(VoiceHeard(from, [](const Loudness& l) {
        return std::abs(l.after - l.before / 2) <= 1;
    })) << "the slider half way halves the voice";
    from = SpyNotes().size();
    ClickAt(OnScreen(player, 4 + 170, kPlayBarTop + 45));
    EXPECT_TRUE(VoiceHeard(from, [](const Loudness& l) { return l.after == 0; }))
        << "mute silences it while it goes on";
}

}  // namespace
