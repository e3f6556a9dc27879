#include "whiteboard/model/store/whiteboard_library_store.h"

#include "common/files/atomic_file.h"
#include "common/files/pending_file.h"
#include "common/json/limited_json.h"
#include "whiteboard/model/excalidraw/import/excalidraw_labels.h"
#include "whiteboard/model/store/library_json_writer.h"
#include "whiteboard/model/store/library_set_aside.h"
#include "whiteboard/model/store/library_text_parts.h"
#include "whiteboard/model/whiteboard_board_json.h"

#include <algorithm>
#include <system_error>

namespace zentrel {
namespace {

using Error = WhiteboardLibraryStoreError;

std::string quoted(const std::filesystem::path &path)
{
    return "\"" + path.string() + "\"";
}

tl::unexpected<Error> fileError(const FileError &error)
{
    return tl::unexpected(Error{Error::Kind::file, error.path, message(error)});
}

WhiteboardStoreResult<nlohmann::json> parseJson(std::string_view bytes,
                                                const std::filesystem::path &path)
{
    auto parsed = parseLimitedJson(bytes);
    if (!parsed) {
        return tl::unexpected(Error{Error::Kind::malformedJson, path, parsed.error().detail});
    }
    return std::move(*parsed);
}

} // namespace

std::string message(const WhiteboardLibraryStoreError &error)
{
    switch (error.kind) {
    case Error::Kind::file:
        return error.detail;
    case Error::Kind::malformedJson:
        return quoted(error.path) + " is not valid JSON.";
    case Error::Kind::undecodable:
        return quoted(error.path) + " could not be read: " + error.detail;
    case Error::Kind::unencodable:
        return "The whiteboard holds a value that cannot be stored (" + error.detail + ").";
    case Error::Kind::newerVersion:
        return quoted(error.path) + " was written by a newer version of Zentrel.";
    case Error::Kind::corruptFileStuck:
        return quoted(error.path) + " is damaged and could not be set aside: " + error.detail;
    case Error::Kind::saveRefused:
        return quoted(error.path)
               + " is damaged and could not be set aside, so the whiteboard is not saved over it.";
    case Error::Kind::changedElsewhere:
        return quoted(error.path) + " was changed by another program and could not be kept ("
               + error.detail + "), so the whiteboard is not saved over it.";
    }
    return error.detail;
}

std::string libraryKeptAsideMessage(const std::filesystem::path &keptAt)
{
    return "Another program changed the whiteboard library while this one had it open. Its "
           "version is kept as "
           + quoted(keptAt) + "; the whiteboard saved here replaces it.";
}

WhiteboardLibraryStore::WhiteboardLibraryStore(const std::filesystem::path &folder,
                                               const Clock &clock,
                                               UuidRandomSource random)
    : WhiteboardLibraryStore(folder / whiteboardLibraryFileName,
                             folder / legacyWhiteboardFileName,
                             clock,
                             std::move(random))
{}

WhiteboardLibraryStore::WhiteboardLibraryStore(std::filesystem::path libraryPath,
                                               std::filesystem::path legacyPath,
                                               const Clock &clock,
                                               UuidRandomSource random)
    : m_libraryPath(std::move(libraryPath))
    , m_legacyPath(std::move(legacyPath))
    , m_clock(&clock)
    , m_random(std::move(random))
    , m_moveAside(moveLibraryAside)
    , m_copyAside(copyLibraryAside)
    , m_parallelWork(runInOrder)
{}

std::filesystem::path WhiteboardLibraryStore::legacyBackupPath() const
{
    return m_legacyPath.string() + ".legacy";
}

void WhiteboardLibraryStore::setSetAsideOperations(LibrarySetAside move, LibrarySetAside copy)
{
    m_moveAside = std::move(move);
    m_copyAside = std::move(copy);
}

WhiteboardBoard WhiteboardLibraryStore::defaultBoard() const
{
    return blankBoard(Uuid::generate(m_random), "Untitled Board", m_clock->now());
}

WhiteboardLibrary WhiteboardLibraryStore::canonical(WhiteboardLibrary library) const
{
    if (library.boards.empty()) {
        library.boards.push_back(defaultBoard());
    }
    const bool known = std::any_of(
        library.boards.begin(), library.boards.end(), [&](const WhiteboardBoard &board) {
            return board.id == library.currentBoardID;
        });
    if (!known) {
        library.currentBoardID = library.boards.front().id;
    }
    return library;
}

WhiteboardStoreResult<WhiteboardLibrary>
WhiteboardLibraryStore::decodeLibrary(std::string_view bytes) const
{
    // In parts when the text allows, else whole, which also tells what is wrong with it.
    std::optional<WhiteboardLibrary> library = decodeLibraryInParts(bytes, m_parallelWork);
    if (!library) {
        auto json = parseJson(bytes, m_libraryPath);
        if (!json) {
            return tl::unexpected(json.error());
        }
        auto decoded = decodeWhiteboardLibrary(*json);
        if (!decoded) {
            return tl::unexpected(
                Error{Error::Kind::undecodable, m_libraryPath, message(decoded.error())});
        }
        library = std::move(*decoded);
    }
    if (library->version > 1) {
        return tl::unexpected(Error{Error::Kind::newerVersion,
                                    m_libraryPath,
                                    "version " + std::to_string(library->version)});
    }
    // Boards imported before labels were placed on their arrows.
    for (WhiteboardBoard &board : library->boards) {
        placeExcalidrawLabels(board);
    }
    return canonical(std::move(*library));
}

WhiteboardStoreResult<void> WhiteboardLibraryStore::save(const WhiteboardLibrary &library) const
{
    if (auto cleared = setAsideKeptBadFile(); !cleared) {
        return cleared;
    }
    WhiteboardLibrary stored = canonical(library);
    stored.version = 1;
    std::error_code ec;
    std::filesystem::create_directories(m_libraryPath.parent_path(), ec);
    if (ec) {
        return fileError({FileError::Kind::writeFailed, m_libraryPath.parent_path(), ec.message()});
    }
    // Written as it is put together; a library that cannot be written leaves the file as it was.
    auto file = AtomicFileWriter::create(m_libraryPath);
    if (!file) {
        return fileError(file.error());
    }
    if (auto json = writeWhiteboardLibraryJson(*file, stored, m_parallelWork); !json) {
        return tl::unexpected(
            Error{Error::Kind::unencodable, m_libraryPath, message(json.error())});
    }
    if (auto kept = keepOtherWritersVersion(); !kept) {
        return kept;
    }
    if (auto written = file->commit(); !written) {
        return fileError(written.error());
    }
    m_knownFile->remember(m_libraryPath);
    return {};
}

WhiteboardStoreResult<void> WhiteboardLibraryStore::keepOtherWritersVersion() const
{
    if (!m_knownFile->changedElsewhere(m_libraryPath)) {
        return {};
    }
    auto kept = copyConflictingLibraryAside(m_libraryPath, m_clock->now());
    if (!kept) {
        return tl::unexpected(
            Error{Error::Kind::changedElsewhere, m_libraryPath, kept.error().reason});
    }
    if (m_onConflict) {
        m_onConflict(*kept);
    }
    return {};
}

WhiteboardStoreResult<WhiteboardLibrary> WhiteboardLibraryStore::load() const
{
    // Load runs before the editor it starts saves anything, and after the earlier editor's saves
    // are done: a pending name here was left by a save or a copy that was killed.
    sweepPendingLeftovers(m_libraryPath);
    sweepPendingLeftovers(m_legacyPath);
    m_knownFile->remember(m_libraryPath);
    auto bytes = readFileIfPresent(m_libraryPath);
    if (bytes && *bytes) {
        if (auto library = decodeLibrary(**bytes)) {
            return library;
        }
    }
    if (!bytes || *bytes) {
        return setAsideAndContinue();
    }
    return loadWithoutLibrary();
}

WhiteboardStoreResult<WhiteboardLibrary> WhiteboardLibraryStore::loadWithoutLibrary() const
{
    auto legacy = readFileIfPresent(m_legacyPath);
    if (!legacy) {
        return fileError(legacy.error());
    }
    if (*legacy) {
        return migrateLegacy(**legacy);
    }
    WhiteboardLibrary library;
    library.version = 1;
    library.boards = {defaultBoard()};
    library.currentBoardID = library.boards.front().id;
    library.migrationCompleted = true;
    if (auto saved = save(library); !saved) {
        return tl::unexpected(saved.error());
    }
    return library;
}

WhiteboardStoreResult<WhiteboardLibrary> WhiteboardLibraryStore::setAsideAndContinue() const
{
    if (auto setAside = setAsideBadFile(); !setAside) {
        m_knownFile->keepBadFile();
        return tl::unexpected(
            Error{Error::Kind::corruptFileStuck, m_libraryPath, setAside.error().reason});
    }
    // A copied bad file is still in place; the library written next replaces it.
    return loadWithoutLibrary();
}

tl::expected<std::filesystem::path, FileError> WhiteboardLibraryStore::setAsideBadFile() const
{
    const Timestamp now = m_clock->now();
    if (auto moved = m_moveAside(m_libraryPath, now)) {
        return moved;
    }
    // Some folders refuse renames but allow new files; a copy keeps the data just as well.
    return m_copyAside(m_libraryPath, now);
}

// The folder may allow it by now. A bad file that changed or went meanwhile is no longer the one
// kept: the rule for files written elsewhere covers it.
WhiteboardStoreResult<void> WhiteboardLibraryStore::setAsideKeptBadFile() const
{
    if (!m_knownFile->holdsBadFile(m_libraryPath)) {
        return {};
    }
    if (!setAsideBadFile()) {
        return tl::unexpected(Error{Error::Kind::saveRefused, m_libraryPath, {}});
    }
    // Moved, or copied and still in place: what is there now may be replaced.
    m_knownFile->remember(m_libraryPath);
    return {};
}

WhiteboardStoreResult<WhiteboardLibrary>
WhiteboardLibraryStore::migrateLegacy(const std::string &bytes) const
{
    auto json = parseJson(bytes, m_legacyPath);
    if (!json) {
        return tl::unexpected(json.error());
    }
    auto document = decodeWhiteboardDocument(*json);
    if (!document) {
        return tl::unexpected(
            Error{Error::Kind::undecodable, m_legacyPath, message(document.error())});
    }
    // The backup is made once and never refreshed.
    const std::filesystem::path backup = legacyBackupPath();
    std::error_code ec;
    if (!std::filesystem::exists(std::filesystem::symlink_status(backup, ec))) {
        auto copied = copyFileToNewName(
            m_legacyPath, [&backup](int) { return backup; }, 1);
        if (!copied) {
            return fileError({FileError::Kind::writeFailed, backup, copied.error().reason});
        }
    }
    auto board = migratedLegacyBoard(*document, *m_clock, m_random, m_measure);
    if (!board) {
        return tl::unexpected(
            Error{Error::Kind::undecodable, m_legacyPath, message(board.error())});
    }
    WhiteboardLibrary library{1, {std::move(*board)}, {}, false};
    library.currentBoardID = library.boards.front().id;
    if (auto saved = save(library); !saved) {
        return tl::unexpected(saved.error());
    }
    auto migrated = readBack();
    if (!migrated) {
        return migrated;
    }
    migrated->migrationCompleted = true;
    if (auto saved = save(*migrated); !saved) {
        return tl::unexpected(saved.error());
    }
    if (auto check = readBack(); !check) {
        return check;
    }
    return migrated;
}

WhiteboardStoreResult<WhiteboardLibrary> WhiteboardLibraryStore::readBack() const
{
    auto bytes = readFileIfPresent(m_libraryPath);
    if (!bytes) {
        return fileError(bytes.error());
    }
    if (!*bytes) {
        return fileError({FileError::Kind::readFailed, m_libraryPath, "the file is missing"});
    }
    return decodeLibrary(**bytes);
}

} // namespace zentrel
