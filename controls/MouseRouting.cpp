#include "MouseRouting.h"

namespace {

bool Inside(const TRect& b, int x, int y) {
    return x >= b.left && x < b.right && y >= b.top && y < b.bottom;
}

const MouseRouter::Child* TopmostAt(const std::vector<MouseRouter::Child>& children, int x, int y,
                                    bool allowDisabled) {
    for (auto it = children.rbegin(); it != children.rend(); ++it)
        if (it->visible && (allowDisabled || it->enabled) && Inside(it->bounds, x, y)) return &*it;
    return nullptr;
}

const MouseRouter::Child* Find(const std::vector<MouseRouter::Child>& children, const void* id) {
    for (const auto& c : children)
        if (c.id == id) return &c;
    return nullptr;
}

void Add(MouseRouter::Result& r, MouseRouter::Action a) {
    r.actions[r.count++] = a;
}

}  // namespace

MouseRouter::Result MouseRouter::Press(const std::vector<Child>& children, TMouseButton button,
                                       int x, int y, bool doubleClick) {
    Result r;
    const Child* target = TopmostAt(children, x, y, false);
    if (!target) return r;
    r.handled = true;
    captured_ = target->id;
    clicked_ = button == TMouseButton::Left && !doubleClick;
    Add(r, {Action::Capture});
    Action press{Action::Press, target->id, button, x - target->bounds.left,
                 y - target->bounds.top};
    press.doubleClick = doubleClick;
    Add(r, press);
    return r;
}

MouseRouter::Result MouseRouter::Release(const std::vector<Child>& children, TMouseButton button,
                                         int x, int y) {
    Result r;
    const void* id = captured_;
    if (!id) return r;
    r.handled = true;
    captured_ = nullptr;
    const bool click = clicked_ && button == TMouseButton::Left;
    clicked_ = false;
    Add(r, {Action::ReleaseCapture});
    const Child* target = Find(children, id);
    if (!target) return r;  // it went while it held the mouse
    Action release{Action::Release, id, button, x - target->bounds.left, y - target->bounds.top};
    release.click = click && Inside(target->bounds, x, y);
    Add(r, release);
    return r;
}

void MouseRouter::SetHot(const void* child, Result& r) {
    if (hot_ == child) return;
    if (hot_) Add(r, {Action::Leave, hot_});
    hot_ = child;
    if (hot_) Add(r, {Action::Enter, hot_});
}

MouseRouter::Result MouseRouter::Move(const std::vector<Child>& children, int x, int y) {
    Result r;
    if (!captured_) {
        const Child* under = TopmostAt(children, x, y, true);
        SetHot(under ? under->id : nullptr, r);
        if (hot_ && !trackingLeave_) Add(r, {Action::TrackLeave});
    }
    const Child* target = Find(children, captured_ ? captured_ : hot_);
    if (target && target->enabled)
        Add(r, {Action::Move, target->id, TMouseButton::Left, x - target->bounds.left,
                y - target->bounds.top});
    // Moves also reach the container's own handling.
    return r;
}

MouseRouter::Result MouseRouter::Left() {
    Result r;
    trackingLeave_ = false;
    if (!captured_) SetHot(nullptr, r);
    return r;
}

void MouseRouter::Removed(const void* child) {
    if (captured_ == child) captured_ = nullptr;
    if (hot_ == child) hot_ = nullptr;
}
