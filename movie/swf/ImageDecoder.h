#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>

#include "SwfCharacters.h"

// The platform's picture decoder: JPEG, PNG and GIF data (as a movie's JPEG tags carry them)
// into premultiplied pixels. Implementations refuse a picture larger than `maxPixels` before
// they allocate its pixels.
class ImageDecoder {
  public:
    virtual ~ImageDecoder() = default;
    // False when the data is no picture of these formats or cannot be decoded.
    virtual bool Decode(const std::uint8_t* data, std::size_t size, std::size_t maxPixels,
                        SwfBitmap& out) = 0;
};

// The platform's decoder: the imaging component on Windows, Debian's libraries natively.
std::unique_ptr<ImageDecoder> MakeImageDecoder();

// The kind of picture by its first bytes.
enum class PictureFormat { Unknown, Jpeg, Png, Gif };
PictureFormat SniffPicture(const std::uint8_t* data, std::size_t size);
