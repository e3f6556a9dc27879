#include "sessions/png_pdf_image.h"

#include "sessions/png_decoder.h"

#include <zlib.h>

#include <cstdio>

namespace zentrel {
namespace {

std::optional<std::string> compressed(const std::vector<std::uint8_t> &samples)
{
    uLongf size = compressBound(uLong(samples.size()));
    std::string result(size, '\0');
    if (compress2(reinterpret_cast<Bytef *>(result.data()),
                  &size,
                  samples.data(),
                  uLong(samples.size()),
                  Z_DEFAULT_COMPRESSION)
        != Z_OK) {
        return std::nullopt;
    }
    result.resize(size);
    return result;
}

std::string indexedColorSpace(std::string_view palette)
{
    std::string space = "[/Indexed /DeviceRGB " + std::to_string(palette.size() / 3 - 1) + " <";
    for (char byte : palette) {
        char hex[3];
        std::snprintf(hex, sizeof hex, "%02X", unsigned(static_cast<unsigned char>(byte)));
        space += hex;
    }
    return space + ">]";
}

bool canPassThrough(const PngFile &png)
{
    return !png.header.interlaced && !png.header.hasAlphaChannel() && png.transparency.empty();
}

} // namespace

std::optional<PngPdfImage> PngPdfImage::make(const PngFile &png)
{
    PngPdfImage result;
    result.m_width = png.header.width;
    result.m_height = png.header.height;
    if (canPassThrough(png)) {
        result.m_png = &png;
        return result;
    }
    auto decoded = decodePng(png, sessionFrameMaximumPixels);
    if (!decoded) {
        return std::nullopt;
    }
    auto color = compressed(decoded->rgb);
    if (!color) {
        return std::nullopt;
    }
    result.m_color = std::move(*color);
    if (!decoded->alpha.empty()) {
        auto mask = compressed(decoded->alpha);
        if (!mask) {
            return std::nullopt;
        }
        result.m_mask = std::move(*mask);
    }
    return result;
}

PdfImage PngPdfImage::image() const
{
    PdfImage image;
    image.color.width = m_width;
    image.color.height = m_height;
    if (m_png) {
        const PngHeader &header = m_png->header;
        image.color.bitsPerComponent = header.bitDepth;
        image.color.pngPredictorColors = header.channels();
        image.color.colorSpace = header.colorType == 0   ? "/DeviceGray"
                                 : header.colorType == 2 ? "/DeviceRGB"
                                                         : indexedColorSpace(m_png->palette);
        image.color.pieces = m_png->data;
        return image;
    }
    image.color.colorSpace = "/DeviceRGB";
    image.color.pieces = {m_color};
    if (!m_mask.empty()) {
        image.mask = PdfImageData{m_width, m_height, "/DeviceGray", 8, std::nullopt, {m_mask}};
    }
    return image;
}

} // namespace zentrel
