#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>

// One x86 instruction, as far as moving the first instructions of a function to other memory
// needs it: its length, whether execution falls through it, and the part of it that depends on
// where it sits. The decoder knows the general-purpose, x87 and SSE instructions that compilers
// put at function entries; anything else (VEX and EVEX, 16-bit addressing, far pointers, the
// address-size prefix) comes back unknown, never guessed.
namespace x86 {

enum class Mode : std::uint8_t { Bits32, Bits64 };

// The position-dependent part of an instruction.
enum class Relative : std::uint8_t {
    None,
    Memory,        // a memory operand addressed from the next instruction (64-bit mode only)
    Jump8,         // jmp rel8
    Conditional8,  // jcc rel8
    Loop8,         // loop, loope, loopne, jcxz: no 32-bit form
    Jump32,        // jmp rel32
    Conditional32,
    Call32,
};

struct Instruction {
    std::uint8_t length = 0;  // 0: not an instruction this decoder knows (or cut off)
    std::uint8_t opcodeAt = 0;
    Relative relative = Relative::None;
    std::uint8_t relativeAt = 0;  // where its 32-bit displacement or its branch offset sits
    bool endsFlow = false;        // what follows it is never reached from it (ret, jmp, int3, ...)
};

// Decodes the instruction at `code`, reading none of the bytes from `available` on.
Instruction Decode(const std::uint8_t* code, std::size_t available, Mode mode);

// Where the relative part of `ins` (decoded at `code`, which sits at `address`) leads: a branch's
// target or a memory operand's address. Nothing for an instruction without one.
std::optional<std::uint64_t> Target(const std::uint8_t* code, const Instruction& ins,
                                    std::uint64_t address, Mode mode);

}  // namespace x86
