#pragma once
// The rasteriser's picture: premultiplied 0xAARRGGBB pixels, rows top down, the layout of a
// 32-bit top-down device-independent bitmap.
#include <cstdint>
#include <vector>

struct PixelImage {
    int width = 0, height = 0;
    std::vector<std::uint32_t> pixels;

    void Resize(int w, int h) {
        width = w > 0 ? w : 0;
        height = h > 0 ? h : 0;
        pixels.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), 0);
    }
    std::uint32_t At(int x, int y) const {
        return pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                      static_cast<std::size_t>(x)];
    }
};

// Channels of a pixel.
inline int AlphaOf(std::uint32_t p) {
    return static_cast<int>(p >> 24);
}
inline int RedOf(std::uint32_t p) {
    return static_cast<int>(p >> 16 & 0xFF);
}
inline int GreenOf(std::uint32_t p) {
    return static_cast<int>(p >> 8 & 0xFF);
}
inline int BlueOf(std::uint32_t p) {
    return static_cast<int>(p & 0xFF);
}

// A coverage mask over a whole picture: 255 lets everything through.
struct CoverageMask {
    int width = 0, height = 0;
    std::vector<std::uint8_t> alpha;
};
