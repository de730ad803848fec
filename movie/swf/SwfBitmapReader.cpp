#include "SwfBitmapReader.h"

#include <zlib.h>

#include <algorithm>

#include "ImageDecoder.h"
#include "SwfReader.h"

namespace swf {
namespace {

// Inflates exactly `size` bytes, or fails.
bool Inflate(const std::uint8_t* data, std::size_t length, std::size_t size,
             std::vector<std::uint8_t>& out) {
    out.assign(size, 0);
    z_stream z{};
    if (inflateInit(&z) != Z_OK) return false;
    z.next_in = const_cast<Bytef*>(data);
    z.avail_in = static_cast<uInt>(std::min<std::size_t>(length, 0xFFFFFFFFu));
    z.next_out = out.data();
    z.avail_out = static_cast<uInt>(size);
    int result = Z_OK;
    while (result == Z_OK && z.avail_out > 0) result = inflate(&z, Z_NO_FLUSH);
    inflateEnd(&z);
    return z.avail_out == 0;
}

bool Reserve(std::size_t width, std::size_t height, Budget& budget) {
    const std::size_t pixels = width * height;
    if (width == 0 || height == 0 || pixels > kSwfMaxBitmapPixels) return false;
    if (budget.bitmapPixels + pixels > kSwfMaxBitmapPixelsTotal) return false;
    budget.bitmapPixels += pixels;
    return true;
}

std::uint32_t Pack(unsigned a, unsigned r, unsigned g, unsigned b) {
    // Premultiplied colour never exceeds its alpha.
    r = std::min(r, a);
    g = std::min(g, a);
    b = std::min(b, a);
    return a << 24 | r << 16 | g << 8 | b;
}

// Erroneous headers some writers put before the JPEG data: an end marker and a start marker.
void DropBogusHeader(const std::uint8_t*& data, std::size_t& size) {
    while (size >= 4 && data[0] == 0xFF && data[1] == 0xD9 && data[2] == 0xFF && data[3] == 0xD8) {
        data += 4;
        size -= 4;
    }
}

}  // namespace

bool ReadDefineBitsLossless(BitReader& r, int version, SwfBitmap& bitmap, Budget& budget) {
    const std::uint8_t format = r.U8();
    const std::size_t width = r.U16(), height = r.U16();
    std::size_t colors = 0;
    if (format == 3) colors = std::size_t{r.U8()} + 1;
    if (!r.Ok() || (format != 3 && format != 4 && format != 5)) return false;
    if (format == 4 && version != 1) return false;
    if (!Reserve(width, height, budget)) return false;

    const std::size_t entry = version == 2 ? 4 : 3;
    std::size_t rowBytes = 0, tableBytes = 0;
    if (format == 3) {
        rowBytes = (width + 3) & ~std::size_t{3};
        tableBytes = colors * entry;
    } else if (format == 4) {
        rowBytes = (width * 2 + 3) & ~std::size_t{3};
    } else {
        rowBytes = width * 4;
    }
    std::vector<std::uint8_t> raw;
    if (!Inflate(r.Here(), r.Left(), tableBytes + rowBytes * height, raw)) return false;

    bitmap.width = static_cast<int>(width);
    bitmap.height = static_cast<int>(height);
    bitmap.pixels.assign(width * height, 0);
    for (std::size_t y = 0; y < height; ++y) {
        const std::uint8_t* row = raw.data() + tableBytes + y * rowBytes;
        std::uint32_t* out = bitmap.pixels.data() + y * width;
        for (std::size_t x = 0; x < width; ++x) {
            if (format == 3) {
                const std::size_t index = row[x];
                if (index >= colors) continue;  // transparent
                const std::uint8_t* c = raw.data() + index * entry;
                out[x] = Pack(version == 2 ? c[3] : 255, c[0], c[1], c[2]);
            } else if (format == 4) {
                const unsigned v = static_cast<unsigned>(row[2 * x] << 8 | row[2 * x + 1]);
                const auto five = [](unsigned c) { return (c << 3) | (c >> 2); };
                out[x] = Pack(255, five((v >> 10) & 31), five((v >> 5) & 31), five(v & 31));
            } else {
                const std::uint8_t* p = row + 4 * x;
                out[x] = Pack(version == 2 ? p[0] : 255, p[1], p[2], p[3]);
            }
        }
    }
    return true;
}

bool ReadDefineBitsJpeg(BitReader& r, const std::vector<std::uint8_t>* tables, bool withAlpha,
                        ImageDecoder& decoder, SwfBitmap& bitmap, Budget& budget) {
    std::size_t imageSize = r.Left();
    if (withAlpha) {
        imageSize = r.U32();
        if (!r.Ok() || imageSize > r.Left()) return false;
    }
    const std::uint8_t* image = r.Here();
    const std::uint8_t* alpha = image + imageSize;
    const std::size_t alphaSize = r.Left() - imageSize;
    DropBogusHeader(image, imageSize);

    std::vector<std::uint8_t> joined;
    if (tables && !tables->empty() && SniffPicture(image, imageSize) == PictureFormat::Jpeg) {
        // The tables' stream without its end marker, then the image without its start marker.
        const std::uint8_t* t = tables->data();
        std::size_t tSize = tables->size();
        DropBogusHeader(t, tSize);
        if (tSize >= 2 && t[tSize - 2] == 0xFF && t[tSize - 1] == 0xD9) tSize -= 2;
        joined.assign(t, t + tSize);
        const std::size_t skip = imageSize >= 2 && image[0] == 0xFF && image[1] == 0xD8 ? 2 : 0;
        if (joined.empty()) joined = {0xFF, 0xD8};
        joined.insert(joined.end(), image + skip, image + imageSize);
        image = joined.data();
        imageSize = joined.size();
    }
    const std::size_t room =
        std::min(kSwfMaxBitmapPixels, kSwfMaxBitmapPixelsTotal - budget.bitmapPixels);
    const PictureFormat format = SniffPicture(image, imageSize);
    if (format == PictureFormat::Unknown) return false;
    if (!decoder.Decode(image, imageSize, room, bitmap)) return false;
    if (bitmap.width <= 0 || bitmap.height <= 0 ||
        bitmap.pixels.size() != static_cast<std::size_t>(bitmap.width) * bitmap.height ||
        !Reserve(static_cast<std::size_t>(bitmap.width), static_cast<std::size_t>(bitmap.height),
                 budget)) {
        bitmap = {};
        return false;
    }
    // The alpha plane belongs to JPEG data only.
    if (withAlpha && format == PictureFormat::Jpeg && alphaSize > 0) {
        std::vector<std::uint8_t> a;
        if (Inflate(alpha, alphaSize, bitmap.pixels.size(), a)) {
            for (std::size_t i = 0; i < bitmap.pixels.size(); ++i) {
                const std::uint32_t p = bitmap.pixels[i];
                const unsigned k = a[i];
                const auto scale = [&](unsigned c) { return (c * k + 127) / 255; };
                bitmap.pixels[i] =
                    Pack(k, scale(p >> 16 & 0xFF), scale(p >> 8 & 0xFF), scale(p & 0xFF));
            }
        }
    }
    return true;
}

}  // namespace swf
