// Session frames: checked when added, decoded for the PDF export.
#include "sessions/png_file.h"
#include "sessions/png_pdf_image.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    using namespace zentrel;
    const std::string_view bytes(reinterpret_cast<const char *>(data), size);
    (void)validatePng(bytes);
    const auto png = parsePng(bytes);
    if (png && checkPngImageData(*png)) {
        if (const auto image = PngPdfImage::make(*png)) {
            (void)image->image();
        }
    }
    return 0;
}
