#include "LockBinder_win.h"

#include <stdexcept>

#include "MovieControl.h"
#include "Utf16.h"
#include "uHookKey_win.h"

namespace {
constexpr UINT_PTR kRenewTimer = 1;
// Often enough that a dropped hook is soon back, seldom enough to cost nothing.
constexpr UINT kRenewMs = 2000;
}  // namespace

LockBinder::LockBinder(MainPlaces& places, const PlayerState& state)
    : places_(places),
      renewal_([this](UINT msg, WPARAM wp, LPARAM, LRESULT&) { return Renew(msg, wp); }),
      lock_({*this, *this, *this, state}) {
    places_.Button(ButtonId::ImgButton2).OnClick = [link = link_] {
        if (*link) (*link)->lock_.ImgButton2Click();
    };
}

LockBinder::~LockBinder() {
    *link_ = nullptr;
    if (keyHookWanted_) RemoveKeyHook();
}

bool LockBinder::Renew(UINT msg, WPARAM wp) {
    if (msg != WM_TIMER || wp != kRenewTimer) return false;
    hookkey::RenewKeyHook();
    // One refused earlier comes now.
    filter_.Install();
    return true;
}

bool LockBinder::LockButtonSel() const {
    return places_.Button(ButtonId::ImgButton2).Sel();
}

void LockBinder::SetLockButtonSel(bool sel) {
    places_.Button(ButtonId::ImgButton2).SetSel(sel);
}

bool LockBinder::WindowNormal() const {
    HWND window = places_.Window();
    return !IsZoomed(window) && !IsIconic(window);
}

void LockBinder::MaximizeWindow() {
    ShowWindow(places_.Window(), SW_MAXIMIZE);
}

void LockBinder::SetEnabled(ButtonId button, bool enabled) {
    places_.Button(button).SetEnabled(enabled);
}

void LockBinder::SetAllowScriptAccess(const std::string& value) {
    try {
        places_.PlayArea().Control().SetProperty(FlashDispId::AllowScriptAccess,
                                                 Utf16FromLatin1(value));
    } catch (const MovieControlError&) {
        // A control that refuses keeps its setting; the lock holds without it.
    }
}

void LockBinder::InstallKeyHook() {
    keyHookWanted_ = true;
    hookkey::InstallKeyHook();
    // Without the timer the hook stays as it is, and a dropped one does not come back.
    SetTimer(renewal_.Handle(), kRenewTimer, kRenewMs, nullptr);
}

void LockBinder::RemoveKeyHook() {
    keyHookWanted_ = false;
    KillTimer(renewal_.Handle(), kRenewTimer);
    hookkey::RemoveKeyHook();
}

void LockBinder::InstallMessageFilter() {
    filter_.Install();
}

void LockBinder::RemoveMessageFilter() {
    filter_.Remove();
}

ModalResult LockBinder::ShowModal() {
    if (!dialog_) throw std::logic_error("The unlock dialog is not there");
    return dialog_->ShowModal();
}
