#include "sessions/png_file.h"

#include <zlib.h>

#include <array>
#include <cstring>

namespace zentrel {
namespace {

constexpr std::string_view signature("\x89PNG\r\n\x1a\n", 8);
// Beyond this the header is not one any writer produces (the format allows 2^31 - 1).
constexpr std::uint32_t maximumDimension = 1u << 24;

std::uint32_t readBigEndian(const char *bytes)
{
    const auto *data = reinterpret_cast<const unsigned char *>(bytes);
    return (std::uint32_t(data[0]) << 24) | (std::uint32_t(data[1]) << 16)
           | (std::uint32_t(data[2]) << 8) | std::uint32_t(data[3]);
}

bool isValidDepth(std::uint8_t colorType, std::uint8_t depth)
{
    switch (colorType) {
    case 0:
        return depth == 1 || depth == 2 || depth == 4 || depth == 8 || depth == 16;
    case 3:
        return depth == 1 || depth == 2 || depth == 4 || depth == 8;
    case 2:
    case 4:
    case 6:
        return depth == 8 || depth == 16;
    default:
        return false;
    }
}

tl::expected<PngHeader, std::string> readHeader(std::string_view data)
{
    if (data.size() != 13) {
        return tl::unexpected(std::string("the header has the wrong size"));
    }
    PngHeader header;
    header.width = readBigEndian(data.data());
    header.height = readBigEndian(data.data() + 4);
    header.bitDepth = static_cast<std::uint8_t>(data[8]);
    header.colorType = static_cast<std::uint8_t>(data[9]);
    const auto compression = static_cast<std::uint8_t>(data[10]);
    const auto filter = static_cast<std::uint8_t>(data[11]);
    const auto interlace = static_cast<std::uint8_t>(data[12]);
    if (header.width < 1 || header.height < 1 || header.width > maximumDimension
        || header.height > maximumDimension) {
        return tl::unexpected(std::string("the image size is out of range"));
    }
    if (std::uint64_t(header.width) * header.height > sessionFrameMaximumPixels) {
        return tl::unexpected("the image has more than " + std::to_string(sessionFrameMaximumPixels)
                              + " pixels");
    }
    if (!isValidDepth(header.colorType, header.bitDepth) || compression != 0 || filter != 0
        || interlace > 1) {
        return tl::unexpected(std::string("the header is not a valid PNG header"));
    }
    header.interlaced = interlace == 1;
    return header;
}

bool isCritical(std::string_view type)
{
    return (type[0] & 0x20) == 0;
}

} // namespace

int PngHeader::channels() const
{
    switch (colorType) {
    case 2:
        return 3;
    case 4:
        return 2;
    case 6:
        return 4;
    default:
        return 1;
    }
}

std::uint64_t PngHeader::rowBytes(std::uint32_t columns) const
{
    return (std::uint64_t(columns) * std::uint64_t(channels()) * bitDepth + 7) / 8;
}

std::uint64_t PngHeader::filteredSize() const
{
    std::uint64_t size = 0;
    for (const PngPass &pass : pngPasses(*this)) {
        if (pass.columns > 0) {
            size += std::uint64_t(pass.rows) * (1 + rowBytes(pass.columns));
        }
    }
    return size;
}

std::vector<PngPass> pngPasses(const PngHeader &header)
{
    if (!header.interlaced) {
        return {PngPass{0, 0, 1, 1, header.width, header.height}};
    }
    static constexpr std::array<std::array<std::uint32_t, 4>, 7> adam7{{
        {0, 0, 8, 8},
        {4, 0, 8, 8},
        {0, 4, 4, 8},
        {2, 0, 4, 4},
        {0, 2, 2, 4},
        {1, 0, 2, 2},
        {0, 1, 1, 2},
    }};
    std::vector<PngPass> passes;
    for (const auto &[x, y, dx, dy] : adam7) {
        const std::uint32_t columns = header.width > x ? (header.width - x + dx - 1) / dx : 0;
        const std::uint32_t rows = header.height > y ? (header.height - y + dy - 1) / dy : 0;
        passes.push_back(PngPass{x, y, dx, dy, columns, rows});
    }
    return passes;
}

tl::expected<PngFile, std::string> parsePng(std::string_view bytes)
{
    if (bytes.substr(0, signature.size()) != signature) {
        return tl::unexpected(std::string("the PNG signature is missing"));
    }
    PngFile png;
    bool hasHeader = false;
    std::size_t position = signature.size();
    while (position + 12 <= bytes.size()) {
        const std::uint32_t length = readBigEndian(bytes.data() + position);
        const std::string_view type = bytes.substr(position + 4, 4);
        if (length > bytes.size() - position - 12) {
            return tl::unexpected("the chunk \"" + std::string(type) + "\" is cut short");
        }
        const std::string_view data = bytes.substr(position + 8, length);
        const std::uint32_t storedCrc = readBigEndian(bytes.data() + position + 8 + length);
        position += 12 + std::size_t(length);
        if (!hasHeader && type != "IHDR") {
            return tl::unexpected(std::string("the file does not begin with a PNG header"));
        }
        if (isCritical(type)) {
            const auto *checked =
                reinterpret_cast<const Bytef *>(bytes.data() + position - 8 - length);
            if (crc32(0, checked, length + 4) != storedCrc) {
                return tl::unexpected("the chunk \"" + std::string(type) + "\" is damaged");
            }
        }
        if (type == "IHDR") {
            if (hasHeader) {
                return tl::unexpected(std::string("the file has two PNG headers"));
            }
            auto header = readHeader(data);
            if (!header) {
                return tl::unexpected(header.error());
            }
            png.header = *header;
            hasHeader = true;
        } else if (type == "PLTE") {
            png.palette = data;
        } else if (type == "tRNS") {
            png.transparency = data;
        } else if (type == "IDAT") {
            png.data.push_back(data);
        } else if (type == "IEND") {
            break;
        }
    }
    if (!hasHeader) {
        return tl::unexpected(std::string("the PNG header is missing"));
    }
    if (png.data.empty()) {
        return tl::unexpected(std::string("the image data is missing"));
    }
    if (png.header.colorType == 3) {
        const std::size_t entries = png.palette.size() / 3;
        if (png.palette.empty() || png.palette.size() % 3 != 0
            || entries > (std::size_t(1) << png.header.bitDepth)) {
            return tl::unexpected(std::string("the palette is missing or damaged"));
        }
    }
    return png;
}

tl::expected<void, std::string> inflatePngData(const PngFile &png, const PngDataSink &sink)
{
    z_stream stream{};
    if (inflateInit(&stream) != Z_OK) {
        return tl::unexpected(std::string("the image data could not be inflated"));
    }
    std::array<unsigned char, 64 * 1024> buffer{};
    int status = Z_OK;
    bool wanted = true;
    for (std::size_t chunk = 0; chunk < png.data.size() && status == Z_OK && wanted; ++chunk) {
        stream.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(png.data[chunk].data()));
        stream.avail_in = static_cast<uInt>(png.data[chunk].size());
        // A full output buffer may hide more output even when the input is used up.
        do {
            stream.next_out = buffer.data();
            stream.avail_out = buffer.size();
            status = inflate(&stream, Z_NO_FLUSH);
            if (status == Z_BUF_ERROR) {
                status = Z_OK;
                break;
            }
            if (status != Z_OK && status != Z_STREAM_END) {
                break;
            }
            wanted = sink(buffer.data(), buffer.size() - stream.avail_out);
        } while (wanted && status == Z_OK && (stream.avail_in > 0 || stream.avail_out == 0));
    }
    inflateEnd(&stream);
    if (!wanted) {
        return {};
    }
    if (status != Z_STREAM_END) {
        return tl::unexpected(std::string(status == Z_OK ? "the image data is cut short"
                                                         : "the image data is damaged"));
    }
    return {};
}

tl::expected<void, std::string> checkPngImageData(const PngFile &png)
{
    const std::uint64_t expected = png.header.filteredSize();
    // Where each filter-type byte lies, pass by pass.
    const std::vector<PngPass> passes = pngPasses(png.header);
    std::size_t passIndex = 0;
    std::uint32_t rowInPass = 0;
    const auto skipFinishedPasses = [&] {
        while (passIndex < passes.size()
               && (passes[passIndex].columns == 0 || rowInPass >= passes[passIndex].rows)) {
            ++passIndex;
            rowInPass = 0;
        }
    };
    skipFinishedPasses();
    std::uint64_t produced = 0;
    std::uint64_t nextRowStart = 0;
    std::string problem;
    auto inflated = inflatePngData(png, [&](const unsigned char *data, std::size_t count) {
        for (; passIndex < passes.size() && nextRowStart < produced + count;) {
            if (data[nextRowStart - produced] > 4) {
                problem = "a row has an unknown filter type";
                return false;
            }
            nextRowStart += 1 + png.header.rowBytes(passes[passIndex].columns);
            ++rowInPass;
            skipFinishedPasses();
        }
        produced += count;
        if (produced > expected) {
            problem = "the image data is longer than the image";
            return false;
        }
        return true;
    });
    if (!problem.empty()) {
        return tl::unexpected(problem);
    }
    if (!inflated) {
        return inflated;
    }
    if (produced != expected) {
        return tl::unexpected(std::string("the image data is cut short"));
    }
    return {};
}

tl::expected<PngHeader, std::string> validatePng(std::string_view bytes)
{
    auto png = parsePng(bytes);
    if (!png) {
        return tl::unexpected(png.error());
    }
    if (auto checked = checkPngImageData(*png); !checked) {
        return tl::unexpected(checked.error());
    }
    return png->header;
}

} // namespace zentrel
