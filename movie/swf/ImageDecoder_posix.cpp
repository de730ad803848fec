// The picture decoder of the native build: libjpeg-turbo, libpng and giflib from Debian.
#include <gif_lib.h>
#include <png.h>

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <memory>
#include <utility>
#include <vector>

// jpeglib.h needs FILE and size_t declared before it.
#include <jpeglib.h>

#include "ImageDecoder.h"

namespace {

std::uint32_t Premultiply(unsigned a, unsigned r, unsigned g, unsigned b) {
    const auto scale = [a](unsigned c) { return (c * a + 127) / 255; };
    return a << 24 | scale(r) << 16 | scale(g) << 8 | scale(b);
}

bool Fits(std::size_t width, std::size_t height, std::size_t maxPixels) {
    return width > 0 && height > 0 && width <= maxPixels / height;
}

// ---- JPEG

struct JpegError {
    jpeg_error_mgr manager;
    std::jmp_buf jump;
};

void JpegFail(j_common_ptr info) {
    std::longjmp(reinterpret_cast<JpegError*>(info->err)->jump, 1);
}

void JpegQuiet(j_common_ptr, int) {}

struct JpegState {
    jpeg_decompress_struct info;
    JpegError error;
};

// Only plain data lives in this frame, so the long jump out of the library skips no destructor.
bool DecodeJpegInto(JpegState& s, const std::uint8_t* data, std::size_t size, std::size_t maxPixels,
                    std::vector<std::uint8_t>& rgb, int& width, int& height) {
    s.info.err = jpeg_std_error(&s.error.manager);
    s.error.manager.error_exit = JpegFail;
    s.error.manager.emit_message = JpegQuiet;
    if (setjmp(s.error.jump)) {
        jpeg_destroy_decompress(&s.info);
        return false;
    }
    jpeg_create_decompress(&s.info);
    jpeg_mem_src(&s.info, data, static_cast<unsigned long>(size));
    if (jpeg_read_header(&s.info, TRUE) != JPEG_HEADER_OK ||
        !Fits(s.info.image_width, s.info.image_height, maxPixels)) {
        jpeg_destroy_decompress(&s.info);
        return false;
    }
    s.info.out_color_space = JCS_RGB;
    jpeg_start_decompress(&s.info);
    width = static_cast<int>(s.info.output_width);
    height = static_cast<int>(s.info.output_height);
    if (s.info.output_components != 3 ||
        !Fits(s.info.output_width, s.info.output_height, maxPixels)) {
        jpeg_destroy_decompress(&s.info);
        return false;
    }
    // Sized before any row is read: a failure later leaves a buffer its owner frees.
    rgb.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 3);
    while (s.info.output_scanline < s.info.output_height) {
        JSAMPROW row = rgb.data() + static_cast<std::size_t>(s.info.output_scanline) * width * 3;
        jpeg_read_scanlines(&s.info, &row, 1);
    }
    jpeg_finish_decompress(&s.info);
    jpeg_destroy_decompress(&s.info);
    return true;
}

bool DecodeJpeg(const std::uint8_t* data, std::size_t size, std::size_t maxPixels, SwfBitmap& out) {
    JpegState state{};
    std::vector<std::uint8_t> rgb;
    int width = 0, height = 0;
    if (!DecodeJpegInto(state, data, size, maxPixels, rgb, width, height)) return false;
    out.width = width;
    out.height = height;
    out.pixels.resize(rgb.size() / 3);
    for (std::size_t i = 0; i < out.pixels.size(); ++i)
        out.pixels[i] = 0xFF000000u | std::uint32_t{rgb[3 * i]} << 16 |
                        std::uint32_t{rgb[3 * i + 1]} << 8 | rgb[3 * i + 2];
    return true;
}

// ---- PNG

bool DecodePng(const std::uint8_t* data, std::size_t size, std::size_t maxPixels, SwfBitmap& out) {
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&image, data, size)) return false;
    if (!Fits(image.width, image.height, maxPixels)) {
        png_image_free(&image);
        return false;
    }
    image.format = PNG_FORMAT_RGBA;
    std::vector<std::uint8_t> rgba(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, rgba.data(), 0, nullptr)) {
        png_image_free(&image);
        return false;
    }
    out.width = static_cast<int>(image.width);
    out.height = static_cast<int>(image.height);
    out.pixels.resize(rgba.size() / 4);
    for (std::size_t i = 0; i < out.pixels.size(); ++i) {
        const std::uint8_t* p = &rgba[4 * i];
        out.pixels[i] = Premultiply(p[3], p[0], p[1], p[2]);
    }
    return true;
}

// ---- GIF: the first frame

struct GifSource {
    const std::uint8_t* data;
    std::size_t size, at;
};

int GifRead(GifFileType* gif, GifByteType* to, int n) {
    auto* s = static_cast<GifSource*>(gif->UserData);
    const std::size_t take = std::min(static_cast<std::size_t>(n), s->size - s->at);
    std::memcpy(to, s->data + s->at, take);
    s->at += take;
    return static_cast<int>(take);
}

bool DecodeGif(const std::uint8_t* data, std::size_t size, std::size_t maxPixels, SwfBitmap& out) {
    GifSource source{data, size, 0};
    int error = 0;
    GifFileType* gif = DGifOpen(&source, GifRead, &error);
    if (!gif) return false;
    struct Closer {
        GifFileType* g;
        ~Closer() {
            int e = 0;
            DGifCloseFile(g, &e);
        }
    } closer{gif};
    if (gif->SWidth <= 0 || gif->SHeight <= 0 ||
        !Fits(static_cast<std::size_t>(gif->SWidth), static_cast<std::size_t>(gif->SHeight),
              maxPixels))
        return false;
    // Record by record up to the first image, so that no frame is allocated by its own say-so.
    int transparent = NO_TRANSPARENT_COLOR;
    for (;;) {
        GifRecordType type;
        if (DGifGetRecordType(gif, &type) != GIF_OK) return false;
        if (type == TERMINATE_RECORD_TYPE) return false;
        if (type == EXTENSION_RECORD_TYPE) {
            int code = 0;
            GifByteType* block = nullptr;
            if (DGifGetExtension(gif, &code, &block) != GIF_OK) return false;
            if (code == GRAPHICS_EXT_FUNC_CODE && block && block[0] >= 4 && (block[1] & 1))
                transparent = block[4];
            while (block) {
                if (DGifGetExtensionNext(gif, &block) != GIF_OK) return false;
            }
            continue;
        }
        if (type != IMAGE_DESC_RECORD_TYPE) continue;
        if (DGifGetImageDesc(gif) != GIF_OK) return false;
        const GifImageDesc& d = gif->Image;
        if (d.Width <= 0 || d.Height <= 0 ||
            !Fits(static_cast<std::size_t>(d.Width), static_cast<std::size_t>(d.Height), maxPixels))
            return false;
        const ColorMapObject* map = d.ColorMap ? d.ColorMap : gif->SColorMap;
        if (!map) return false;
        std::vector<GifPixelType> raster(static_cast<std::size_t>(d.Width) *
                                         static_cast<std::size_t>(d.Height));
        // Interlaced rows come in four passes.
        std::vector<int> rows;
        if (d.Interlace) {
            for (const auto& [from, step] :
                 {std::pair{0, 8}, std::pair{4, 8}, std::pair{2, 4}, std::pair{1, 2}})
                for (int y = from; y < d.Height; y += step) rows.push_back(y);
        } else {
            for (int y = 0; y < d.Height; ++y) rows.push_back(y);
        }
        for (const int y : rows)
            if (DGifGetLine(gif, raster.data() + static_cast<std::size_t>(y) * d.Width, d.Width) !=
                GIF_OK)
                return false;
        out.width = gif->SWidth;
        out.height = gif->SHeight;
        out.pixels.assign(
            static_cast<std::size_t>(out.width) * static_cast<std::size_t>(out.height), 0);
        for (int y = 0; y < d.Height; ++y) {
            const int sy = d.Top + y;
            if (sy < 0 || sy >= out.height) continue;
            for (int x = 0; x < d.Width; ++x) {
                const int sx = d.Left + x;
                if (sx < 0 || sx >= out.width) continue;
                const int index = raster[static_cast<std::size_t>(y) * d.Width + x];
                if (index == transparent || index >= map->ColorCount) continue;
                const GifColorType c = map->Colors[index];
                out.pixels[static_cast<std::size_t>(sy) * out.width + sx] =
                    Premultiply(255, c.Red, c.Green, c.Blue);
            }
        }
        return true;
    }
}

class LibraryImageDecoder : public ImageDecoder {
  public:
    bool Decode(const std::uint8_t* data, std::size_t size, std::size_t maxPixels,
                SwfBitmap& out) override {
        out = {};
        bool ok = false;
        switch (SniffPicture(data, size)) {
            case PictureFormat::Jpeg:
                ok = DecodeJpeg(data, size, maxPixels, out);
                break;
            case PictureFormat::Png:
                ok = DecodePng(data, size, maxPixels, out);
                break;
            case PictureFormat::Gif:
                ok = DecodeGif(data, size, maxPixels, out);
                break;
            default:
                break;
        }
        if (!ok) out = {};
        return ok;
    }
};

}  // namespace

std::unique_ptr<ImageDecoder> MakeImageDecoder() {
    return std::make_unique<LibraryImageDecoder>();
}
