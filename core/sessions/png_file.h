#pragma once

#include <tl/expected.hpp>

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace zentrel {

// The most pixels a session frame may have: 2^25 (33,554,432), 8192 by 4096, which an 8K screen
// (7680 by 4320) fits. A larger header is refused as not a valid frame, so a small file declaring
// a huge image (a decompression bomb) never becomes a frame, a decode or a giant PDF page.
inline constexpr std::uint64_t sessionFrameMaximumPixels = std::uint64_t(1) << 25;

// The image header (IHDR) of a PNG file.
struct PngHeader
{
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::uint8_t bitDepth = 0;
    // 0 grey, 2 RGB, 3 palette, 4 grey and alpha, 6 RGBA.
    std::uint8_t colorType = 0;
    bool interlaced = false;

    int channels() const;

    bool hasAlphaChannel() const { return colorType == 4 || colorType == 6; }

    // Bytes of one filtered row of `columns` pixels, without its filter-type byte.
    std::uint64_t rowBytes(std::uint32_t columns) const;
    // Bytes of the whole inflated image data, filter-type bytes and interlace passes included.
    std::uint64_t filteredSize() const;
};

// A PNG file's chunks that matter for decoding, as views into the file's bytes.
struct PngFile
{
    PngHeader header;
    std::string_view palette;
    std::string_view transparency;
    // The IDAT payloads in file order; together one zlib stream.
    std::vector<std::string_view> data;
};

// Checks the signature, the header (at most sessionFrameMaximumPixels), the chunk layout and
// every critical chunk's checksum.
tl::expected<PngFile, std::string> parsePng(std::string_view bytes);

// Receives inflated image data piece by piece; returning false stops the inflation.
using PngDataSink = std::function<bool(const unsigned char *data, std::size_t count)>;

// Inflates the image data into the sink; an incomplete or damaged stream is an error, unless the
// sink stopped first.
tl::expected<void, std::string> inflatePngData(const PngFile &png, const PngDataSink &sink);

// Inflates the image data without keeping it: it must be one complete zlib stream of exactly the
// size the header calls for, with a valid filter type at the start of every row.
tl::expected<void, std::string> checkPngImageData(const PngFile &png);

// A PNG that any decoder reads: parsePng and checkPngImageData together.
tl::expected<PngHeader, std::string> validatePng(std::string_view bytes);

// The rows of one Adam7 pass (or of the whole image when not interlaced), in filtered order.
struct PngPass
{
    std::uint32_t xStart, yStart, xStep, yStep, columns, rows;
};

std::vector<PngPass> pngPasses(const PngHeader &header);

} // namespace zentrel
