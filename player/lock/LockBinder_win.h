#pragma once
#include <memory>
#include <string>

#include "DIvezoZaz.h"
#include "LockMode.h"
#include "MainPlaces_win.h"
#include "MessageFilter_win.h"
#include "MessageWindow_win.h"

// The lock mode on the main window: the lock button's click, the window's state and buttons, the
// movie's script access, and what keeps the child inside while the lock holds (the keyboard
// hook, renewed every few seconds, and the message filter).
class LockBinder : public LockView, public LockGuards, public UnlockDialog {
  public:
    LockBinder(MainPlaces& places, const PlayerState& state);
    // What the lock holds goes with it.
    ~LockBinder() override;
    LockBinder(const LockBinder&) = delete;
    LockBinder& operator=(const LockBinder&) = delete;

    bool Locked() const { return lock_.Locked(); }
    // The dialog that asks for the password, made after the main window; null takes it away.
    // It must stay while the binder may show it.
    void SetUnlockDialog(UnlockDialog* dialog) { dialog_ = dialog; }

    // LockView
    bool LockButtonSel() const override;
    void SetLockButtonSel(bool sel) override;
    bool WindowNormal() const override;
    void MaximizeWindow() override;
    void SetEnabled(ButtonId button, bool enabled) override;
    void SetAllowScriptAccess(const std::string& value) override;
    // LockGuards
    void InstallKeyHook() override;
    void RemoveKeyHook() override;
    void InstallMessageFilter() override;
    void RemoveMessageFilter() override;
    // UnlockDialog: the one set. Throws std::logic_error when there is none.
    ModalResult ShowModal() override;

  private:
    bool Renew(UINT msg, WPARAM wp);

    MainPlaces& places_;
    UnlockDialog* dialog_ = nullptr;
    bool keyHookWanted_ = false;
    MessageFilterHook filter_;
    MessageWindow renewal_;
    LockMode lock_;
    std::shared_ptr<LockBinder*> link_ = std::make_shared<LockBinder*>(this);
};
