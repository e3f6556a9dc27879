#pragma once

#include "sessions/png_file.h"

#include <zlib.h>

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace zentrel {

using Rgba = std::array<std::uint8_t, 4>;

// Writes small PNG files for tests: every colour type at 8 bits, optionally interlaced, with
// the rows unfiltered or Sub-filtered.
struct PngFixture
{
    std::uint32_t width = 4;
    std::uint32_t height = 3;
    std::uint8_t colorType = 2;
    bool interlaced = false;
    std::string palette;
    std::string transparency;
    // Sample values of one pixel in the colour type's channel order.
    std::function<std::vector<std::uint8_t>(std::uint32_t x, std::uint32_t y)> samples =
        [](std::uint32_t x, std::uint32_t y) {
            return std::vector<std::uint8_t>{std::uint8_t(x * 40), std::uint8_t(y * 60), 200};
        };
    bool subFilter = false;

    static void appendChunk(std::string &file, std::string_view type, std::string_view data)
    {
        const auto appendNumber = [&](std::uint32_t value) {
            for (int shift = 24; shift >= 0; shift -= 8) {
                file.push_back(char((value >> shift) & 0xFF));
            }
        };
        appendNumber(std::uint32_t(data.size()));
        std::string body = std::string(type) + std::string(data);
        file += body;
        appendNumber(std::uint32_t(
            crc32(0, reinterpret_cast<const Bytef *>(body.data()), uInt(body.size()))));
    }

    std::string filteredData() const
    {
        PngHeader header{width, height, 8, colorType, interlaced};
        std::string raw;
        for (const PngPass &pass : pngPasses(header)) {
            if (pass.columns == 0) {
                continue;
            }
            for (std::uint32_t row = 0; row < pass.rows; ++row) {
                std::vector<std::uint8_t> line;
                for (std::uint32_t column = 0; column < pass.columns; ++column) {
                    const auto pixel =
                        samples(pass.xStart + column * pass.xStep, pass.yStart + row * pass.yStep);
                    line.insert(line.end(), pixel.begin(), pixel.end());
                }
                raw.push_back(char(subFilter ? 1 : 0));
                const std::size_t step = std::size_t(header.channels());
                for (std::size_t i = 0; i < line.size(); ++i) {
                    const std::uint8_t left = subFilter && i >= step ? line[i - step] : 0;
                    raw.push_back(char(std::uint8_t(line[i] - left)));
                }
            }
        }
        return raw;
    }

    // zlib's compression of `raw`, as image data is stored.
    static std::string compressed(const std::string &raw)
    {
        uLongf size = compressBound(uLong(raw.size()));
        std::string result(size, '\0');
        compress(reinterpret_cast<Bytef *>(result.data()),
                 &size,
                 reinterpret_cast<const Bytef *>(raw.data()),
                 uLong(raw.size()));
        result.resize(size);
        return result;
    }

    std::string encode() const
    {
        const std::string compressed = PngFixture::compressed(filteredData());
        std::string file("\x89PNG\r\n\x1a\n", 8);
        std::string header;
        for (std::uint32_t value : {width, height}) {
            for (int shift = 24; shift >= 0; shift -= 8) {
                header.push_back(char((value >> shift) & 0xFF));
            }
        }
        header += std::string{char(8), char(colorType), 0, 0, char(interlaced ? 1 : 0)};
        appendChunk(file, "IHDR", header);
        if (!palette.empty()) {
            appendChunk(file, "PLTE", palette);
        }
        if (!transparency.empty()) {
            appendChunk(file, "tRNS", transparency);
        }
        // Two IDAT chunks, as encoders split large images.
        const std::size_t half = compressed.size() / 2;
        appendChunk(file, "IDAT", std::string_view(compressed).substr(0, half));
        appendChunk(file, "IDAT", std::string_view(compressed).substr(half));
        appendChunk(file, "IEND", {});
        return file;
    }
};

// A plain RGB PNG of the given size.
inline std::string rgbPng(std::uint32_t width, std::uint32_t height)
{
    PngFixture fixture;
    fixture.width = width;
    fixture.height = height;
    return fixture.encode();
}

// A grey PNG whose every sample is 0: a few kilobytes on disk however many pixels it declares,
// as a decompression bomb is.
inline std::string blankGreyPng(std::uint32_t width, std::uint32_t height)
{
    std::string file("\x89PNG\r\n\x1a\n", 8);
    std::string header;
    for (std::uint32_t value : {width, height}) {
        for (int shift = 24; shift >= 0; shift -= 8) {
            header.push_back(char((value >> shift) & 0xFF));
        }
    }
    header += std::string{char(8), 0, 0, 0, 0};
    PngFixture::appendChunk(file, "IHDR", header);
    // Each row is its filter-type byte 0 and `width` samples of 0.
    PngFixture::appendChunk(
        file, "IDAT", PngFixture::compressed(std::string(std::size_t(height) * (width + 1), '\0')));
    PngFixture::appendChunk(file, "IEND", {});
    return file;
}

} // namespace zentrel
