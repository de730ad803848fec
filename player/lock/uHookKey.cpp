#include "uHookKey.h"

#include <algorithm>

namespace hookkey {

KeyAnswer DecideKey(const KeyEvent& e) {
    if (e.code != 0) return KeyAnswer::CallNext;
    if (e.message != kKeyDown && e.message != kKeyUp && e.message != kSysKeyDown &&
        e.message != kSysKeyUp)
        return KeyAnswer::Deliver;
    // In this order; the first row that matches decides.
    const struct {
        std::uint32_t vk;
        bool when;
    } rows[] = {
        {kVkTab, e.altFlag},                               // Alt+Tab
        {kVkEscape, e.altFlag},                            // Alt+Esc
        {kVkLeftWindows, true},                            // the Start menu, either key
        {kVkRightWindows, true}, {kVkApplications, true},  // the context menu key
        {kVkEscape, e.ctrlDown},                           // Ctrl+Esc, also with Shift
        {kVkF4, e.altFlag},                                // Alt+F4
        {kVkSpace, e.altFlag},                             // Alt+Space
    };
    for (const auto& row : rows)
        if (row.vk == e.vkCode && row.when) return KeyAnswer::Swallow;
    return KeyAnswer::Deliver;
}

void KeyHookHolder::Install() {
    if (!hooks_.empty()) return;
    if (const HookHandle hook = system_.Install()) hooks_.push_back(hook);
}

void KeyHookHolder::Remove() {
    RemoveBefore(hooks_.size());
}

void KeyHookHolder::Renew() {
    const HookHandle hook = system_.Install();
    // Refused: the held hooks are all there is.
    if (!hook) return;
    // The system gives out the number of a hook it dropped again: that old one is not there.
    hooks_.erase(std::remove(hooks_.begin(), hooks_.end(), hook), hooks_.end());
    const std::size_t older = hooks_.size();
    hooks_.push_back(hook);
    RemoveBefore(older);
}

void KeyHookHolder::RemoveBefore(std::size_t end) {
    std::vector<HookHandle> kept;
    for (std::size_t i = 0; i < hooks_.size(); ++i)
        if (i >= end || !system_.Remove(hooks_[i])) kept.push_back(hooks_[i]);
    hooks_ = std::move(kept);
}

}  // namespace hookkey
