#pragma once
// The small records that many tags share.
#include <cstdint>

#include "SwfBits.h"
#include "SwfCharacters.h"

namespace swf {

SwfRect ReadRect(BitReader& r);
// a + b held to what 32 bits can say: positions add up edge by edge, and a movie may lie.
inline std::int32_t AddClamped(std::int32_t a, std::int64_t b) {
    const std::int64_t v = a + b;
    return static_cast<std::int32_t>(v < INT32_MIN ? INT32_MIN : v > INT32_MAX ? INT32_MAX : v);
}
SwfMatrix ReadMatrix(BitReader& r);
// CXFORM, or CXFORMWITHALPHA with `withAlpha`.
SwfCxform ReadCxform(BitReader& r, bool withAlpha);
Rgba ReadRgb(BitReader& r);
Rgba ReadRgba(BitReader& r);

// Counts what the readers make against the movie's limits.
struct Budget {
    std::size_t edges = 0;
    std::size_t bitmapPixels = 0;
    std::size_t actionBytes = 0;
};

}  // namespace swf

namespace swf {
// Reads past a FILTERLIST; false when it cannot be read (the fields after it are then lost).
bool SkipFilters(BitReader& r);
}  // namespace swf
