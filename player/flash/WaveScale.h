#pragma once
#include <cstdint>

namespace flashvol {

// Scales the PCM samples of `data` in place by factor / 100 (the factor kept within 0..100),
// truncating toward zero: unsigned 8-bit samples around 128, signed little-endian 16, 24 and
// 32-bit samples, the 32-bit ones kept above the type's minimum. Only whole frames of `channels`
// samples are touched; other sample sizes and no channels leave the buffer as it is. Runs on audio
// threads: no allocation, no lock.
void ScaleSamples(void* data, std::uint32_t length, std::uint32_t channels, std::int32_t factor,
                  std::uint32_t bits) noexcept;

}  // namespace flashvol
