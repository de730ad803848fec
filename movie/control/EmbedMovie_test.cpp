#include "EmbedMovie.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <zlib.h>

#include <functional>

#include "AllocationProbe.h"
#include "FakeMovieControl.h"
#include "SwfTestData.h"

namespace {

using ::testing::ElementsAre;

Bytes Le32(std::uint32_t v) {
    return swfdata::U32(v);
}

Bytes Deflate(const Bytes& data) {
    uLongf size = compressBound(static_cast<uLong>(data.size()));
    Bytes out(size);
    EXPECT_EQ(compress(out.data(), &size, data.data(), static_cast<uLong>(data.size())), Z_OK);
    out.resize(size);
    return out;
}

// A compressed movie whose header gives `length`, around a deflated `body`.
Bytes Cws(std::uint32_t length, const Bytes& body) {
    Bytes m{'C', 'W', 'S', 8};
    swfdata::Append(m, Le32(length));
    swfdata::Append(m, Deflate(body));
    return m;
}

Bytes Embed(FakeControl& control, const Bytes& file) {
    MemoryStream s(file);
    EmbedMovieStream(control, &s);
    return control.loaded;
}

const Bytes& Episode() {
    static const Bytes episode = ReadBytes(TestMovie("episode.swf"));
    return episode;
}

}  // namespace

TEST(LoadImage, PlainMovieByteForByte) {
    FakeControl control;
    ASSERT_GT(Episode().size(), 100u);
    EXPECT_EQ(Embed(control, Episode()), control.ImageFor(Episode()));
    // The state is saved with EmbedMovie off, then the image loaded.
    EXPECT_THAT(control.calls, ElementsAre("Set 139 false", "SizeMax", "Save", "Load"));
}

TEST(LoadImage, CompressedMovieInflatesToTheSameImage) {
    const Bytes cws = ReadBytes(TestMovie("episode_cws.swf"));
    ASSERT_EQ(Bytes(cws.begin(), cws.begin() + 3), BytesOf("CWS"));
    ASSERT_LT(cws.size(), Episode().size());
    FakeControl control;
    EXPECT_EQ(Embed(control, cws), control.ImageFor(Episode()));
}

TEST(LoadImage, CompressedMovieGivesExactlyLMinus8Bytes) {
    const Bytes body = BytesOf("0123456789abcdefghij");
    const struct {
        std::uint32_t length;
        std::size_t movieBytes;
    } cases[] = {{28, 20}, {20, 12}, {9, 1}, {8, 0}};
    for (const auto& c : cases) {
        MemoryStream s(Cws(c.length, body));
        const MovieBytes m = ReadMovie(s);
        Bytes expected{'F', 'W', 'S', 8};
        swfdata::Append(expected, Le32(c.length));
        expected.insert(expected.end(), body.begin(),
                        body.begin() + static_cast<long>(c.movieBytes));
        EXPECT_EQ(Bytes(m.Data(), m.Data() + m.Length()), expected) << c.length;
    }
}

TEST(LoadImage, RoomForTheStateFollowsEveryFormOfMovie) {
    const struct {
        const char* what;
        Bytes file;
    } cases[] = {{"plain", Episode()},
                 {"compressed", Cws(28, BytesOf("0123456789abcdefghij"))},
                 {"compressed header alone", Cws(8, {})}};
    for (const auto& c : cases) {
        MemoryStream s(c.file);
        const MovieBytes m = ReadMovie(s, 100);
        EXPECT_GE(m.buffer.capacity(), m.buffer.size() + 100) << c.what;
    }
}

TEST(LoadImage, AnythingButCwsIsPassedOnFromTheStreamPosition) {
    Bytes file = BytesOf("junkXYZ not a movie at all");
    MemoryStream s(file);
    s.Seek(4, SeekOrigin::Begin);
    FakeControl control;
    EmbedMovieStream(control, &s);
    EXPECT_EQ(control.loaded, control.ImageFor(BytesOf("XYZ not a movie at all")));
}

TEST(LoadImage, ShortStateCountsAsZeros) {
    FakeControl control;
    control.sizeMax = 2;
    const Bytes image = Embed(control, BytesOf("FWS!"));
    EXPECT_EQ(image, (Bytes{0x66, 0x55, 0, 0, 4, 0, 0, 0, 'F', 'W', 'S', '!'}));
    control.sizeMax = 0;
    EXPECT_EQ(Embed(control, BytesOf("FWS!")),
              (Bytes{0x66, 0, 0, 0, 4, 0, 0, 0, 'F', 'W', 'S', '!'}));
}

TEST(LoadImage, UnusableInputIsRefusedBeforeTheControlIsTouched) {
    const Bytes body(4000, 'x');
    const Bytes good = Cws(4008, body);
    Bytes truncated(good.begin(), good.begin() + static_cast<long>(good.size() / 2));
    Bytes damaged = good;
    for (std::size_t i = 10; i < 16; ++i) damaged[i] = 0xFF;
    Bytes badZlibHeader = good;
    badZlibHeader[8] = 0x00;
    Bytes notZlib{'C', 'W', 'S', 8};
    swfdata::Append(notZlib, Le32(100));
    swfdata::Append(notZlib, BytesOf("this is not deflated data at all"));

    const struct {
        const char* what;
        Bytes file;
    } cases[] = {
        {"empty", {}},
        {"two bytes", BytesOf("FW")},
        {"signature only", BytesOf("CWS")},
        {"header cut short", {'C', 'W', 'S', 8, 0x10, 0}},
        {"L of 0", Cws(0, body)},
        {"L of 7", Cws(7, body)},
        {"L beyond the data", Cws(4009, body)},
        {"L far beyond the data", Cws(0x7FFFFFFF, body)},
        {"L of 4 GiB", Cws(0xFFFFFFFF, body)},
        {"L beyond any movie", Cws(kMaxMovieLength + 1, body)},
        {"truncated", truncated},
        {"damaged", damaged},
        {"bad zlib header", badZlibHeader},
        {"not deflated", notZlib},
    };
    for (const auto& c : cases) {
        MemoryStream s(c.file);
        EXPECT_THROW(ReadMovie(s), MovieError) << c.what;
        FakeControl control;
        MemoryStream again(c.file);
        EXPECT_THROW(EmbedMovieStream(control, &again), MovieError) << c.what;
        EXPECT_TRUE(control.calls.empty()) << c.what;
    }
}

TEST(LoadImage, ALengthFieldAloneNeverSizesAnAllocation) {
    // 300 MB promised, 4000 bytes delivered.
    MemoryStream s(Cws(300u << 20, Bytes(4000, 'x')));
    ResetLargestAllocation();
    EXPECT_THROW(ReadMovie(s), MovieError);
    EXPECT_LT(LargestAllocation(), std::size_t{1} << 20);
}

TEST(LoadImage, LargeMovieInflatesWhole) {
    Bytes body(3u << 20);
    for (std::size_t i = 0; i < body.size(); ++i) body[i] = static_cast<std::uint8_t>((i * i) >> 7);
    MemoryStream s(Cws(static_cast<std::uint32_t>(body.size() + 8), body));
    const MovieBytes m = ReadMovie(s);
    ASSERT_EQ(m.Length(), body.size() + 8);
    EXPECT_TRUE(std::equal(body.begin(), body.end(), m.Data() + 8));
}

TEST(LoadImage, SplitFindsTheMovieAndTheRest) {
    FakeControl control;
    const Bytes image = Embed(control, BytesOf("FWS-movie"));
    StateImageParts parts;
    ASSERT_TRUE(SplitStateImage(image.data(), image.size(), parts));
    EXPECT_TRUE(parts.hasMovie);
    EXPECT_EQ(Bytes(parts.movie, parts.movie + parts.movieLength), BytesOf("FWS-movie"));
    EXPECT_EQ(Bytes(parts.rest, parts.rest + parts.restLength),
              (Bytes{0xA1, 0xA2, 0xA3, 0, 0, 0, 0, 0}));

    const Bytes plainState{0x67, 0x55, 0x66, 0x55, 9};
    ASSERT_TRUE(SplitStateImage(plainState.data(), plainState.size(), parts));
    EXPECT_FALSE(parts.hasMovie);
    EXPECT_EQ(parts.restLength, 1u);

    Bytes lying = image;
    lying[4] = 0xFF;  // a length beyond the image
    EXPECT_FALSE(SplitStateImage(lying.data(), lying.size(), parts));
    EXPECT_FALSE(SplitStateImage(image.data(), 6, parts));
    EXPECT_FALSE(SplitStateImage(image.data(), 3, parts));
}
