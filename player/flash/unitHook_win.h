#pragma once
#include <windows.h>

#include <array>
#include <atomic>
#include <cstdint>

#include "unitHook.h"

// Redirects one exported function of a module to a replacement with the same arguments, calling
// convention and result, by writing a jump over the function's entry. The function's own code
// stays callable through a trampoline, so the entry keeps its patch for as long as the hook
// lives and a caller on another thread never gets past it. While an entry is rewritten the
// process's other threads are held, and one caught inside the bytes that change is moved to
// where the same instruction now is.
class TNtHookClass {
  public:
    // Finds `module` among the loaded ones, or loads it, looks up `function`, makes `callThrough`
    // lead to the function's own code and patches the entry. A module or function that is not
    // found, an entry that cannot be read, or one whose first instructions cannot be moved leave
    // the hook unusable: the function then runs as it is.
    TNtHookClass(const char* module, const char* function, void* replacement,
                 std::atomic<void*>& callThrough);
    TNtHookClass(const TNtHookClass&) = delete;
    TNtHookClass& operator=(const TNtHookClass&) = delete;
    // Unhook.
    ~TNtHookClass();

    // Patches the entry, if usable and it still holds the bytes saved from it.
    void Hook();
    // Writes the saved bytes back, if usable and the entry still holds this hook's patch.
    void Unhook();
    bool Usable() const { return usable_; }

  private:
    bool Rewrite(bool patching);

    void* target_ = nullptr;
    void* const replacement_;
    const hook::Patch patch_;
    std::array<std::uint8_t, 12> saved_{};
    bool usable_ = false;
    void* trampolineAt_ = nullptr;
    hook::Trampoline trampoline_;
};
