// The program's keyboard hook against the system's own hook functions.
#include "uHookKey_win.h"

#include <gtest/gtest.h>
#include <windows.h>

namespace {

// Whether a hook handle still names a hook: removing it tells (and removes it).
bool StillThere(HHOOK hook) {
    if (UnhookWindowsHookEx(hook)) return true;
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HOOK_HANDLE));
    return false;
}

TEST(KeyHook, InstallingTwiceThenRemovingOnceLeavesNoHook) {
    hookkey::InstallKeyHook();
    const HHOOK first = hookkey::CurrentKeyHook();
    ASSERT_NE(first, nullptr);
    hookkey::InstallKeyHook();
    EXPECT_EQ(hookkey::CurrentKeyHook(), first);
    hookkey::RemoveKeyHook();
    EXPECT_FALSE(hookkey::KeyHookInstalled());
    EXPECT_EQ(hookkey::CurrentKeyHook(), nullptr);
    EXPECT_FALSE(StillThere(first));
}

TEST(KeyHook, RemovingWithoutAHookDoesNothing) {
    ASSERT_FALSE(hookkey::KeyHookInstalled());
    hookkey::RemoveKeyHook();
    EXPECT_FALSE(hookkey::KeyHookInstalled());
    // And a hook installed afterwards is a hook as before.
    hookkey::InstallKeyHook();
    EXPECT_TRUE(hookkey::KeyHookInstalled());
    hookkey::RemoveKeyHook();
}

TEST(KeyHook, RenewingReplacesTheHookAlsoOneRemovedBehindItsBack) {
    hookkey::InstallKeyHook();
    const HHOOK first = hookkey::CurrentKeyHook();
    hookkey::RenewKeyHook();
    const HHOOK second = hookkey::CurrentKeyHook();
    ASSERT_NE(second, nullptr);
    EXPECT_NE(second, first);
    EXPECT_FALSE(StillThere(first)) << "the old hook went";

    // Gone without the holder's knowing, as when the system drops a slow hook.
    ASSERT_TRUE(UnhookWindowsHookEx(second));
    hookkey::RenewKeyHook();
    // The system may give the dropped hook's number out again.
    const HHOOK third = hookkey::CurrentKeyHook();
    ASSERT_NE(third, nullptr);
    hookkey::RemoveKeyHook();
    EXPECT_FALSE(hookkey::KeyHookInstalled());
    EXPECT_FALSE(StillThere(third));
}

}  // namespace
