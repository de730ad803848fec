#include "WaveScale.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__, "samples are read as the host's integers");

namespace flashvol {
namespace {

// With a factor of 0 to 100 no sample grows, so no value leaves its range. The loops are written
// for the compiler to vectorise: one sample per step, unaligned reads and writes through memcpy.
void Scale8(std::uint8_t* p, std::size_t count, std::int32_t factor) {
    for (std::size_t i = 0; i < count; ++i)
        p[i] = static_cast<std::uint8_t>((p[i] - 128) * factor / 100 + 128);
}

// Dividing in single precision gives the integer quotient here: |s * factor| < 2^22, and a
// quotient that is not whole lies at least 1/100 from the next whole number, far more than a
// float's rounding at these sizes (2^-9). Vectorised, a float divide is several times faster than
// the integer one.
void Scale16(std::uint8_t* p, std::size_t count, std::int32_t factor) {
    const auto f = static_cast<float>(factor);  // the product is exact in a float too
    for (std::size_t i = 0; i < count; ++i) {
        std::int16_t s;
        std::memcpy(&s, p + 2 * i, 2);
        const auto v = static_cast<std::int16_t>(static_cast<float>(s) * f / 100.0f);
        std::memcpy(p + 2 * i, &v, 2);
    }
}

void Scale24(std::uint8_t* p, std::size_t count, std::int32_t factor) {
    for (std::size_t i = 0; i < count; ++i, p += 3) {
        // The top byte carries the sign.
        const std::int32_t s = static_cast<std::int32_t>(static_cast<std::uint32_t>(p[0]) << 8 |
                                                         static_cast<std::uint32_t>(p[1]) << 16 |
                                                         static_cast<std::uint32_t>(p[2]) << 24) >>
                               8;
        const std::int32_t v = s * factor / 100;
        p[0] = static_cast<std::uint8_t>(v);
        p[1] = static_cast<std::uint8_t>(v >> 8);
        p[2] = static_cast<std::uint8_t>(v >> 16);
    }
}

void Scale32(std::uint8_t* p, std::size_t count, std::int32_t factor) {
    for (std::size_t i = 0; i < count; ++i) {
        std::int32_t s;
        std::memcpy(&s, p + 4 * i, 4);
        // Kept one above the type's minimum: a full-scale negative sample moves even at 100.
        const std::int32_t v = static_cast<std::int32_t>(
            std::max<std::int64_t>(std::int64_t{s} * factor / 100, -2147483647));
        std::memcpy(p + 4 * i, &v, 4);
    }
}

}  // namespace

void ScaleSamples(void* data, std::uint32_t length, std::uint32_t channels, std::int32_t factor,
                  std::uint32_t bits) noexcept {
    if (channels == 0 || bits < 8) return;
    factor = std::clamp(factor, 0, 100);
    const std::uint32_t bytesPerSample = bits / 8;
    const std::size_t count = std::size_t{length} / bytesPerSample / channels * channels;
    auto* p = static_cast<std::uint8_t*>(data);
    switch (bits) {
        case 8:
            Scale8(p, count, factor);
            break;
        case 16:
            Scale16(p, count, factor);
            break;
        case 24:
            Scale24(p, count, factor);
            break;
        case 32:
            Scale32(p, count, factor);
            break;
        default:
            break;
    }
}

}  // namespace flashvol
