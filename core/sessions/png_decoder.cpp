#include "sessions/png_decoder.h"

#include <algorithm>
#include <cstdlib>

namespace zentrel {
namespace {

int paeth(int left, int above, int upperLeft)
{
    const int estimate = left + above - upperLeft;
    const int toLeft = std::abs(estimate - left);
    const int toAbove = std::abs(estimate - above);
    const int toUpperLeft = std::abs(estimate - upperLeft);
    if (toLeft <= toAbove && toLeft <= toUpperLeft) {
        return left;
    }
    return toAbove <= toUpperLeft ? above : upperLeft;
}

// Reverses one row's filter in place; `previous` is the unfiltered row above, or empty.
bool unfilterRow(std::uint8_t type,
                 std::uint8_t *row,
                 const std::uint8_t *previous,
                 std::size_t length,
                 std::size_t pixelBytes)
{
    for (std::size_t i = 0; i < length; ++i) {
        const int left = i >= pixelBytes ? row[i - pixelBytes] : 0;
        const int above = previous ? previous[i] : 0;
        const int upperLeft = previous && i >= pixelBytes ? previous[i - pixelBytes] : 0;
        int predicted = 0;
        switch (type) {
        case 0:
            break;
        case 1:
            predicted = left;
            break;
        case 2:
            predicted = above;
            break;
        case 3:
            predicted = (left + above) / 2;
            break;
        case 4:
            predicted = paeth(left, above, upperLeft);
            break;
        default:
            return false;
        }
        row[i] = static_cast<std::uint8_t>(row[i] + predicted);
    }
    return true;
}

// Turns unfiltered samples of one row into RGBA pixels.
class PixelReader
{
public:
    explicit PixelReader(const PngFile &png)
        : m_header(png.header)
        , m_palette(png.palette)
        , m_transparency(png.transparency)
    {}

    // Sample `index` of the row, at the image's bit depth.
    std::uint32_t sample(const std::uint8_t *row, std::uint64_t index) const
    {
        const int depth = m_header.bitDepth;
        if (depth == 16) {
            return (std::uint32_t(row[index * 2]) << 8) | row[index * 2 + 1];
        }
        if (depth == 8) {
            return row[index];
        }
        const std::uint64_t bit = index * depth;
        const int shift = 8 - depth - int(bit % 8);
        return (row[bit / 8] >> shift) & ((1u << depth) - 1);
    }

    std::uint8_t to8(std::uint32_t value) const
    {
        const int depth = m_header.bitDepth;
        if (depth == 16) {
            return static_cast<std::uint8_t>(value >> 8);
        }
        return static_cast<std::uint8_t>(value * 255 / ((1u << depth) - 1));
    }

    std::uint32_t transparencyValue(std::size_t index) const
    {
        return (std::uint32_t(std::uint8_t(m_transparency[index * 2])) << 8)
               | std::uint8_t(m_transparency[index * 2 + 1]);
    }

    void pixel(const std::uint8_t *row, std::uint32_t column, std::uint8_t *rgba) const
    {
        const int channels = m_header.channels();
        const std::uint64_t first = std::uint64_t(column) * channels;
        rgba[3] = 255;
        switch (m_header.colorType) {
        case 0:
        case 4: {
            const std::uint32_t grey = sample(row, first);
            rgba[0] = rgba[1] = rgba[2] = to8(grey);
            if (m_header.colorType == 4) {
                rgba[3] = to8(sample(row, first + 1));
            } else if (m_transparency.size() >= 2 && grey == transparencyValue(0)) {
                rgba[3] = 0;
            }
            break;
        }
        case 2:
        case 6: {
            const std::uint32_t red = sample(row, first);
            const std::uint32_t green = sample(row, first + 1);
            const std::uint32_t blue = sample(row, first + 2);
            rgba[0] = to8(red);
            rgba[1] = to8(green);
            rgba[2] = to8(blue);
            if (m_header.colorType == 6) {
                rgba[3] = to8(sample(row, first + 3));
            } else if (m_transparency.size() >= 6 && red == transparencyValue(0)
                       && green == transparencyValue(1) && blue == transparencyValue(2)) {
                rgba[3] = 0;
            }
            break;
        }
        default: {
            // Indexes past the palette read as black, as common decoders show them.
            const std::uint32_t index = sample(row, first);
            const bool known = std::size_t(index) * 3 + 2 < m_palette.size();
            for (int channel = 0; channel < 3; ++channel) {
                rgba[channel] = known ? std::uint8_t(m_palette[index * 3 + channel]) : 0;
            }
            if (index < m_transparency.size()) {
                rgba[3] = std::uint8_t(m_transparency[index]);
            }
            break;
        }
        }
    }

private:
    const PngHeader &m_header;
    std::string_view m_palette;
    std::string_view m_transparency;
};

} // namespace

std::optional<DecodedPng> decodePng(const PngFile &png, std::uint64_t maximumPixels)
{
    const PngHeader &header = png.header;
    if (std::uint64_t(header.width) * header.height > maximumPixels) {
        return std::nullopt;
    }
    std::vector<std::uint8_t> filtered;
    filtered.reserve(header.filteredSize());
    auto inflated = inflatePngData(png, [&](const unsigned char *data, std::size_t count) {
        if (filtered.size() + count > header.filteredSize()) {
            return false;
        }
        filtered.insert(filtered.end(), data, data + count);
        return true;
    });
    if (!inflated || filtered.size() != header.filteredSize()) {
        return std::nullopt;
    }

    DecodedPng decoded{header.width, header.height, {}, {}};
    const std::size_t pixels = std::size_t(header.width) * header.height;
    decoded.rgb.resize(pixels * 3);
    decoded.alpha.resize(pixels);
    const PixelReader reader(png);
    const std::size_t pixelBytes =
        std::max<std::size_t>(1, header.channels() * header.bitDepth / 8);
    std::size_t offset = 0;
    bool opaque = true;
    for (const PngPass &pass : pngPasses(header)) {
        if (pass.columns == 0) {
            continue;
        }
        const std::size_t length = header.rowBytes(pass.columns);
        const std::uint8_t *previous = nullptr;
        for (std::uint32_t row = 0; row < pass.rows; ++row) {
            std::uint8_t *data = filtered.data() + offset + 1;
            if (!unfilterRow(filtered[offset], data, previous, length, pixelBytes)) {
                return std::nullopt;
            }
            const std::size_t y = pass.yStart + std::size_t(row) * pass.yStep;
            for (std::uint32_t column = 0; column < pass.columns; ++column) {
                const std::size_t x = pass.xStart + std::size_t(column) * pass.xStep;
                std::uint8_t rgba[4];
                reader.pixel(data, column, rgba);
                const std::size_t at = y * header.width + x;
                std::copy(rgba, rgba + 3, decoded.rgb.begin() + std::ptrdiff_t(at * 3));
                decoded.alpha[at] = rgba[3];
                opaque = opaque && rgba[3] == 255;
            }
            previous = data;
            offset += 1 + length;
        }
    }
    if (opaque) {
        decoded.alpha.clear();
        decoded.alpha.shrink_to_fit();
    }
    return decoded;
}

} // namespace zentrel
