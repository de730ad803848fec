#pragma once
#include <cstdint>
#include <vector>

// The keyboard hook of the lock mode: which keys of the whole desktop it swallows, and the hooks
// it holds.
namespace hookkey {

// Keyboard messages the hook is told about.
constexpr std::uint32_t kKeyDown = 0x0100;
constexpr std::uint32_t kKeyUp = 0x0101;
constexpr std::uint32_t kSysKeyDown = 0x0104;
constexpr std::uint32_t kSysKeyUp = 0x0105;

// Virtual keys of the rules.
constexpr std::uint32_t kVkTab = 0x09;
constexpr std::uint32_t kVkEscape = 0x1B;
constexpr std::uint32_t kVkSpace = 0x20;
constexpr std::uint32_t kVkLeftWindows = 0x5B;
constexpr std::uint32_t kVkRightWindows = 0x5C;
constexpr std::uint32_t kVkApplications = 0x5D;
constexpr std::uint32_t kVkF4 = 0x73;

// One keyboard event as the hook sees it.
struct KeyEvent {
    int code = 0;  // the hook code; 0 is an event to act on
    std::uint32_t message = 0;
    std::uint32_t vkCode = 0;
    bool altFlag = false;   // the event's own Alt flag
    bool ctrlDown = false;  // Ctrl held, as the thread's key state says
};

enum class KeyAnswer {
    CallNext,  // not ours to judge: the next hook answers
    Deliver,   // the key reaches its window (answer 0)
    Swallow,   // no window gets the key (answer 1)
};

// What the hook answers. The keys that switch away from the player, open the Start menu, close
// a window or open its menu are swallowed, pressed and released alike; every other key goes on.
// Neither answer for a key message calls the next hook.
KeyAnswer DecideKey(const KeyEvent& event);

using HookHandle = std::uintptr_t;

// The system's side of a hook.
class HookSystem {
  public:
    virtual ~HookSystem() = default;
    // A new hook; 0 when the system refuses one.
    virtual HookHandle Install() = 0;
    // True when the hook is gone: removed now, or removed by the system earlier.
    virtual bool Remove(HookHandle hook) = 0;
};

// The hooks the program holds. The system silently drops a low-level hook that once answers too
// slowly, so the holder renews it: a new hook first, then the older ones go. A hook whose
// removal fails stays held, and the next removal tries it again.
class KeyHookHolder {
  public:
    explicit KeyHookHolder(HookSystem& system) : system_(system) {}

    // Installs a hook unless one is held.
    void Install();
    void Remove();
    void Renew();
    bool Installed() const { return !hooks_.empty(); }
    // The newest hook, 0 when none is held.
    HookHandle Current() const { return hooks_.empty() ? 0 : hooks_.back(); }

  private:
    // Removes the held hooks before `end`, keeping those that refuse.
    void RemoveBefore(std::size_t end);

    HookSystem& system_;
    std::vector<HookHandle> hooks_;  // oldest first
};

}  // namespace hookkey
