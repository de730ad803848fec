#include "MessageFilter_win.h"

#include "CallbackGuards_win.h"
#include "MessageFilter.h"

void MessageFilterHook::Install() {
    if (hook_) return;
    hook_.reset(SetWindowsHookExW(WH_GETMESSAGE, &GetMsgProc, nullptr, GetCurrentThreadId()));
}

void MessageFilterHook::Remove() {
    hook_.reset();
}

LRESULT CALLBACK MessageFilterHook::GetMsgProc(int code, WPARAM wp, LPARAM lp) {
    return GuardHook(code, wp, lp, [&]() -> LRESULT {
        // A loop that only peeks sees the null message too, as does the one that takes it.
        if (code == HC_ACTION) {
            auto* msg = reinterpret_cast<MSG*>(lp);
            msg->message = FilteredMessage(msg->message);
        }
        return CallNextHookEx(nullptr, code, wp, lp);
    });
}
