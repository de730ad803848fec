// ADPCM blocks written bit by bit, against samples worked out by hand from the step table
// (step[index]) and the index moves.
#include <gtest/gtest.h>

#include "Adpcm.h"
#include "SoundTestData.h"

using namespace sounddata;

namespace {

using Samples = std::vector<std::int16_t>;

Samples Decode(const Bytes& data, int channels, AdpcmResult* result = nullptr,
               std::size_t maxFrames = 1 << 20) {
    Samples out;
    const AdpcmResult r = DecodeAdpcm(data.data(), data.size(), channels, maxFrames, out);
    EXPECT_EQ(out.size(), r.frames * channels);
    if (result) *result = r;
    return out;
}

TEST(Adpcm, FourBitMono) {
    BitWriter w;
    w.Put(2, 2).Sample(1000).Put(0, 6).Put(0x7, 4).Put(0xF, 4).Put(0x0, 4).Put(0x4, 4);
    AdpcmResult r;
    // step 7:  0111 -> 7>>3 + 7 + 7>>1 + 7>>2 = 0+7+3+1 = 11, up;   index 0+8 = 8
    // step 16: 1111 -> 2+16+8+4 = 30, down;                          index 8+8 = 16
    // step 34: 0000 -> 34>>3 = 4, up;                                index 16-1 = 15
    // step 31: 0100 -> 3+31 = 34, up;                                index 15+2 = 17
    EXPECT_EQ(Decode(w.bytes(), 1, &r), (Samples{1000, 1011, 981, 985, 1019}));
    EXPECT_FALSE(r.damaged);
}

TEST(Adpcm, TwoBitMono) {
    BitWriter w;
    w.Put(0, 2).Sample(-30000).Put(63, 6).Put(3, 2).Put(2, 2).Put(1, 2).Put(0, 2);
    // step 3024: 11 -> 1512 + 3024 = 4536 down, held at -32768;   index 63+2 = 65
    // step 3660: 10 -> 1830 down, held at -32768;                 index 65-1 = 64
    // step 3327: 01 -> 1663 + 3327 = 4990 up: -27778;             index 64+2 = 66
    // step 4026: 00 -> 2013 up: -25765
    EXPECT_EQ(Decode(w.bytes(), 1), (Samples{-30000, -32768, -32768, -27778, -25765}));
}

TEST(Adpcm, SampleAndIndexStayInRange) {
    BitWriter w;
    w.Put(2, 2).Sample(30000).Put(63, 6);
    for (int i = 0; i < 4; ++i) w.Put(0xF, 4);
    w.Put(0x0, 4).Put(0x0, 4);
    // step 3024:  1111 -> 378 + 3024 + 1512 + 756 = 5670 down;       index 63+8 = 71
    // step 6484:  1111 -> 810 + 6484 + 3242 + 1621 = 12157 down;     index 79
    // step 13899: 1111 -> 1737 + 13899 + 6949 + 3474 = 26059 down;   index 87
    // step 29794: 1111 -> 55863 down, held at -32768;                index 95, held at 88
    // step 32767: 0000 -> 4095 up;                                  index 87
    // step 29794: 0000 -> 3724 up
    EXPECT_EQ(Decode(w.bytes(), 1), (Samples{30000, 24330, 12173, -13886, -32768, -28673, -24949}));
}

TEST(Adpcm, FiveBitStereoInterleavesChannels) {
    BitWriter w;
    w.Put(3, 2).Sample(0).Put(10, 6).Sample(100).Put(20, 6);
    // left  step 19: 01010 -> 19>>4 + 19 + 19>>2 = 1+19+4 = 24 up;  index 10+4 = 14
    // right step 50: 10001 -> 50>>4 + 50>>3 = 3+6 = 9 down;         index 20-1 = 19
    w.Put(0b01010, 5).Put(0b10001, 5);
    // left  step 28: 00000 -> 28>>4 = 1 up
    // right step 45: 11111 -> 2+45+22+11+5 = 85 down;  index 19+16 = 35
    w.Put(0b00000, 5).Put(0b11111, 5);
    AdpcmResult r;
    // 66 bits: the six bits that pad the last byte are no stereo frame.
    EXPECT_EQ(Decode(w.bytes(), 2, &r), (Samples{0, 100, 24, 91, 25, 6}));
    EXPECT_FALSE(r.damaged);
    EXPECT_EQ(r.frames, 3u);
}

// Two packets: the second starts from its own sample and index, not from where the first ended.
BitWriter TwoPackets() {
    BitWriter w;
    w.Put(2, 2).Sample(-20000).Put(40, 6);
    for (int i = 0; i < 4095; ++i) w.Put(0x7, 4);
    w.Sample(1234).Put(0, 6).Put(0x7, 4);
    return w;
}

TEST(Adpcm, EachPacketRestarts) {
    const Samples out = Decode(TwoPackets().bytes(), 1);
    ASSERT_EQ(out.size(), 4098u);
    EXPECT_EQ(out[0], -20000);
    EXPECT_EQ(out[4095], 32767);  // climbing all the way
    EXPECT_EQ(out[4096], 1234);
    EXPECT_EQ(out[4097], 1234 + 11);
}

TEST(Adpcm, CutBlockKeepsWhatCameBefore) {
    const Bytes whole = TwoPackets().bytes();
    const Samples all = Decode(whole, 1);
    struct Case {
        const char* what;
        std::size_t bytes;
        std::size_t frames;
        bool damaged;
    };
    // The first packet takes 2 + 22 + 4095 * 4 = 16404 bits: 2050 bytes and 4 bits.
    const Case cases[] = {
        {"nothing, not even the code size", 0, 0, true},
        {"the code size and padding", 1, 0, false},
        {"inside the first header", 2, 0, true},
        {"halfway through the codes", 1000, 1 + (1000 * 8 - 24) / 4, false},
        {"the first packet and its padding", 2051, 4096, false},
        {"inside the second header", 2052, 4096, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        AdpcmResult r;
        const Samples part = Decode(Bytes(whole.begin(), whole.begin() + c.bytes), 1, &r);
        EXPECT_EQ(r.frames, c.frames);
        EXPECT_EQ(r.damaged, c.damaged);
        EXPECT_TRUE(std::equal(part.begin(), part.end(), all.begin()));
    }
}

TEST(Adpcm, StereoFrameCutBetweenChannels) {
    BitWriter w;
    w.Put(3, 2).Sample(0).Put(0, 6).Sample(0).Put(0, 6);
    w.Put(1, 5).Put(1, 5).Put(1, 5);  // a left code, and three bits of its right one
    AdpcmResult r;
    EXPECT_EQ(Decode(w.bytes(), 2, &r).size(), 4u);
    EXPECT_TRUE(r.damaged);
}

TEST(Adpcm, StopsAtMaxFrames) {
    AdpcmResult r;
    EXPECT_EQ(Decode(TwoPackets().bytes(), 1, &r, 4097).size(), 4097u);
    EXPECT_FALSE(r.damaged);
}

}  // namespace
