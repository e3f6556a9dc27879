#pragma once

#include "common/files/file_error.h"

#include <tl/expected.hpp>

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace zentrel {

// Writes the whole file or nothing: a pending file in the same folder is written, synced and
// renamed over the target (see PendingFile). Missing parent folders are created.
tl::expected<void, FileError> writeFileAtomically(const std::filesystem::path &path,
                                                  std::string_view contents);

// The whole file, or nothing when it does not exist.
tl::expected<std::optional<std::string>, FileError>
readFileIfPresent(const std::filesystem::path &path);

// Moves a file or folder that failed to decode out of the way, as
// "<name>.corrupt-<seconds since 1970>", so the program can go on as if it were absent while
// the user keeps the data. Returns the new path.
tl::expected<std::filesystem::path, FileError>
setAsideCorrupt(const std::filesystem::path &path, std::chrono::system_clock::time_point now);

} // namespace zentrel
