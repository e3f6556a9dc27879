#pragma once

#include "common/clock.h"
#include "common/files/file_error.h"
#include "common/parallel_work.h"
#include "common/uuid.h"
#include "whiteboard/model/store/legacy_whiteboard_document.h"
#include "whiteboard/model/store/library_file_identity.h"
#include "whiteboard/model/whiteboard_library.h"

#include <tl/expected.hpp>

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

namespace zentrel {

// Why the library could not be loaded or saved.
struct WhiteboardLibraryStoreError
{
    enum class Kind {
        file,             // reading, copying, creating the folder or writing failed
        malformedJson,    // a file is not JSON
        undecodable,      // JSON that is not a library or an older document
        unencodable,      // the library holds a number JSON cannot store
        newerVersion,     // written by a newer version of the program
        corruptFileStuck, // a bad library file could be neither moved nor copied aside
        saveRefused,      // saving would replace that kept bad file
        changedElsewhere, // another program wrote the file, and its version could not be kept
    };

    Kind kind = Kind::file;
    std::filesystem::path path;
    std::string detail;

    friend bool operator==(const WhiteboardLibraryStoreError &,
                           const WhiteboardLibraryStoreError &) = default;
};

std::string message(const WhiteboardLibraryStoreError &error);

template <typename T>
using WhiteboardStoreResult = tl::expected<T, WhiteboardLibraryStoreError>;

inline constexpr std::string_view whiteboardLibraryFileName = "WhiteboardLibrary.json";
inline constexpr std::string_view legacyWhiteboardFileName = "Whiteboard.json";

// What the user hears once another program's version of the library was kept at `keptAt`
// before a save replaced it.
std::string libraryKeptAsideMessage(const std::filesystem::path &keptAt);

// Hears, on the thread that saves, where another program's version of the library was kept.
using LibraryConflictHandler = std::function<void(const std::filesystem::path &keptAt)>;

// Moves or copies a bad library file aside, returning where it went.
using LibrarySetAside = std::function<tl::expected<std::filesystem::path, FileError>(
    const std::filesystem::path &file, Timestamp now)>;

// The whiteboard's boards on disk: one library file, and on first use the migration of the
// older single-document file beside it. Every load reads the disk; every save rewrites the whole
// file atomically. Copies share what they know of the file, a bad one left in place included.
class WhiteboardLibraryStore
{
public:
    // The files "WhiteboardLibrary.json" and "Whiteboard.json" in `folder` (the app's data
    // folder). The folder is created by the first save, not here. `clock` must outlive the store.
    WhiteboardLibraryStore(const std::filesystem::path &folder,
                           const Clock &clock,
                           UuidRandomSource random);
    WhiteboardLibraryStore(std::filesystem::path libraryPath,
                           std::filesystem::path legacyPath,
                           const Clock &clock,
                           UuidRandomSource random);

    const std::filesystem::path &libraryPath() const { return m_libraryPath; }

    const std::filesystem::path &legacyPath() const { return m_legacyPath; }

    // The one-time copy of the older document: its name with ".legacy" appended.
    std::filesystem::path legacyBackupPath() const;

    // The library on disk, else the migrated older document, else a new one-board library
    // (written at once); always canonical. A bad library file is set aside and treated as absent.
    // What a killed save or copy left beside the library or the older document is removed first.
    WhiteboardStoreResult<WhiteboardLibrary> load() const;

    // Writes the canonical form of `library` with version 1. A bad library file that a load
    // could not set aside is tried again first; while it stays in place, saving is refused. A
    // file that another program wrote since this store (or a copy of it) last read or wrote it
    // is copied aside first (libraryConflictPath), and the conflict handler told where; a save
    // that cannot keep it is refused.
    WhiteboardStoreResult<void> save(const WhiteboardLibrary &library) const;

    // Reads a library file's bytes; a version above 1 is refused. Version and migration flag
    // stay as read; boards and the current board are repaired.
    WhiteboardStoreResult<WhiteboardLibrary> decodeLibrary(std::string_view bytes) const;

    // At least one board, and a current board that exists.
    WhiteboardLibrary canonical(WhiteboardLibrary library) const;

    // "Untitled Board": empty, white, grid shown, made now.
    WhiteboardBoard defaultBoard() const;

    // The app measures migrated text with its hand-drawn font; without one, an estimate is used.
    void setTextMeasure(LegacyTextMeasure measure) { m_measure = std::move(measure); }

    // How a large library's elements are read side by side; one after another unless set.
    void setParallelWork(ParallelWork run) { m_parallelWork = std::move(run); }

    void setConflictHandler(LibraryConflictHandler handler) { m_onConflict = std::move(handler); }

    // What this store and its copies know of the library file. A store that saves a library an
    // earlier store could not write takes that one's stamp, so it judges the file the same way.
    LibraryFileStamp libraryFileStamp() const { return m_knownFile->stamp(); }

    void adoptLibraryFileStamp(const LibraryFileStamp &stamp) { m_knownFile->restore(stamp); }

    // For tests of file systems that refuse a move or a copy.
    void setSetAsideOperations(LibrarySetAside move, LibrarySetAside copy);

private:
    WhiteboardStoreResult<WhiteboardLibrary> setAsideAndContinue() const;
    tl::expected<std::filesystem::path, FileError> setAsideBadFile() const;
    WhiteboardStoreResult<void> setAsideKeptBadFile() const;
    WhiteboardStoreResult<WhiteboardLibrary> loadWithoutLibrary() const;
    WhiteboardStoreResult<WhiteboardLibrary> migrateLegacy(const std::string &bytes) const;
    WhiteboardStoreResult<WhiteboardLibrary> readBack() const;
    WhiteboardStoreResult<void> keepOtherWritersVersion() const;

    std::filesystem::path m_libraryPath;
    std::filesystem::path m_legacyPath;
    const Clock *m_clock;
    UuidRandomSource m_random;
    LegacyTextMeasure m_measure;
    LibrarySetAside m_moveAside;
    LibrarySetAside m_copyAside;
    ParallelWork m_parallelWork;
    std::shared_ptr<KnownLibraryFile> m_knownFile = std::make_shared<KnownLibraryFile>();
    LibraryConflictHandler m_onConflict;
};

} // namespace zentrel
