#pragma once

#include "sessions/png_file.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace zentrel {

// A PNG decoded to 8-bit RGB with a separate 8-bit alpha plane, as a PDF image and its soft
// mask take it.
struct DecodedPng
{
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::vector<std::uint8_t> rgb;
    // Empty when every pixel is opaque.
    std::vector<std::uint8_t> alpha;
};

// Any PNG parsePng accepts: every colour type and depth, transparency chunks, interlacing.
// Nothing when the data does not decode or the image would need more than `maximumPixels`.
std::optional<DecodedPng> decodePng(const PngFile &png, std::uint64_t maximumPixels);

} // namespace zentrel
