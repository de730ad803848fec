#pragma once
// Bitmap characters: lossless ones inflated here, JPEG, PNG and GIF data through the platform's
// decoder. Every bitmap is refused before its pixels are allocated when it is larger than the
// limits allow.
#include <vector>

#include "SwfRecords.h"

class ImageDecoder;

namespace swf {

// The body of DefineBitsLossless (`version` 1) or DefineBitsLossless2 (2) after the id.
bool ReadDefineBitsLossless(BitReader& r, int version, SwfBitmap& bitmap, Budget& budget);
// The body of DefineBits, DefineBitsJPEG2 or DefineBitsJPEG3 after the id. `tables` holds the
// movie's JPEGTables for DefineBits; `withAlpha` reads DefineBitsJPEG3's alpha plane.
bool ReadDefineBitsJpeg(BitReader& r, const std::vector<std::uint8_t>* tables, bool withAlpha,
                        ImageDecoder& decoder, SwfBitmap& bitmap, Budget& budget);

}  // namespace swf
