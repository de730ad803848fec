// The decoder and the trampoline over any bytes of a function's entry. An input is one byte of
// mode (its low bit: 64-bit), eight of the entry's address, eight of the trampoline's, then the
// entry. Decoding reads nothing past an instruction and never more than 15 bytes; a trampoline
// holds the moved instructions, each leading where the original did (a widened branch with the
// same condition), then a jump back to the first instruction after them.
#include <cstddef>
#include <cstdint>
#include <optional>

#include "FuzzCheck.h"
#include "X86Decode.h"
#include "unitHook.h"

namespace {

using hook::Address;

Address Wrap(x86::Mode mode, Address a) {
    return mode == x86::Mode::Bits64 ? a : a & 0xFFFFFFFF;
}

Address Read64(const std::uint8_t* p) {
    Address v = 0;
    for (int i = 7; i >= 0; --i) v = v << 8 | p[i];
    return v;
}

std::int32_t Read32(const std::uint8_t* p) {
    std::uint32_t v = 0;
    for (int i = 3; i >= 0; --i) v = v << 8 | p[i];
    return static_cast<std::int32_t>(v);
}

void CheckDecode(const std::uint8_t* code, std::size_t n, x86::Mode mode) {
    const x86::Instruction ins = x86::Decode(code, n, mode);
    if (ins.length == 0) return;
    FUZZ_CHECK(ins.length <= 15 && ins.length <= n);
    FUZZ_CHECK(ins.opcodeAt < ins.length);
    if (ins.relative != x86::Relative::None) FUZZ_CHECK(ins.relativeAt < ins.length);
    // Exactly its own bytes decide it.
    const x86::Instruction alone = x86::Decode(code, ins.length, mode);
    FUZZ_CHECK(alone.length == ins.length && alone.relative == ins.relative &&
               alone.relativeAt == ins.relativeAt && alone.endsFlow == ins.endsFlow);
}

void CheckTrampoline(const std::uint8_t* entry, std::size_t n, Address from, Address at,
                     x86::Mode mode) {
    const std::size_t patch = mode == x86::Mode::Bits64 ? 12 : 8;
    const auto t = hook::MoveEntry(entry, n, from, at, mode, patch);
    if (!t) return;
    FUZZ_CHECK(t->moved >= patch && t->moved <= n && t->size <= t->code.size());
    FUZZ_CHECK(t->startCount > 0 && t->starts[0].entry == 0 && t->starts[0].trampoline == 0);
    std::size_t end = 0;
    for (std::size_t i = 0; i < t->startCount; ++i) {
        const auto [in, out] = t->starts[i];
        FUZZ_CHECK(out == end);
        const x86::Instruction original = x86::Decode(entry + in, n - in, mode);
        const x86::Instruction moved = x86::Decode(t->code.data() + out, t->size - out, mode);
        FUZZ_CHECK(original.length != 0 && moved.length != 0);
        FUZZ_CHECK(x86::Target(entry + in, original, from + in, mode) ==
                   x86::Target(t->code.data() + out, moved, at + out, mode));
        if (original.relative == x86::Relative::Conditional8)
            FUZZ_CHECK(moved.relative == x86::Relative::Conditional32 &&
                       (t->code[out + 1] & 0x0F) == (entry[in + original.opcodeAt] & 0x0F));
        if (original.relative == x86::Relative::None)
            for (std::size_t k = 0; k < original.length; ++k)
                FUZZ_CHECK(t->code[out + k] == entry[in + k]);
        end = out + moved.length;
        if (i + 1 < t->startCount)
            FUZZ_CHECK(t->starts[i + 1].entry == in + original.length);
        else
            FUZZ_CHECK(in + original.length == t->moved);
    }
    const Address back = Wrap(mode, from + t->moved);
    if (mode == x86::Mode::Bits64) {
        FUZZ_CHECK(t->size == end + 14 && t->code[end] == 0xFF && t->code[end + 1] == 0x25 &&
                   Read32(t->code.data() + end + 2) == 0 &&
                   Read64(t->code.data() + end + 6) == back);
    } else {
        const x86::Instruction jump = x86::Decode(t->code.data() + end, t->size - end, mode);
        FUZZ_CHECK(t->size == end + 5 && jump.relative == x86::Relative::Jump32 &&
                   x86::Target(t->code.data() + end, jump, at + end, mode) == back);
    }
    // A thread stopped inside the moved instructions goes on inside the trampoline.
    for (std::size_t i = 1; i < t->startCount; ++i) {
        const Address resumed = hook::ResumeAfterPatch(*t, from, at, from + t->starts[i].entry);
        FUZZ_CHECK(resumed == at + t->starts[i].trampoline);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 17) return 0;
    const x86::Mode mode = (data[0] & 1) ? x86::Mode::Bits64 : x86::Mode::Bits32;
    const Address from = Wrap(mode, Read64(data + 1)), at = Wrap(mode, Read64(data + 9));
    const std::uint8_t* entry = data + 17;
    const std::size_t n = size - 17;
    for (std::size_t i = 0; i < n && i < 32; ++i) CheckDecode(entry + i, n - i, mode);
    CheckTrampoline(entry, n, from, at, mode);
    return 0;
}
