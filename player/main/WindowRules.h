#pragma once
#include <cstdint>

constexpr std::uint32_t kScScreenSave = 0xF140;
constexpr std::uint32_t kScMonitorPower = 0xF170;
constexpr std::uint32_t kScDragMove = 0xF012;  // SC_MOVE + HTCAPTION: a drag by the caption

// Neither the screen saver nor the display power-off may start through the player. The low four
// bits of a system command belong to the system, so they are masked before comparing.
inline bool SwallowSysCommand(std::uintptr_t command) {
    const auto c = static_cast<std::uint32_t>(command) & 0xFFF0u;
    return c == kScScreenSave || c == kScMonitorPower;
}

// The window closes only after the player itself allowed it.
class CloseGate {
  public:
    bool CloseAllowed() const { return allowed_; }
    void Allow() { allowed_ = true; }

  private:
    bool allowed_ = false;
};

// Offset that centres an inner extent in an outer one, truncating toward zero (negative when the
// inner one is larger).
inline int CentreOffset(int outer, int inner) {
    return (outer - inner) / 2;
}
