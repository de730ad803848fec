#pragma once
#include <string>

#include "DIvezoZaz.h"
#include "MainPorts.h"
#include "Uunlock.h"

// What the lock mode needs of the main window.
class LockView {
  public:
    virtual ~LockView() = default;
    // The lock button's selected look is the lock state itself.
    virtual bool LockButtonSel() const = 0;
    virtual void SetLockButtonSel(bool sel) = 0;
    // Neither maximised nor minimised.
    virtual bool WindowNormal() const = 0;
    virtual void MaximizeWindow() = 0;
    virtual void SetEnabled(ButtonId button, bool enabled) = 0;
    // What the movie may script of its container: "never" or "sameDomain".
    virtual void SetAllowScriptAccess(const std::string& value) = 0;
};

// What keeps the child inside the player while the lock holds.
class LockGuards {
  public:
    virtual ~LockGuards() = default;
    // The keys that switch away, close or open menus, on the whole desktop.
    virtual void InstallKeyHook() = 0;
    virtual void RemoveKeyHook() = 0;
    // Right clicks, in every message loop of the program.
    virtual void InstallMessageFilter() = 0;
    virtual void RemoveMessageFilter() = 0;
};

// The dialog that asks for the password, shown modally.
class UnlockDialog {
  public:
    virtual ~UnlockDialog() = default;
    virtual ModalResult ShowModal() = 0;
};

// Everything the lock mode works with; all of it is required.
struct LockServices {
    LockView& view;
    LockGuards& guards;
    UnlockDialog& dialog;
    const PlayerState& state;
};

// The parental lock: one click on the lock button locks, no question asked; the next asks for
// the password and unlocks only with it. The player starts unlocked and keeps no lock anywhere.
class LockMode {
  public:
    explicit LockMode(LockServices services) : s_(services) {}

    bool Locked() const { return s_.view.LockButtonSel(); }
    // The lock button's click.
    void ImgButton2Click();

  private:
    void Enter();
    void Leave();

    LockServices s_;
};
