#pragma once
#include <windows.h>

#include <cstdint>
#include <vector>

#include "Handles_win.h"

// Every other thread of the process suspended for as long as the object lives, so that code they
// may be running can be rewritten under them. What allocates happens before the first thread
// stops (a stopped thread may hold the heap's lock), so nothing done while they are held may
// allocate either. Threads that start meanwhile are not held.
class OtherThreadsHeld {
  public:
    OtherThreadsHeld();
    OtherThreadsHeld(const OtherThreadsHeld&) = delete;
    OtherThreadsHeld& operator=(const OtherThreadsHeld&) = delete;
    ~OtherThreadsHeld();

    // Whether every other thread that exists is held.
    bool Complete() const { return complete_; }

    // Sets each held thread's instruction pointer to what `move` makes of it; false when a
    // thread's position cannot be read or set (the threads moved before it stay moved).
    template <typename Move>
    bool MoveEach(Move&& move) {
        for (const UniqueHandle& thread : threads_) {
            CONTEXT context{};
            context.ContextFlags = CONTEXT_CONTROL;
            if (!GetThreadContext(thread.get(), &context)) return false;
            const std::uint64_t ip = InstructionPointer(context);
            const std::uint64_t to = move(ip);
            if (to == ip) continue;
            SetInstructionPointer(context, to);
            if (!SetThreadContext(thread.get(), &context)) return false;
        }
        return true;
    }

  private:
    static std::uint64_t InstructionPointer(const CONTEXT& context);
    static void SetInstructionPointer(CONTEXT& context, std::uint64_t ip);

    std::vector<UniqueHandle> threads_;
    bool complete_ = false;
};
