// Scaling the samples of a wave-out buffer in place.
#include "WaveScale.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes Le16(std::initializer_list<int> samples) {
    Bytes b;
    for (int s : samples) {
        b.push_back(static_cast<std::uint8_t>(s));
        b.push_back(static_cast<std::uint8_t>(s >> 8));
    }
    return b;
}

Bytes Le32(std::initializer_list<std::int64_t> samples) {
    Bytes b;
    for (std::int64_t s : samples)
        for (int i = 0; i < 4; ++i) b.push_back(static_cast<std::uint8_t>(s >> (8 * i)));
    return b;
}

// Scales a copy of `in` that starts at `offset` bytes into its buffer, so that samples also sit
// at odd addresses.
Bytes Scaled(const Bytes& in, std::uint32_t channels, std::int32_t factor, std::uint32_t bits,
             std::size_t offset) {
    Bytes buffer(in.size() + offset, 0xEE);
    std::memcpy(buffer.data() + offset, in.data(), in.size());
    flashvol::ScaleSamples(buffer.data() + offset, static_cast<std::uint32_t>(in.size()), channels,
                           factor, bits);
    return Bytes(buffer.begin() + static_cast<std::ptrdiff_t>(offset), buffer.end());
}

TEST(ScaleSamples, ScalesEachSampleOfTheWholeFramesOnce) {
    const struct {
        const char* what;
        std::uint32_t bits, channels;
        std::int32_t factor;
        Bytes in, out;
    } cases[] = {
        {"16-bit truncates toward zero", 16, 2, 50, Le16({1000, -3}), Le16({500, -1})},
        {"16-bit mono, each sample once", 16, 1, 50, Le16({1000, 2000, -1000}),
         Le16({500, 1000, -500})},
        {"16-bit at full volume", 16, 2, 100, Le16({-32768, 32767}), Le16({-32768, 32767})},
        {"16-bit silenced", 16, 2, 0, Le16({-32768, 32767}), Le16({0, 0})},
        {"8-bit around 128", 8, 1, 50, {0, 255, 128, 127}, {64, 191, 128, 128}},
        {"8-bit silence is 128", 8, 2, 0, {0, 255}, {128, 128}},
        {"24-bit takes its sign from the top byte",
         24,
         1,
         50,
         {0x00, 0x00, 0x80, 0xFF, 0xFF, 0x7F, 0xFD, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF},
         {0x00, 0x00, 0xC0, 0xFF, 0xFF, 0x3F, 0xFF, 0xFF, 0xFF, 0x00, 0x00, 0x00}},
        {"32-bit keeps above the minimum", 32, 1, 100, Le32({-2147483648LL, 2147483647, -5}),
         Le32({-2147483647, 2147483647, -5})},
        {"32-bit truncates toward zero", 32, 2, 50, Le32({-3, 2000000001}), Le32({-1, 1000000000})},
        {"a factor above 100 counts as 100", 16, 1, 150, Le16({1000}), Le16({1000})},
        // A frame of two 16-bit samples and three bytes that make no whole frame.
        {"the tail after the last frame",
         16,
         2,
         50,
         {0xE8, 0x03, 0xE8, 0x03, 0xE8, 0x03, 0x01},
         {0xF4, 0x01, 0xF4, 0x01, 0xE8, 0x03, 0x01}},
        {"the tail of a 24-bit buffer",
         24,
         1,
         50,
         {0x10, 0x00, 0x00, 0x10, 0x00},
         {0x08, 0x00, 0x00, 0x10, 0x00}},
        {"4-bit compressed sound", 4, 1, 50, {0x12, 0x34}, {0x12, 0x34}},
        {"12-bit samples", 12, 1, 50, {0x12, 0x34, 0x56}, {0x12, 0x34, 0x56}},
        {"no channels", 16, 0, 50, Le16({1000}), Le16({1000})},
    };
    for (const auto& c : cases)
        for (std::size_t offset : {0, 1})
            EXPECT_EQ(Scaled(c.in, c.channels, c.factor, c.bits, offset), c.out)
                << c.what << ", offset " << offset;
}

// Long buffers take the vectorised path: every 16-bit value at every factor comes out as the
// integer quotient, truncated toward zero.
TEST(ScaleSamples, EveryValueOfALongBufferScalesAsItDoesAlone) {
    std::vector<std::int16_t> all;
    for (int s = -32768; s <= 32767; ++s) all.push_back(static_cast<std::int16_t>(s));
    for (std::int32_t factor = 0; factor <= 100; ++factor) {
        std::vector<std::int16_t> buffer = all;
        flashvol::ScaleSamples(buffer.data(), static_cast<std::uint32_t>(buffer.size() * 2), 2,
                               factor, 16);
        for (std::size_t i = 0; i < all.size(); ++i)
            ASSERT_EQ(buffer[i], all[i] * factor / 100) << all[i] << " at " << factor;
    }
    Bytes bytes(256 * 3);
    for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<std::uint8_t>(i);
    flashvol::ScaleSamples(bytes.data(), static_cast<std::uint32_t>(bytes.size()), 1, 50, 8);
    for (std::size_t i = 0; i < bytes.size(); ++i)
        ASSERT_EQ(bytes[i], (static_cast<int>(i % 256) - 128) / 2 + 128) << i;
}

}  // namespace
