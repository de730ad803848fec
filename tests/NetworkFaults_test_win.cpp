// The delivered programs when the content server misbehaves: for each address they use and each
// fault the demo server can make (a delay, a trickle, an error status, a connection cut in the
// middle of the body, an empty body), the program stays alive and its window answers, the files
// it keeps are unchanged or whole, and the user meets what the failure should give.
//
// One case per (address, fault); cases that share a running program run in one test, each after
// the one before has settled.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "BuildPath.h"
#include "Contract.h"
#include "DemoServer_win.h"
#include "DownloadFile.h"
#include "Handles_win.h"
#include "Screenshot_win.h"
#include "StartInFolder_win.h"
#include "TempFolder.h"
#include "WaitFor.h"
#include "WindowInfo_win.h"

namespace fs = std::filesystem;
namespace ds = demo_server;

namespace {

using testwait::WaitUntil;
using namespace std::chrono_literals;
using testwin::ClassOf;
using testwin::ProcessOf;
using testwin::TextOf;

// Delays long enough to look at the window while they last, and one past the limit of a wait
// on a window's thread (net::kWindowFetchLimit, 30 s).
constexpr int kTextDelay = 7;
constexpr int kDownloadDelay = 4;
constexpr int kPastTheLimit = 35;

// The logo's background colour, and the top of a demo cartoon's sky.
constexpr std::uint32_t kLogoBlue = 0x2A6FB0, kCartoonSkyTop = 0x7EC8F0;
// The movie's part of the play area, in the window.
constexpr RECT kPlayArea{4, 71, 4 + 615, 71 + 482 - 65};

std::string ReadText(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteText(const fs::path& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

std::vector<std::string> LogLines() {
    std::vector<std::string> lines;
    std::istringstream log(ds::ReadWholeFile(ds::StateDir() + "\\requests.log"));
    for (std::string line; std::getline(log, line);) lines.push_back(line);
    return lines;
}

// Whether the window's thread takes a message within a second.
bool Answers(HWND window) {
    DWORD_PTR result = 0;
    return SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, 1000, &result) != 0;
}

bool Alive(HANDLE process) {
    return WaitForSingleObject(process, 0) == WAIT_TIMEOUT;
}

// The partial files of downloads in `folder` (DownloadFile.h).
std::vector<std::string> LeftoversIn(const fs::path& folder) {
    std::vector<std::string> found;
    std::error_code ignored;
    for (const auto& e : fs::directory_iterator(folder, ignored))
        if (net::IsDownloadLeftover(e.path().string())) found.push_back(e.path().string());
    return found;
}

RECT OnScreen(HWND window, const RECT& inWindow) {
    RECT r{};
    GetWindowRect(window, &r);
    return RECT{r.left + inWindow.left, r.top + inWindow.top, r.left + inWindow.right,
                r.top + inWindow.bottom};
}

// What the play area shows.
bool LogoShows(HWND player) {
    return testwin::Screenshot(nullptr).CountNear(OnScreen(player, kPlayArea), kLogoBlue) >
           615 * 417 / 3;
}
bool CartoonShows(HWND player) {
    return testwin::Screenshot(nullptr).CountNear(OnScreen(player, kPlayArea), kCartoonSkyTop, 24) >
           2000;
}

// A fault of the demo server for the next request of a path.
struct Fault {
    const char* name;
    std::string params;  // as /__control/fault takes them, without path and times
};

Fault Delay(int seconds) {
    return {"delay", "delay=" + std::to_string(seconds)};
}
Fault Trickle(int bytesPerSecond) {
    return {"trickle", "trickle_bytes_per_second=" + std::to_string(bytesPerSecond)};
}
Fault Status(int status) {
    return {status == 404 ? "404" : "500", "status=" + std::to_string(status)};
}
Fault Cut(int afterBytes) {
    return {"cut", "cut_after_bytes=" + std::to_string(afterBytes)};
}
Fault Empty() {
    return {"empty", "empty_body=true"};
}

bool SetFault(const std::string& path, const Fault& f) {
    return ds::SetFault(path, f.params + "&times=1");
}

// A folder of the delivered programs, as the installer leaves it; the player starts a stand-in
// of the tray, which plays no part here.
class FaultTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_FALSE(ds::Host().empty())
            << "needs the ContentHostServer fixture: run it through ctest";
        ASSERT_EQ(ds::Host(), contract::kContentHost) << "the server must be at the build's host";
        ASSERT_TRUE(ds::Reset());
        dir_ = folder_.Path() / "Variz";
        fs::create_directories(dir_ / "web");
        for (const char* file : {"Variz.exe", "web/logo.swf", "web/load.swf", "web/load.gif"})
            fs::copy_file(FromBuild(VARIZ_DIST_DIR) / file, dir_ / file);
        fs::copy_file(FromBuild(ZORVANE_STANDIN_EXE), dir_ / "Zorvane.exe");
        logStart_ = LogLines().size();
    }
    void TearDown() override {
        if (HWND w = PlayerWindow()) {
            DWORD_PTR result = 0;
            SendMessageTimeoutW(w, contract::kCloseRequestMessage, 0, 0, SMTO_ABORTIFHUNG, 5000,
                                &result);
        }
        for (auto& p : processes_)
            if (WaitForSingleObject(p.get(), 10000) != WAIT_OBJECT_0) TerminateProcess(p.get(), 1);
        processes_.clear();
        ds::Reset();
    }
    HANDLE Start(const fs::path& program, const std::wstring& arguments = {}) {
        STARTUPINFOW si{};
        si.cb = sizeof si;
        PROCESS_INFORMATION pi{};
        std::wstring commandLine = L"\"" + program.wstring() + L"\"" + arguments;
        if (!CreateProcessW(program.wstring().c_str(), commandLine.data(), nullptr, nullptr, FALSE,
                            0, nullptr, dir_.wstring().c_str(), &si, &pi))
            return nullptr;
        CloseHandle(pi.hThread);
        processes_.emplace_back(pi.hProcess);
        return pi.hProcess;
    }
    static HWND PlayerWindow() { return FindWindowW(contract::kPlayerWindowClass, nullptr); }
    std::string Setting(const char* section, const char* key) {
        char value[128] = {};
        GetPrivateProfileStringA(section, key, "(none)", value, sizeof value,
                                 (dir_ / "Variz.dat").string().c_str());
        return value;
    }
    void WriteSetting(const char* section, const char* key, const char* value) {
        WritePrivateProfileStringA(section, key, value, (dir_ / "Variz.dat").string().c_str());
    }
    // Requests for `path` since the test or the case began.
    std::size_t Requests(const std::string& path) const {
        const auto lines = LogLines();
        std::size_t n = 0;
        for (std::size_t i = logStart_; i < lines.size(); ++i)
            if (lines[i].find("\"path\": \"" + path + "\"") != std::string::npos) ++n;
        return n;
    }
    void NewCase() {
        ASSERT_TRUE(ds::Reset());
        logStart_ = LogLines().size();
    }

    TempFolder folder_;
    fs::path dir_;
    std::size_t logStart_ = 0;
    std::vector<UniqueHandle> processes_;
};

// --- the logo: its version tag and its movie, checked once at each start -----------------------

class LogoFaultTest : public FaultTest {};

TEST_F(LogoFaultTest, AFailedRefreshKeepsTheStoredLogoAndTheLogoPlays) {
    std::string served;
    ASSERT_TRUE(ds::Get("/images/logo1.swf", &served));
    // The logo of an earlier refresh, older than the server's.
    const std::string old = ReadText(dir_ / "web" / "logo.swf");
    ASSERT_NE(old, served);
    const fs::path stored = dir_ / "web" / "logo1.swf";

    enum Outcome {
        Refreshed,  // the server's logo replaced the stored one as a whole, and its tag is kept
        Kept,       // the stored logo and tag stay
    };
    struct Case {
        const char* address;
        Fault fault;
        Outcome outcome;
        const char* tag;  // the stored tag afterwards
    } cases[] = {
        {"/images/getlogo.html", Delay(kTextDelay), Refreshed, "1"},
        {"/images/getlogo.html", Trickle(1), Refreshed, "1"},
        // No tag is a tag that differs: the logo is fetched again, and "no tag" is stored.
        {"/images/getlogo.html", Status(404), Refreshed, ""},
        {"/images/getlogo.html", Status(500), Refreshed, ""},
        {"/images/getlogo.html", Cut(0), Refreshed, ""},
        {"/images/getlogo.html", Empty(), Refreshed, ""},
        {"/images/logo1.swf", Delay(kDownloadDelay), Refreshed, "1"},
        {"/images/logo1.swf", Trickle(20000), Refreshed, "1"},
        {"/images/logo1.swf", Status(404), Kept, "0"},
        {"/images/logo1.swf", Status(500), Kept, "0"},
        {"/images/logo1.swf", Cut(200), Kept, "0"},
        // An empty answer is no logo.
        {"/images/logo1.swf", Empty(), Kept, "0"},
    };
    for (const auto& c : cases) {
        const std::string what = std::string(c.address) + " " + c.fault.name;
        SCOPED_TRACE(what);
        NewCase();
        WriteText(stored, old);
        WriteSetting("system", "logoswf", "0");
        ASSERT_TRUE(SetFault(c.address, c.fault));
        HANDLE player = Start(dir_ / "Variz.exe");
        ASSERT_NE(player, nullptr);
        HWND window = nullptr;
        ASSERT_TRUE(WaitUntil([&] { return (window = PlayerWindow()) != nullptr; }));
        ASSERT_TRUE(WaitUntil([&] { return Requests(c.address) == 1; }));

        // Settled: the refresh ended, or its download was given up.
        if (c.outcome == Refreshed) {
            EXPECT_TRUE(WaitUntil([&] { return Setting("system", "logoswf") == c.tag; }, 20s));
            EXPECT_EQ(ReadText(stored), served);
        } else {
            Sleep(2000);
            EXPECT_EQ(Setting("system", "logoswf"), c.tag);
            EXPECT_EQ(ReadText(stored), old);
        }
        EXPECT_TRUE(LeftoversIn(dir_ / "web").empty());
        EXPECT_TRUE(Alive(player));
        EXPECT_TRUE(Answers(window));
        EXPECT_TRUE(WaitUntil([&] { return LogoShows(window); }));

        DWORD_PTR result = 0;
        SendMessageTimeoutW(window, contract::kCloseRequestMessage, 0, 0, SMTO_ABORTIFHUNG, 5000,
                            &result);
        EXPECT_EQ(WaitForSingleObject(player, 10000), WAIT_OBJECT_0);
    }
}

// --- a page of the site: a series started with AddUrl, a member with a picture -------------------

class PageFaultTest : public FaultTest {
  protected:
    void SetUp() override {
        FaultTest::SetUp();
        if (HasFatalFailure()) return;
        results_ = dir_ / "page-results.txt";
        HANDLE page = Start(FromBuild(FAULT_PAGE_EXE), L" \"" + (dir_ / "Variz.exe").wstring() +
                                                           L"\" \"" + results_.wstring() + L"\"");
        ASSERT_NE(page, nullptr);
        page_ = page;
        ASSERT_TRUE(WaitUntil([&] { return (window_ = PlayerWindow()) != nullptr; }));
        ASSERT_TRUE(WaitUntil([&] { return LogoShows(window_); }));
    }
    // Has the page make a call (1: AddUrl of series `id`, 2: Web_Logo).
    bool Ask(WPARAM what, LPARAM id) {
        asked_ = Results().size();
        return PostThreadMessageW(GetWindowThreadProcessId(window_, nullptr), WM_APP, what, id);
    }
    // What the call asked last answered; empty when it did not return within `timeout`.
    std::string Answer(std::chrono::milliseconds timeout = 20s) {
        if (!WaitUntil([&] { return Results().size() > asked_; }, timeout)) return {};
        return Results()[asked_];
    }
    std::string AddUrl(int series) { return Ask(1, series) ? Answer() : std::string(); }
    std::string WebLogo() { return Ask(2, 0) ? Answer() : std::string(); }
    std::vector<std::string> Results() {
        std::vector<std::string> lines;
        std::istringstream in(ReadText(results_));
        for (std::string line; std::getline(in, line);) lines.push_back(line);
        return lines;
    }
    // The program, its window and its files as every case leaves them.
    void ExpectUnharmed(const fs::path& folder) {
        EXPECT_TRUE(Alive(page_));
        EXPECT_TRUE(Answers(window_));
        EXPECT_TRUE(LeftoversIn(folder).empty());
    }

    fs::path results_;
    std::size_t asked_ = 0;
    HANDLE page_ = nullptr;
    HWND window_ = nullptr;
};

constexpr char kNoPlayList[] = "failed: List index out of bounds (0)";

TEST_F(PageFaultTest, AFaultyPlayListStopsTheSeriesBeforeAnythingIsFetched) {
    std::string episode;
    ASSERT_TRUE(ds::Get("/media/101/1.swf", &episode));
    const fs::path cached = dir_ / "cache" / "101-1.swf";
    enum Outcome {
        Plays,       // the list came: episode 1 is fetched, cached whole and played
        NoList,      // the call fails and nothing is fetched
        BadAddress,  // the list's first address is what came before the cut: nothing is fetched
    };
    struct Case {
        Fault fault;
        Outcome outcome;
    } cases[] = {
        {Delay(kTextDelay), Plays},
        {Trickle(20), Plays},
        {Status(404), NoList},
        {Status(500), NoList},
        {Cut(10), BadAddress},
        {Empty(), NoList},
        // Given up at the limit: no list.
        {Delay(kPastTheLimit), NoList},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.fault.params);
        NewCase();
        std::error_code ignored;
        fs::remove(cached, ignored);
        ASSERT_FALSE(fs::exists(cached));
        ASSERT_TRUE(SetFault("/plus/play.php", c.fault));
        ASSERT_TRUE(Ask(1, 101));
        ASSERT_TRUE(WaitUntil([&] { return Requests("/plus/play.php") == 1; }));
        EXPECT_TRUE(Answers(window_)) << "while the list comes";
        const std::string answer = Answer(60s);
        EXPECT_EQ(Requests("/plus/play.php"), 1u);
        EXPECT_EQ(answer, c.outcome == NoList ? kNoPlayList : "ok");
        if (c.outcome == Plays) {
            EXPECT_TRUE(WaitUntil([&] { return ReadText(cached) == episode; }));
            EXPECT_TRUE(WaitUntil([&] { return CartoonShows(window_); }));
        } else {
            Sleep(1500);
            EXPECT_EQ(Requests("/media/101/1.swf"), 0u);
            EXPECT_FALSE(fs::exists(cached));
        }
        ExpectUnharmed(dir_ / "cache");
    }
}

TEST_F(PageFaultTest, AFaultyEpisodeIsNeverCachedAndTheLoadingMovieStays) {
    std::string episode;
    ASSERT_TRUE(ds::Get("/media/101/1.swf", &episode));
    const fs::path cached = dir_ / "cache" / "101-1.swf";
    struct Case {
        Fault fault;
        bool plays;
    } cases[] = {
        {Delay(kDownloadDelay), true},
        {Trickle(30000), true},
        {Status(404), false},
        {Status(500), false},
        {Cut(20000), false},
        // An empty answer is no episode: kept, it would never be fetched again.
        {Empty(), false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.fault.name);
        NewCase();
        std::error_code ignored;
        fs::remove(cached, ignored);
        ASSERT_FALSE(fs::exists(cached));
        ASSERT_TRUE(SetFault("/media/101/1.swf", c.fault));
        // The download runs beside the window: the page's call returns at once.
        EXPECT_EQ(AddUrl(101), "ok");
        ASSERT_TRUE(WaitUntil([&] { return Requests("/media/101/1.swf") == 1; }));
        EXPECT_TRUE(Answers(window_)) << "while the episode comes";
        if (c.plays) {
            EXPECT_TRUE(WaitUntil([&] { return ReadText(cached) == episode; }, 20s));
            EXPECT_TRUE(WaitUntil([&] { return CartoonShows(window_); }));
            ExpectUnharmed(dir_ / "cache");
        } else {
            Sleep(2000);
            EXPECT_FALSE(fs::exists(cached));
            EXPECT_FALSE(CartoonShows(window_));
            EXPECT_FALSE(LogoShows(window_)) << "the loading movie shows";
            EXPECT_TRUE(Alive(page_));
            EXPECT_TRUE(Answers(window_));
            // A download cut short never ends under Wine: its partial file stays open until the
            // next series replaces it, and goes at the next start.
            if (std::string(c.fault.name) != "cut") {
                EXPECT_TRUE(LeftoversIn(dir_ / "cache").empty());
            }
        }
    }
}

TEST_F(PageFaultTest, AFaultyMemberPictureLeavesTheOneBefore) {
    std::string picture;
    ASSERT_TRUE(ds::Get("/images/avatar.jpg", &picture));
    const fs::path stored = dir_ / "web" / "Avatar.jpg";
    ASSERT_EQ(WebLogo(), "ok");
    ASSERT_EQ(ReadText(stored), picture);
    struct Case {
        Fault fault;
        const char* answer;
    } cases[] = {
        {Delay(kDownloadDelay), "ok"},
        {Trickle(4000), "ok"},
        {Status(404), "ok"},
        {Status(500), "ok"},
        {Empty(), "ok"},
        // Wine's download never returns from a body cut short after its full length was
        // announced: the window gives it up at the limit.
        {Cut(200), "ok"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.fault.name);
        NewCase();
        ASSERT_TRUE(SetFault("/images/avatar.jpg", c.fault));
        ASSERT_TRUE(Ask(2, 0));
        ASSERT_TRUE(WaitUntil([&] { return Requests("/images/avatar.jpg") == 1; }));
        EXPECT_TRUE(Answers(window_)) << "while the picture comes";
        EXPECT_EQ(Answer(60s), c.answer);
        EXPECT_EQ(Requests("/images/avatar.jpg"), 1u);
        EXPECT_EQ(ReadText(stored), picture);
        EXPECT_TRUE(Alive(page_));
        EXPECT_TRUE(Answers(window_));
        // The download that Wine keeps running holds its partial file until the program ends;
        // the next start removes it.
        if (std::string(c.fault.name) != "cut") {
            EXPECT_TRUE(LeftoversIn(dir_ / "web").empty());
        }
    }
}

// --- the tray: the version text, the installer, the notice page ---------------------------------

constexpr wchar_t kInstallQuestion[] = L"更新下载完成，是否安装?";

class TrayFaultTest : public FaultTest {
  protected:
    static constexpr UINT_PTR kNoticeTimer = 2, kUpdateTimer = 3;

    void SetUp() override {
        FaultTest::SetUp();
        if (HasFatalFailure()) return;
        fs::copy_file(FromBuild(ZORVANE_EXE), dir_ / "Zorvane.exe",
                      fs::copy_options::overwrite_existing);
        tray_ = Start(dir_ / "Zorvane.exe");
        ASSERT_NE(tray_, nullptr);
        const DWORD pid = GetProcessId(tray_);
        ASSERT_TRUE(WaitUntil([&] {
            return (window_ = testwin::FindTopWindow(pid, [](HWND w) {
                        return ClassOf(w) == L"#32770" && TextOf(w) == L"Zorvane";
                    })) != nullptr;
        }));
    }
    void TearDown() override {
        if (HWND box = QuestionBox()) PostMessageW(GetDlgItem(box, IDCANCEL), BM_CLICK, 0, 0);
        if (window_) PostMessageW(window_, WM_CLOSE, 0, 0);
        FaultTest::TearDown();
    }
    // A newer version than the installed one, whose installer is the recorder program.
    void OfferAnUpdate() {
        ASSERT_TRUE(ds::SetBodyFile("/toluad/update.ex_", START_RECORDER_EXE));
        std::error_code ignored;
        fs::remove(Update(), ignored);
        WriteSetting("update", "down", "0");
        WriteSetting("update", "childver", "1.0.0.0");
    }
    fs::path Update() const { return dir_ / "update.exe"; }
    // The installer came whole and the question asks about it; the user cancels.
    void ExpectTheQuestionAndCancelIt() {
        HWND box = nullptr;
        EXPECT_TRUE(WaitUntil([&] { return (box = QuestionBox()) != nullptr; }, 20s));
        EXPECT_EQ(TextOf(GetDlgItem(box, 0xFFFF)), kInstallQuestion);
        EXPECT_EQ(ReadText(Update()), ReadText(FromBuild(START_RECORDER_EXE)));
        EXPECT_EQ(Setting("update", "down"), "1");
        PostMessageW(GetDlgItem(box, IDCANCEL), BM_CLICK, 0, 0);
        EXPECT_TRUE(WaitUntil([&] { return QuestionBox() == nullptr; }));
    }
    HWND QuestionBox() const {
        return testwin::FindTopWindow(GetProcessId(tray_), [](HWND w) {
            return ClassOf(w) == L"#32770" && TextOf(w) == L"Tolubeni" && IsWindowVisible(w);
        });
    }
    void ExpectUnharmed(bool noPartialFile = true) {
        EXPECT_TRUE(Alive(tray_));
        // The popup's slide holds the window's thread for its second (Wine hides the popup as
        // the slide begins), as a question box's closing may: soon, not at once.
        EXPECT_TRUE(WaitUntil([&] { return Answers(window_); }, 5s));
        if (noPartialFile) {
            EXPECT_TRUE(LeftoversIn(dir_).empty());
        }
    }

    HANDLE tray_ = nullptr;
    HWND window_ = nullptr;
};

TEST_F(TrayFaultTest, AFaultyVersionTextIsNoAnswerAndASlowOneStillBringsTheUpdate) {
    struct Case {
        Fault fault;
        bool asks;  // the newer version came: the installer is fetched and the question comes
    } cases[] = {
        {Delay(kTextDelay), true},
        // The one read waits for the whole text.
        {Trickle(2), true},
        {Status(404), false},
        {Status(500), false},
        // A read that fails is no answer.
        {Cut(3), false},
        {Empty(), false},
    };
    // A version text past the limit is left to the play list's table: the same wait.
    for (const auto& c : cases) {
        SCOPED_TRACE(c.fault.name);
        NewCase();
        OfferAnUpdate();
        ASSERT_TRUE(SetFault("/toluad/getver.html", c.fault));
        PostMessageW(window_, WM_TIMER, kUpdateTimer, 0);
        ASSERT_TRUE(WaitUntil([&] { return Requests("/toluad/getver.html") == 1; }));
        EXPECT_TRUE(Answers(window_)) << "while the version comes";
        if (c.asks) {
            ExpectTheQuestionAndCancelIt();
        } else {
            Sleep(2000);
            EXPECT_EQ(QuestionBox(), nullptr);
            EXPECT_EQ(Requests("/toluad/update.ex_"), 0u);
            EXPECT_FALSE(fs::exists(Update()));
        }
        ExpectUnharmed();
    }
}

TEST_F(TrayFaultTest, AFaultyInstallerIsNeverTakenAndTheNextPeriodTriesAgain) {
    struct Case {
        Fault fault;
        bool asks;  // else nothing is said and nothing is kept
    } cases[] = {
        {Delay(kDownloadDelay), true},
        {Trickle(100000), true},
        {Status(404), false},
        {Status(500), false},
        {Empty(), false},
        // Last: Wine's download never returns from a body cut short after its full length was
        // announced, and the tray starts no second one beside it.
        {Cut(20000), false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.fault.name);
        NewCase();
        OfferAnUpdate();
        ASSERT_TRUE(SetFault("/toluad/update.ex_", c.fault));
        PostMessageW(window_, WM_TIMER, kUpdateTimer, 0);
        ASSERT_TRUE(WaitUntil([&] { return Requests("/toluad/update.ex_") == 1; }, 20s));
        if (c.asks) {
            ExpectTheQuestionAndCancelIt();
        } else {
            Sleep(2000);
            EXPECT_EQ(QuestionBox(), nullptr);
            EXPECT_FALSE(fs::exists(Update()));
            EXPECT_EQ(Setting("update", "down"), "0");
        }
        // The download that Wine keeps running holds its partial file.
        ExpectUnharmed(std::string(c.fault.name) != "cut");
    }
}

TEST_F(TrayFaultTest, AFaultyNoticePageStillShowsThePopupAndItsXHidesIt) {
    const DWORD pid = GetProcessId(tray_);
    const auto popup = [&](HWND w) {
        return ClassOf(w) == L"#32770" && GetWindow(w, GW_OWNER) == window_;
    };
    HWND notice = nullptr;
    ASSERT_TRUE(
        WaitUntil([&] { return (notice = testwin::FindTopWindow(pid, popup)) != nullptr; }));
    const Fault faults[] = {Delay(kDownloadDelay), Trickle(200), Status(404),
                            Status(500),           Cut(100),     Empty()};
    for (const auto& f : faults) {
        SCOPED_TRACE(f.name);
        NewCase();
        ASSERT_TRUE(SetFault("/toluad/getNotice.html", f));
        PostMessageW(window_, WM_TIMER, kNoticeTimer, 0);
        ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(notice) != FALSE; }));
        ASSERT_TRUE(WaitUntil([&] { return Requests("/toluad/getNotice.html") == 1; }));
        EXPECT_TRUE(Answers(window_));
        EXPECT_TRUE(Answers(notice));
        PostMessageW(GetDlgItem(notice, IDOK), BM_CLICK, 0, 0);
        EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(notice); }));
        ExpectUnharmed();
    }
}

}  // namespace
