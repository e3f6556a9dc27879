#pragma once

#include "common/files/file_error.h"

#include <tl/expected.hpp>

#include <filesystem>

namespace zentrel {

// Takes an exclusive flock on the open file `fd` without waiting: true once held, false while
// another process holds it; an error (named after `path`) where it cannot be had at all.
tl::expected<bool, FileError> tryExclusiveFlock(int fd, const std::filesystem::path &path);

} // namespace zentrel
