#pragma once
#include <windows.h>

#include "UniqueResource.h"

// The application-wide message filter of the lock: every message a loop of this thread takes
// from its queue, a modal loop's too, passes it before it is dispatched. It lives on the
// user-interface thread that installs it.
class MessageFilterHook {
  public:
    MessageFilterHook() = default;
    MessageFilterHook(const MessageFilterHook&) = delete;
    MessageFilterHook& operator=(const MessageFilterHook&) = delete;

    // Nothing when installed already; a refusal leaves none, and the next call tries again.
    void Install();
    void Remove();
    bool Installed() const { return static_cast<bool>(hook_); }

  private:
    static void Unhook(HHOOK hook) { UnhookWindowsHookEx(hook); }
    static LRESULT CALLBACK GetMsgProc(int code, WPARAM wp, LPARAM lp);

    UniqueResource<HHOOK, Unhook, nullptr> hook_;
};
