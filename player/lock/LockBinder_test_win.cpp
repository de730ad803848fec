// The lock mode on the real main window with the real unlock dialog, as a parent uses it: locking,
// cancelling, the password, and what the lock keeps from the program's windows (right clicks,
// also inside the dialog's loop) and from the desktop (the system keys), a dropped hook that
// comes back, and the program's close while the dialog shows.
#include "LockBinder_win.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "ChildWindowAt_win.h"
#include "Contract.h"
#include "MainWindowFakes.h"
#include "MovieControl.h"
#include "Picture_win.h"
#include "PumpMessages_win.h"
#include "Umain_win.h"
#include "Uunlock_win.h"
#include "WindowClass_win.h"
#include "WineWindowEnvironment_win.h"
#include "uHookKey_win.h"

namespace {

using testwait::Pump;
using testwait::PumpUntil;

constexpr char kSecretDigest[] = "5ebe2294ecd0e0f08eab7690d2a6ee69";  // of "secret"
constexpr UINT kProbe = WM_APP + 7;
constexpr UINT_PTR kWatchdog = 9;

// What reached the test's own window, and work to run inside whatever loop dispatches kProbe.
struct Seen {
    UINT msg;
    WPARAM wp;
};
std::vector<Seen> g_seen;
std::function<void()> g_probe;
TFrm_unlock* g_dialog = nullptr;

bool SawMessage(UINT msg, WPARAM wp) {
    for (const auto& s : g_seen)
        if (s.msg == msg && s.wp == wp) return true;
    return false;
}
bool SawKey(WPARAM vk) {
    for (UINT msg : {WM_KEYDOWN, WM_KEYUP, WM_SYSKEYDOWN, WM_SYSKEYUP})
        if (SawMessage(msg, vk)) return true;
    return false;
}
int RightClicksSeen() {
    int n = 0;
    for (const auto& s : g_seen)
        n += s.msg == WM_RBUTTONDOWN || s.msg == WM_RBUTTONUP || s.msg == WM_RBUTTONDBLCLK;
    return n;
}

LRESULT CALLBACK RecordingProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_KEYDOWN:
        case WM_KEYUP:
        case WM_SYSKEYDOWN:
        case WM_SYSKEYUP:
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_RBUTTONUP:
        case WM_RBUTTONDBLCLK:
            // Noted only: no window menu, no close by Alt+F4.
            g_seen.push_back({msg, wp});
            return 0;
        case kProbe:
            if (g_probe) g_probe();
            return 0;
        case WM_TIMER:
            if (wp == kWatchdog) {
                KillTimer(hwnd, kWatchdog);
                if (g_dialog && g_dialog->Showing()) {
                    ADD_FAILURE() << "the dialog did not end";
                    PostMessageW(g_dialog->Handle(), WM_CLOSE, 0, 0);
                }
                return 0;
            }
            break;
        default:
            break;
    }
    return DefWindowProcW(hwnd, msg, wp, lp);
}

// A window of the test's own, beside the player's: it notes keys and clicks. One for all tests:
// Wine without a window manager is slow to take a top-level window away.
HWND Recorder() {
    static HWND window = [] {
        RegisterWindowClass(L"VarizLockRecorder", &RecordingProc, CS_DBLCLKS);
        return CreateWindowExW(WS_EX_TOPMOST, L"VarizLockRecorder", L"recorder",
                               WS_POPUP | WS_VISIBLE, 30, 30, 200, 120, nullptr, nullptr,
                               GetModuleHandleW(nullptr), nullptr);
    }();
    return window;
}

bool FocusRecorder() {
    SetForegroundWindow(Recorder());
    SetFocus(Recorder());
    return PumpUntil([] { return GetFocus() == Recorder(); }, 5000);
}

// Keys as the keyboard sends them; `true` releases.
void SendKeys(std::initializer_list<std::pair<WORD, bool>> strokes) {
    std::vector<INPUT> inputs;
    for (const auto& [vk, up] : strokes) {
        INPUT in{};
        in.type = INPUT_KEYBOARD;
        in.ki.wVk = vk;
        in.ki.wScan = static_cast<WORD>(MapVirtualKeyW(vk, MAPVK_VK_TO_VSC));
        in.ki.dwFlags = (up ? KEYEVENTF_KEYUP : 0) |
                        (vk == VK_LWIN || vk == VK_RWIN ? KEYEVENTF_EXTENDEDKEY : 0);
        inputs.push_back(in);
    }
    ASSERT_EQ(SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT)),
              inputs.size());
}

// Sends keys, then Escape as an end mark, and waits until the mark's release arrived.
void SendKeysAndWait(std::initializer_list<std::pair<WORD, bool>> strokes) {
    SendKeys(strokes);
    SendKeys({{VK_ESCAPE, false}, {VK_ESCAPE, true}});
    EXPECT_TRUE(PumpUntil([] { return SawMessage(WM_KEYUP, VK_ESCAPE); }, 5000));
}

void PostRightClicks(HWND window) {
    for (UINT msg : {WM_RBUTTONDOWN, WM_RBUTTONUP, WM_RBUTTONDBLCLK, WM_RBUTTONUP})
        PostMessageW(window, msg, msg == WM_RBUTTONUP ? 0 : MK_RBUTTON, MAKELPARAM(20, 20));
}

// A left click at a point of a window's client area, as the mouse makes it.
void Click(HWND window, POINT at) {
    HWND target = DeepestChildAt(window, &at);
    PostMessageW(target, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(at.x, at.y));
    PostMessageW(target, WM_LBUTTONUP, 0, MAKELPARAM(at.x, at.y));
}

// The window and the lock, with stand-ins for the other components.
struct LockComponents : MainComponents {
    LockComponents(MainPlaces& places, const PlayerState& state) : lock(places, state) {}
    SitePages& Pages() override { return pages; }
    PlayControl& Play() override { return play; }
    RecordingPages pages;
    RecordingPlay play;
    LockBinder lock;
};

const ButtonId kLockedOff[] = {ButtonId::ImgBut_min, ButtonId::ImgBut_max, ButtonId::ImgBut_close,
                               ButtonId::ImgButton1, ButtonId::ImgButton3, ButtonId::ImgButton4,
                               ButtonId::ImgButton5, ButtonId::ImgButton6, ButtonId::ImgButton7};
const ButtonId kMember[] = {ButtonId::ImgButton3, ButtonId::ImgButton4, ButtonId::ImgButton5,
                            ButtonId::ImgButton6, ButtonId::ImgButton7};
const ButtonId kAlwaysOn[] = {ButtonId::ImgButton2,  ButtonId::ImgButton8,  ButtonId::ImgButton9,
                              ButtonId::ImgButton13, ButtonId::ImgButton14, ButtonId::ImgButton15,
                              ButtonId::ImgButton16, ButtonId::ImgButton17};

class LockBinderTest : public ::testing::Test {
  protected:
    void SetUp() override {
        testwin::Errors().clear();
        g_seen.clear();
        g_probe = nullptr;
        ASSERT_NE(Recorder(), nullptr);
        form_ = std::make_unique<Tfrm_wuxplay>(nullptr, [this](MainPlaces& p, MainView&) {
            auto made = std::make_unique<LockComponents>(p, state_);
            components_ = made.get();
            return std::unique_ptr<MainComponents>(std::move(made));
        });
        ASSERT_NE(form_->Handle(), nullptr);
        hwnd_ = form_->Handle();
        dialog_ = std::make_unique<TFrm_unlock>(hwnd_, state_);
        g_dialog = dialog_.get();
        components_->lock.SetUnlockDialog(dialog_.get());
        form_->Show();
        Pump();
    }
    void TearDown() override {
        form_.reset();
        dialog_.reset();
        g_dialog = nullptr;
        g_probe = nullptr;
        Pump();
        // The lock's hook goes with it, also when the test ends locked.
        EXPECT_FALSE(hookkey::KeyHookInstalled());
        EXPECT_TRUE(testwin::Errors().empty()) << testwin::Errors().front();
    }

    bool Locked() { return form_->Button(ButtonId::ImgButton2).Sel(); }
    bool Enabled(ButtonId id) { return form_->Button(id).Enabled(); }
    std::u16string ScriptAccess() {
        return GetTextProperty(form_->PlayArea().Control(), FlashDispId::AllowScriptAccess);
    }

    // The lock button on the toolbar: the second of the nine.
    void ClickLockButton() { Click(hwnd_, POINT{160 + 64 + 32, 8 + 31}); }
    void ClickCancel() { Click(dialog_->Handle(), POINT{28 + 48, 120 + 18}); }
    void ClickConfirm() { Click(dialog_->Handle(), POINT{201 + 48, 119 + 18}); }
    void Type(const std::wstring& text) {
        for (wchar_t c : text) PostMessageW(dialog_->EntryWindow(), WM_CHAR, c, 1);
    }
    // Runs what was posted; a dialog that does not end is closed after a while.
    void Run() {
        SetTimer(Recorder(), kWatchdog, 15000, nullptr);
        Pump();
        KillTimer(Recorder(), kWatchdog);
    }
    void Lock() {
        ClickLockButton();
        Run();
        ASSERT_TRUE(Locked());
    }
    // With the stored password "secret", or the empty one when none is stored.
    void Unlock() {
        ClickLockButton();
        if (!state_.SysPass.empty()) Type(L"secret");
        ClickConfirm();
        Run();
        ASSERT_FALSE(Locked());
    }
    std::wstring Entry() {
        wchar_t text[64] = {};
        GetWindowTextW(dialog_->EntryWindow(), text, 64);
        return text;
    }

    GdiplusSession gdiplus_;
    PlayerState state_;
    std::unique_ptr<Tfrm_wuxplay> form_;
    LockComponents* components_ = nullptr;
    std::unique_ptr<TFrm_unlock> dialog_;
    HWND hwnd_ = nullptr;
};

TEST_F(LockBinderTest, LockingFillsTheScreenDisablesTheWindowButtonsAndBarsMovieScripts) {
    ASSERT_FALSE(IsZoomed(hwnd_));
    Lock();
    EXPECT_TRUE(IsZoomed(hwnd_));
    for (ButtonId id : kLockedOff) EXPECT_FALSE(Enabled(id)) << static_cast<int>(id);
    for (ButtonId id : kAlwaysOn) EXPECT_TRUE(Enabled(id)) << static_cast<int>(id);
    EXPECT_EQ(ScriptAccess(), u"never");
    EXPECT_TRUE(hookkey::KeyHookInstalled());
    EXPECT_FALSE(IsWindowVisible(dialog_->Handle())) << "locking asks nothing";
}

TEST_F(LockBinderTest, ACancelledDialogKeepsEveryEffect) {
    state_.SysPass = kSecretDigest;
    Lock();
    ClickLockButton();
    Type(L"secret");
    ClickCancel();
    Run();
    EXPECT_FALSE(dialog_->Showing());
    EXPECT_FALSE(IsWindowVisible(dialog_->Handle()));
    EXPECT_EQ(Entry(), L"") << "the entry is emptied on every close";
    EXPECT_TRUE(Locked());
    EXPECT_TRUE(IsZoomed(hwnd_));
    for (ButtonId id : kLockedOff) EXPECT_FALSE(Enabled(id)) << static_cast<int>(id);
    EXPECT_EQ(ScriptAccess(), u"never");
    EXPECT_TRUE(hookkey::KeyHookInstalled());
    PostRightClicks(Recorder());
    Pump();
    EXPECT_EQ(RightClicksSeen(), 0);
}

TEST_F(LockBinderTest, AWrongPasswordLeavesTheDialogOpenAndTheRightOneUnlocks) {
    state_.SysPass = kSecretDigest;
    Lock();
    bool showingAfterWrong = false;
    std::wstring entryAfterWrong;
    g_probe = [&] {
        showingAfterWrong = dialog_->Showing();
        entryAfterWrong = Entry();
    };
    ClickLockButton();
    Type(L"Secret");
    ClickConfirm();
    PostMessageW(Recorder(), kProbe, 0, 0);
    Type(L"\b\b\b\b\b\bsecret");
    ClickConfirm();
    Run();
    EXPECT_TRUE(showingAfterWrong);
    EXPECT_EQ(entryAfterWrong, L"Secret");

    EXPECT_FALSE(Locked());
    EXPECT_FALSE(dialog_->Showing());
    EXPECT_EQ(Entry(), L"");
    EXPECT_TRUE(IsZoomed(hwnd_)) << "the window stays maximised";
    for (ButtonId id :
         {ButtonId::ImgBut_min, ButtonId::ImgBut_max, ButtonId::ImgBut_close, ButtonId::ImgButton1})
        EXPECT_TRUE(Enabled(id)) << static_cast<int>(id);
    for (ButtonId id : kMember) EXPECT_FALSE(Enabled(id)) << "no member logged in";
    EXPECT_EQ(ScriptAccess(), u"sameDomain");
    EXPECT_FALSE(hookkey::KeyHookInstalled());
}

// No password stored: the empty entry unlocks, and a member who logged in gets the buttons back.
TEST_F(LockBinderTest, WithoutAStoredPasswordTheEmptyEntryUnlocksAndTheMemberButtonsReturn) {
    state_.SiteLoggedIn = true;
    Lock();
    ClickLockButton();
    Type(L"x");
    ClickConfirm();
    PostMessageW(dialog_->EntryWindow(), WM_CHAR, L'\b', 1);
    ClickConfirm();
    Run();
    EXPECT_FALSE(Locked());
    for (ButtonId id : kMember) EXPECT_TRUE(Enabled(id)) << static_cast<int>(id);
}

TEST_F(LockBinderTest, RightClicksReachNoWindowOfTheProgramWhileLockedAlsoInTheDialog) {
    PostRightClicks(Recorder());
    Pump();
    ASSERT_EQ(RightClicksSeen(), 4) << "unlocked, right clicks arrive";

    g_seen.clear();
    Lock();
    PostRightClicks(Recorder());
    PostMessageW(Recorder(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, 20));
    Pump();
    EXPECT_EQ(RightClicksSeen(), 0);
    EXPECT_TRUE(SawMessage(WM_LBUTTONDOWN, MK_LBUTTON)) << "other clicks still arrive";

    // Inside the dialog's own loop, on the dialog and elsewhere.
    ClickLockButton();
    PostRightClicks(Recorder());
    PostRightClicks(dialog_->Handle());
    ClickCancel();
    Run();
    EXPECT_TRUE(Locked());
    EXPECT_EQ(RightClicksSeen(), 0);

    Unlock();
    PostRightClicks(Recorder());
    Pump();
    EXPECT_EQ(RightClicksSeen(), 4) << "after unlocking right clicks arrive again";
}

// Alt is held by its own key before F4, Tab and Space: the test relies on the system setting the
// event's Alt flag for the key pressed with it.
TEST_F(LockBinderTest, SystemKeysReachNoWindowWhileLockedAndPlainKeysDo) {
    ASSERT_TRUE(FocusRecorder());
    SendKeysAndWait({{VK_MENU, false}, {VK_F4, false}, {VK_F4, true}, {VK_MENU, true}});
    ASSERT_TRUE(SawMessage(WM_SYSKEYDOWN, VK_F4)) << "unlocked, Alt+F4 arrives";

    Lock();
    g_seen.clear();
    ASSERT_TRUE(FocusRecorder());
    SendKeysAndWait({{VK_MENU, false},
                     {VK_F4, false},
                     {VK_F4, true},
                     {VK_SPACE, false},
                     {VK_SPACE, true},
                     {VK_MENU, true},
                     {VK_LWIN, false},
                     {VK_LWIN, true},
                     {VK_APPS, false},
                     {VK_APPS, true},
                     {VK_TAB, false},
                     {VK_TAB, true},
                     {VK_F4, false},
                     {VK_F4, true},
                     {VK_SPACE, false},
                     {VK_SPACE, true}});
    EXPECT_TRUE(SawMessage(WM_SYSKEYDOWN, VK_MENU)) << "Alt itself arrives";
    EXPECT_FALSE(SawMessage(WM_SYSKEYDOWN, VK_F4)) << "Alt+F4";
    EXPECT_FALSE(SawMessage(WM_SYSKEYDOWN, VK_SPACE)) << "Alt+Space";
    EXPECT_FALSE(SawKey(VK_LWIN));
    EXPECT_FALSE(SawKey(VK_APPS));
    EXPECT_TRUE(SawMessage(WM_KEYDOWN, VK_TAB) && SawMessage(WM_KEYUP, VK_TAB)) << "Tab alone";
    EXPECT_TRUE(SawMessage(WM_KEYDOWN, VK_F4) && SawMessage(WM_KEYUP, VK_F4)) << "F4 alone";
    EXPECT_TRUE(SawMessage(WM_KEYDOWN, VK_SPACE)) << "Space alone";
    EXPECT_TRUE(SawMessage(WM_KEYDOWN, VK_ESCAPE)) << "Escape alone";
}

TEST_F(LockBinderTest, AHookRemovedBehindTheLocksBackComesBack) {
    Lock();
    const HHOOK hook = hookkey::CurrentKeyHook();
    ASSERT_NE(hook, nullptr);
    ASSERT_TRUE(UnhookWindowsHookEx(hook));
    ASSERT_TRUE(PumpUntil([&] { return hookkey::CurrentKeyHook() != hook; }, 10000));
    ASSERT_NE(hookkey::CurrentKeyHook(), nullptr);

    g_seen.clear();
    ASSERT_TRUE(FocusRecorder());
    SendKeysAndWait({{VK_MENU, false}, {VK_F4, false}, {VK_F4, true}, {VK_MENU, true}});
    EXPECT_FALSE(SawKey(VK_F4)) << "the new hook swallows Alt+F4";
}

// The tray's close request while the dialog asks: the dialog ends first, then the player closes,
// and the lock's hook and filter go with it.
TEST_F(LockBinderTest, TheProgramsCloseWhileTheDialogShowsEndsTheDialogFirst) {
    Lock();
    ClickLockButton();
    PostMessageW(hwnd_, contract::kCloseRequestMessage, 0, 0);
    Run();
    Pump();
    EXPECT_FALSE(IsWindow(hwnd_));
    EXPECT_FALSE(hookkey::KeyHookInstalled());
    PostRightClicks(Recorder());
    Pump();
    EXPECT_EQ(RightClicksSeen(), 4) << "the filter went with the lock";
}

}  // namespace
