// The patch over a function's entry, the trampoline its first instructions move to, and where
// threads caught in the entry go on.
#include "unitHook.h"

#include <gtest/gtest.h>

#include <optional>
#include <vector>

namespace {

using hook::Address;
using x86::Mode;
using Bytes = std::vector<std::uint8_t>;

// The entry of waveOutWrite of Wine's 64-bit winmm: four pushes, sub rsp and a lea from rip that
// the 12-byte patch cuts through.
const Bytes kWaveOutWrite64 = {0x55, 0x57, 0x56, 0x53, 0x48, 0x83, 0xEC, 0x48, 0x48, 0x8D,
                               0x3D, 0xE1, 0xA1, 0x00, 0x00, 0x48, 0x89, 0xCB, 0x48, 0x89};
constexpr Address kFrom64 = 0x2945FA3A0;

// Where the relative instruction at `address` leads; nothing for one that is not relative.
std::optional<Address> TargetOf(const std::uint8_t* code, std::size_t n, Address address,
                                Mode mode) {
    return x86::Target(code, x86::Decode(code, n, mode), address, mode);
}

TEST(EntryPatch, LoadsTheReplacementIntoTheAccumulatorAndJumps) {
    const hook::Patch p32 = hook::EntryPatch(Mode::Bits32, 0x12345678);
    EXPECT_EQ(Bytes(p32.bytes.begin(), p32.bytes.begin() + p32.size),
              (Bytes{0xB8, 0x78, 0x56, 0x34, 0x12, 0xFF, 0xE0, 0x00}));
    const hook::Patch p64 = hook::EntryPatch(Mode::Bits64, 0x1122334455667788);
    EXPECT_EQ(Bytes(p64.bytes.begin(), p64.bytes.begin() + p64.size),
              (Bytes{0x48, 0xB8, 0x88, 0x77, 0x66, 0x55, 0x44, 0x33, 0x22, 0x11, 0xFF, 0xE0}));
}

TEST(MoveEntry, ARipRelativeOperandStillAddressesTheSameData) {
    const Address at = kFrom64 - 0x10000000;
    const auto t = hook::MoveEntry(kWaveOutWrite64.data(), kWaveOutWrite64.size(), kFrom64, at,
                                   Mode::Bits64, 12);
    ASSERT_TRUE(t);
    EXPECT_EQ(t->moved, 15u);
    EXPECT_EQ(Bytes(t->code.begin(), t->code.begin() + 8),
              Bytes(kWaveOutWrite64.begin(), kWaveOutWrite64.begin() + 8));
    EXPECT_EQ(TargetOf(t->code.data() + 8, 7, at + 8, Mode::Bits64),
              TargetOf(kWaveOutWrite64.data() + 8, 7, kFrom64 + 8, Mode::Bits64));
    // jmp [rip+0] to the instruction after the moved ones.
    Bytes back{0xFF, 0x25, 0, 0, 0, 0};
    for (int i = 0; i < 8; ++i)
        back.push_back(static_cast<std::uint8_t>((kFrom64 + 15) >> (8 * i)));
    EXPECT_EQ(Bytes(t->code.begin() + 15, t->code.begin() + t->size), back);
}

TEST(MoveEntry, BranchesKeepTheirTargetsAndShortOnesWiden) {
    const struct {
        const char* what;
        Mode mode;
        Bytes entry;
        Address from, at;
        std::size_t patch, moved;
    } cases[] = {
        {"hot-patch prologue, jz rel8",
         Mode::Bits32,
         {0x8B, 0xFF, 0x55, 0x8B, 0xEC, 0x74, 0x10, 0x56, 0x57},
         0x6B401000,
         0x00340000,
         8,
         8},
        {"call rel32 from far away",
         Mode::Bits32,
         {0x55, 0x89, 0xE5, 0xE8, 1, 2, 3, 4, 0x90},
         0x10000000,
         0xF0000000,
         8,
         8},
        {"rip operand and a jmp rel8 that ends the entry",
         Mode::Bits64,
         {0x48, 0x83, 0xEC, 0x28, 0x48, 0x8B, 0x05, 1, 2, 3, 4, 0xEB, 0x10, 0xCC},
         kFrom64,
         kFrom64 + 0x7FF00000,
         12,
         13},
        {"jne rel32 backwards",
         Mode::Bits64,
         {0x48, 0x85, 0xC9, 0x0F, 0x85, 0x00, 0xFF, 0xFF, 0xFF, 0x55, 0x57, 0x56, 0x90},
         kFrom64,
         kFrom64 + 0x1000,
         12,
         12},
        {"another hook's patch",
         Mode::Bits64,
         {0x48, 0xB8, 1, 2, 3, 4, 5, 6, 7, 8, 0xFF, 0xE0, 0xCC},
         kFrom64,
         0x10000,
         12,
         12},
    };
    for (const auto& c : cases) {
        const auto t =
            hook::MoveEntry(c.entry.data(), c.entry.size(), c.from, c.at, c.mode, c.patch);
        ASSERT_TRUE(t) << c.what;
        EXPECT_EQ(t->moved, c.moved) << c.what;
        // Each moved instruction leads where the original did; a widened one keeps its condition.
        for (std::size_t i = 0; i < t->startCount; ++i) {
            const auto [in, out] = t->starts[i];
            const auto before =
                TargetOf(c.entry.data() + in, c.entry.size() - in, c.from + in, c.mode);
            const auto after = TargetOf(t->code.data() + out, t->size - out, c.at + out, c.mode);
            EXPECT_EQ(before, after) << c.what << ", instruction " << i;
            if (c.entry[in] >= 0x70 && c.entry[in] <= 0x7F) {
                EXPECT_EQ(t->code[out + 1], 0x80 | (c.entry[in] & 0x0F)) << c.what;
            }
        }
        // Then back to the rest of the function.
        const std::size_t last = t->starts[t->startCount - 1].trampoline;
        const std::size_t end =
            last + x86::Decode(t->code.data() + last, t->size - last, c.mode).length;
        if (c.mode == Mode::Bits32) {
            ASSERT_EQ(t->size, end + 5) << c.what;
            EXPECT_EQ(TargetOf(t->code.data() + end, 5, c.at + end, c.mode), c.from + c.moved)
                << c.what;
        } else {
            ASSERT_EQ(t->size, end + 14) << c.what;
            Address back = 0;
            for (int i = 7; i >= 0; --i) back = back << 8 | t->code[end + 6 + i];
            EXPECT_EQ(back, c.from + c.moved) << c.what;
        }
    }
}

TEST(MoveEntry, LeavesAloneWhatItCannotMove) {
    const struct {
        const char* what;
        Mode mode;
        Bytes entry;
        Address at;
    } cases[] = {
        {"an unknown instruction",
         Mode::Bits64,
         {0x55, 0xC5, 0xF8, 0x77, 0x90, 0x90, 0x90, 0x90, 0x90, 0x90, 0x90, 0x90, 0x90},
         kFrom64},
        {"a jump before the patch is covered",
         Mode::Bits64,
         {0xFF, 0x25, 1, 2, 3, 4, 0xCC, 0xCC, 0xCC, 0xCC, 0xCC, 0xCC, 0xCC},
         kFrom64},
        {"a 32-bit patch ends before its eighth byte",
         Mode::Bits32,
         {0xB8, 1, 2, 3, 4, 0xFF, 0xE0, 0x00, 0x90},
         0x1000},
        {"a branch into the moved bytes",
         Mode::Bits32,
         {0x74, 0x02, 0x55, 0x56, 0x57, 0x53, 0x51, 0x52, 0x90},
         0x1000},
        {"a loop", Mode::Bits32, {0xE3, 0x10, 0x55, 0x56, 0x57, 0x53, 0x51, 0x52, 0x90}, 0x1000},
        {"data beyond 32-bit reach", Mode::Bits64, kWaveOutWrite64, kFrom64 + 0x100000000},
        {"an entry cut short", Mode::Bits64,
         Bytes(kWaveOutWrite64.begin(), kWaveOutWrite64.begin() + 13), kFrom64 - 0x1000},
    };
    for (const auto& c : cases) {
        const bool x64 = c.mode == Mode::Bits64;
        EXPECT_FALSE(hook::MoveEntry(c.entry.data(), c.entry.size(), x64 ? kFrom64 : 0x6B401000,
                                     c.at, c.mode, x64 ? 12 : 8))
            << c.what;
    }
}

TEST(Resume, ThreadsInsideTheEntryGoOnWhereTheSameInstructionNowIs) {
    // jz rel8 widens by four bytes, so the push after it moves from 7 to 11.
    const Bytes entry{0x8B, 0xFF, 0x55, 0x8B, 0xEC, 0x74, 0x10, 0x56, 0x57};
    const Address from = 0x6B401000, at = 0x340000;
    const auto t = hook::MoveEntry(entry.data(), entry.size(), from, at, Mode::Bits32, 8);
    ASSERT_TRUE(t);
    const struct {
        Address ip, resumes;
    } patching[] = {
        {from, from},          // at the entry it runs the patch
        {from + 2, at + 2},    // push ebp
        {from + 5, at + 5},    // jz
        {from + 7, at + 11},   // push esi, after the widened jz
        {from + 8, from + 8},  // past the moved instructions
        {from + 1, from + 1},  // no instruction starts there
        {0x401000, 0x401000},  // elsewhere
    };
    for (const auto& p : patching)
        EXPECT_EQ(hook::ResumeAfterPatch(*t, from, at, p.ip), p.resumes) << std::hex << p.ip;

    // Restoring: only a thread between the patch's load and its jump has to move.
    const Address replacement = 0x401234;
    EXPECT_EQ(hook::ResumeAfterRestore(Mode::Bits32, from, replacement, from + 5), replacement);
    EXPECT_EQ(hook::ResumeAfterRestore(Mode::Bits32, from, replacement, from), from);
    EXPECT_EQ(hook::ResumeAfterRestore(Mode::Bits64, kFrom64, replacement, kFrom64 + 10),
              replacement);
    EXPECT_EQ(hook::ResumeAfterRestore(Mode::Bits64, kFrom64, replacement, kFrom64 + 5),
              kFrom64 + 5);
}

}  // namespace
