#pragma once

#include "sessions/session_document.h"

#include <tl/expected.hpp>

#include <filesystem>
#include <string>
#include <vector>

namespace zentrel {

class SessionStore;

// Why an export failed; message() is the text the user reads.
struct SessionExportError
{
    enum class Kind {
        unreadableAsset,
        emptySession,
        pdfCreationFailed,
        // Creating the folder or writing a file failed: `detail` says which and why.
        file,
    };

    Kind kind = Kind::file;
    // The unreadable frames' names for unreadableAsset, else the file error's text.
    std::string detail;

    friend bool operator==(const SessionExportError &, const SessionExportError &) = default;
};

std::string message(const SessionExportError &error);

struct SessionExportResult
{
    std::vector<std::filesystem::path> written;
    // The image file names of the frames that could not be used, in frame order.
    std::vector<std::string> skipped;
};

// Writes a session out of the session tree, frame by frame, never changing the session. Each
// export first removes the pending files that killed exports of its kind left in the folder.
class SessionExporter
{
public:
    // One file per frame: "<position>-<source>-<frame id>.png", the position padded to at least
    // three digits, so skipped frames leave gaps. A write that fails removes the files this
    // export added; files it replaced stay.
    tl::expected<SessionExportResult, SessionExportError>
    exportPNGs(const SessionDocument &session,
               const SessionStore &store,
               const std::filesystem::path &folder) const;

    // One page per readable frame, each the size of its image, one pixel to the point. Only one
    // frame is in memory at a time, and the file appears whole or not at all.
    tl::expected<SessionExportResult, SessionExportError>
    exportPDF(const SessionDocument &session,
              const SessionStore &store,
              const std::filesystem::path &file) const;
};

} // namespace zentrel
