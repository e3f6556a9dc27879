#pragma once

#include "sessions/pdf_writer.h"
#include "sessions/png_file.h"

#include <cstdint>
#include <optional>
#include <string>

namespace zentrel {

// A PNG made ready for a PDF page. An opaque, non-interlaced PNG goes in as it is: its IDAT data
// is already the Flate stream a PDF image with the PNG predictor reads. Others (alpha,
// transparency, interlacing) are decoded and compressed anew, with a soft mask where needed.
class PngPdfImage
{
public:
    // Nothing when the PNG does not decode. `png` must outlive the result.
    static std::optional<PngPdfImage> make(const PngFile &png);

    PdfImage image() const;

private:
    const PngFile *m_png = nullptr;
    std::uint32_t m_width = 0;
    std::uint32_t m_height = 0;
    std::string m_color;
    std::string m_mask;
};

} // namespace zentrel
