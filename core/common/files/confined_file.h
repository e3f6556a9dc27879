#pragma once

#include "common/files/file_error.h"

#include <tl/expected.hpp>

#include <filesystem>
#include <string>

namespace zentrel {

// Files reached by a path relative to a folder, following no symbolic link on the way: a link
// anywhere below the folder (a linked subfolder, a linked file) fails the call, as do "..",
// absolute paths and anything but a regular file at the end. So nothing outside the folder is
// read or removed through a link placed inside it. The folder itself may be a link.
tl::expected<std::string, FileError> readConfinedFile(const std::filesystem::path &folder,
                                                      const std::filesystem::path &relative);

// Removes the entry itself; a link at the end is removed, never what it points at.
tl::expected<void, FileError> removeConfinedFile(const std::filesystem::path &folder,
                                                 const std::filesystem::path &relative);

} // namespace zentrel
