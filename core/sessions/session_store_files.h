#pragma once

#include "common/files/file_error.h"
#include "sessions/session_store_error.h"

#include <filesystem>
#include <string>
#include <system_error>

namespace zentrel {

// Shared by the store's source files: file-system failures in the store's error type.
inline tl::unexpected<SessionStoreError> sessionFileError(const FileError &error)
{
    return tl::unexpected(SessionStoreError{SessionStoreError::Kind::file, 0, message(error)});
}

inline tl::unexpected<SessionStoreError>
sessionFileError(FileError::Kind kind, const std::filesystem::path &path, const std::error_code &ec)
{
    return sessionFileError(FileError{kind, path, ec.message()});
}

} // namespace zentrel
