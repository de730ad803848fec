// The player's real components on its real main window, in a folder of their own: the start-up,
// the logo movie, the side panel without a network, and a window shown again.
#include "PlayerComponents_win.h"

#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "Bstr_win.h"
#include "BuildPath.h"
#include "ChildWindowAt_win.h"
#include "Contract.h"
#include "TextConv_win.h"
#include "DemoServer_win.h"
#include "HistoryBinder_win.h"
#include "BuiltinMovie.h"
#include "MessageBoxAnswer_win.h"
#include "Picture_win.h"
#include "PumpMessages_win.h"
#include "ScriptHost_win.h"
#include "SwfTestData.h"
#include "TempFolder.h"
#include "Umain_win.h"
#include "WaveOutput_win.h"
#include "WindowTestSupport_win.h"
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
            auto made = MakePlayerComponents(p, v, state_, folder_.File("Variz.exe"));
            components_ = made.get();
            return made;
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
    MainComponents* components_ = nullptr;
};

// The texts the built-in control's movie starts with, in UTF-16.
std::vector<std::u16string> MovieTexts(const BuiltinMovie* core) {
    std::vector<std::u16string> texts;
    if (core && core->Movie())
        for (const auto& [id, field] : core->Movie()->editTexts) texts.push_back(field.initialText);
    return texts;
}

bool Shows(const BuiltinMovie* core, const std::u16string& text) {
    const auto texts = MovieTexts(core);
    return std::find(texts.begin(), texts.end(), text) != texts.end();
}

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

// The play bar's slider and mute button set the loudness of every wave-out output of the
// process: a buffer written after each of them goes to the device scaled.
TEST_F(PlayerComponentsTest, TheSliderAndTheMuteButtonChangeTheSoundOfTheProcess) {
    ASSERT_GT(waveOutGetNumDevs(), 0u) << "no wave-out device";
    form_->Show();
    testwait::Pump();
    EXPECT_EQ(form_->VolumeSlider().Position(), 100);
    POINT p{300, 567 - 14 - 30};
    HWND bar = DeepestChildAt(form_->Handle(), &p);
    const auto click = [&](int x, int y) {
        PostMessageW(bar, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
        PostMessageW(bar, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
        testwait::Pump();
    };
    const auto played = [] {
        testsound::WaveOutput out;
        testsound::Samples samples{1000, -1000, 1000, -1000};
        EXPECT_EQ(out.opened, MMSYSERR_NOERROR);
        EXPECT_EQ(out.Play(samples), MMSYSERR_NOERROR);
        return samples;
    };
    using S = testsound::Samples;
    EXPECT_EQ(played(), S({1000, -1000, 1000, -1000}));
    // The slider at (196, 39), with a travel of 74 pixels over 0..100: 37 pixels in is 50.
    click(196 + 37, 45);
    EXPECT_EQ(form_->VolumeSlider().Position(), 50);
    EXPECT_EQ(played(), S({500, -500, 500, -500}));
    // The mute button at (154, 33), 38 x 32.
    click(170, 45);
    EXPECT_EQ(played(), S({0, 0, 0, 0}));
    click(170, 45);
    EXPECT_EQ(played(), S({500, -500, 500, -500}));
}

// The whole road from a page's call to the second episode, against the demo server at the
// player's content host; a real JScript engine stands in for the page's script.
TEST_F(PlayerComponentsTest, APageStartsASeriesThatDownloadsPlaysAndMovesOn) {
    ASSERT_EQ(GetACP(), 936u) << "run with LANG=zh_CN.UTF-8";
    ASSERT_TRUE(demo_server::Reset());
    // Slowly, so that the loading movie has percentages to show.
    ASSERT_TRUE(demo_server::SetFault("/media/101/1.swf", "trickle_bytes_per_second=20000"));
    // The requests of series 101, from the server's log: the play list and its episodes.
    const auto requests = [] {
        std::vector<std::string> found;
        for (const auto& line : demo_server::LogLinesWith("")) {
            if (line.find("\"query\": \"aid=101\"") != std::string::npos)
                found.push_back("play list");
            const auto at = line.find("\"path\": \"/media/101/");
            if (at != std::string::npos)
                found.push_back(line.substr(at + 9, line.find('"', at + 9) - at - 9));
        }
        return found;
    };
    const auto before = requests().size();
    form_->Show();
    testwait::Pump();
    const BuiltinMovie* core = form_->PlayArea().BuiltinCore();
    ASSERT_NE(core, nullptr);

    auto page = MakeComObject<JScriptHost>();
    page->AddItem(L"external", BridgeDispatchOf(*components_).Get());
    EXPECT_EQ(page->Run(L"external.AddUrl(\"tolu_小猫钓鱼_101_故事\", true);"), L"");
    EXPECT_EQ(form_->Title().Caption(), L"小猫钓鱼[1]");
    ASSERT_TRUE(
        testwait::PumpUntil([&] { return !core->Variable(u"_root.loadint").empty(); }, 15000))
        << "no percentage in the loading movie";
    ASSERT_TRUE(testwait::PumpUntil([&] { return Shows(core, u"第1集"); }, 20000));
    EXPECT_TRUE(fs::exists(folder_.Path() / "cache" / "101-1.swf"));
    EXPECT_TRUE(core->IsPlaying());

    // The episode ends with "kefoend": the second one is fetched and plays under its number.
    ASSERT_TRUE(testwait::PumpUntil([&] { return Shows(core, u"第2集"); }, 30000));
    EXPECT_EQ(form_->Title().Caption(), L"小猫钓鱼[2]");
    EXPECT_TRUE(fs::exists(folder_.Path() / "cache" / "101-2.swf"));
    const auto all = requests();
    EXPECT_EQ(
        std::vector<std::string>(all.begin() + static_cast<std::ptrdiff_t>(before), all.end()),
        (std::vector<std::string>{"play list", "/media/101/1.swf", "/media/101/2.swf"}));
    EXPECT_TRUE(testwin::Errors().empty()) << testwin::Errors().front();
}

// The side panel hands the page object only to the content server's pages.
TEST_F(PlayerComponentsTest, OnlyTheContentServersPagesGetThePageObject) {
    form_->Show();
    TWebBrowserWithUI& panel = form_->SitePanel();
    const auto location = [&] {
        Bstr url;
        panel.DefaultInterface()->get_LocationURL(url.Put());
        return WideToAnsi(url.Wide());
    };
    const auto external = [&] {
        ComPtr<IDispatch> out;
        panel.OnGetExternal(panel, out);
        return out;
    };
    const std::string host = contract::kContentHost;
    // The first showing opens the start page; it fails here, but the panel is at its address.
    ASSERT_TRUE(testwait::PumpUntil(
        [&] { return location() == "http://" + host + "/a/zodivodedozi/"; }, 15000));
    EXPECT_TRUE(external());
    const struct {
        std::string address;
        bool getsIt;
    } cases[] = {
        {"http://other.invalid/elsewhere.html", false},
        {"http://" + host + "@other.invalid/", false},
        {"http://" + host + "/member/index1.php", true},
    };
    for (const auto& c : cases) {
        // The control may write the address its own way (it drops a user name).
        const std::string before = location();
        panel.Navigate(AnsiToWide(c.address));
        ASSERT_TRUE(testwait::PumpUntil([&] { return location() != before; }, 15000)) << c.address;
        EXPECT_EQ(static_cast<bool>(external()), c.getsIt) << c.address;
        if (c.getsIt) {
            EXPECT_EQ(external().Get(), BridgeDispatchOf(*components_).Get());
        }
    }
}

// A member's log-in as a page's script reports it.
TEST_F(PlayerComponentsTest, APageReportsTheMemberAndThePictureKeepsTheNameOfItsFormat) {
    const std::string host = contract::kContentHost;
    const struct {
        const char* kind;
        const char* file;
    } cases[] = {{"png", "Avatar.png"}, {"gif", "Avatar.gif"}, {"jpg", "Avatar.jpg"}};
    for (const auto& c : cases) {
        auto page = MakeComObject<JScriptHost>();
        page->AddItem(L"external", BridgeDispatchOf(*components_).Get());
        const std::wstring call =
            L"external.Web_Logo(\"anna\", \"0cc175b9c0f1b6a831c399e269772661\", "
            L"\"Anna;7;3;http://" +
            AnsiToWide(host) + L"/images/avatar." + AnsiToWide(c.kind) + L"\");";
        EXPECT_EQ(page->Run(call), L"") << c.kind;
        for (const char* name : {"Avatar.jpg", "Avatar.png", "Avatar.gif"})
            EXPECT_EQ(fs::exists(folder_.Path() / "web" / name), std::string(name) == c.file)
                << c.kind << " " << name;
        EXPECT_FALSE(form_->Avatar().Picture.Empty()) << c.kind;
        fs::remove(folder_.Path() / "web" / c.file);
    }
    for (auto id : {ButtonId::ImgButton3, ButtonId::ImgButton4, ButtonId::ImgButton5,
                    ButtonId::ImgButton6, ButtonId::ImgButton7})
        EXPECT_TRUE(form_->Button(id).Enabled());
    EXPECT_NE(
        ReadText(folder_.Path() / "Variz.dat").find("syspass=0cc175b9c0f1b6a831c399e269772661"),
        std::string::npos);
    EXPECT_EQ(form_->MemberName().Caption(), L"Anna");
    EXPECT_EQ(form_->MemberLevel().Caption(), L"等级:3");
    EXPECT_EQ(state_.SysPass, "0cc175b9c0f1b6a831c399e269772661");

    // A picture that is none of the three fails the call and stays as a GIF.
    auto page = MakeComObject<JScriptHost>();
    page->AddItem(L"external", BridgeDispatchOf(*components_).Get());
    EXPECT_NE(page->Run(L"external.Web_Logo(\"a\", \"p\", \"A;7;3;http://" + AnsiToWide(host) +
                        L"/images/avatar.bad\");"),
              L"");
    EXPECT_TRUE(fs::exists(folder_.Path() / "web" / "Avatar.gif"));
}

// The play history in the side panel: its rows, a replay by a click, deleting by the keyboard
// with its question, the wheel at both ends.
class HistoryGridTest : public PlayerComponentsTest {
  protected:
    void SetUp() override {
        PlayerComponentsTest::SetUp();
        // Episode 3 of series 1024 is in the cache; episode 4 is not.
        fs::copy_file(TestMovie("episode.swf"), folder_.Path() / "cache" / "1024-3.swf");
        form_->Show();
        form_->Logic().ButtonClick(ButtonId::ImgButton8);  // the history button
        testwait::Pump();
        for (int n = 3; n <= 5; ++n)
            ASSERT_FALSE(Store().AddHistory("1024", "\xD0\xA1\xD0\xA1", "art", std::to_string(n)));
        grid_ = FindWindowExW(form_->HistoryPanel().Handle(), nullptr, WC_LISTVIEWW, nullptr);
        ASSERT_NE(grid_, nullptr);
        testwait::Pump();
    }
    Tcdsdata& Store() { return HistoryStoreOf(*components_)->Store(); }
    std::wstring Cell(int row, int column) {
        wchar_t text[64] = {};
        ListView_GetItemText(grid_, row, column, text, 64);
        return text;
    }
    int Selected() { return ListView_GetNextItem(grid_, -1, LVNI_SELECTED); }
    void ClickRow(int row) {
        RECT r{};
        ASSERT_TRUE(ListView_GetItemRect(grid_, row, &r, LVIR_BOUNDS));
        const LPARAM at = MAKELPARAM(r.left + 10, (r.top + r.bottom) / 2);
        PostMessageW(grid_, WM_LBUTTONDOWN, MK_LBUTTON, at);
        PostMessageW(grid_, WM_LBUTTONUP, 0, at);
        testwait::PumpFor(300);
    }
    void CtrlDelete() {
        BYTE keys[256] = {};
        GetKeyboardState(keys);
        keys[VK_CONTROL] = 0x80;
        SetKeyboardState(keys);
        SendMessageW(grid_, WM_KEYDOWN, VK_DELETE, 0);
        keys[VK_CONTROL] = 0;
        SetKeyboardState(keys);
    }
    HWND grid_ = nullptr;
};

TEST_F(HistoryGridTest, TheGridListsTheRowsAndTheCurrentOne) {
    EXPECT_TRUE(IsWindowVisible(grid_));
    ASSERT_EQ(ListView_GetItemCount(grid_), 3);
    EXPECT_EQ(Cell(0, 0), L"小小");
    EXPECT_EQ(Cell(2, 1), L"5");
    EXPECT_EQ(Selected(), 2) << "the row just added is current";
    EXPECT_TRUE(fs::exists(folder_.Path() / "web" / "Local.dat"));
}

TEST_F(HistoryGridTest, AClickOnACachedRowReplaysIt) {
    ClickRow(0);
    EXPECT_EQ(Store().Current(), 0);
    EXPECT_EQ(form_->Title().Caption(), L"小小[3]");
    EXPECT_TRUE(Shows(form_->PlayArea().BuiltinCore(), u"第3集"));
    // Halted, so that its end does not come in between.
    form_->PlayArea().Control().Stop();
    // A row whose episode left the cache changes only the title.
    ClickRow(1);
    EXPECT_EQ(form_->Title().Caption(), L"小小[4]");
    EXPECT_TRUE(Shows(form_->PlayArea().BuiltinCore(), u"第3集"));
}

TEST_F(HistoryGridTest, CtrlDeleteAsksAndDeletesOnlyTheRow) {
    ClickRow(0);
    {
        MessageBoxAnswer cancel(IDCANCEL);
        CtrlDelete();
        EXPECT_TRUE(cancel.Answered());
        EXPECT_EQ(cancel.Text(), L"Delete record?");
    }
    EXPECT_EQ(ListView_GetItemCount(grid_), 3);
    {
        MessageBoxAnswer ok(IDOK);
        CtrlDelete();
        EXPECT_TRUE(ok.Answered());
    }
    testwait::Pump();
    EXPECT_EQ(ListView_GetItemCount(grid_), 2);
    EXPECT_EQ(Cell(0, 1), L"4");
    EXPECT_TRUE(fs::exists(folder_.Path() / "cache" / "1024-3.swf")) << "the episode stays";
}

TEST_F(HistoryGridTest, TheWheelStopsAtTheFirstAndTheLastRow) {
    const auto wheel = [&](int delta) {
        SendMessageW(grid_, WM_MOUSEWHEEL, MAKEWPARAM(0, delta), 0);
        testwait::Pump();
    };
    wheel(-120);  // toward the user: on the last row it stays
    EXPECT_EQ(Selected(), 2);
    wheel(120);
    wheel(120);
    EXPECT_EQ(Selected(), 0);
    wheel(120);
    EXPECT_EQ(Selected(), 0);
    EXPECT_EQ(Store().Current(), 0);
}

TEST_F(HistoryGridTest, ABackgroundPictureShowsThroughThePureWhiteOfTheGrid) {
    TimgDBGrid& grid = HistoryStoreOf(*components_)->Grid();
    const auto paint = [&] {
        InvalidateRect(grid_, nullptr, TRUE);
        UpdateWindow(grid_);
        testwait::Pump();
    };
    paint();
    EXPECT_FALSE(grid.HasSnapshot()) << "no picture, no snapshot";

    // A white grid, so that its empty part is pure white; the picture is the play bar's.
    ListView_SetBkColor(grid_, RGB(255, 255, 255));
    ListView_SetTextBkColor(grid_, RGB(255, 255, 255));
    TPicture picture;
    ASSERT_TRUE(picture.LoadFromResource(GetModuleHandleW(nullptr), L"PLAYBAR"));
    grid.SetBackgroundPicture(std::move(picture));
    grid.SetUseBackgroundPicture(true);
    paint();
    EXPECT_TRUE(grid.HasSnapshot());
    RECT client{};
    GetClientRect(grid_, &client);
    const flashtest::Screenshot shot(grid_);
    const std::uint32_t empty = shot.At(client.right / 2, client.bottom - 5);
    EXPECT_NE(empty, 0xFFFFFFu) << "the picture shows where the grid is white";

    grid.SetUseBackgroundPicture(false);
    paint();
    EXPECT_FALSE(grid.HasSnapshot());
    EXPECT_EQ(flashtest::Screenshot(grid_).At(client.right / 2, client.bottom - 5), 0xFFFFFFu);
}

}  // namespace
