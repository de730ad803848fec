// The lock button's switch: what locking and unlocking do, in order, and what a cancelled
// dialog leaves.
#include "LockMode.h"

#include <gtest/gtest.h>

#include <deque>
#include <string>
#include <vector>

namespace {

using V = std::vector<std::string>;

std::string NameOf(ButtonId b) {
    switch (b) {
        case ButtonId::ImgBut_min:
            return "min";
        case ButtonId::ImgBut_max:
            return "max";
        case ButtonId::ImgBut_close:
            return "close";
        default:
            return std::to_string(static_cast<int>(b) - static_cast<int>(ButtonId::ImgButton1) + 1);
    }
}

// The window, the guards and the dialog: every call becomes a line, in order.
struct Recorder : LockView, LockGuards, UnlockDialog {
    V calls;
    bool sel = false;
    bool normal = true;
    std::deque<ModalResult> answers;  // what the dialog answers, one per showing

    bool LockButtonSel() const override { return sel; }
    void SetLockButtonSel(bool s) override {
        sel = s;
        calls.push_back(s ? "sel on" : "sel off");
    }
    bool WindowNormal() const override { return normal; }
    void MaximizeWindow() override {
        normal = false;
        calls.push_back("maximize");
    }
    void SetEnabled(ButtonId b, bool e) override {
        calls.push_back((e ? "enable " : "disable ") + NameOf(b));
    }
    void SetAllowScriptAccess(const std::string& v) override { calls.push_back("script " + v); }
    void InstallKeyHook() override { calls.push_back("key hook on"); }
    void RemoveKeyHook() override { calls.push_back("key hook off"); }
    void InstallMessageFilter() override { calls.push_back("filter on"); }
    void RemoveMessageFilter() override { calls.push_back("filter off"); }
    ModalResult ShowModal() override {
        calls.push_back("dialog");
        const ModalResult r = answers.front();
        answers.pop_front();
        return r;
    }
};

const V kLocking{"key hook on", "filter on",     "script never", "disable min",
                 "disable max", "disable close", "disable 1",    "disable 3",
                 "disable 4",   "disable 5",     "disable 6",    "disable 7"};
const V kUnlocking{"sel off",    "key hook off", "filter off", "script sameDomain",
                   "enable min", "enable close", "enable max", "enable 1"};
const V kMemberButtons{"enable 3", "enable 4", "enable 5", "enable 6", "enable 7"};

V Join(V a, const V& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

class LockModeTest : public ::testing::Test {
  protected:
    PlayerState state_;
    Recorder r_;
    LockMode lock_{{r_, r_, r_, state_}};
};

TEST_F(LockModeTest, LockingANormalWindowMaximisesItAndAsksNothing) {
    lock_.ImgButton2Click();
    EXPECT_EQ(r_.calls, Join({"sel on", "maximize"}, kLocking));
    EXPECT_TRUE(lock_.Locked());
}

TEST_F(LockModeTest, LockingAMaximisedWindowKeepsItSo) {
    r_.normal = false;
    lock_.ImgButton2Click();
    EXPECT_EQ(r_.calls, Join({"sel on"}, kLocking));
}

TEST_F(LockModeTest, UnlockingAsksForThePasswordAndLeavesTheWindowMaximised) {
    const struct {
        const char* what;
        bool loggedIn;
        V calls;
    } cases[] = {
        {"no member logged in", false, Join({"dialog"}, kUnlocking)},
        {"a member logged in", true, Join(Join({"dialog"}, kUnlocking), kMemberButtons)},
    };
    for (const auto& c : cases) {
        state_.SiteLoggedIn = c.loggedIn;
        lock_.ImgButton2Click();
        r_.calls.clear();
        r_.answers = {ModalResult::OK};
        lock_.ImgButton2Click();
        EXPECT_EQ(r_.calls, c.calls) << c.what;
        EXPECT_FALSE(lock_.Locked()) << c.what;
        EXPECT_FALSE(r_.normal) << c.what;
    }
}

TEST_F(LockModeTest, ACancelledDialogChangesNothing) {
    lock_.ImgButton2Click();
    r_.calls.clear();
    r_.answers = {ModalResult::Cancel, ModalResult::Cancel};
    lock_.ImgButton2Click();
    lock_.ImgButton2Click();
    EXPECT_EQ(r_.calls, (V{"dialog", "dialog"}));
    EXPECT_TRUE(lock_.Locked());
}

// Clicks in a row, with the dialog's answers: the state after each.
TEST_F(LockModeTest, TheStateFollowsTheClicksAndTheDialogsAnswers) {
    r_.answers = {ModalResult::Cancel, ModalResult::OK, ModalResult::OK};
    std::vector<bool> states;
    for (int i = 0; i < 6; ++i) {
        lock_.ImgButton2Click();
        states.push_back(lock_.Locked());
    }
    // lock; cancel; unlock; lock; unlock; lock
    EXPECT_EQ(states, (std::vector<bool>{true, true, false, true, false, true}));
    EXPECT_TRUE(r_.answers.empty());
    int hooks = 0;
    for (const auto& c : r_.calls) hooks += c == "key hook on" ? 1 : c == "key hook off" ? -1 : 0;
    EXPECT_EQ(hooks, 1) << "one hook while locked";
}

}  // namespace
