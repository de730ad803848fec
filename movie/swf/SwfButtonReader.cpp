#include "SwfButtonReader.h"

#include "SwfReader.h"

namespace swf {
namespace {

bool KeepActions(const std::uint8_t* at, std::size_t size, std::uint16_t conditions,
                 SwfButton& button, Budget& budget) {
    if (budget.actionBytes + size > kSwfMaxActionBytes) return false;
    budget.actionBytes += size;
    SwfButtonAction a;
    a.conditions = conditions;
    a.bytes.assign(at, at + size);
    button.actions.push_back(std::move(a));
    return true;
}

}  // namespace

bool ReadDefineButton(BitReader& r, int version, SwfButton& button, Budget& budget) {
    std::size_t actionOffset = 0;
    const std::size_t start = r.Pos();
    if (version >= 2) {
        button.trackAsMenu = r.U8() & 1;
        actionOffset = r.U16();
        if (actionOffset) actionOffset += r.Pos() - 2 - start;
    }
    while (r.Ok()) {
        const std::uint8_t flags = r.U8();
        if (flags == 0) break;
        SwfButtonRecord b;
        b.states = flags & 0x0F;
        b.characterId = r.U16();
        b.depth = r.U16();
        b.matrix = ReadMatrix(r);
        if (version >= 2) {
            b.cxform = ReadCxform(r, true);
            if ((flags & 0x10) && !SkipFilters(r)) return false;
            if (flags & 0x20) r.U8();
        }
        if (!r.Ok()) return false;
        button.records.push_back(b);
    }
    if (!r.Ok()) return false;
    if (version < 2) {
        return KeepActions(r.Here(), r.Left(), SwfButtonCondition::OverDownToOverUp, button,
                           budget);
    }
    if (actionOffset == 0) return true;
    if (actionOffset < r.Pos() - start) return false;
    r.Skip(actionOffset - (r.Pos() - start));
    while (r.Ok() && r.Left() >= 4) {
        const std::uint16_t size = r.U16();
        const std::uint8_t first = r.U8(), second = r.U8();
        // Transition bits high to low in the first byte, then key press and one more.
        std::uint16_t conditions = 0;
        for (int bit = 0; bit < 8; ++bit)
            if (first & (1 << bit)) conditions |= static_cast<std::uint16_t>(1 << bit);
        if (second & 1) conditions |= SwfButtonCondition::OverDownToIdle;
        const std::size_t length = size == 0 ? r.Left() : (size >= 4 ? size - 4u : 0u);
        BitReader body = r.Sub(length);
        if (!body.Ok()) return false;
        if (!KeepActions(body.Here(), body.Left(), conditions, button, budget)) return false;
        if (size == 0) break;
    }
    return r.Ok();
}

}  // namespace swf
