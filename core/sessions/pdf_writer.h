#pragma once

#include "common/files/file_error.h"
#include "common/files/pending_file.h"

#include <tl/expected.hpp>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zentrel {

// Flate-compressed image samples for a PDF image object. The data is a list of pieces written
// one after the other, so a PNG's IDAT chunks go in without being joined or copied.
struct PdfImageData
{
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    // "/DeviceRGB", "/DeviceGray" or an indexed colour-space array.
    std::string colorSpace;
    int bitsPerComponent = 8;
    // Set when the samples carry PNG row filters: the number of colour components per pixel.
    std::optional<int> pngPredictorColors;
    std::vector<std::string_view> pieces;
};

struct PdfImage
{
    PdfImageData color;
    // A greyscale soft mask of the same size, for images with transparency.
    std::optional<PdfImageData> mask;
};

// Writes a PDF of one full-bleed image per page, one page at a time, so only the page being
// written is in memory. The file appears at its path only when finish() succeeds: until then it
// is a pending file beside it (see PendingFile), dropped with the writer or when a step fails.
// A step that fails says why, and every later step fails the same way.
class PdfWriter
{
public:
    PdfWriter() = default;
    PdfWriter(const PdfWriter &) = delete;
    PdfWriter &operator=(const PdfWriter &) = delete;
    ~PdfWriter();

    tl::expected<void, FileError> open(const std::filesystem::path &path);
    // A page of the image's pixel size in points, showing the image unscaled.
    tl::expected<void, FileError> addPage(const PdfImage &image);

    int pageCount() const { return int(m_pageObjects.size()); }

    tl::expected<void, FileError> finish();

private:
    int beginObject();
    void writeImageObject(int number, const PdfImageData &data, std::optional<int> mask);
    // Does nothing once a step has failed.
    void write(std::string_view text);
    // Keeps the first failure only, with the system's reason, and drops the pending file.
    void fail(int errorNumber);
    tl::expected<void, FileError> outcome() const;
    void abandon();

    std::filesystem::path m_path;
    std::optional<PendingFile> m_pending;
    std::FILE *m_file = nullptr;
    std::uint64_t m_offset = 0;
    std::optional<FileError> m_error;
    // Byte offset of each object, by number - 1.
    std::vector<std::uint64_t> m_objectOffsets;
    std::vector<int> m_pageObjects;
    std::optional<std::pair<std::uint32_t, std::uint32_t>> m_firstPageSize;
};

} // namespace zentrel
