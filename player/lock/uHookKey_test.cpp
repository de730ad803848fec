// Which keys the lock's keyboard hook swallows, and the hooks it holds.
#include "uHookKey.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

namespace hookkey {
namespace {

constexpr std::uint32_t kKeyMessages[] = {kKeyDown, kKeyUp, kSysKeyDown, kSysKeyUp};

KeyEvent Key(std::uint32_t vk, bool alt, bool ctrl, std::uint32_t message = kKeyDown) {
    KeyEvent e;
    e.message = message;
    e.vkCode = vk;
    e.altFlag = alt;
    e.ctrlDown = ctrl;
    return e;
}

const char* Name(KeyAnswer a) {
    return a == KeyAnswer::Swallow ? "swallow" : a == KeyAnswer::Deliver ? "deliver" : "next";
}

// Every row of the rules, pressed and released, with and without what it asks for.
TEST(DecideKey, TheRulesSwallowPressAndReleaseOfTheirCombinations) {
    const struct {
        const char* what;
        std::uint32_t vk;
        bool alt, ctrl;
        KeyAnswer answer;
    } cases[] = {
        {"Alt+Tab", kVkTab, true, false, KeyAnswer::Swallow},
        {"Tab", kVkTab, false, false, KeyAnswer::Deliver},
        {"Ctrl+Tab", kVkTab, false, true, KeyAnswer::Deliver},
        {"Alt+Esc", kVkEscape, true, false, KeyAnswer::Swallow},
        {"Escape", kVkEscape, false, false, KeyAnswer::Deliver},
        {"Ctrl+Esc", kVkEscape, false, true, KeyAnswer::Swallow},
        {"Ctrl+Alt+Esc", kVkEscape, true, true, KeyAnswer::Swallow},
        {"left Windows", kVkLeftWindows, false, false, KeyAnswer::Swallow},
        {"right Windows", kVkRightWindows, false, false, KeyAnswer::Swallow},
        {"Alt+right Windows", kVkRightWindows, true, true, KeyAnswer::Swallow},
        {"Applications", kVkApplications, false, false, KeyAnswer::Swallow},
        {"Alt+F4", kVkF4, true, false, KeyAnswer::Swallow},
        {"F4", kVkF4, false, false, KeyAnswer::Deliver},
        {"Ctrl+F4", kVkF4, false, true, KeyAnswer::Deliver},
        {"Alt+Space", kVkSpace, true, false, KeyAnswer::Swallow},
        {"Space", kVkSpace, false, false, KeyAnswer::Deliver},
        {"Ctrl+Space", kVkSpace, false, true, KeyAnswer::Deliver},
        // Delete with Ctrl and Alt is the system's own; the hook lets it be.
        {"Ctrl+Alt+Delete", 0x2E, true, true, KeyAnswer::Deliver},
        {"Alt+A", 'A', true, false, KeyAnswer::Deliver},
        {"Ctrl+F1", 0x70, false, true, KeyAnswer::Deliver},
        {"the Alt key itself", 0x12, true, false, KeyAnswer::Deliver},
        {"the Ctrl key itself", 0x11, false, true, KeyAnswer::Deliver},
    };
    for (const auto& c : cases)
        for (std::uint32_t message : kKeyMessages)
            EXPECT_STREQ(Name(DecideKey(Key(c.vk, c.alt, c.ctrl, message))), Name(c.answer))
                << c.what << " message " << message;
}

TEST(DecideKey, OnlyActionsAreJudgedAndOnlyKeyMessagesSwallowed) {
    KeyEvent notAnAction = Key(kVkLeftWindows, false, false);
    notAnAction.code = 3;  // HC_NOREMOVE
    EXPECT_EQ(DecideKey(notAnAction), KeyAnswer::CallNext);
    notAnAction.code = -1;
    EXPECT_EQ(DecideKey(notAnAction), KeyAnswer::CallNext);
    // Another message of the desktop's keyboard goes on, whatever its key.
    EXPECT_EQ(DecideKey(Key(kVkLeftWindows, false, false, 0x0102)), KeyAnswer::Deliver);
    EXPECT_EQ(DecideKey(Key(kVkF4, true, false, 0x0106)), KeyAnswer::Deliver);
}

// The system's side: numbered hooks, each removal and installation noted.
struct FakeHooks : HookSystem {
    std::vector<std::string> calls;
    std::set<HookHandle> live;
    HookHandle next = 1;
    bool refuseInstall = false;
    std::set<HookHandle> refuseRemove;

    HookHandle Install() override {
        calls.push_back("install");
        if (refuseInstall) return 0;
        live.insert(next);
        return next++;
    }
    bool Remove(HookHandle h) override {
        calls.push_back("remove " + std::to_string(h));
        if (refuseRemove.count(h)) return false;
        live.erase(h);
        return true;
    }
};

using V = std::vector<std::string>;

TEST(KeyHookHolder, InstallingTwiceAndRemovingOnceLeavesNoHook) {
    FakeHooks sys;
    KeyHookHolder holder(sys);
    holder.Install();
    holder.Install();
    EXPECT_EQ(holder.Current(), 1u);
    holder.Remove();
    EXPECT_FALSE(holder.Installed());
    EXPECT_TRUE(sys.live.empty());
    EXPECT_EQ(sys.calls, (V{"install", "remove 1"}));
    // Without a hook nothing happens.
    holder.Remove();
    EXPECT_EQ(sys.calls.size(), 2u);
}

TEST(KeyHookHolder, ARefusedHookIsTriedAgainByTheNextInstall) {
    FakeHooks sys;
    KeyHookHolder holder(sys);
    sys.refuseInstall = true;
    holder.Install();
    EXPECT_FALSE(holder.Installed());
    sys.refuseInstall = false;
    holder.Install();
    EXPECT_TRUE(holder.Installed());
}

TEST(KeyHookHolder, AHookThatRefusesRemovalStaysHeldAndIsRemovedLater) {
    FakeHooks sys;
    KeyHookHolder holder(sys);
    holder.Install();
    sys.refuseRemove = {1};
    holder.Remove();
    EXPECT_EQ(holder.Current(), 1u);
    holder.Install();  // one is held: no second hook
    sys.refuseRemove.clear();
    holder.Remove();
    EXPECT_FALSE(holder.Installed());
    EXPECT_EQ(sys.calls, (V{"install", "remove 1", "remove 1"}));
}

// A hook the system dropped cannot be told from a live one: the new one comes first.
TEST(KeyHookHolder, RenewingInstallsANewHookBeforeTheOldOneGoes) {
    FakeHooks sys;
    KeyHookHolder holder(sys);
    holder.Install();
    holder.Renew();
    EXPECT_EQ(sys.calls, (V{"install", "install", "remove 1"}));
    EXPECT_EQ(holder.Current(), 2u);
    EXPECT_EQ(sys.live, (std::set<HookHandle>{2}));

    // Refused: the old hook stays.
    sys.refuseInstall = true;
    holder.Renew();
    EXPECT_EQ(holder.Current(), 2u);
    EXPECT_EQ(sys.live, (std::set<HookHandle>{2}));
    sys.refuseInstall = false;

    // An old hook that will not go stays held with the new one, and the next removal takes both.
    sys.refuseRemove = {2};
    holder.Renew();
    EXPECT_EQ(holder.Current(), 3u);
    sys.refuseRemove.clear();
    holder.Remove();
    EXPECT_FALSE(holder.Installed());
    EXPECT_TRUE(sys.live.empty());
}

TEST(KeyHookHolder, ANumberGivenOutAgainNamesTheNewHookOnly) {
    FakeHooks sys;
    KeyHookHolder holder(sys);
    holder.Install();
    sys.live.erase(1);  // dropped by the system, which hands its number out again
    sys.next = 1;
    holder.Renew();
    EXPECT_EQ(sys.calls, (V{"install", "install"}));
    EXPECT_EQ(holder.Current(), 1u);
    EXPECT_EQ(sys.live, (std::set<HookHandle>{1}));
}

TEST(KeyHookHolder, RenewingWithoutAHookInstallsOne) {
    FakeHooks sys;
    KeyHookHolder holder(sys);
    holder.Renew();
    EXPECT_EQ(holder.Current(), 1u);
    EXPECT_EQ(sys.calls, (V{"install"}));
}

}  // namespace
}  // namespace hookkey
