#include "sessions/session_exporter.h"

#include "common/files/atomic_file.h"
#include "common/files/pending_file.h"
#include "sessions/pdf_writer.h"
#include "sessions/png_file.h"
#include "sessions/png_pdf_image.h"
#include "sessions/session_store.h"

#include <algorithm>
#include <chrono>

namespace zentrel {
namespace {

using Kind = SessionExportError::Kind;
using ExportResult = tl::expected<SessionExportResult, SessionExportError>;

tl::unexpected<SessionExportError> exportError(Kind kind, std::string detail = {})
{
    return tl::unexpected(SessionExportError{kind, std::move(detail)});
}

std::string joined(const std::vector<std::string> &names)
{
    std::string text;
    for (const std::string &name : names) {
        text += (text.empty() ? "" : ", ") + name;
    }
    return text;
}

std::string assetName(const SessionFrame &frame)
{
    return std::filesystem::path(frame.assetPath).filename().string();
}

// The frame's bytes, or nothing when its file is missing, unreadable or reached through a link.
std::optional<std::string>
readFrame(const SessionStore &store, const SessionDocument &session, const SessionFrame &frame)
{
    auto bytes = store.readFrame(session.id, frame);
    if (!bytes) {
        return std::nullopt;
    }
    return std::move(*bytes);
}

tl::unexpected<SessionExportError> pdfError(const FileError &error)
{
    return exportError(Kind::pdfCreationFailed, message(error));
}

std::filesystem::path folderOf(const std::filesystem::path &file)
{
    return file.has_parent_path() ? file.parent_path() : std::filesystem::path(".");
}

// Where unnamed pending files cannot be had (vfat, NFS, SMB), a killed export leaves named ones
// in the user's folder, which no other sweep visits.
void sweepAbandonedExports(const std::filesystem::path &folder, std::string_view extension)
{
    sweepAbandonedPendingFiles(
        folder, extension, std::filesystem::file_time_type::clock::now() - abandonedPendingAge);
}

int indexWidth(std::size_t frameCount)
{
    return std::max(3, int(std::to_string(frameCount).size()));
}

} // namespace

std::string message(const SessionExportError &error)
{
    switch (error.kind) {
    case Kind::unreadableAsset:
        return "The session frame \u201C" + error.detail + "\u201D could not be read.";
    case Kind::emptySession:
        return "The session does not contain any frames.";
    case Kind::pdfCreationFailed:
        return error.detail.empty() ? "The session PDF could not be created."
                                    : "The session PDF could not be created: " + error.detail;
    case Kind::file:
        return error.detail;
    }
    return error.detail;
}

ExportResult SessionExporter::exportPNGs(const SessionDocument &session,
                                         const SessionStore &store,
                                         const std::filesystem::path &folder) const
{
    if (session.frames.empty()) {
        return exportError(Kind::emptySession);
    }
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    if (ec) {
        return exportError(Kind::file,
                           message(FileError{FileError::Kind::writeFailed, folder, ec.message()}));
    }
    sweepAbandonedExports(folder, ".png");
    const int width = indexWidth(session.frames.size());
    SessionExportResult result;
    // What this export added to the folder; files it replaced belong to an earlier export.
    std::vector<std::filesystem::path> created;
    for (std::size_t i = 0; i < session.frames.size(); ++i) {
        const SessionFrame &frame = session.frames[i];
        const auto bytes = readFrame(store, session, frame);
        if (!bytes || !validatePng(*bytes)) {
            result.skipped.push_back(assetName(frame));
            continue;
        }
        std::string position = std::to_string(i + 1);
        position.insert(0, std::size_t(std::max(0, width - int(position.size()))), '0');
        const std::filesystem::path file =
            folder
            / (position + "-" + std::string(sessionFrameSourceText.text(frame.source)) + "-"
               + frame.id.text() + ".png");
        const bool isNew = !std::filesystem::exists(std::filesystem::symlink_status(file, ec));
        if (auto written = writeFileAtomically(file, *bytes); !written) {
            // A failed export leaves no part of itself behind.
            for (const std::filesystem::path &added : created) {
                std::filesystem::remove(added, ec);
            }
            return exportError(Kind::file, message(written.error()));
        }
        if (isNew) {
            created.push_back(file);
        }
        result.written.push_back(file);
    }
    if (result.written.empty()) {
        return exportError(Kind::unreadableAsset, joined(result.skipped));
    }
    return result;
}

ExportResult SessionExporter::exportPDF(const SessionDocument &session,
                                        const SessionStore &store,
                                        const std::filesystem::path &file) const
{
    if (session.frames.empty()) {
        return exportError(Kind::emptySession);
    }
    sweepAbandonedExports(folderOf(file), ".pdf");
    PdfWriter writer;
    if (auto opened = writer.open(file); !opened) {
        return pdfError(opened.error());
    }
    SessionExportResult result;
    for (const SessionFrame &frame : session.frames) {
        const auto bytes = readFrame(store, session, frame);
        tl::expected<PngFile, std::string> png = tl::unexpected(std::string());
        if (bytes) {
            png = parsePng(*bytes);
        }
        const bool readable = png && checkPngImageData(*png);
        const auto image = readable ? PngPdfImage::make(*png) : std::nullopt;
        if (!image) {
            result.skipped.push_back(assetName(frame));
            continue;
        }
        if (auto added = writer.addPage(image->image()); !added) {
            return pdfError(added.error());
        }
    }
    if (writer.pageCount() == 0) {
        return exportError(Kind::unreadableAsset, joined(result.skipped));
    }
    if (auto finished = writer.finish(); !finished) {
        return pdfError(finished.error());
    }
    result.written.push_back(file);
    return result;
}

} // namespace zentrel
