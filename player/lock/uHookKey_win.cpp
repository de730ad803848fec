#include "uHookKey_win.h"

#include "CallbackGuards_win.h"
#include "uHookKey.h"

namespace hookkey {

namespace {

class WindowsHooks final : public HookSystem {
  public:
    HookHandle Install() override {
        return reinterpret_cast<HookHandle>(
            SetWindowsHookExW(WH_KEYBOARD_LL, &KeyHookProc, GetModuleHandleW(nullptr), 0));
    }
    bool Remove(HookHandle hook) override {
        if (UnhookWindowsHookEx(reinterpret_cast<HHOOK>(hook))) return true;
        // A hook the system dropped is no longer there to remove.
        return GetLastError() == ERROR_INVALID_HOOK_HANDLE;
    }
};

KeyHookHolder& Holder() {
    static WindowsHooks hooks;
    static KeyHookHolder holder(hooks);
    return holder;
}

}  // namespace

void InstallKeyHook() {
    Holder().Install();
}

void RemoveKeyHook() {
    Holder().Remove();
}

void RenewKeyHook() {
    Holder().Renew();
}

bool KeyHookInstalled() {
    return Holder().Installed();
}

HHOOK CurrentKeyHook() {
    return reinterpret_cast<HHOOK>(Holder().Current());
}

// Only comparisons and one key-state query: the system drops a hook that answers slowly.
LRESULT CALLBACK KeyHookProc(int code, WPARAM wp, LPARAM lp) {
    return GuardHook(code, wp, lp, [&]() -> LRESULT {
        KeyEvent event;
        event.code = code;
        if (code == HC_ACTION) {
            const auto* info = reinterpret_cast<const KBDLLHOOKSTRUCT*>(lp);
            event.message = static_cast<std::uint32_t>(wp);
            event.vkCode = info->vkCode;
            // Wine leaves the flag out, but reports a key pressed with Alt as a system key.
            event.altFlag =
                (info->flags & LLKHF_ALTDOWN) != 0 || wp == WM_SYSKEYDOWN || wp == WM_SYSKEYUP;
            event.ctrlDown = GetKeyState(VK_CONTROL) < 0;
        }
        switch (DecideKey(event)) {
            case KeyAnswer::CallNext:
                return CallNextHookEx(nullptr, code, wp, lp);
            case KeyAnswer::Swallow:
                return 1;
            case KeyAnswer::Deliver:
                break;
        }
        return 0;
    });
}

}  // namespace hookkey
