#include "MouseFilter.h"

namespace {

constexpr std::uint32_t kMove = 0x200;
constexpr std::uint32_t kLeftDown = 0x201;
constexpr std::uint32_t kLeftUp = 0x202;
constexpr std::uint32_t kLeftDouble = 0x203;
constexpr std::uint32_t kRightDown = 0x204;
constexpr std::uint32_t kRightUp = 0x205;

constexpr std::uint16_t kKeyLeft = 0x0001;
constexpr std::uint16_t kKeyRight = 0x0002;
constexpr std::uint16_t kKeyShift = 0x0004;
constexpr std::uint16_t kKeyControl = 0x0008;
constexpr std::uint16_t kKeyMiddle = 0x0010;

void Add(MouseFilterResult& r, MouseAction::Kind kind, unsigned shift, int x, int y) {
    MouseAction& a = r.actions[r.count++];
    a.kind = kind;
    a.button = MouseButton::Left;
    a.shift = shift;
    a.x = x;
    a.y = y;
}

}  // namespace

unsigned ShiftStateFromKeys(std::uint16_t keys, bool altDown) {
    unsigned s = 0;
    if (keys & kKeyShift) s |= ssShift;
    if (keys & kKeyControl) s |= ssCtrl;
    if (keys & kKeyLeft) s |= ssLeft;
    if (keys & kKeyRight) s |= ssRight;
    if (keys & kKeyMiddle) s |= ssMiddle;
    if (altDown) s |= ssAlt;
    return s;
}

MouseFilterResult MouseFilter::Filter(const MouseMessage& m, bool hasPopupMenu,
                                      const std::function<bool()>& menu) {
    MouseFilterResult r;
    if (m.message < kFirst || m.message > kLast) return r;

    const unsigned shift =
        ShiftStateFromKeys(static_cast<std::uint16_t>(m.wParam & 0xFFFF), m.altDown);
    const auto lp = static_cast<std::uintptr_t>(m.lParam);
    const int x = static_cast<std::int16_t>(lp & 0xFFFF);
    const int y = static_cast<std::int16_t>((lp >> 16) & 0xFFFF);

    switch (m.message) {
        case kMove:
            Add(r, MouseAction::MouseMove, shift, x, y);
            break;
        case kLeftDown:
            Add(r, MouseAction::MouseDown, shift, x, y);
            pressed_ = true;
            break;
        case kLeftUp:
            Add(r, MouseAction::MouseUp, shift, x, y);
            if (pressed_) Add(r, MouseAction::Click, shift, x, y);
            pressed_ = false;
            break;
        case kRightDown:
            pressed_ = true;
            break;
        case kRightUp:
            if (hasPopupMenu && pressed_) {
                pressed_ = false;
                Add(r, MouseAction::ShowPopupMenu, shift, x, y);
            }
            break;
        default:
            break;
    }

    if (m.message == kRightDown && !(menu && menu())) {
        r.toControl = false;
    } else if (LockMouseClick && (m.message == kLeftDown || m.message == kLeftUp ||
                                  m.message == kLeftDouble || m.message == kRightUp)) {
        r.toControl = false;
    }
    return r;
}
