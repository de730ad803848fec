// The real main window in this process: its class, its close rules, its system commands, its
// outline and the drag by the banner.
#include "Umain_win.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "ChildWindowAt_win.h"
#include "ComError_win.h"
#include "Contract.h"
#include "MainWindowFakes.h"
#include "Picture_win.h"
#include "WineWindowEnvironment_win.h"

namespace {

std::vector<WPARAM> g_sysCommands;
bool g_quit = false;

// Sees every system command that reaches the default window processing, and stops it there so
// that no modal move loop or screen saver starts inside the test.
LRESULT CALLBACK CbtHook(int code, WPARAM wp, LPARAM lp) {
    if (code == HCBT_SYSCOMMAND) {
        g_sysCommands.push_back(wp);
        if ((wp & 0xFFF0) != SC_MINIMIZE && (wp & 0xFFF0) != SC_MAXIMIZE &&
            (wp & 0xFFF0) != SC_RESTORE && (wp & 0xFFF0) != SC_KEYMENU)
            return 1;
    }
    return CallNextHookEx(nullptr, code, wp, lp);
}

// Dispatches what waits, noting a quit message instead of passing it on.
void Pump() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            g_quit = true;
            continue;
        }
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

bool QuitPosted() {
    Pump();
    return std::exchange(g_quit, false);
}

// The window's components in these tests: recorders, shared by the test.
struct RecordingComponents : MainComponents {
    RecordingComponents(RecordingPages& pages, RecordingPlay& play) : pages_(pages), play_(play) {}
    SitePages& Pages() override { return pages_; }
    PlayControl& Play() override { return play_; }
    RecordingPages& pages_;
    RecordingPlay& play_;
};

MainComponentsFactory Recording(RecordingPages& pages, RecordingPlay& play) {
    return [&](MainPlaces&, MainView&) {
        return std::unique_ptr<MainComponents>(new RecordingComponents(pages, play));
    };
}

class MainWindowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        hook_ = SetWindowsHookExW(WH_CBT, CbtHook, nullptr, GetCurrentThreadId());
        ASSERT_NE(hook_, nullptr);
        g_sysCommands.clear();
        g_quit = false;
        form_ = std::make_unique<Tfrm_wuxplay>(nullptr, Recording(pages_, play_));
        ASSERT_NE(form_->Handle(), nullptr);
        hwnd_ = form_->Handle();
        form_->Show();
        Pump();
    }
    void TearDown() override {
        form_.reset();
        Pump();
        QuitPosted();
        UnhookWindowsHookEx(hook_);
    }
    SIZE RegionSize() {
        UniqueGdi region(CreateRectRgn(0, 0, 0, 0));
        RECT box{};
        if (GetWindowRgn(hwnd_, static_cast<HRGN>(region.get())) == ERROR) return {0, 0};
        GetRgnBox(static_cast<HRGN>(region.get()), &box);
        return {box.right - box.left, box.bottom - box.top};
    }
    HWND ChildAt(HWND parent, POINT p) {
        return ChildWindowFromPointEx(parent, p, CWP_SKIPINVISIBLE | CWP_SKIPTRANSPARENT);
    }

    // Posts a press and release at a point of the play bar (its own coordinates).
    HWND PlayBar() {
        POINT p{300, 567 - 14 - 30};
        HWND bar = DeepestChildAt(hwnd_, &p);
        return bar;
    }
    void Post(HWND w, UINT msg, WPARAM keys, int x, int y) {
        PostMessageW(w, msg, keys, MAKELPARAM(x, y));
        Pump();
    }

    GdiplusSession gdiplus_;
    RecordingPlay play_;
    RecordingPages pages_;
    HHOOK hook_ = nullptr;
    std::unique_ptr<Tfrm_wuxplay> form_;
    HWND hwnd_ = nullptr;
};

TEST_F(MainWindowTest, FoundByClassBorderlessAtDesignSize) {
    EXPECT_EQ(FindWindowW(L"Tfrm_wuxplay", nullptr), hwnd_);
    wchar_t text[16] = {};
    GetWindowTextW(hwnd_, text, 16);
    EXPECT_STREQ(text, L"dn ");
    RECT r{};
    GetWindowRect(hwnd_, &r);
    EXPECT_EQ(r.right - r.left, 906);
    EXPECT_EQ(r.bottom - r.top, 567);
    EXPECT_EQ(r.left, (GetSystemMetrics(SM_CXSCREEN) - 906) / 2);
    const LONG_PTR style = GetWindowLongPtrW(hwnd_, GWL_STYLE);
    EXPECT_EQ(style & (WS_CAPTION | WS_THICKFRAME), 0);
}

TEST_F(MainWindowTest, PlatformCloseDoesNothingCloseRequestCloses) {
    SendMessageW(hwnd_, WM_CLOSE, 0, 0);
    Pump();
    EXPECT_TRUE(IsWindow(hwnd_));
    EXPECT_FALSE(QuitPosted());

    EXPECT_EQ(SendMessageW(hwnd_, WM_USER + 1, 0, 0), 0);
    Pump();
    EXPECT_FALSE(IsWindow(hwnd_));
    EXPECT_TRUE(QuitPosted());
}

TEST_F(MainWindowTest, ScreenSaverAndMonitorPowerAreSwallowed) {
    SendMessageW(hwnd_, WM_SYSCOMMAND, SC_SCREENSAVE, 0);
    SendMessageW(hwnd_, WM_SYSCOMMAND, SC_MONITORPOWER, 2);
    EXPECT_TRUE(g_sysCommands.empty());
    SendMessageW(hwnd_, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    Pump();
    ASSERT_EQ(g_sysCommands.size(), 1u);
    EXPECT_EQ(g_sysCommands[0], static_cast<WPARAM>(SC_MINIMIZE));
    EXPECT_TRUE(IsIconic(hwnd_));
}

TEST_F(MainWindowTest, RoundedOutlineAfterMaximiseAndRestore) {
    // The rounded region leaves out the window's last column and row, as the platform makes it.
    EXPECT_EQ(RegionSize().cx, 905);
    ShowWindow(hwnd_, SW_MAXIMIZE);
    Pump();
    ASSERT_TRUE(IsZoomed(hwnd_));
    RECT r{};
    GetWindowRect(hwnd_, &r);
    const SIZE maximised = RegionSize();
    EXPECT_EQ(maximised.cx, r.right - r.left - 1);
    EXPECT_EQ(maximised.cy, r.bottom - r.top - 1);
    ShowWindow(hwnd_, SW_RESTORE);
    Pump();
    const SIZE restored = RegionSize();
    EXPECT_EQ(restored.cx, 905);
    EXPECT_EQ(restored.cy, 566);
    // The corners are cut off.
    UniqueGdi region(CreateRectRgn(0, 0, 0, 0));
    ASSERT_NE(GetWindowRgn(hwnd_, static_cast<HRGN>(region.get())), ERROR);
    EXPECT_FALSE(PtInRegion(static_cast<HRGN>(region.get()), 0, 0));
    EXPECT_TRUE(PtInRegion(static_cast<HRGN>(region.get()), 5, 5));
}

TEST_F(MainWindowTest, BannerDragsUnlessMaximised) {
    HWND toolbar = ChildAt(hwnd_, POINT{100, 40});
    ASSERT_NE(toolbar, nullptr);
    ASSERT_NE(toolbar, hwnd_);
    for (UINT press : {WM_LBUTTONDOWN, WM_RBUTTONDOWN, WM_MBUTTONDOWN}) {
        g_sysCommands.clear();
        SendMessageW(toolbar, press, 0, MAKELPARAM(100, 40));
        ASSERT_EQ(g_sysCommands.size(), 1u) << press;
        EXPECT_EQ(g_sysCommands[0], 0xF012u);
    }
    ShowWindow(hwnd_, SW_MAXIMIZE);
    Pump();
    g_sysCommands.clear();
    SendMessageW(toolbar, WM_LBUTTONDOWN, 0, MAKELPARAM(100, 40));
    EXPECT_TRUE(g_sysCommands.empty());
}

TEST_F(MainWindowTest, FullScreenTakesThePlayAreaOutAndBack) {
    HWND playArea = ChildAt(hwnd_, POINT{300, 200});  // Pl_play
    ASSERT_NE(playArea, nullptr);
    HWND playMain = ChildAt(playArea, POINT{200, 100});  // Pl_playmain
    ASSERT_NE(playMain, nullptr);
    RECT docked{};
    GetWindowRect(playMain, &docked);

    form_->Logic().ButtonClick(ButtonId::ImgButton17);
    Pump();
    EXPECT_EQ(GetParent(playMain), nullptr);
    RECT full{};
    GetWindowRect(playMain, &full);
    EXPECT_EQ(full.right - full.left, GetSystemMetrics(SM_CXSCREEN));
    EXPECT_EQ(full.bottom - full.top, GetSystemMetrics(SM_CYSCREEN));
    EXPECT_TRUE(GetWindowLongPtrW(playMain, GWL_EXSTYLE) & WS_EX_TOPMOST);

    form_->Logic().ButtonClick(ButtonId::ImgButton17);
    Pump();
    EXPECT_EQ(GetAncestor(playMain, GA_PARENT), playArea);
    RECT back{};
    GetWindowRect(playMain, &back);
    EXPECT_TRUE(EqualRect(&back, &docked));
    EXPECT_FALSE(GetWindowLongPtrW(playMain, GWL_EXSTYLE) & WS_EX_TOPMOST);
}

TEST_F(MainWindowTest, ClickOnASkinnedButtonReachesItsHandlerOnce) {
    HWND bar = PlayBar();
    ASSERT_NE(bar, hwnd_);
    play_.calls.clear();
    // The mute button at (154, 33), 38 x 32.
    Post(bar, WM_LBUTTONDOWN, MK_LBUTTON, 170, 45);
    Post(bar, WM_LBUTTONUP, 0, 170, 45);
    EXPECT_EQ(play_.calls, std::vector<std::string>{"mute on"});
    EXPECT_TRUE(form_->Down(ButtonId::ImgButton16));

    // A double click is one click.
    play_.calls.clear();
    Post(bar, WM_LBUTTONDOWN, MK_LBUTTON, 170, 45);
    Post(bar, WM_LBUTTONUP, 0, 170, 45);
    Post(bar, WM_LBUTTONDBLCLK, MK_LBUTTON, 170, 45);
    Post(bar, WM_LBUTTONUP, 0, 170, 45);
    EXPECT_EQ(play_.calls, std::vector<std::string>{"mute off"});

    // A press that is released outside the button is no click.
    play_.calls.clear();
    Post(bar, WM_LBUTTONDOWN, MK_LBUTTON, 170, 45);
    Post(bar, WM_LBUTTONUP, 0, 400, 45);
    EXPECT_TRUE(play_.calls.empty());
}

TEST_F(MainWindowTest, ToolbarClicksReachTheirHandlersUnlessDisabled) {
    POINT p{200, 40};
    HWND toolbar = DeepestChildAt(hwnd_, &p);
    ASSERT_NE(toolbar, hwnd_);
    pages_.calls.clear();
    // The log-in button at (160, 8), then the forum button at (288, 8), disabled as the start-up
    // disables it until a member logs in.
    form_->SetEnabled(ButtonId::ImgButton3, false);
    Post(toolbar, WM_LBUTTONDOWN, MK_LBUTTON, 190, 40);
    Post(toolbar, WM_LBUTTONUP, 0, 190, 40);
    Post(toolbar, WM_LBUTTONDOWN, MK_LBUTTON, 320, 40);
    Post(toolbar, WM_LBUTTONUP, 0, 320, 40);
    ASSERT_EQ(pages_.calls.size(), 1u);
    EXPECT_EQ(pages_.calls[0].rfind("loading http://", 0), 0u);
    EXPECT_NE(pages_.calls[0].find("/member/index1.php"), std::string::npos);
}

TEST_F(MainWindowTest, DisabledButtonIgnoresTheClick) {
    HWND bar = PlayBar();
    form_->SetEnabled(ButtonId::ImgButton15, false);  // next, at (107, 17)
    play_.calls.clear();
    Post(bar, WM_LBUTTONDOWN, MK_LBUTTON, 120, 30);
    Post(bar, WM_LBUTTONUP, 0, 120, 30);
    EXPECT_TRUE(play_.calls.empty());
    form_->SetEnabled(ButtonId::ImgButton15, true);
    Post(bar, WM_LBUTTONDOWN, MK_LBUTTON, 120, 30);
    Post(bar, WM_LBUTTONUP, 0, 120, 30);
    EXPECT_EQ(play_.calls, std::vector<std::string>{"next"});
}

TEST_F(MainWindowTest, DraggingTheVolumeSliderSetsTheVolume) {
    HWND bar = PlayBar();
    play_.calls.clear();
    // The slider at (196, 39): travel 74 over 0..100; the pointer stays captured outside.
    Post(bar, WM_LBUTTONDOWN, MK_LBUTTON, 196 + 10, 45);
    Post(bar, WM_MOUSEMOVE, MK_LBUTTON, 196 + 37, 45);
    Post(bar, WM_MOUSEMOVE, MK_LBUTTON, 196 + 300, 45);
    Post(bar, WM_LBUTTONUP, 0, 196 + 300, 45);
    Post(bar, WM_MOUSEMOVE, 0, 196 + 20, 45);  // released: moves change nothing
    EXPECT_EQ(play_.calls, (std::vector<std::string>{"volume 13", "volume 50", "volume 100"}));
}

TEST_F(MainWindowTest, OnlyTheFirstShowingOpensTheStartPageAndTheLogo) {
    const auto logos = [&] { return std::count(play_.calls.begin(), play_.calls.end(), "logo"); };
    EXPECT_EQ(pages_.calls, std::vector<std::string>{"loading http://" + contract::kContentHost +
                                                     "/a/zodivodedozi/"});
    EXPECT_EQ(logos(), 1);
    // Hidden with its owner and shown again, or brought forward by a second start.
    ShowWindow(hwnd_, SW_HIDE);
    Pump();
    ShowWindow(hwnd_, SW_SHOWNORMAL);
    Pump();
    EXPECT_TRUE(IsWindowVisible(hwnd_));
    EXPECT_EQ(pages_.calls.size(), 1u);
    EXPECT_EQ(logos(), 1);
}

// Notes whether a menu loop started in the window while the hook was in place.
bool g_menuLoop = false;
LRESULT CALLBACK CallWndHook(int code, WPARAM wp, LPARAM lp) {
    const auto* m = reinterpret_cast<const CWPSTRUCT*>(lp);
    if (code == HC_ACTION && (m->message == WM_ENTERMENULOOP || m->message == WM_INITMENUPOPUP))
        g_menuLoop = true;
    return CallNextHookEx(nullptr, code, wp, lp);
}

TEST_F(MainWindowTest, AltSpaceOpensNoSystemMenu) {
    HHOOK hook = SetWindowsHookExW(WH_CALLWNDPROC, CallWndHook, nullptr, GetCurrentThreadId());
    ASSERT_NE(hook, nullptr);
    g_menuLoop = false;
    // Should a menu open after all, it is ended at once instead of holding the test.
    const UINT_PTR timer =
        SetTimer(nullptr, 0, 200, [](HWND, UINT, UINT_PTR, DWORD) { EndMenu(); });
    // What Alt+Space turns into; the CBT hook lets the key menu command through.
    g_sysCommands.clear();
    DefWindowProcW(hwnd_, WM_SYSCOMMAND, SC_KEYMENU, ' ');
    KillTimer(nullptr, timer);
    UnhookWindowsHookEx(hook);
    EXPECT_FALSE(g_menuLoop);
}

TEST_F(MainWindowTest, ADoubleClickOnTheVolumeSliderReachesItsHandler) {
    HWND bar = PlayBar();
    int doubleClicks = 0;
    form_->VolumeSlider().OnDblClick = [&] { ++doubleClicks; };
    Post(bar, WM_LBUTTONDOWN, MK_LBUTTON, 196 + 30, 45);
    Post(bar, WM_LBUTTONUP, 0, 196 + 30, 45);
    EXPECT_EQ(doubleClicks, 0);
    Post(bar, WM_LBUTTONDBLCLK, MK_LBUTTON, 196 + 30, 45);
    Post(bar, WM_LBUTTONUP, 0, 196 + 30, 45);
    EXPECT_EQ(doubleClicks, 1);
}

TEST(WebBrowserControl, PublishedPropertiesGoThroughTheControl) {
    GdiplusSession gdiplus;
    RecordingPages pages;
    RecordingPlay play;
    Tfrm_wuxplay form(nullptr, Recording(pages, play));  // a parent window for the control
    TWebBrowserWithUI browser(&form);
    ASSERT_TRUE(browser.Created());
    VARIANT silent;
    VariantInit(&silent);
    silent.vt = VT_BOOL;
    silent.boolVal = VARIANT_TRUE;
    browser.WriteProperty("Silent", silent);
    VARIANT back;
    browser.ReadProperty("Silent", &back);
    EXPECT_EQ(back.vt, VT_BOOL);
    EXPECT_EQ(back.boolVal, VARIANT_TRUE);
    EXPECT_THROW(browser.ReadProperty("NoSuchProperty", &back), ComError);
    EXPECT_EQ(browser.Document().Get(), nullptr);  // no page has completed here
}

}  // namespace
