// The native picture decoder and the JPEG tags that use it. The pictures are made here with the
// same libraries' encoders.
#include <gif_lib.h>
#include <gtest/gtest.h>
#include <png.h>
#include <zlib.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <jpeglib.h>

#include "ImageDecoder.h"
#include "SwfReader.h"
#include "SwfTestData.h"

using namespace swfdata;

namespace {

// A picture of one colour, `width` x `height`, at quality 95.
Bytes Jpeg(int width, int height, std::uint8_t r, std::uint8_t g, std::uint8_t b) {
    jpeg_compress_struct info;
    jpeg_error_mgr error;
    info.err = jpeg_std_error(&error);
    jpeg_create_compress(&info);
    unsigned char* out = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &out, &size);
    info.image_width = static_cast<JDIMENSION>(width);
    info.image_height = static_cast<JDIMENSION>(height);
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, 95, TRUE);
    jpeg_start_compress(&info, TRUE);
    std::vector<std::uint8_t> row;
    for (int x = 0; x < width; ++x) row.insert(row.end(), {r, g, b});
    while (info.next_scanline < info.image_height) {
        JSAMPROW p = row.data();
        jpeg_write_scanlines(&info, &p, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    Bytes bytes(out, out + size);
    std::free(out);
    return bytes;
}

// Straight RGBA rows.
Bytes Png(int width, int height, const Bytes& rgba) {
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(width);
    image.height = static_cast<png_uint_32>(height);
    image.format = PNG_FORMAT_RGBA;
    png_alloc_size_t size = 0;
    EXPECT_TRUE(png_image_write_to_memory(&image, nullptr, &size, 0, rgba.data(), 0, nullptr));
    Bytes out(size);
    EXPECT_TRUE(png_image_write_to_memory(&image, out.data(), &size, 0, rgba.data(), 0, nullptr));
    out.resize(size);
    return out;
}

int GifWrite(GifFileType* gif, const GifByteType* data, int n) {
    auto* out = static_cast<Bytes*>(gif->UserData);
    out->insert(out->end(), data, data + n);
    return n;
}

// A 2 x 2 picture of colour indices into `colors`; index `transparent` shows nothing.
Bytes Gif(const std::vector<GifColorType>& colors, const Bytes& indices, int transparent) {
    Bytes out;
    int error = 0;
    GifFileType* gif = EGifOpen(&out, GifWrite, &error);
    ColorMapObject* map = GifMakeMapObject(4, colors.data());
    EGifPutScreenDesc(gif, 2, 2, 2, 0, map);
    GraphicsControlBlock control{};
    control.TransparentColor = transparent;
    GifByteType ext[4];
    const std::size_t n = EGifGCBToExtension(&control, ext);
    EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, static_cast<int>(n), ext);
    EGifPutImageDesc(gif, 0, 0, 2, 2, false, nullptr);
    Bytes row = indices;
    EGifPutLine(gif, row.data(), 4);
    EGifCloseFile(gif, &error);
    GifFreeMapObject(map);
    return out;
}

std::uint32_t Argb(unsigned a, unsigned r, unsigned g, unsigned b) {
    return a << 24 | r << 16 | g << 8 | b;
}

::testing::AssertionResult Close(std::uint32_t got, std::uint32_t want, int tolerance) {
    for (int shift = 0; shift < 32; shift += 8) {
        const int a = static_cast<int>(got >> shift & 0xFF),
                  b = static_cast<int>(want >> shift & 0xFF);
        if (std::abs(a - b) > tolerance)
            return ::testing::AssertionFailure() << std::hex << got << " is not " << want;
    }
    return ::testing::AssertionSuccess();
}

Bytes Deflate(const Bytes& data) {
    uLongf size = compressBound(static_cast<uLong>(data.size()));
    Bytes out(size);
    compress(out.data(), &size, data.data(), static_cast<uLong>(data.size()));
    out.resize(size);
    return out;
}

Bytes BitsTag(int code, unsigned id, const Bytes& body) {
    Bytes b = U16(id);
    Append(b, body);
    return Tag(code, b, true);
}

}  // namespace

TEST(ImageDecoder, DecodesEachFormatIntoPremultipliedPixels) {
    const auto decoder = MakeImageDecoder();
    SwfBitmap out;
    const Bytes jpeg = Jpeg(16, 8, 200, 40, 20);
    ASSERT_TRUE(decoder->Decode(jpeg.data(), jpeg.size(), 1000, out));
    EXPECT_EQ(out.width, 16);
    EXPECT_EQ(out.height, 8);
    EXPECT_TRUE(Close(out.pixels[0], Argb(255, 200, 40, 20), 4));
    EXPECT_TRUE(Close(out.pixels.back(), Argb(255, 200, 40, 20), 4));

    const Bytes png = Png(2, 1, {255, 0, 0, 255, 0, 0, 255, 128});
    ASSERT_TRUE(decoder->Decode(png.data(), png.size(), 1000, out));
    EXPECT_EQ(out.pixels, (std::vector<std::uint32_t>{Argb(255, 255, 0, 0), Argb(128, 0, 0, 128)}));

    const Bytes gif = Gif({{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {0, 0, 0}}, {0, 1, 2, 3}, 3);
    ASSERT_TRUE(decoder->Decode(gif.data(), gif.size(), 1000, out));
    EXPECT_EQ(out.pixels, (std::vector<std::uint32_t>{Argb(255, 255, 0, 0), Argb(255, 0, 255, 0),
                                                      Argb(255, 0, 0, 255), 0}));
}

TEST(ImageDecoder, RefusesWhatIsTooLargeOrBroken) {
    const auto decoder = MakeImageDecoder();
    SwfBitmap out;
    const Bytes jpeg = Jpeg(16, 8, 1, 2, 3);
    EXPECT_FALSE(decoder->Decode(jpeg.data(), jpeg.size(), 16 * 8 - 1, out));
    EXPECT_TRUE(out.pixels.empty());
    // A header that claims 60000 x 60000 pixels is refused before its pixels exist.
    Bytes huge = jpeg;
    for (std::size_t i = 0; i + 8 < huge.size(); ++i)
        if (huge[i] == 0xFF && huge[i + 1] == 0xC0) {
            for (std::size_t k : {i + 5, i + 7}) {
                huge[k] = 0xEA;
                huge[k + 1] = 0x60;
            }
            break;
        }
    EXPECT_FALSE(decoder->Decode(huge.data(), huge.size(), kSwfMaxBitmapPixels, out));
    const Bytes cut(jpeg.begin(), jpeg.begin() + jpeg.size() / 2);
    decoder->Decode(cut.data(), cut.size(), 1000, out);  // whatever it shows, it returns
    const Bytes png = Png(2, 1, {255, 0, 0, 255, 0, 0, 255, 128});
    for (const Bytes& broken :
         {Bytes(png.begin(), png.begin() + 30), BytesOf("GIF89a"), BytesOf("not a picture")})
        EXPECT_FALSE(decoder->Decode(broken.data(), broken.size(), 1000, out));
}

TEST(ImageDecoder, TheJpegTagsOfAMovie) {
    const Bytes jpeg = Jpeg(8, 8, 0, 0, 250);
    Bytes tags = Tag(8, {0xFF, 0xD8, 0xFF, 0xD9});  // tables that the picture itself carries
    Append(tags, BitsTag(6, 1, jpeg));              // DefineBits
    // DefineBitsJPEG2 with an erroneous header first, and with PNG and GIF data.
    Bytes bogus{0xFF, 0xD9, 0xFF, 0xD8};
    Append(bogus, jpeg);
    Append(tags, BitsTag(21, 2, bogus));
    Append(tags, BitsTag(21, 3, Png(2, 1, {255, 0, 0, 255, 0, 0, 255, 128})));
    Append(tags,
           BitsTag(21, 4, Gif({{9, 9, 9}, {0, 0, 0}, {0, 0, 0}, {0, 0, 0}}, {0, 0, 0, 0}, 1)));
    // DefineBitsJPEG3: the picture, then its alpha plane.
    Bytes withAlpha = U32(static_cast<std::uint32_t>(jpeg.size()));
    Append(withAlpha, jpeg);
    Append(withAlpha, Deflate(Bytes(64, 0x80)));
    Append(tags, BitsTag(35, 5, withAlpha));
    Append(tags, ShowFrame());
    const Bytes movie = Movie(tags);

    const auto decoder = MakeImageDecoder();
    SwfMovie m;
    ASSERT_TRUE(ReadSwf(movie.data(), movie.size(), m, decoder.get()));
    ASSERT_EQ(m.bitmaps.size(), 5u);
    EXPECT_TRUE(Close(m.bitmaps.at(1).pixels[0], Argb(255, 0, 0, 250), 4));
    EXPECT_TRUE(Close(m.bitmaps.at(2).pixels[63], Argb(255, 0, 0, 250), 4));
    EXPECT_EQ(m.bitmaps.at(3).pixels[1], Argb(128, 0, 0, 128));
    EXPECT_EQ(m.bitmaps.at(4).pixels[3], Argb(255, 9, 9, 9));
    EXPECT_TRUE(Close(m.bitmaps.at(5).pixels[10], Argb(128, 0, 0, 125), 3));

    // Without a decoder the pictures are left out and the rest reads as before.
    SwfMovie without;
    ASSERT_TRUE(ReadSwf(movie.data(), movie.size(), without));
    EXPECT_TRUE(without.bitmaps.empty());
    EXPECT_EQ(without.frames.size(), 1u);
}

TEST(LosslessBitmaps, EachFormatIntoPremultipliedPixels) {
    const auto lossless = [](int code, unsigned id, std::uint8_t format, int w, int h,
                             std::initializer_list<std::uint8_t> table, const Bytes& data) {
        Bytes body{format};
        Append(body, U16(static_cast<unsigned>(w)));
        Append(body, U16(static_cast<unsigned>(h)));
        if (format == 3)
            body.push_back(static_cast<std::uint8_t>(table.size() / (code == 36 ? 4 : 3) - 1));
        Bytes raw(table);
        Append(raw, data);
        Append(body, Deflate(raw));
        return BitsTag(code, id, body);
    };
    // Colour-mapped rows are padded to four bytes; an index past the table is transparent.
    Bytes tags = lossless(20, 1, 3, 3, 2, {255, 0, 0, 0, 0, 255}, {0, 1, 0, 0, 1, 1, 5, 0});
    Append(tags, lossless(36, 2, 3, 1, 1, {128, 0, 0, 128}, {0, 0, 0, 0}));
    Append(tags, lossless(20, 3, 5, 1, 1, {}, {0x00, 10, 20, 30}));
    Append(tags, lossless(36, 4, 5, 2, 1, {}, {0x80, 0x40, 0x00, 0x00, 0x00, 0, 0, 0}));
    Append(tags, lossless(20, 5, 4, 1, 1, {}, {0x7C, 0x00, 0, 0}));
    Append(tags, lossless(36, 6, 4, 1, 1, {}, {0x7C, 0x00, 0, 0}));  // no 15-bit with alpha
    Append(tags, lossless(20, 7, 5, 4, 4, {}, {1, 2, 3}));           // data cut short
    Append(tags, ShowFrame());
    const Bytes movie = Movie(tags);
    SwfMovie m;
    ASSERT_TRUE(ReadSwf(movie.data(), movie.size(), m));
    ASSERT_EQ(m.bitmaps.count(1), 1u);
    EXPECT_EQ(m.bitmaps.at(1).pixels,
              (std::vector<std::uint32_t>{Argb(255, 255, 0, 0), Argb(255, 0, 0, 255),
                                          Argb(255, 255, 0, 0), Argb(255, 0, 0, 255),
                                          Argb(255, 0, 0, 255), 0}));
    EXPECT_EQ(m.bitmaps.at(2).pixels[0], Argb(128, 128, 0, 0));
    EXPECT_EQ(m.bitmaps.at(3).pixels[0], Argb(255, 10, 20, 30));
    EXPECT_EQ(m.bitmaps.at(4).pixels, (std::vector<std::uint32_t>{Argb(128, 64, 0, 0), 0}));
    EXPECT_EQ(m.bitmaps.at(5).pixels[0], Argb(255, 255, 0, 0));
    EXPECT_EQ(m.bitmaps.count(6), 0u);
    EXPECT_EQ(m.bitmaps.count(7), 0u);
}
