// DecodeAdpcm on any bytes. Besides not crashing: the output is whole frames, no more than asked
// for nor than the bits can hold, an empty block is damaged, and a block cut anywhere decodes to
// the start of what the whole block gives.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "Adpcm.h"
#include "FuzzCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) return 0;
    // The first byte: channels, and now and then a frame limit.
    const int channels = (data[0] & 1) + 1;
    const std::size_t maxFrames = data[0] & 2 ? (std::size_t{data[0]} >> 2) * 97 : SIZE_MAX;
    const std::size_t cutAt = data[size - 1];
    ++data;
    --size;

    std::vector<std::int16_t> whole;
    const AdpcmResult all = DecodeAdpcm(data, size, channels, maxFrames, whole);
    FUZZ_CHECK(whole.size() == all.frames * channels);
    FUZZ_CHECK(all.frames <= maxFrames);
    // Every frame takes at least two bits a channel.
    FUZZ_CHECK(all.frames * 2 * channels <= size * 8);

    const std::size_t cut = size * cutAt / 256;
    std::vector<std::int16_t> head;
    const AdpcmResult part = DecodeAdpcm(data, cut, channels, maxFrames, head);
    FUZZ_CHECK(head.size() == part.frames * channels);
    FUZZ_CHECK(part.frames <= all.frames);
    for (std::size_t i = 0; i < head.size(); ++i) FUZZ_CHECK(head[i] == whole[i]);
    if (cut == 0) FUZZ_CHECK(part.damaged && part.frames == 0);
    return 0;
}
