// The platform's picture decoder on the pictures of a movie of the tool: natively Debian's
// libraries, under Wine the imaging component; both give the same pixels.
#include <gtest/gtest.h>

#include "ImageDecoder.h"
#include "SwfReader.h"
#include "SwfTestData.h"

TEST(Pictures, PngAndGifInsideAMovieDecodeThroughThePlatform) {
    const Bytes movie = ReadBytes(TestMovie("pictures.swf"));
    const auto decoder = MakeImageDecoder();
    SwfMovie m;
    ASSERT_TRUE(ReadSwf(movie.data(), movie.size(), m, decoder.get()));
    ASSERT_EQ(m.bitmaps.size(), 2u);
    const SwfBitmap& png = m.bitmaps.begin()->second;
    EXPECT_EQ(png.width, 2);
    EXPECT_EQ(png.height, 1);
    // Premultiplied: half-transparent blue keeps half its blue.
    EXPECT_EQ(png.pixels, (std::vector<std::uint32_t>{0xFFFF0000u, 0x80000080u}));
    const SwfBitmap& gif = std::next(m.bitmaps.begin())->second;
    EXPECT_EQ(gif.width, 2);
    EXPECT_EQ(gif.height, 2);
    EXPECT_EQ(gif.pixels, (std::vector<std::uint32_t>{0xFFFF0000u, 0xFF00FF00u, 0xFF0000FFu, 0u}));
}
