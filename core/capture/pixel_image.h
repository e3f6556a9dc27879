#pragma once

#include <cstdint>
#include <vector>

namespace zentrel {

// One 32-bit pixel per value with the alpha channel in the top eight bits: Qt's ARGB32/RGB32
// (BGRA bytes) and RGBA8888 both lay pixels out this way on little-endian machines. The other
// three channels are treated alike, so either byte order passes through unchanged.
struct PixelImage
{
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;

    bool isEmpty() const { return width <= 0 || height <= 0; }

    friend bool operator==(const PixelImage &, const PixelImage &) = default;
};

// A window onto pixels owned elsewhere (a PixelImage, a QImage's bits), so a crop needs no copy.
// stride counts pixels, not bytes, from one row to the next.
struct PixelView
{
    const std::uint32_t *pixels = nullptr;
    int width = 0;
    int height = 0;
    int stride = 0;

    bool isEmpty() const { return pixels == nullptr || width <= 0 || height <= 0; }

    friend bool operator==(const PixelView &, const PixelView &) = default;
};

struct MutablePixelView
{
    std::uint32_t *pixels = nullptr;
    int width = 0;
    int height = 0;
    int stride = 0;

    bool isEmpty() const { return pixels == nullptr || width <= 0 || height <= 0; }

    friend bool operator==(const MutablePixelView &, const MutablePixelView &) = default;
};

inline PixelView viewOf(const PixelImage &image)
{
    return {image.pixels.data(), image.width, image.height, image.width};
}

inline MutablePixelView mutableViewOf(PixelImage &image)
{
    return {image.pixels.data(), image.width, image.height, image.width};
}

} // namespace zentrel
