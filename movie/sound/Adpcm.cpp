#include "Adpcm.h"

#include <algorithm>

namespace {

constexpr int kSteps[89] = {
    7,     8,     9,     10,    11,    12,    13,    14,    16,    17,    19,   21,    23,
    25,    28,    31,    34,    37,    41,    45,    50,    55,    60,    66,   73,    80,
    88,    97,    107,   118,   130,   143,   157,   173,   190,   209,   230,  253,   279,
    307,   337,   371,   408,   449,   494,   544,   598,   658,   724,   796,  876,   963,
    1060,  1166,  1282,  1411,  1552,  1707,  1878,  2066,  2272,  2499,  2749, 3024,  3327,
    3660,  4026,  4428,  4871,  5358,  5894,  6484,  7132,  7845,  8630,  9493, 10442, 11487,
    12635, 13899, 15289, 16818, 18500, 20350, 22385, 24623, 27086, 29794, 32767};

// How the step index moves after a code, by the code's magnitude, for 2, 3, 4 and 5 bits.
constexpr int kIndex2[] = {-1, 2};
constexpr int kIndex3[] = {-1, -1, 2, 4};
constexpr int kIndex4[] = {-1, -1, -1, -1, 2, 4, 6, 8};
constexpr int kIndex5[] = {-1, -1, -1, -1, -1, -1, -1, -1, 1, 2, 4, 6, 8, 10, 13, 16};
constexpr const int* kIndexMoves[] = {kIndex2, kIndex3, kIndex4, kIndex5};

constexpr int kPacketSamples = 4096;

// Bits first to last, each byte from its top bit.
class BitReader {
  public:
    BitReader(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    std::uint64_t Left() const { return std::uint64_t{size_} * 8 - at_; }
    // Up to 16 bits; the caller has checked Left().
    unsigned Read(int count) {
        const std::size_t byte = static_cast<std::size_t>(at_ >> 3);
        const int shift = static_cast<int>(at_ & 7);
        const auto get = [&](std::size_t i) -> std::uint32_t { return i < size_ ? data_[i] : 0; };
        const std::uint32_t window = get(byte) << 16 | get(byte + 1) << 8 | get(byte + 2);
        at_ += static_cast<unsigned>(count);
        return (window >> (24 - shift - count)) & ((1u << count) - 1);
    }

  private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::uint64_t at_ = 0;
};

struct Channel {
    int sample = 0;
    int index = 0;

    std::int16_t Next(unsigned code, int bits, const int* moves) {
        int step = kSteps[index];
        const unsigned sign = 1u << (bits - 1);
        const unsigned magnitude = code & (sign - 1);
        int delta = step >> (bits - 1);
        for (unsigned bit = sign >> 1; bit != 0; bit >>= 1, step >>= 1)
            if (magnitude & bit) delta += step;
        sample = std::clamp(code & sign ? sample - delta : sample + delta, -32768, 32767);
        index = std::clamp(index + moves[magnitude], 0, 88);
        return static_cast<std::int16_t>(sample);
    }
};

}  // namespace

AdpcmResult DecodeAdpcm(const std::uint8_t* data, std::size_t size, int channels,
                        std::size_t maxFrames, std::vector<std::int16_t>& out) {
    AdpcmResult result;
    channels = channels == 2 ? 2 : 1;
    BitReader in(data, size);
    if (in.Left() < 2) {
        result.damaged = true;
        return result;
    }
    const int bits = static_cast<int>(in.Read(2)) + 2;
    const int* moves = kIndexMoves[bits - 2];
    const std::uint64_t headerBits = 22u * static_cast<unsigned>(channels);
    const std::uint64_t frameBits = static_cast<unsigned>(bits * channels);
    // The data ends on a whole byte: fewer than eight bits left over are padding, more are a cut.
    const auto ends = [&](std::uint64_t needed) {
        if (in.Left() >= needed) return false;
        result.damaged = in.Left() >= 8;
        return true;
    };
    Channel state[2];
    while (result.frames < maxFrames && !ends(headerBits)) {
        for (int c = 0; c < channels; ++c) {
            state[c].sample = static_cast<std::int16_t>(in.Read(16));
            state[c].index = std::min(static_cast<int>(in.Read(6)), 88);
            out.push_back(static_cast<std::int16_t>(state[c].sample));
        }
        ++result.frames;
        for (int i = 1; i < kPacketSamples && result.frames < maxFrames; ++i) {
            if (ends(frameBits)) return result;
            for (int c = 0; c < channels; ++c)
                out.push_back(state[c].Next(in.Read(bits), bits, moves));
            ++result.frames;
        }
    }
    return result;
}
