#include "sessions/pdf_writer.h"

#include <unistd.h>

#include <cerrno>
#include <cinttypes>
#include <cstdlib>
#include <cstring>
#include <utility>

namespace zentrel {
namespace {

// Objects 1 and 2 are the catalogue and the page tree; the tree is written last, when its kids
// are known.
constexpr int catalogObject = 1;
constexpr int pagesObject = 2;
constexpr std::size_t bufferSize = 1 << 20;

std::string mediaBox(std::uint32_t width, std::uint32_t height)
{
    return "[0 0 " + std::to_string(width) + " " + std::to_string(height) + "]";
}

std::string reference(int number)
{
    return std::to_string(number) + " 0 R";
}

// The reason the last failed call gave; every failure of the calls used here sets one.
int lastErrorNumber()
{
    return errno != 0 ? errno : EIO;
}

} // namespace

PdfWriter::~PdfWriter()
{
    abandon();
}

void PdfWriter::abandon()
{
    if (m_file) {
        std::fclose(m_file);
        m_file = nullptr;
    }
    m_pending.reset();
}

void PdfWriter::fail(int errorNumber)
{
    if (!m_error) {
        m_error = FileError{FileError::Kind::writeFailed, m_path, std::strerror(errorNumber)};
    }
    abandon();
}

tl::expected<void, FileError> PdfWriter::outcome() const
{
    if (m_error) {
        return tl::unexpected(*m_error);
    }
    return {};
}

tl::expected<void, FileError> PdfWriter::open(const std::filesystem::path &path)
{
    abandon();
    m_path = path;
    m_error.reset();
    auto pending = PendingFile::create(path);
    if (!pending) {
        m_error = pending.error();
        return outcome();
    }
    // The stream writes through its own descriptor; the pending file keeps the one it commits.
    const int fd = ::dup(pending->descriptor());
    m_file = fd < 0 ? nullptr : ::fdopen(fd, "wb");
    if (!m_file) {
        const int openErrno = lastErrorNumber();
        if (fd >= 0) {
            ::close(fd);
        }
        fail(openErrno);
        return outcome();
    }
    m_pending = std::move(*pending);
    std::setvbuf(m_file, nullptr, _IOFBF, bufferSize);
    m_objectOffsets.assign(2, 0);
    // The binary comment line tells transfer tools the file is not text.
    write("%PDF-1.5\n%\xE2\xE3\xCF\xD3\n");
    return outcome();
}

void PdfWriter::write(std::string_view text)
{
    if (!m_file) {
        return;
    }
    errno = 0;
    if (!text.empty() && std::fwrite(text.data(), 1, text.size(), m_file) != text.size()) {
        fail(lastErrorNumber());
        return;
    }
    m_offset += text.size();
}

int PdfWriter::beginObject()
{
    m_objectOffsets.push_back(0);
    return int(m_objectOffsets.size());
}

void PdfWriter::writeImageObject(int number, const PdfImageData &data, std::optional<int> mask)
{
    std::uint64_t length = 0;
    for (std::string_view piece : data.pieces) {
        length += piece.size();
    }
    m_objectOffsets[std::size_t(number) - 1] = m_offset;
    std::string head = std::to_string(number) + " 0 obj\n<< /Type /XObject /Subtype /Image"
                       + " /Width " + std::to_string(data.width) + " /Height "
                       + std::to_string(data.height) + " /ColorSpace " + data.colorSpace
                       + " /BitsPerComponent " + std::to_string(data.bitsPerComponent)
                       + " /Filter /FlateDecode";
    if (data.pngPredictorColors) {
        head += " /DecodeParms << /Predictor 15 /Colors " + std::to_string(*data.pngPredictorColors)
                + " /BitsPerComponent " + std::to_string(data.bitsPerComponent) + " /Columns "
                + std::to_string(data.width) + " >>";
    }
    if (mask) {
        head += " /SMask " + reference(*mask);
    }
    head += " /Length " + std::to_string(length) + " >>\nstream\n";
    write(head);
    for (std::string_view piece : data.pieces) {
        write(piece);
    }
    write("\nendstream\nendobj\n");
}

tl::expected<void, FileError> PdfWriter::addPage(const PdfImage &image)
{
    if (!m_file) {
        fail(EBADF);
        return outcome();
    }
    const std::uint32_t width = image.color.width;
    const std::uint32_t height = image.color.height;
    if (!m_firstPageSize) {
        m_firstPageSize = {width, height};
    }
    const int page = beginObject();
    const int contents = beginObject();
    const int picture = beginObject();
    const std::optional<int> mask = image.mask ? std::optional<int>(beginObject()) : std::nullopt;
    m_pageObjects.push_back(page);

    m_objectOffsets[std::size_t(page) - 1] = m_offset;
    write(std::to_string(page) + " 0 obj\n<< /Type /Page /Parent " + reference(pagesObject)
          + " /MediaBox " + mediaBox(width, height) + " /Resources << /XObject << /Im0 "
          + reference(picture) + " >> >> /Contents " + reference(contents) + " >>\nendobj\n");
    // One image pixel is one point: the image fills the page exactly.
    const std::string drawing =
        "q " + std::to_string(width) + " 0 0 " + std::to_string(height) + " 0 0 cm /Im0 Do Q";
    m_objectOffsets[std::size_t(contents) - 1] = m_offset;
    write(std::to_string(contents) + " 0 obj\n<< /Length " + std::to_string(drawing.size())
          + " >>\nstream\n" + drawing + "\nendstream\nendobj\n");
    writeImageObject(picture, image.color, mask);
    if (mask) {
        writeImageObject(*mask, *image.mask, std::nullopt);
    }
    return outcome();
}

tl::expected<void, FileError> PdfWriter::finish()
{
    if (!m_file || m_pageObjects.empty()) {
        fail(m_file ? ENODATA : EBADF);
        return outcome();
    }
    m_objectOffsets[catalogObject - 1] = m_offset;
    write("1 0 obj\n<< /Type /Catalog /Pages " + reference(pagesObject) + " >>\nendobj\n");
    std::string kids;
    for (int page : m_pageObjects) {
        kids += (kids.empty() ? "" : " ") + reference(page);
    }
    m_objectOffsets[pagesObject - 1] = m_offset;
    write("2 0 obj\n<< /Type /Pages /Kids [" + kids + "] /Count "
          + std::to_string(m_pageObjects.size()) + " /MediaBox "
          + mediaBox(m_firstPageSize->first, m_firstPageSize->second) + " >>\nendobj\n");
    const std::uint64_t xref = m_offset;
    write("xref\n0 " + std::to_string(m_objectOffsets.size() + 1) + "\n0000000000 65535 f \n");
    for (std::uint64_t offset : m_objectOffsets) {
        char entry[32];
        std::snprintf(entry, sizeof entry, "%010" PRIu64 " 00000 n \n", offset);
        write(entry);
    }
    write("trailer\n<< /Size " + std::to_string(m_objectOffsets.size() + 1) + " /Root "
          + reference(catalogObject) + " >>\nstartxref\n" + std::to_string(xref) + "\n%%EOF\n");
    if (!m_file) {
        return outcome();
    }
    // Whatever the stream still buffers is written here, so a full disk may only show now.
    errno = 0;
    if (std::fclose(std::exchange(m_file, nullptr)) != 0) {
        fail(lastErrorNumber());
        return outcome();
    }
    if (auto committed = m_pending->commit(); !committed) {
        m_error = committed.error();
        abandon();
        return outcome();
    }
    m_pending.reset();
    return {};
}

} // namespace zentrel
