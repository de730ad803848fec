#pragma once
#include <cstdint>
#include <vector>

#include "Geometry.h"

enum class TMouseButton { Left, Right, Middle };

// Keys and buttons held during a mouse message (the message's MK_ flags), and whether the press
// is the second of a double click.
struct TShiftState {
    static constexpr std::uintptr_t kLeftButton = 0x0001;  // MK_LBUTTON
    std::uintptr_t keys = 0;
    bool doubleClick = false;
    bool Left() const { return (keys & kLeftButton) != 0; }
};

// How a container hands the mouse to its windowless children. A press goes to the topmost
// visible, enabled child under the pointer, which then keeps the mouse until the release; the
// release is a click when it ends a single left press inside that child. While nothing holds the
// mouse, the child under the pointer (disabled ones too) is the hot one, and moves go to it when
// it is enabled. The container carries out the actions in order.
class MouseRouter {
  public:
    // A child as the router sees it at the time of an event; later children lie above earlier.
    struct Child {
        const void* id;
        TRect bounds;  // in the container's client coordinates
        bool visible;
        bool enabled;
    };

    struct Action {
        enum Kind {
            Capture,         // the container takes the mouse capture
            ReleaseCapture,  // and gives it back (if it still has it)
            TrackLeave,      // the container asks to hear when the pointer leaves it
            Press,
            Release,
            Move,
            Enter,
            Leave,
        } kind;
        const void* child = nullptr;
        TMouseButton button = TMouseButton::Left;
        int x = 0, y = 0;  // in the child's coordinates
        bool doubleClick = false;
        bool click = false;  // Release: the release ends a click
    };
    struct Result {
        bool handled = false;  // a child took the message; else the container's default runs
        int count = 0;
        Action actions[4];
    };

    Result Press(const std::vector<Child>& children, TMouseButton button, int x, int y,
                 bool doubleClick);
    Result Release(const std::vector<Child>& children, TMouseButton button, int x, int y);
    Result Move(const std::vector<Child>& children, int x, int y);
    // The pointer left the container.
    Result Left();
    // The container lost the capture to another window: the press ends without a release.
    void CaptureLost() { captured_ = nullptr; }
    // The container asked for the leave notice; whether the system took the request.
    void LeaveTracked(bool tracking) { trackingLeave_ = tracking; }
    // A child goes away.
    void Removed(const void* child);

    const void* Captured() const { return captured_; }
    const void* Hot() const { return hot_; }

  private:
    void SetHot(const void* child, Result& r);

    const void* captured_ = nullptr;
    bool clicked_ = false;  // the capture began with a single left press
    const void* hot_ = nullptr;
    bool trackingLeave_ = false;
};
