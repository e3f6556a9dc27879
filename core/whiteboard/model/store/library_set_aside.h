#pragma once

#include "common/files/file_error.h"
#include "common/iso_date.h"

#include <tl/expected.hpp>

#include <filesystem>

namespace zentrel {

// Where a bad library file goes: its name without the extension, ".corrupt-", the whole seconds
// since 1970 and ".json" ("WhiteboardLibrary.corrupt-1767225600.json"). A later set-aside in
// the same second gets "-1", "-2", … before ".json" (`attempt`), so none replaces another.
std::filesystem::path
librarySetAsidePath(const std::filesystem::path &file, Timestamp now, int attempt = 0);

// Moves the file to the first free set-aside name; an existing set-aside is never replaced.
tl::expected<std::filesystem::path, FileError> moveLibraryAside(const std::filesystem::path &file,
                                                                Timestamp now);

// As moveLibraryAside, but copies (whole or not at all), for a file that cannot be moved (its
// folder refuses renames).
tl::expected<std::filesystem::path, FileError> copyLibraryAside(const std::filesystem::path &file,
                                                                Timestamp now);

// Where a library file that another program wrote after this one read it is kept: as
// librarySetAsidePath, with ".conflict-" for ".corrupt-"
// ("WhiteboardLibrary.conflict-1767225600.json").
std::filesystem::path
libraryConflictPath(const std::filesystem::path &file, Timestamp now, int attempt = 0);

// Copies that file, whole or not at all, to the first free conflict name, leaving it in place
// for the save that replaces it; an existing copy is never replaced.
tl::expected<std::filesystem::path, FileError>
copyConflictingLibraryAside(const std::filesystem::path &file, Timestamp now);

} // namespace zentrel
