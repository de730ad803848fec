#include "ImageDecoder.h"

#include <algorithm>

PictureFormat SniffPicture(const std::uint8_t* data, std::size_t size) {
    if (size >= 2 && data[0] == 0xFF && data[1] == 0xD8) return PictureFormat::Jpeg;
    static const std::uint8_t kPng[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    if (size >= 8 && std::equal(kPng, kPng + 8, data)) return PictureFormat::Png;
    if (size >= 6 && data[0] == 'G' && data[1] == 'I' && data[2] == 'F' && data[3] == '8')
        return PictureFormat::Gif;
    return PictureFormat::Unknown;
}
