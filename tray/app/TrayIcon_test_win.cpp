// The icon in Wine's notification area, its menu, and the notice it shows.
#include "TrayIcon_win.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Notice.h"
#include "PumpMessages_win.h"
#include "TrayDlg.h"
#include "WindowClass_win.h"
#include "WineTray_win.h"
#include "WineWindowEnvironment_win.h"

namespace {

using testwait::PumpUntil;

// The menu as its owner sees it when it opens: every entry with its command id, a separator as
// "-". The owner closes it at once.
std::vector<std::wstring> g_menu;
int g_menusOpened = 0;

LRESULT CALLBACK OwnerProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_INITMENUPOPUP) {
        ++g_menusOpened;
        HMENU menu = reinterpret_cast<HMENU>(wp);
        g_menu.clear();
        for (int i = 0; i < GetMenuItemCount(menu); ++i) {
            wchar_t text[64] = {};
            MENUITEMINFOW info{};
            info.cbSize = sizeof info;
            info.fMask = MIIM_FTYPE | MIIM_ID | MIIM_STRING;
            info.dwTypeData = text;
            info.cch = 64;
            GetMenuItemInfoW(menu, i, TRUE, &info);
            g_menu.push_back(info.fType & MFT_SEPARATOR ? std::wstring(L"-")
                                                        : std::to_wstring(info.wID) + L" " + text);
        }
        EndMenu();
        return 0;
    }
    return DefWindowProcW(hwnd, msg, wp, lp);
}

class TrayIconTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(RegisterWindowClass(L"TrayIconTestOwner", OwnerProc));
        owner_ = CreateWindowExW(WS_EX_TOOLWINDOW, L"TrayIconTestOwner", L"owner", WS_POPUP, 0, 0,
                                 10, 10, nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(owner_, nullptr);
        icons_ = winetray::IconCount();
        g_menusOpened = 0;
    }
    void TearDown() override {
        icon_.Remove();
        DestroyWindow(owner_);
        testwait::Pump();
    }
    void Create() {
        icon_.Create(kTrayIconId, owner_, kIconNotifyMessage, kTrayTip,
                     LoadIconW(nullptr, MAKEINTRESOURCEW(32512)));  // IDI_APPLICATION
    }
    bool IconsBecome(int n) {
        return PumpUntil([&] { return winetray::IconCount() == n; }, 5000);
    }

    HWND owner_ = nullptr;
    int icons_ = 0;
    CTrayIcon icon_;
};

TEST_F(TrayIconTest, OneIconWhileAddedAndItsPopupWithIt) {
    Create();
    EXPECT_TRUE(icon_.Added());
    EXPECT_TRUE(IconsBecome(icons_ + 1));
    HWND popup = icon_.Notice().Handle();
    ASSERT_NE(popup, nullptr);
    EXPECT_EQ(GetWindow(popup, GW_OWNER), owner_);
    EXPECT_FALSE(IsWindowVisible(popup));

    icon_.Remove();
    EXPECT_FALSE(icon_.Added());
    EXPECT_TRUE(IconsBecome(icons_));
    EXPECT_FALSE(IsWindow(popup));
    icon_.Remove();  // nothing left to remove
    EXPECT_TRUE(IconsBecome(icons_));
}

TEST_F(TrayIconTest, ANewTaskbarGetsTheIconAgain) {
    Create();
    ASSERT_TRUE(IconsBecome(icons_ + 1));
    // A shell that starts anew knows no icons.
    NOTIFYICONDATAW gone{};
    gone.cbSize = sizeof gone;
    gone.hWnd = owner_;
    gone.uID = kTrayIconId;
    ASSERT_TRUE(Shell_NotifyIconW(NIM_DELETE, &gone));
    ASSERT_TRUE(IconsBecome(icons_));
    icon_.Restore();
    EXPECT_TRUE(IconsBecome(icons_ + 1));
    // Again while it is there leaves one.
    icon_.Restore();
    testwait::PumpFor(300);
    EXPECT_EQ(winetray::IconCount(), icons_ + 1);
}

TEST_F(TrayIconTest, TheRightReleaseOverTheIconOpensItsMenu) {
    Create();
    icon_.OnNotify(kTrayIconId, WM_RBUTTONDOWN);
    icon_.OnNotify(kTrayIconId + 1, WM_RBUTTONUP);
    icon_.OnNotify(kTrayIconId, WM_LBUTTONDOWN);
    EXPECT_EQ(g_menusOpened, 0);
    icon_.OnNotify(kTrayIconId, WM_RBUTTONUP);
    EXPECT_EQ(g_menusOpened, 1);
    EXPECT_EQ(g_menu, (std::vector<std::wstring>{L"32771 打开播放器", L"-", L"32773 主页",
                                                 L"32774 更新", L"-", L"32775 退出系统"}));
}

TEST_F(TrayIconTest, TheNoticeShowsAboveTheTaskbarOrWhereOneWouldBe) {
    Create();
    icon_.ShowNotice("http://127.0.0.1:9/toluad/getNotice.html");
    HWND popup = icon_.Notice().Handle();
    ASSERT_TRUE(IsWindowVisible(popup));
    RECT bar{};
    HWND taskbar = FindWindowW(L"Shell_TrayWnd", nullptr);
    const int height = taskbar && GetWindowRect(taskbar, &bar) ? bar.bottom - bar.top : 20;
    const TRect expected =
        NoticePlacement(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), height);
    RECT r{};
    GetWindowRect(popup, &r);
    EXPECT_EQ((TRect{r.left, r.top, r.right, r.bottom}), expected);
}

}  // namespace
