#include "X86Decode.h"

namespace x86 {
namespace {

constexpr std::size_t kMaxLength = 15;

// The opcode maps, a row per high nibble and a letter per low nibble:
//   .  no operands                 m  ModRM                    g  ModRM group, rules below
//   b  imm8      z  imm16/32       v  imm16/32/64 (mov r, imm) o  a moffs address
//   e  imm16 and imm8 (enter)      B  ModRM, imm8              Z  ModRM, imm16/32
//   j  jcc rel8  J  jmp rel8       l  loop, jcxz rel8          c  call rel32
//   E  jmp rel32 C  jcc rel32      r  ends the flow            R  ends the flow, imm16
//   3  32-bit mode only            4  32-bit only, imm8        5  32-bit only, ModRM and imm8
//   T  0F 38 xx, ModRM             U  0F 3A xx, ModRM, imm8    P  ModRM with F3 (popcnt)
//   p  a prefix  0  the two-byte escape                        x  not decoded
constexpr char kOneByte[16][17] = {
    "mmmmbz33mmmmbz30", "mmmmbz33mmmmbz33", "mmmmbzp3mmmmbzp3", "mmmmbzp3mmmmbzp3",
    "3333333333333333", "................", "33xmppppzZbB....", "jjjjjjjjjjjjjjjj",
    "BZ5Bmmmmmmmmmmmg", "..........x.....", "oooo....bz......", "bbbbbbbbvvvvvvvv",
    "BBRrxxgge.Rrrb3r", "mmmm44x.mmmmmmmm", "llllbbbbcExJ....", "pxppr.gg......gg",
};
constexpr char kTwoByte[16][17] = {
    "mmxxx..xxxxrxmxx", "mmmmmmmmmmmmmmmm", "xxxxxxxxmmmmmmmm", "x.xxxxxxTxUxxxxx",
    "mmmmmmmmmmmmmmmm", "mmmmmmmmmmmmmmmm", "mmmmmmmmmmmmmmmm", "BBBBmmm.xxxxmmmm",
    "CCCCCCCCCCCCCCCC", "mmmmmmmmmmmmmmmm", "...mBmxx..xmBmmm", "mmxmxxmmPxBmmmmm",
    "mmBmBBBm........", "mmmmmmmmmmmmmmmm", "mmmmmmmmmmmmmmmm", "mmmmmmmmmmmmmmmx",
};

char Letter(const char (&map)[16][17], std::uint8_t op) {
    return map[op >> 4][op & 15];
}

bool IsLegacyPrefix(std::uint8_t b) {
    return Letter(kOneByte, b) == 'p';
}

Relative BranchOf(char letter) {
    switch (letter) {
        case 'j':
            return Relative::Conditional8;
        case 'J':
            return Relative::Jump8;
        case 'l':
            return Relative::Loop8;
        case 'c':
            return Relative::Call32;
        case 'E':
            return Relative::Jump32;
        case 'C':
            return Relative::Conditional32;
        default:
            return Relative::None;
    }
}

}  // namespace

Instruction Decode(const std::uint8_t* code, std::size_t available, Mode mode) {
    const bool x64 = mode == Mode::Bits64;
    const std::size_t limit = available < kMaxLength ? available : kMaxLength;
    std::size_t at = 0;
    bool operand16 = false, rep = false, rexW = false;
    for (;; ++at) {
        if (at >= limit) return {};
        const std::uint8_t b = code[at];
        if (!IsLegacyPrefix(b)) break;
        if (b == 0x67) return {};  // other address sizes
        operand16 |= b == 0x66;
        rep |= b == 0xF3;
    }
    // REX counts only right before the opcode; a prefix after it is not decoded.
    if (x64 && (code[at] & 0xF0) == 0x40) {
        rexW = (code[at] & 0x08) != 0;
        if (++at >= limit || IsLegacyPrefix(code[at]) || (code[at] & 0xF0) == 0x40) return {};
    }

    Instruction ins;
    ins.opcodeAt = static_cast<std::uint8_t>(at);
    std::uint8_t op = code[at++];
    char letter = Letter(kOneByte, op);
    const bool twoByte = letter == '0';
    if (twoByte) {
        if (at >= limit) return {};
        op = code[at++];
        letter = Letter(kTwoByte, op);
        if (letter == 'T' || letter == 'U') {
            if (at >= limit) return {};
            ++at;  // the third opcode byte
            letter = letter == 'T' ? 'm' : 'B';
        } else if (letter == 'P') {
            if (!rep) return {};
            letter = 'm';
        }
    } else if (letter == '3' || letter == '4' || letter == '5') {
        if (x64) return {};
        letter = letter == '3' ? '.' : letter == '4' ? 'b' : 'B';
    }
    if (letter == 'x' || letter == 'p') return {};

    // The immediate in bytes: 0xFF marks imm16/32.
    constexpr std::size_t kZ = 0xFF;
    std::size_t immediate = 0;
    bool modrm = false;
    switch (letter) {
        case 'm':
        case 'g':
            modrm = true;
            break;
        case 'B':
            modrm = true;
            immediate = 1;
            break;
        case 'Z':
            modrm = true;
            immediate = kZ;
            break;
        case 'b':
            immediate = 1;
            break;
        case 'z':
            immediate = kZ;
            break;
        case 'v':
            immediate = rexW ? 8 : kZ;
            break;
        case 'o':
            immediate = x64 ? 8 : 4;
            break;
        case 'e':
            immediate = 3;
            break;
        case 'R':
            immediate = 2;
            ins.endsFlow = true;
            break;
        case 'r':
        case 'J':
        case 'E':
            ins.endsFlow = true;
            break;
        default:
            break;
    }

    if (modrm) {
        if (at >= limit) return {};
        const std::uint8_t m = code[at++];
        const int mod = m >> 6, reg = (m >> 3) & 7, rm = m & 7;
        if (letter == 'g') {
            // Members of the groups that are invalid or not decoded (XABORT, XBEGIN, XOP).
            if ((op == 0x8F || op == 0xC6 || op == 0xC7) && reg != 0) return {};
            if (op == 0xFE && reg > 1) return {};
            if (op == 0xFF && (reg == 7 || ((reg == 3 || reg == 5) && mod == 3))) return {};
            if (op == 0xC6 || (op == 0xF6 && reg < 2)) immediate = 1;
            if (op == 0xC7 || (op == 0xF7 && reg < 2)) immediate = kZ;
            if (op == 0xFF && (reg == 4 || reg == 5)) ins.endsFlow = true;  // jmp
        }
        if (mod != 3) {
            std::size_t displacement = mod == 1 ? 1 : mod == 2 ? 4 : 0;
            if (rm == 4) {
                if (at >= limit) return {};
                if (mod == 0 && (code[at] & 7) == 5) displacement = 4;
                ++at;  // SIB
            } else if (mod == 0 && rm == 5) {
                displacement = 4;
                if (x64) {
                    ins.relative = Relative::Memory;
                    ins.relativeAt = static_cast<std::uint8_t>(at);
                }
            }
            at += displacement;
        }
    }
    if (immediate == kZ) immediate = operand16 ? 2 : 4;

    const Relative branch = BranchOf(letter);
    if (branch != Relative::None) {
        // The operand-size prefix would cut the instruction pointer to 16 bits.
        if (operand16) return {};
        ins.relative = branch;
        ins.relativeAt = static_cast<std::uint8_t>(at);
        immediate = branch == Relative::Jump32 || branch == Relative::Conditional32 ||
                            branch == Relative::Call32
                        ? 4
                        : 1;
    }
    at += immediate;
    if (at > limit) return {};
    ins.length = static_cast<std::uint8_t>(at);
    return ins;
}

std::optional<std::uint64_t> Target(const std::uint8_t* code, const Instruction& ins,
                                    std::uint64_t address, Mode mode) {
    std::int64_t offset = 0;
    switch (ins.relative) {
        case Relative::None:
            return std::nullopt;
        case Relative::Jump8:
        case Relative::Conditional8:
        case Relative::Loop8:
            offset = static_cast<std::int8_t>(code[ins.relativeAt]);
            break;
        default: {
            std::uint32_t v = 0;
            for (int i = 3; i >= 0; --i) v = v << 8 | code[ins.relativeAt + i];
            offset = static_cast<std::int32_t>(v);
        }
    }
    const std::uint64_t target = address + ins.length + static_cast<std::uint64_t>(offset);
    return mode == Mode::Bits64 ? target : target & 0xFFFFFFFF;
}

}  // namespace x86
