// Lengths and position-dependent parts of the instructions found at function entries, in both
// modes, and the instructions the decoder leaves unknown.
#include "X86Decode.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace {

using x86::Mode;
using x86::Relative;
using Bytes = std::vector<std::uint8_t>;

struct Case {
    const char* what;
    Mode mode;
    Bytes code;
    int length;  // 0: unknown
    Relative relative = Relative::None;
    int relativeAt = 0;
    bool endsFlow = false;
};

void Check(const Case& c) {
    // Bytes after the instruction never matter; a few follow it here.
    Bytes padded = c.code;
    padded.insert(padded.end(), {0xCC, 0x90, 0x90});
    const x86::Instruction ins = x86::Decode(padded.data(), padded.size(), c.mode);
    EXPECT_EQ(ins.length, c.length) << c.what;
    if (c.length == 0) return;
    EXPECT_EQ(ins.relative, c.relative) << c.what;
    if (c.relative != Relative::None) {
        EXPECT_EQ(ins.relativeAt, c.relativeAt) << c.what;
    }
    EXPECT_EQ(ins.endsFlow, c.endsFlow) << c.what;
    // One byte short of the instruction is no instruction.
    EXPECT_EQ(x86::Decode(c.code.data(), c.code.size() - 1, c.mode).length, 0) << c.what;
}

constexpr Mode k64 = Mode::Bits64, k32 = Mode::Bits32;

TEST(X86Decode, InstructionsOfFunctionEntries64) {
    const Case cases[] = {
        {"push rbp", k64, {0x55}, 1},
        {"push r13", k64, {0x41, 0x55}, 2},
        {"sub rsp, imm8", k64, {0x48, 0x83, 0xEC, 0x48}, 4},
        {"sub rsp, imm32", k64, {0x48, 0x81, 0xEC, 0x88, 0x00, 0x00, 0x00}, 7},
        {"lea rdi, [rip+disp32]",
         k64,
         {0x48, 0x8D, 0x3D, 0xE1, 0xA1, 0x00, 0x00},
         7,
         Relative::Memory,
         3},
        {"lea r8, [rip+disp32]", k64, {0x4C, 0x8D, 0x05, 1, 2, 3, 4}, 7, Relative::Memory, 3},
        {"cmp byte [rip+disp32], imm8",
         k64,
         {0x80, 0x3D, 1, 2, 3, 4, 0x00},
         7,
         Relative::Memory,
         2},
        {"test byte [rip+disp32], imm8",
         k64,
         {0xF6, 0x05, 0xD4, 0, 0, 0, 0x08},
         7,
         Relative::Memory,
         2},
        {"mov [rsp+8], rbx (SIB, disp8)", k64, {0x48, 0x89, 0x5C, 0x24, 0x08}, 5},
        {"mov eax, [rbp+rcx*4+disp32]", k64, {0x8B, 0x84, 0x8D, 1, 2, 3, 4}, 7},
        {"mov eax, [disp32] through SIB is absolute", k64, {0x8B, 0x04, 0x25, 1, 2, 3, 4}, 7},
        {"mov rax, imm64", k64, {0x48, 0xB8, 1, 2, 3, 4, 5, 6, 7, 8}, 10},
        {"mov rax, imm32 sign-extended", k64, {0x48, 0xC7, 0xC0, 1, 2, 3, 4}, 7},
        {"mov ax, imm16", k64, {0x66, 0xB8, 0x34, 0x12}, 4},
        {"mov eax, moffs64", k64, {0xA1, 1, 2, 3, 4, 5, 6, 7, 8}, 9},
        {"test rcx, imm32 (group F7)", k64, {0x48, 0xF7, 0xC1, 1, 2, 3, 4}, 7},
        {"neg rcx (group F7, no immediate)", k64, {0x48, 0xF7, 0xD9}, 3},
        {"endbr64", k64, {0xF3, 0x0F, 0x1E, 0xFA}, 4},
        {"nop word [rax+rax]", k64, {0x66, 0x0F, 0x1F, 0x44, 0x00, 0x00}, 6},
        {"movaps [rsp+0x20], xmm6", k64, {0x0F, 0x29, 0x74, 0x24, 0x20}, 5},
        {"pshufb (0F 38)", k64, {0x66, 0x0F, 0x38, 0x00, 0xC1}, 5},
        {"palignr (0F 3A, imm8)", k64, {0x66, 0x0F, 0x3A, 0x0F, 0xC1, 0x08}, 6},
        {"popcnt", k64, {0xF3, 0x48, 0x0F, 0xB8, 0xC1}, 5},
        {"enter", k64, {0xC8, 0x10, 0x00, 0x00}, 4},
        {"ret", k64, {0xC3}, 1, Relative::None, 0, true},
        {"ret imm16", k64, {0xC2, 0x08, 0x00}, 3, Relative::None, 0, true},
        {"int3", k64, {0xCC}, 1, Relative::None, 0, true},
        {"jmp rax", k64, {0xFF, 0xE0}, 2, Relative::None, 0, true},
        {"jmp [rip+disp32]", k64, {0xFF, 0x25, 1, 2, 3, 4}, 6, Relative::Memory, 2, true},
        {"call [rip+disp32]", k64, {0xFF, 0x15, 1, 2, 3, 4}, 6, Relative::Memory, 2},
        {"call rel32", k64, {0xE8, 1, 2, 3, 4}, 5, Relative::Call32, 1},
        {"jmp rel32", k64, {0xE9, 1, 2, 3, 4}, 5, Relative::Jump32, 1, true},
        {"jmp rel8", k64, {0xEB, 0x05}, 2, Relative::Jump8, 1, true},
        {"jz rel8 with a hint", k64, {0x3E, 0x74, 0x03}, 3, Relative::Conditional8, 2},
        {"jne rel32", k64, {0x0F, 0x85, 1, 2, 3, 4}, 6, Relative::Conditional32, 2},
        {"jrcxz", k64, {0xE3, 0x02}, 2, Relative::Loop8, 1},
        {"ud2", k64, {0x0F, 0x0B}, 2, Relative::None, 0, true},
    };
    for (const Case& c : cases) Check(c);
}

TEST(X86Decode, InstructionsOfFunctionEntries32) {
    const Case cases[] = {
        {"mov edi, edi", k32, {0x8B, 0xFF}, 2},
        {"mov ebp, esp", k32, {0x8B, 0xEC}, 2},
        {"sub esp, imm8", k32, {0x83, 0xEC, 0x10}, 3},
        {"push imm8", k32, {0x6A, 0xFE}, 2},
        {"push imm32", k32, {0x68, 1, 2, 3, 4}, 5},
        {"mov eax, fs:[0]", k32, {0x64, 0xA1, 0, 0, 0, 0}, 6},
        {"mov eax, [esp+4]", k32, {0x8B, 0x44, 0x24, 0x04}, 4},
        // Without 64-bit mode, [disp32] is an absolute address: nothing to adjust.
        {"mov ecx, [disp32]", k32, {0x8B, 0x0D, 1, 2, 3, 4}, 6},
        {"inc eax", k32, {0x40}, 1},
        {"pusha", k32, {0x60}, 1},
        {"add al, imm8 (82)", k32, {0x82, 0xC0, 0x01}, 3},
        {"mov eax, imm32", k32, {0xB8, 1, 2, 3, 4}, 5},
        {"dec eax (REX W in 64-bit mode)", k32, {0x48}, 1},
        {"jmp eax", k32, {0xFF, 0xE0}, 2, Relative::None, 0, true},
        {"call rel32", k32, {0xE8, 1, 2, 3, 4}, 5, Relative::Call32, 1},
        {"jz rel8", k32, {0x74, 0x10}, 2, Relative::Conditional8, 1},
    };
    for (const Case& c : cases) Check(c);
}

TEST(X86Decode, WhatItDoesNotKnowIsUnknown) {
    const Case cases[] = {
        {"VEX (vzeroupper)", k64, {0xC5, 0xF8, 0x77}, 0},
        {"EVEX", k64, {0x62, 0xF1, 0x7C, 0x48, 0x10, 0xC1}, 0},
        {"address-size prefix", k64, {0x67, 0x8B, 0x00}, 0},
        {"push es in 64-bit mode", k64, {0x06}, 0},
        {"two REX prefixes", k64, {0x40, 0x48, 0x89, 0xC0}, 0},
        {"a prefix after REX", k64, {0x48, 0x66, 0x89, 0xC0}, 0},
        {"far jump", k32, {0xEA, 1, 2, 3, 4, 5, 6}, 0},
        {"LES or VEX in 32-bit mode", k32, {0xC4, 0x00}, 0},
        {"3DNow!", k64, {0x0F, 0x0F, 0xC1, 0x9E}, 0},
        {"xbegin", k64, {0xC7, 0xF8, 1, 2, 3, 4}, 0},
        {"FF /7", k64, {0xFF, 0xF8}, 0},
        {"a 16-bit branch", k32, {0x66, 0xE9, 1, 2}, 0},
        {"0F B8 without F3", k64, {0x0F, 0xB8, 0xC1}, 0},
        {"longer than 15 bytes", k64, Bytes(15, 0x66), 0},
    };
    for (const Case& c : cases) {
        Bytes padded = c.code;
        padded.insert(padded.end(), 8, 0x90);
        EXPECT_EQ(x86::Decode(padded.data(), padded.size(), c.mode).length, 0) << c.what;
    }
}

TEST(X86Decode, RelativePartsLeadFromTheNextInstruction) {
    const struct {
        const char* what;
        Mode mode;
        Bytes code;
        std::uint64_t at;
        std::optional<std::uint64_t> target;
    } cases[] = {
        {"jmp rel8 forwards", k64, {0xEB, 0x05}, 0x1000, 0x1007},
        {"jz rel8 backwards", k32, {0x74, 0xFE}, 0x1000, 0x1000},
        {"call rel32 backwards", k64, {0xE8, 0x00, 0xFF, 0xFF, 0xFF}, 0x2945FA3A0, 0x2945FA2A5},
        {"cmp from rip, an immediate after",
         k64,
         {0x80, 0x3D, 0x10, 0, 0, 0, 0x00},
         0x1000,
         0x1017},
        {"a 32-bit branch wraps", k32, {0xE9, 0x00, 0x00, 0x00, 0x80}, 0x90000000, 0x10000005},
        {"no relative part", k64, {0x48, 0x83, 0xEC, 0x48}, 0x1000, std::nullopt},
    };
    for (const auto& c : cases) {
        const x86::Instruction ins = x86::Decode(c.code.data(), c.code.size(), c.mode);
        ASSERT_NE(ins.length, 0) << c.what;
        EXPECT_EQ(x86::Target(c.code.data(), ins, c.at, c.mode), c.target) << c.what;
    }
}

}  // namespace
