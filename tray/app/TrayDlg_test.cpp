// The decisions of the tray's main window: its timers, the icon's mouse messages, the menu's
// commands and the exit, over fakes of their ports.
#include "TrayDlg.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "DownloadFakes.h"
#include "TempFolder.h"
#include "TrayFakes.h"

namespace {

using namespace trayfakes;
using Lines = std::vector<std::string>;

const std::string kHost = "127.0.0.1:8321";
const std::string kBase = "C:\\Program Files\\Variz";
const std::string kStartPlayer = "start C:\\Program Files\\Variz\\Variz.exe";

class FakeWindow : public TrayWindow, public PlayerWindow {
  public:
    explicit FakeWindow(Journal& j) : j_(j) {}
    void IconNotify(std::uintptr_t wParam, std::intptr_t lParam) override {
        j_.Add("icon " + std::to_string(wParam) + " " + std::to_string(lParam));
    }
    void ShowNotice(const std::string& address) override { j_.Add("notice " + address); }
    bool IsPlayerRunning() override { return playerRunning; }
    void ClosePlayer() override { j_.Add("close player"); }
    bool playerRunning = false;

  private:
    Journal& j_;
};

class TrayDlgTest : public ::testing::Test {
  protected:
    TempFolder dir;
    Journal journal;
    FakeVersionSource version{journal};
    FakeTimers timers{journal};
    FakeMessages messages{journal};
    FakePrograms programs{journal};
    FakeEnding ending{journal};
    FakeWindow window{journal};
    TrayUpdate update{TrayUpdateServices{
        version,
        std::make_shared<JournaledSettings>(dir.File("Variz.dat"), journal),
        {std::make_shared<SyncReportQueue>(), std::make_shared<fakes::ScriptedDownload>(),
         std::make_shared<fakes::LocalFiles>()},
        timers,
        messages,
        programs,
        ending,
        kHost,
        kBase}};
    TrayDlgLogic logic{
        TrayDlgServices{timers, window, messages, programs, ending, window, update, kHost, kBase}};
};

TEST_F(TrayDlgTest, StartArmsTheStartTimerAndTheFirstNotice) {
    logic.OnInitDialog();
    EXPECT_EQ(journal.Take(), (Lines{"set timer 1 15000", "set timer 2 300000"}));
}

TEST_F(TrayDlgTest, EachTimerDoesItsStep) {
    struct Case {
        unsigned id;
        bool handled;
        Lines expected;
    } cases[] = {
        {1, true, {"kill timer 1", "set timer 3 600000"}},
        {2,
         true,
         {"kill timer 2", "notice http://127.0.0.1:8321/toluad/getNotice.html",
          "set timer 2 300000"}},
        // The update step; without an answer it does nothing more.
        {3, true, {"version request http://127.0.0.1:8321/toluad/getver.html"}},
        // The popup's own timer, and any other, are not the main window's.
        {4, false, {}},
        {0, false, {}},
        {12, false, {}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(logic.OnTimer(c.id), c.handled) << c.id;
        EXPECT_EQ(journal.Take(), c.expected) << c.id;
    }
}

TEST_F(TrayDlgTest, ALeftPressRunsThePlayerAndTheIconSeesEveryMessage) {
    struct Case {
        const char* what;
        std::uintptr_t wParam;
        std::intptr_t lParam;
        bool runs;
    } cases[] = {
        {"left press", 132, 0x0201, true},
        {"left release", 132, 0x0202, false},
        // The second press of a double click comes as a double click.
        {"left double click", 132, 0x0203, false},
        {"right press", 132, 0x0204, false},
        {"right release", 132, 0x0205, false},
        {"mouse move", 132, 0x0200, false},
        {"left press reported with other high bits", 132, 0x00070201, true},
        {"left press of another icon", 7, 0x0201, true},
    };
    for (const auto& c : cases) {
        logic.OnIconNotify(c.wParam, c.lParam);
        Lines expected;
        if (c.runs) expected.push_back(kStartPlayer);
        expected.push_back("icon " + std::to_string(c.wParam) + " " + std::to_string(c.lParam));
        EXPECT_EQ(journal.Take(), expected) << c.what;
    }
}

TEST(IconMenuWanted, OnlyTheRightReleaseOverOurIcon) {
    struct Case {
        std::uintptr_t wParam;
        std::intptr_t lParam;
        bool wanted;
    } cases[] = {
        {132, 0x0205, true},  {132, 0x00010205, true}, {132, 0x0204, false}, {132, 0x0201, false},
        {132, 0x0206, false}, {133, 0x0205, false},    {0, 0x0205, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(IconMenuWanted(132, c.wParam, c.lParam), c.wanted) << c.wParam << " " << c.lParam;
    }
}

TEST_F(TrayDlgTest, TheMenusCommands) {
    struct Case {
        unsigned id;
        bool handled;
        Lines expected;
    } cases[] = {
        {ID_OPEN_PLAYER, true, {kStartPlayer}},
        // The site's root, no path.
        {ID_HOME_PAGE, true, {"open http://127.0.0.1:8321"}},
        {ID_UPDATE,
         true,
         {"version request http://127.0.0.1:8321/toluad/getver.html",
          "inform 网络不通，请稍后在试。"}},
        {ID_EXIT, true, {"end"}},
        {32772, false, {}},
        {1, false, {}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(logic.OnCommand(c.id), c.handled) << c.id;
        EXPECT_EQ(journal.Take(), c.expected) << c.id;
    }
}

TEST_F(TrayDlgTest, ExitWithThePlayerRunningAsksFirstAndClosesThePlayerBeforeTheEnd) {
    window.playerRunning = true;
    messages.answers = {false, true};
    logic.OnExit();
    EXPECT_EQ(journal.Take(), (Lines{"confirm Tolubeni播发器正在运行，你确认退出吗？"}));
    logic.OnExit();
    EXPECT_EQ(journal.Take(),
              (Lines{"confirm Tolubeni播发器正在运行，你确认退出吗？", "close player", "end"}));
}

TEST(TrayPaths, TheBaseDirectoryAndWhatIsFoundInIt) {
    struct Case {
        std::string current, base;
    } cases[] = {
        {"C:\\Program Files\\Variz", "C:\\Program Files\\Variz"},
        {"C:\\", "C:"},
        // A double-byte name whose last byte is a backslash is no separator.
        {"D:\\\xB6\xF9\xCD\xAF\\\x95\\", "D:\\\xB6\xF9\xCD\xAF\\\x95\\"},
        {"D:\\\xB6\xF9\xCD\xAF\\", "D:\\\xB6\xF9\xCD\xAF"},
    };
    for (const auto& c : cases) EXPECT_EQ(BaseDirectoryOf(c.current), c.base) << c.current;
    EXPECT_EQ(PlayerPath("C:\\V"), "C:\\V\\Variz.exe");
    EXPECT_EQ(TraySettingsPath("C:\\V"), "C:\\V\\Variz.dat");
    EXPECT_EQ(HomePageAddress("www.example.org"), "http://www.example.org");
}

}  // namespace
