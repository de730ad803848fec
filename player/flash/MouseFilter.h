#pragma once
#include <cstdint>
#include <functional>

// Shift state of a mouse event.
enum ShiftFlag : unsigned {
    ssShift = 1,
    ssAlt = 2,
    ssCtrl = 4,
    ssLeft = 8,
    ssRight = 16,
    ssMiddle = 32,
};
// From the key bits of a mouse message's first parameter, plus whether Alt is down.
unsigned ShiftStateFromKeys(std::uint16_t keys, bool altDown);

enum class MouseButton { Left, Right, Middle };

// Something the movie host does for a mouse message before deciding on the message itself.
struct MouseAction {
    enum Kind { MouseDown, MouseUp, MouseMove, Click, ShowPopupMenu } kind = MouseMove;
    MouseButton button = MouseButton::Left;  // MouseDown and MouseUp
    unsigned shift = 0;                      // MouseDown, MouseUp, MouseMove
    int x = 0, y = 0;                        // client coordinates; the popup menu's too
};

struct MouseMessage {
    std::uint32_t message = 0;
    std::uintptr_t wParam = 0;
    std::intptr_t lParam = 0;
    bool altDown = false;
};

struct MouseFilterResult {
    bool toControl = true;  // false: the message is swallowed with result 0
    int count = 0;
    MouseAction actions[2];  // in the order they happen
};

// The movie host's mouse rules: its own events, the pressed flag shared by both buttons, the
// popup menu on right release, and which messages the control may see.
class MouseFilter {
  public:
    static constexpr std::uint32_t kFirst = 0x200;  // pointer move
    static constexpr std::uint32_t kLast = 0x20A;   // wheel

    bool LockMouseClick = false;  // clicks do not reach the control, the events still happen

    // `hasPopupMenu`: a popup menu is set. `menu` reads the control's Menu property; it is asked
    // only for a right press. Messages outside the mouse range pass untouched.
    MouseFilterResult Filter(const MouseMessage& m, bool hasPopupMenu,
                             const std::function<bool()>& menu);

    bool Pressed() const { return pressed_; }

  private:
    bool pressed_ = false;
};
