// The delivered tray program as a process, with the real player beside it and the demo server at
// the build's content host: one icon, the icon's messages and the menu's commands, the update
// from the server, the notice. Message boxes are the real ones, answered by pressing their
// buttons; timers are posted rather than waited for.
#include <gtest/gtest.h>
#include <windows.h>
#include <shellapi.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <regex>
#include <string>
#include <vector>

#include "BuildPath.h"
#include "Contract.h"
#include "DemoServer_win.h"
#include "Handles_win.h"
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
using testwin::FindTopWindow;
using testwin::ProcessOf;
using testwin::TextOf;

constexpr UINT kIconNotify = WM_USER + 100;
constexpr WPARAM kIconId = 132;
constexpr WORD kOpenPlayer = 32771, kHomePage = 32773, kUpdate = 32774, kExit = 32775;

// The tray's hidden main window.
HWND TrayWindowOf(DWORD pid) {
    return FindTopWindow(pid,
                         [](HWND w) { return ClassOf(w) == L"#32770" && TextOf(w) == L"Zorvane"; });
}

// A message box of the tray, with its caption.
HWND MessageBoxOf(DWORD pid) {
    return FindTopWindow(pid, [](HWND w) {
        return ClassOf(w) == L"#32770" && TextOf(w) == L"Tolubeni" && IsWindowVisible(w);
    });
}

std::wstring MessageTextOf(HWND box) {
    return TextOf(GetDlgItem(box, 0xFFFF));
}

// Presses a button of a message box as the user would.
void Press(HWND box, int button) {
    PostMessageW(GetDlgItem(box, button), BM_CLICK, 0, 0);
}

// The lines of the server's request log.
std::vector<std::string> LogLines() {
    std::vector<std::string> lines;
    std::istringstream log(ds::ReadWholeFile(ds::StateDir() + "\\requests.log"));
    for (std::string line; std::getline(log, line);) lines.push_back(line);
    return lines;
}

std::string ReadText(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// While it lives, "open" of an http address starts `program` with the address.
class HttpHandler {
  public:
    explicit HttpHandler(const fs::path& program) {
        const std::wstring command = L"\"" + program.wstring() + L"\" \"%1\"";
        if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, kKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key_,
                            nullptr) != ERROR_SUCCESS)
            return;
        DWORD type = 0, size = sizeof before_;
        had_ = RegQueryValueExW(key_, nullptr, nullptr, &type, reinterpret_cast<BYTE*>(before_),
                                &size) == ERROR_SUCCESS &&
               type == REG_SZ;
        set_ = RegSetValueExW(
                   key_, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(command.c_str()),
                   static_cast<DWORD>((command.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
    }
    ~HttpHandler() {
        if (!key_) return;
        if (had_)
            RegSetValueExW(key_, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(before_),
                           static_cast<DWORD>((wcslen(before_) + 1) * sizeof(wchar_t)));
        else
            RegDeleteValueW(key_, nullptr);
        RegCloseKey(key_);
    }
    bool Set() const { return set_; }

  private:
    static constexpr const wchar_t* kKey = L"Software\\Classes\\http\\shell\\open\\command";
    HKEY key_ = nullptr;
    wchar_t before_[1024] = {};
    bool had_ = false;
    bool set_ = false;
};

class TrayProcessTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_FALSE(ds::Host().empty())
            << "needs the ContentHostServer fixture: run it through ctest";
        ASSERT_EQ(ds::Host(), contract::kContentHost) << "the server must be at the build's host";
        ASSERT_TRUE(ds::Reset());
        dir_ = folder_.Path() / "Variz";
        fs::create_directories(dir_);
        fs::copy_file(FromBuild(ZORVANE_EXE), dir_ / "Zorvane.exe");
        fs::copy_file(FromBuild(VARIZ_EXE), dir_ / "Variz.exe");
        icons_ = winetray::IconCount();
        logStart_ = LogLines().size();
    }
    void TearDown() override {
        if (HWND player = PlayerWindow()) {
            DWORD_PTR result = 0;
            SendMessageTimeoutW(player, contract::kCloseRequestMessage, 0, 0, SMTO_ABORTIFHUNG,
                                5000, &result);
            WaitUntil([] { return PlayerWindow() == nullptr; });
        }
        for (auto& p : trays_) {
            const DWORD pid = GetProcessId(p.get());
            if (HWND box = MessageBoxOf(pid)) Press(box, IDCANCEL);
            // A request to close ends the tray as its exit does.
            if (HWND tray = TrayWindowOf(pid)) PostMessageW(tray, WM_CLOSE, 0, 0);
            if (WaitForSingleObject(p.get(), 10000) != WAIT_OBJECT_0) TerminateProcess(p.get(), 1);
        }
        trays_.clear();
        ds::Reset();
    }

    // Starts the tray in its folder, as the player does; the process.
    HANDLE StartTray() {
        auto process = testwin::StartInFolder(dir_ / "Zorvane.exe", dir_);
        if (!process) return nullptr;
        trays_.push_back(std::move(process));
        return trays_.back().get();
    }
    // Starts the tray and waits for its window.
    HWND StartedTray() {
        HANDLE tray = StartTray();
        if (!tray) return nullptr;
        const DWORD pid = GetProcessId(tray);
        HWND window = nullptr;
        WaitUntil([&] { return (window = TrayWindowOf(pid)) != nullptr; });
        return window;
    }
    static HWND PlayerWindow() { return FindWindowW(contract::kPlayerWindowClass, nullptr); }
    static bool Ended(HANDLE process, DWORD ms = 10000) {
        return WaitForSingleObject(process, ms) == WAIT_OBJECT_0;
    }
    static HWND WaitForMessageBox(HWND tray) {
        HWND box = nullptr;
        WaitUntil([&] { return (box = MessageBoxOf(ProcessOf(tray))) != nullptr; });
        return box;
    }
    void WriteSetting(const char* key, const char* value) {
        WritePrivateProfileStringA("update", key, value, (dir_ / "Variz.dat").string().c_str());
    }
    std::string Setting(const char* key) {
        char value[64] = {};
        GetPrivateProfileStringA("update", key, "(none)", value, sizeof value,
                                 (dir_ / "Variz.dat").string().c_str());
        return value;
    }
    // The server's log lines of the requests for `path` since the test began.
    std::vector<std::string> RequestsFor(const std::string& path) const {
        const auto lines = LogLines();
        std::vector<std::string> found;
        for (std::size_t i = logStart_; i < lines.size(); ++i)
            if (lines[i].find("\"path\": \"" + path + "\"") != std::string::npos)
                found.push_back(lines[i]);
        return found;
    }
    std::size_t Requests(const std::string& path) const { return RequestsFor(path).size(); }
    void ServeTheInstaller() {
        ASSERT_TRUE(ds::SetBodyFile("/toluad/update.ex_", START_RECORDER_EXE));
    }
    std::string Starts(const char* program) {
        return ReadText(dir_ / (std::string(program) + "-starts.txt"));
    }

    TempFolder folder_;
    fs::path dir_;
    int icons_ = 0;
    std::size_t logStart_ = 0;
    std::vector<UniqueHandle> trays_;
};

TEST_F(TrayProcessTest, ASecondStartLeavesOneIconAndEndsWithoutAWord) {
    HWND tray = StartedTray();
    ASSERT_NE(tray, nullptr);
    ASSERT_TRUE(WaitUntil([&] { return winetray::IconCount() == icons_ + 1; }));
    // Never seen, never on the taskbar.
    EXPECT_FALSE(IsWindowVisible(tray));
    // The window is there to be found a moment before its initialisation has styled it.
    EXPECT_TRUE(
        WaitUntil([&] { return (GetWindowLongPtrW(tray, GWL_EXSTYLE) & WS_EX_TOOLWINDOW) != 0; }));

    HANDLE second = StartTray();
    ASSERT_NE(second, nullptr);
    ASSERT_TRUE(Ended(second));
    DWORD code = 1;
    GetExitCodeProcess(second, &code);
    EXPECT_EQ(code, 0u);
    EXPECT_EQ(TrayWindowOf(GetProcessId(second)), nullptr);
    EXPECT_EQ(winetray::IconCount(), icons_ + 1);
    EXPECT_TRUE(IsWindow(tray));
}

TEST_F(TrayProcessTest, ALeftPressRunsThePlayerAndARightReleaseOpensTheMenu) {
    HWND tray = StartedTray();
    ASSERT_NE(tray, nullptr);
    PostMessageW(tray, kIconNotify, kIconId, WM_LBUTTONDOWN);
    ASSERT_TRUE(WaitUntil([] { return PlayerWindow() != nullptr; }));
    // The player started its tray in turn, which found this one running.
    Sleep(1000);
    EXPECT_EQ(winetray::IconCount(), icons_ + 1);

    const DWORD pid = ProcessOf(tray);
    const auto menu = [&] {
        return FindTopWindow(pid,
                             [](HWND w) { return ClassOf(w) == L"#32768" && IsWindowVisible(w); });
    };
    PostMessageW(tray, kIconNotify, kIconId, WM_RBUTTONDOWN);
    Sleep(300);
    EXPECT_EQ(menu(), nullptr);
    PostMessageW(tray, kIconNotify, kIconId, WM_RBUTTONUP);
    HWND open = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (open = menu()) != nullptr; }));
    PostMessageW(open, WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_TRUE(WaitUntil([&] { return menu() == nullptr; }));
}

TEST_F(TrayProcessTest, TheMenuRunsThePlayerAndOpensTheHomePage) {
    fs::copy_file(FromBuild(START_RECORDER_EXE), dir_ / "browser.exe");
    HttpHandler handler(dir_ / "browser.exe");
    ASSERT_TRUE(handler.Set());
    HWND tray = StartedTray();
    ASSERT_NE(tray, nullptr);

    PostMessageW(tray, WM_COMMAND, kOpenPlayer, 0);
    ASSERT_TRUE(WaitUntil([] { return PlayerWindow() != nullptr; }));

    PostMessageW(tray, WM_COMMAND, kHomePage, 0);
    ASSERT_TRUE(WaitUntil([&] { return !Starts("browser").empty(); }));
    EXPECT_NE(Starts("browser").find("http://" + contract::kContentHost + "\""), std::string::npos)
        << Starts("browser");
    EXPECT_TRUE(IsWindow(tray));
}

TEST_F(TrayProcessTest, ExitWithoutAPlayerEndsAtOnce) {
    HWND tray = StartedTray();
    ASSERT_NE(tray, nullptr);
    ASSERT_TRUE(WaitUntil([&] { return winetray::IconCount() == icons_ + 1; }));
    PostMessageW(tray, WM_COMMAND, kExit, 0);
    ASSERT_TRUE(Ended(trays_.back().get()));
    EXPECT_TRUE(WaitUntil([&] { return winetray::IconCount() == icons_; }));
}

TEST_F(TrayProcessTest, ExitWithThePlayerRunningAsksAndOnOKClosesThePlayer) {
    HWND tray = StartedTray();
    ASSERT_NE(tray, nullptr);
    PostMessageW(tray, WM_COMMAND, kOpenPlayer, 0);
    ASSERT_TRUE(WaitUntil([] { return PlayerWindow() != nullptr; }));
    const UniqueHandle player(OpenProcess(SYNCHRONIZE, FALSE, ProcessOf(PlayerWindow())));
    ASSERT_TRUE(player);

    PostMessageW(tray, WM_COMMAND, kExit, 0);
    HWND box = WaitForMessageBox(tray);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(MessageTextOf(box), L"Tolubeni播发器正在运行，你确认退出吗？");
    Press(box, IDCANCEL);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(box); }));
    // Cancel changes nothing.
    Sleep(500);
    EXPECT_TRUE(IsWindow(tray));
    EXPECT_EQ(winetray::IconCount(), icons_ + 1);
    EXPECT_NE(PlayerWindow(), nullptr);

    PostMessageW(tray, WM_COMMAND, kExit, 0);
    box = WaitForMessageBox(tray);
    ASSERT_NE(box, nullptr);
    Press(box, IDOK);
    EXPECT_TRUE(Ended(player.get()));
    EXPECT_TRUE(Ended(trays_.back().get()));
    EXPECT_TRUE(WaitUntil([&] { return winetray::IconCount() == icons_; }));
}

TEST_F(TrayProcessTest, TheUpdateTimerFindsANewerVersionDownloadsItAndInstallsOnOK) {
    WriteSetting("childver", "1.0.0.0");
    ServeTheInstaller();
    HWND tray = StartedTray();
    ASSERT_NE(tray, nullptr);
    PostMessageW(tray, WM_TIMER, 3, 0);
    HWND box = WaitForMessageBox(tray);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(MessageTextOf(box), L"更新下载完成，是否安装?");

    // One version request, as the tray makes it, then the installer.
    const auto asked = RequestsFor("/toluad/getver.html");
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_NE(asked[0].find("\"User-Agent\": \"MyApp\""), std::string::npos) << asked[0];
    // Wine joins the header with its own default, which is the same.
    EXPECT_TRUE(std::regex_search(asked[0], std::regex(R"re("Accept": "\*/\*(, \*/\*)*")re")))
        << asked[0];
    EXPECT_EQ(Requests("/toluad/update.ex_"), 1u);
    EXPECT_EQ(Setting("down"), "1");
    EXPECT_EQ(ReadText(dir_ / "update.exe"), ReadText(FromBuild(START_RECORDER_EXE)));

    Press(box, IDOK);
    ASSERT_TRUE(Ended(trays_.back().get()));
    ASSERT_TRUE(WaitUntil([&] { return !Starts("update").empty(); }));
    EXPECT_NE(Starts("update").find("started in " + dir_.string()), std::string::npos)
        << Starts("update");
}

TEST_F(TrayProcessTest, NothingButACompleteProgramIsTakenForTheInstaller) {
    WriteSetting("childver", "1.0.0.0");
    HWND tray = StartedTray();
    ASSERT_NE(tray, nullptr);
    struct Case {
        const char* what;
        const char* fault;  // of the installer's address; none: the body below
        std::string body;
    } cases[] = {
        {"an error status", "status=404", ""},
        {"a page that came as success", nullptr, "<html><body>Sorry</body></html>"},
    };
    // A body cut short after its headers is left out: Wine's download then never returns.
    for (const auto& c : cases) {
        ASSERT_TRUE(ds::Reset());
        logStart_ = LogLines().size();
        ServeTheInstaller();
        if (c.fault) {
            ASSERT_TRUE(ds::SetFault("/toluad/update.ex_", c.fault));
        } else {
            ASSERT_TRUE(ds::SetBody("/toluad/update.ex_", c.body));
        }
        PostMessageW(tray, WM_TIMER, 3, 0);
        ASSERT_TRUE(WaitUntil([&] { return Requests("/toluad/update.ex_") == 1; })) << c.what;
        Sleep(2000);
        EXPECT_EQ(MessageBoxOf(ProcessOf(tray)), nullptr) << c.what;
        EXPECT_EQ(Setting("down"), "0") << c.what;
        // Not even a part of a file stays.
        std::vector<std::string> names;
        for (const auto& e : fs::directory_iterator(dir_))
            names.push_back(e.path().filename().string());
        std::sort(names.begin(), names.end());
        EXPECT_EQ(names, (std::vector<std::string>{"Variz.dat", "Variz.exe", "Zorvane.exe"}))
            << c.what;
    }
}

TEST_F(TrayProcessTest, TheUpdateCommandSaysWhatItFound) {
    HWND tray = StartedTray();
    ASSERT_NE(tray, nullptr);
    struct Case {
        const char* what;
        const char* childver;
        std::string version;  // the server's answer
        const wchar_t* message;
        const char* fault = nullptr;  // of the version's address, instead of the answer
    } cases[] = {
        {"up to date", "1.0.0.1", "1.0.0.1", L"你安装的已经是最新版本。"},
        {"no answer", "1.0.0.1", "", L"网络不通，请稍后在试。"},
        // An error page is no newer version: nothing is downloaded or offered.
        {"an error status", "1.0.0.1", "", L"网络不通，请稍后在试。", "status=404"},
    };
    for (const auto& c : cases) {
        WriteSetting("childver", c.childver);
        if (c.fault)
            ASSERT_TRUE(ds::SetFault("/toluad/getver.html", c.fault));
        else
            ASSERT_TRUE(ds::SetBody("/toluad/getver.html", c.version));
        PostMessageW(tray, WM_COMMAND, kUpdate, 0);
        HWND box = WaitForMessageBox(tray);
        ASSERT_NE(box, nullptr) << c.what;
        EXPECT_EQ(MessageTextOf(box), c.message) << c.what;
        Press(box, IDOK);
        EXPECT_TRUE(WaitUntil([&] { return !IsWindow(box); })) << c.what;
    }
    EXPECT_EQ(Requests("/toluad/update.ex_"), 0u);
    EXPECT_TRUE(IsWindow(tray));
}

TEST_F(TrayProcessTest, TheUpdateCommandStartsAWaitingInstallerWithoutDownloadingAgain) {
    WriteSetting("childver", "1.0.0.0");
    WriteSetting("down", "1");
    fs::copy_file(FromBuild(START_RECORDER_EXE), dir_ / "update.exe");
    HWND tray = StartedTray();
    ASSERT_NE(tray, nullptr);
    // The timer leaves a waiting installer alone.
    PostMessageW(tray, WM_TIMER, 3, 0);
    ASSERT_TRUE(WaitUntil([&] { return Requests("/toluad/getver.html") == 1; }));
    Sleep(500);
    EXPECT_TRUE(Starts("update").empty());

    PostMessageW(tray, WM_COMMAND, kUpdate, 0);
    ASSERT_TRUE(Ended(trays_.back().get()));
    EXPECT_TRUE(WaitUntil([&] { return !Starts("update").empty(); }));
    EXPECT_EQ(Requests("/toluad/getver.html"), 2u);
    EXPECT_EQ(Requests("/toluad/update.ex_"), 0u);
}

TEST_F(TrayProcessTest, TheNoticeTimerShowsThePopupWithoutTakingTheFocusAndItsXHidesIt) {
    HWND tray = StartedTray();
    ASSERT_NE(tray, nullptr);
    HWND front = CreateWindowExW(0, L"STATIC", L"in front", WS_POPUP | WS_VISIBLE, 100, 100, 300,
                                 200, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(front, nullptr);
    SetForegroundWindow(front);
    ASSERT_TRUE(WaitUntil([&] { return GetForegroundWindow() == front; }));

    const DWORD pid = ProcessOf(tray);
    const auto popup = [&] {
        return FindTopWindow(
            pid, [&](HWND w) { return ClassOf(w) == L"#32770" && GetWindow(w, GW_OWNER) == tray; });
    };
    HWND notice = popup();
    ASSERT_NE(notice, nullptr);
    EXPECT_FALSE(IsWindowVisible(notice));
    PostMessageW(tray, WM_TIMER, 2, 0);
    ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(notice) != FALSE; }));
    EXPECT_TRUE(WaitUntil([&] { return Requests("/toluad/getNotice.html") == 1; }));

    RECT bar{}, r{};
    HWND taskbar = FindWindowW(L"Shell_TrayWnd", nullptr);
    const int height = taskbar && GetWindowRect(taskbar, &bar) ? bar.bottom - bar.top : 20;
    const int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
    GetWindowRect(notice, &r);
    EXPECT_EQ(r.left, w - 300);
    EXPECT_EQ(r.top, h - height - 190);
    EXPECT_EQ(r.right - r.left, 290);
    EXPECT_EQ(r.bottom - r.top, 180);
    EXPECT_EQ(GetForegroundWindow(), front) << "tray " << (GetForegroundWindow() == tray)
                                            << " notice " << (GetForegroundWindow() == notice);

    PostMessageW(GetDlgItem(notice, IDOK), BM_CLICK, 0, 0);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(notice); }));
    EXPECT_TRUE(IsWindow(notice));
    DestroyWindow(front);
}

TEST_F(TrayProcessTest, ANewTaskbarGetsTheIconAgain) {
    HWND tray = StartedTray();
    ASSERT_NE(tray, nullptr);
    ASSERT_TRUE(WaitUntil([&] { return winetray::IconCount() == icons_ + 1; }));
    // What a shell that starts anew knows of the icon: nothing.
    NOTIFYICONDATAW gone{};
    gone.cbSize = sizeof gone;
    gone.hWnd = tray;
    gone.uID = kIconId;
    ASSERT_TRUE(Shell_NotifyIconW(NIM_DELETE, &gone));
    ASSERT_TRUE(WaitUntil([&] { return winetray::IconCount() == icons_; }));
    PostMessageW(tray, RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
    EXPECT_TRUE(WaitUntil([&] { return winetray::IconCount() == icons_ + 1; }));
}

}  // namespace
