// The notice popup under Wine: its window, its place, its animations and its "app:" links. Wine
// has no HTML engine, so no page ever shows; everything around the page does.
#include "NoticeDlg_win.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "Notice.h"
#include "PumpMessages_win.h"
#include "TrayResources.h"
#include "Variant_win.h"
#include "WineWindowEnvironment_win.h"
#include "WindowInfo_win.h"

namespace {

struct Animation {
    HWND window;
    DWORD ms;
    DWORD flags;
    bool operator==(const Animation& o) const {
        return window == o.window && ms == o.ms && flags == o.flags;
    }
};

using testwin::ClassOf;

std::vector<HWND> Children(HWND parent) {
    std::vector<HWND> children;
    for (HWND c = GetWindow(parent, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
        children.push_back(c);
    return children;
}

// Top-level windows from the top of the z-order down.
std::vector<HWND> ZOrder() {
    std::vector<HWND> windows;
    EnumWindows(
        [](HWND w, LPARAM p) -> BOOL {
            reinterpret_cast<std::vector<HWND>*>(p)->push_back(w);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&windows));
    return windows;
}

RECT WindowRect(HWND window) {
    RECT r{};
    GetWindowRect(window, &r);
    return r;
}

class NoticeDlgTest : public ::testing::Test {
  protected:
    void SetUp() override {
        // Hidden, as the tray's main window is.
        owner_ = CreateWindowExW(WS_EX_TOOLWINDOW, L"STATIC", L"owner", WS_POPUP, 0, 0, 10, 10,
                                 nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(owner_, nullptr);
        const auto real = notice_.Animate;
        notice_.Animate = [this, real](HWND w, DWORD ms, DWORD flags) {
            animations_.push_back({w, ms, flags});
            real(w, ms, flags);
        };
        ASSERT_TRUE(notice_.Create(owner_));
        popup_ = notice_.Handle();
    }
    void TearDown() override {
        notice_.DestroyWindow();
        DestroyWindow(owner_);
        testwait::Pump();
    }

    HWND owner_ = nullptr;
    CNoticeDlg notice_;
    HWND popup_ = nullptr;
    std::vector<Animation> animations_;
};

TEST_F(NoticeDlgTest, MadeHiddenAndFramelessWithThePageUnderTheCloseButton) {
    EXPECT_FALSE(IsWindowVisible(popup_));
    EXPECT_EQ(GetWindow(popup_, GW_OWNER), owner_);
    const auto style = GetWindowLongPtrW(popup_, GWL_STYLE);
    EXPECT_EQ(style & (WS_CAPTION | WS_SYSMENU | DS_MODALFRAME), 0);
    EXPECT_EQ(GetWindowLongPtrW(popup_, GWL_EXSTYLE) & (WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE), 0);

    // The placeholder made way for the page, which keeps its id; the close button lies above.
    HWND close = GetDlgItem(popup_, IDOK);
    HWND page = GetDlgItem(popup_, IDC_NOTICE_HTML);
    ASSERT_NE(close, nullptr);
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(page, notice_.Html().Handle());
    EXPECT_EQ(ClassOf(page), L"TOleControl");
    wchar_t text[8] = {};
    GetWindowTextW(close, text, 8);
    EXPECT_STREQ(text, L"X");
    EXPECT_EQ(Children(popup_), (std::vector<HWND>{close, page}));

    // The browser exists and keeps its own dialogs to itself.
    ASSERT_TRUE(notice_.Html().Browser()->Created());
    Variant silent;
    notice_.Html().Browser()->ReadProperty("Silent", silent.Put());
    EXPECT_EQ(silent.Type(), VT_BOOL);
    EXPECT_EQ(silent.Get().boolVal, VARIANT_TRUE);
}

TEST_F(NoticeDlgTest, SlidesUpAtItsPlaceOnTopWithoutTakingTheFocus) {
    HWND front = CreateWindowExW(0, L"STATIC", L"in front", WS_POPUP | WS_VISIBLE, 900, 500, 300,
                                 200, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(front, nullptr);
    SetForegroundWindow(front);
    testwait::Pump();
    ASSERT_EQ(GetForegroundWindow(), front);

    const TRect place = NoticePlacement(1280, 800, 30);
    notice_.SlideIn(place);
    testwait::Pump();
    EXPECT_TRUE(IsWindowVisible(popup_));
    const RECT r = WindowRect(popup_);
    EXPECT_EQ((TRect{r.left, r.top, r.right, r.bottom}), place);
    EXPECT_EQ(animations_, (std::vector<Animation>{{popup_, 1000, AW_SLIDE | AW_VER_NEGATIVE}}));
    EXPECT_EQ(GetForegroundWindow(), front);
    EXPECT_NE(GetActiveWindow(), popup_);
    EXPECT_EQ(GetWindowLongPtrW(popup_, GWL_EXSTYLE) & WS_EX_TOPMOST, 0);
    const auto order = ZOrder();
    const auto at = [&](HWND w) {
        return std::find(order.begin(), order.end(), w) - order.begin();
    };
    EXPECT_LT(at(popup_), at(front));

    // The page fills the popup and the close button has the top right corner.
    const RECT page = WindowRect(notice_.Html().Handle());
    EXPECT_EQ((TRect{page.left, page.top, page.right, page.bottom}), place);
    const RECT close = WindowRect(GetDlgItem(popup_, IDOK));
    EXPECT_EQ(close.right, place.right);
    EXPECT_EQ(close.top, place.top);
    DestroyWindow(front);
}

TEST_F(NoticeDlgTest, TheCloseButtonOrItsTimerSlidesItDownAndTheNextShowingArmsTheTimerAgain) {
    const TRect place = NoticePlacement(1280, 800, 20);
    notice_.SlideIn(place);
    SendMessageW(GetDlgItem(popup_, IDOK), BM_CLICK, 0, 0);
    testwait::Pump();
    EXPECT_FALSE(IsWindowVisible(popup_));
    ASSERT_EQ(animations_.size(), 2u);
    EXPECT_EQ(animations_[1], (Animation{popup_, 1000, AW_SLIDE | AW_HIDE | AW_VER_POSITIVE}));
    // The close button stopped the timer; the window stays, to be shown again.
    EXPECT_FALSE(KillTimer(popup_, kNoticeHideTimer));
    EXPECT_TRUE(IsWindow(popup_));

    notice_.SlideIn(place);
    EXPECT_TRUE(IsWindowVisible(popup_));
    // Another timer of the window is none of the popup's business.
    PostMessageW(popup_, WM_TIMER, 5, 0);
    testwait::Pump();
    EXPECT_TRUE(IsWindowVisible(popup_));
    PostMessageW(popup_, WM_TIMER, kNoticeHideTimer, 0);
    testwait::Pump();
    EXPECT_FALSE(IsWindowVisible(popup_));
    EXPECT_EQ(animations_.size(), 4u);
}

// A browser control with the program's own handling of "app:" links.
class RecordingHtml : public CHtmlCtrl {
  public:
    std::vector<std::u16string> links;

  protected:
    void OnAppLink(const std::u16string& link) override { links.push_back(link); }
};

// BeforeNavigate2 as the control raises it: last parameter first, the URL and Cancel by
// reference. True when the handler cancelled the navigation.
bool BeforeNavigate(TWebBrowserWithUI& browser, const wchar_t* url) {
    VARIANT_BOOL cancel = VARIANT_FALSE;
    Variant address = Variant::Text(url);
    VARIANT args[7];
    for (auto& a : args) VariantInit(&a);
    args[0].vt = VT_BYREF | VT_BOOL;  // Cancel
    args[0].pboolVal = &cancel;
    args[5].vt = VT_BYREF | VT_VARIANT;  // URL
    args[5].pvarVal = address.Ptr();
    args[6].vt = VT_DISPATCH;  // pDisp
    DISPPARAMS params{args, nullptr, 7, 0};
    const EWBEventDef* def = FindEWBEvent(250);
    EWBEventArgs e(&browser, *def, &params);
    browser.Events.Raise(250, e);
    return cancel == VARIANT_TRUE;
}

TEST(CHtmlCtrl, TakesThePlaceholdersPlaceAndCancelsAppLinksOnly) {
    HWND parent = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 300, 200, nullptr, nullptr,
                                  nullptr, nullptr);
    HWND placeholder = CreateWindowExW(0, L"STATIC", L"Static", WS_CHILD | WS_VISIBLE, 10, 20, 120,
                                       80, parent, reinterpret_cast<HMENU>(1000), nullptr, nullptr);
    ASSERT_NE(placeholder, nullptr);

    RecordingHtml none;
    EXPECT_FALSE(none.ReplacePlaceholder(1001, parent));
    EXPECT_EQ(none.Handle(), nullptr);

    RecordingHtml html;
    ASSERT_TRUE(html.ReplacePlaceholder(1000, parent));
    EXPECT_FALSE(IsWindow(placeholder));
    EXPECT_EQ(GetDlgItem(parent, 1000), html.Handle());
    RECT r = WindowRect(html.Handle());
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
    EXPECT_EQ((TRect{r.left, r.top, r.right, r.bottom}), (TRect{10, 20, 130, 100}));

    struct Case {
        const wchar_t* url;
        bool cancelled;
    } cases[] = {
        {L"app:open", true},     {L"APP:Open", true},
        {L"aPp:", true},         {L"http://127.0.0.1:8321/a/zodivodedozi/", false},
        {L"about:blank", false},
    };
    for (const auto& c : cases) EXPECT_EQ(BeforeNavigate(*html.Browser(), c.url), c.cancelled);
    EXPECT_EQ(html.links, (std::vector<std::u16string>{u"open", u"Open", u""}));
    DestroyWindow(parent);
}

}  // namespace
