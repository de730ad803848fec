#include "LockMode.h"

namespace {

// The window's own buttons and the log-in, in the order each way takes them.
constexpr ButtonId kDisabledWhenLocked[] = {ButtonId::ImgBut_min, ButtonId::ImgBut_max,
                                            ButtonId::ImgBut_close, ButtonId::ImgButton1};
constexpr ButtonId kEnabledWhenUnlocked[] = {ButtonId::ImgBut_min, ButtonId::ImgBut_close,
                                             ButtonId::ImgBut_max, ButtonId::ImgButton1};
// Forum, space, diary, album, search: for a logged-in member only.
constexpr ButtonId kMemberButtons[] = {ButtonId::ImgButton3, ButtonId::ImgButton4,
                                       ButtonId::ImgButton5, ButtonId::ImgButton6,
                                       ButtonId::ImgButton7};

}  // namespace

void LockMode::ImgButton2Click() {
    // A cancelled dialog leaves the lock exactly as it was.
    if (Locked() && s_.dialog.ShowModal() == ModalResult::Cancel) return;
    const bool locked = !Locked();
    s_.view.SetLockButtonSel(locked);
    if (locked)
        Enter();
    else
        Leave();
}

void LockMode::Enter() {
    // A maximised window stays so; a normal one fills the screen.
    if (s_.view.WindowNormal()) s_.view.MaximizeWindow();
    s_.guards.InstallKeyHook();
    s_.guards.InstallMessageFilter();
    s_.view.SetAllowScriptAccess("never");
    for (ButtonId b : kDisabledWhenLocked) s_.view.SetEnabled(b, false);
    for (ButtonId b : kMemberButtons) s_.view.SetEnabled(b, false);
}

void LockMode::Leave() {
    s_.guards.RemoveKeyHook();
    s_.guards.RemoveMessageFilter();
    s_.view.SetAllowScriptAccess("sameDomain");
    for (ButtonId b : kEnabledWhenUnlocked) s_.view.SetEnabled(b, true);
    if (s_.state.SiteLoggedIn)
        for (ButtonId b : kMemberButtons) s_.view.SetEnabled(b, true);
    // The window keeps its size: it stays maximised.
}
