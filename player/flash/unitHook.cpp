#include "unitHook.h"

#include <cstring>
#include <initializer_list>

namespace hook {
namespace {

// The patch's jump follows its load of the address.
constexpr std::size_t kJumpInPatch32 = 5, kJumpInPatch64 = 10;

// Addresses wrap at the width of the mode.
Address Wrap(x86::Mode mode, Address a) {
    return mode == x86::Mode::Bits64 ? a : (a & 0xFFFFFFFFu);
}

void WriteLittleEndian(std::uint8_t* p, std::uint64_t v, std::size_t bytes) {
    for (std::size_t i = 0; i < bytes; ++i) p[i] = static_cast<std::uint8_t>(v >> (8 * i));
}

// Builds the trampoline's code, one piece after another, within its capacity.
class Writer {
  public:
    Writer(Trampoline& t, Address at, x86::Mode mode) : t_(t), at_(at), mode_(mode) {}

    std::size_t Size() const { return t_.size; }
    bool Append(const std::uint8_t* bytes, std::size_t n) {
        if (t_.size + n > Trampoline::kCapacity) return false;
        std::memcpy(t_.code.data() + t_.size, bytes, n);
        t_.size += n;
        return true;
    }
    bool Append(std::initializer_list<std::uint8_t> bytes) {
        return Append(bytes.begin(), bytes.size());
    }
    // Sets the 32-bit offset at `offset` so that, counted from the end of the piece written last,
    // it reaches `target`.
    bool Aim(std::size_t offset, Address target) {
        const Address next = Wrap(mode_, at_ + t_.size);
        const std::int64_t distance = static_cast<std::int64_t>(Wrap(mode_, target - next));
        if (mode_ == x86::Mode::Bits64 && (distance < INT32_MIN || distance > INT32_MAX))
            return false;
        WriteLittleEndian(t_.code.data() + offset, static_cast<std::uint64_t>(distance), 4);
        return true;
    }

  private:
    Trampoline& t_;
    Address at_;
    x86::Mode mode_;
};

}  // namespace

Patch EntryPatch(x86::Mode mode, Address replacement) {
    Patch p;
    if (mode == x86::Mode::Bits64) {
        p.bytes = {0x48, 0xB8, 0, 0, 0, 0, 0, 0, 0, 0, 0xFF, 0xE0};
        WriteLittleEndian(p.bytes.data() + 2, replacement, 8);
        p.size = 12;
    } else {
        p.bytes = {0xB8, 0, 0, 0, 0, 0xFF, 0xE0, 0x00};
        WriteLittleEndian(p.bytes.data() + 1, replacement, 4);
        p.size = 8;
    }
    return p;
}

std::optional<Trampoline> MoveEntry(const std::uint8_t* entry, std::size_t available, Address from,
                                    Address at, x86::Mode mode, std::size_t patchSize) {
    Trampoline t;
    // First the extent: a relative target inside it could not be moved.
    while (t.moved < patchSize) {
        const x86::Instruction ins = x86::Decode(entry + t.moved, available - t.moved, mode);
        if (ins.length == 0 || t.startCount == t.starts.size()) return std::nullopt;
        if (ins.endsFlow && t.moved + ins.length < patchSize) return std::nullopt;
        t.starts[t.startCount++].entry = static_cast<std::uint8_t>(t.moved);
        t.moved += ins.length;
    }
    const auto inside = [&](Address target) { return Wrap(mode, target - from) < t.moved; };

    Writer out(t, at, mode);
    for (std::size_t i = 0; i < t.startCount; ++i) {
        const std::size_t pos = t.starts[i].entry;
        const std::uint8_t* code = entry + pos;
        const x86::Instruction ins = x86::Decode(code, available - pos, mode);
        t.starts[i].trampoline = static_cast<std::uint8_t>(out.Size());
        const std::optional<Address> target = x86::Target(code, ins, from + pos, mode);
        if (target && inside(*target)) return std::nullopt;
        switch (ins.relative) {
            case x86::Relative::None:
                if (!out.Append(code, ins.length)) return std::nullopt;
                break;
            case x86::Relative::Memory:
            case x86::Relative::Jump32:
            case x86::Relative::Conditional32:
            case x86::Relative::Call32: {
                const std::size_t start = out.Size();
                if (!out.Append(code, ins.length) || !out.Aim(start + ins.relativeAt, *target))
                    return std::nullopt;
                break;
            }
            case x86::Relative::Jump8:
            case x86::Relative::Conditional8: {
                // The 32-bit form; prefixes (segment hints) mean nothing to a branch and go.
                const std::uint8_t op = code[ins.opcodeAt];
                const bool widened =
                    ins.relative == x86::Relative::Jump8
                        ? out.Append({0xE9, 0, 0, 0, 0})
                        : out.Append(
                              {0x0F, static_cast<std::uint8_t>(0x80 | (op & 0x0F)), 0, 0, 0, 0});
                if (!widened || !out.Aim(out.Size() - 4, *target)) return std::nullopt;
                break;
            }
            case x86::Relative::Loop8:
                return std::nullopt;
        }
    }

    const Address back = Wrap(mode, from + t.moved);
    if (mode == x86::Mode::Bits64) {
        // jmp [rip+0] and the address after it.
        std::uint8_t jump[14] = {0xFF, 0x25, 0, 0, 0, 0};
        WriteLittleEndian(jump + 6, back, 8);
        if (!out.Append(jump, sizeof jump)) return std::nullopt;
    } else if (!out.Append({0xE9, 0, 0, 0, 0}) || !out.Aim(out.Size() - 4, back)) {
        return std::nullopt;
    }
    return t;
}

Address ResumeAfterPatch(const Trampoline& trampoline, Address entry, Address trampolineAt,
                         Address ip) {
    if (ip == entry) return ip;
    for (std::size_t i = 0; i < trampoline.startCount; ++i)
        if (ip == entry + trampoline.starts[i].entry)
            return trampolineAt + trampoline.starts[i].trampoline;
    return ip;
}

Address ResumeAfterRestore(x86::Mode mode, Address entry, Address replacement, Address ip) {
    const Address jump = entry + (mode == x86::Mode::Bits64 ? kJumpInPatch64 : kJumpInPatch32);
    return ip == jump ? replacement : ip;
}

}  // namespace hook
