#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>

#include "X86Decode.h"

// Redirecting a function of a loaded module: the bytes written over its entry, and the
// trampoline through which the function's own code still runs while the entry is redirected.
namespace hook {

using Address = std::uint64_t;

// Loads the replacement's address into the accumulator and jumps to it: `mov eax, imm32;
// jmp eax` and a zero byte (8 bytes) on 32-bit x86, `mov rax, imm64; jmp rax` (12 bytes) on
// x86-64. The accumulator is free at a function's entry in both calling conventions.
struct Patch {
    std::array<std::uint8_t, 12> bytes{};
    std::size_t size = 0;
};
Patch EntryPatch(x86::Mode mode, Address replacement);

// The whole instructions that the patch cuts through, moved to other memory, then a jump back to
// the first instruction after them.
struct Trampoline {
    static constexpr std::size_t kCapacity = 128;
    std::array<std::uint8_t, kCapacity> code{};
    std::size_t size = 0;
    std::size_t moved = 0;  // the bytes of the entry that the moved instructions came from
    // Where each moved instruction starts, in the entry and in the trampoline.
    struct Start {
        std::uint8_t entry = 0, trampoline = 0;
    };
    std::array<Start, 16> starts{};
    std::size_t startCount = 0;
};

// Moves the instructions at the start of `entry` (read from address `from`, `available` bytes of
// it readable) that cover `patchSize` bytes to a trampoline at address `at`: operands relative to
// the instruction pointer are adjusted, short branches widened, and the jump back added (an
// absolute indirect jump on x86-64, so the trampoline may lie anywhere). Nothing when an
// instruction is unknown, a target lies inside the moved bytes or out of reach, or the flow ends
// before the patch is covered (the patch would spill over whatever follows).
std::optional<Trampoline> MoveEntry(const std::uint8_t* entry, std::size_t available, Address from,
                                    Address at, x86::Mode mode, std::size_t patchSize);

// Where a thread stopped at `ip` while the patch goes in continues: one inside the moved
// instructions goes on at the same instruction in the trampoline; any other stays.
Address ResumeAfterPatch(const Trampoline& trampoline, Address entry, Address trampolineAt,
                         Address ip);

// Where a thread stopped at `ip` while the entry's own bytes come back continues: one between the
// patch's load of the replacement's address and its jump goes on in the replacement, which the
// jump would have reached.
Address ResumeAfterRestore(x86::Mode mode, Address entry, Address replacement, Address ip);

}  // namespace hook
