#include "whiteboard/model/store/library_set_aside.h"

#include <fcntl.h>
#include <stdio.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <functional>
#include <string>
#include <string_view>
#include <system_error>

namespace zentrel {
namespace {

constexpr int maximumAttempts = 1000;

FileError moveError(const std::filesystem::path &file, const std::string &reason)
{
    return FileError{FileError::Kind::moveFailed, file, reason};
}

// Renames without replacing anything at the target: false with errno EEXIST when taken.
bool renameNoReplace(const std::filesystem::path &from, const std::filesystem::path &to)
{
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) {
        return true;
    }
    if (errno != EINVAL && errno != ENOSYS) {
        return false;
    }
    // File systems without the flag: check first, accepting the small race.
    std::error_code ec;
    if (std::filesystem::exists(std::filesystem::symlink_status(to, ec))) {
        errno = EEXIST;
        return false;
    }
    return ::rename(from.c_str(), to.c_str()) == 0;
}

// "<stem>.<word>-<seconds>[-<attempt>].json" beside the file.
std::filesystem::path
asidePath(const std::filesystem::path &file, std::string_view word, Timestamp now, int attempt)
{
    const auto seconds =
        std::chrono::duration_cast<std::chrono::seconds>(now.time_since_epoch()).count();
    std::string name =
        file.stem().string() + "." + std::string(word) + "-" + std::to_string(seconds);
    if (attempt > 0) {
        name += "-" + std::to_string(attempt);
    }
    return file.parent_path() / (name + ".json");
}

// Copies the file to the first free name `named` gives; none is replaced.
tl::expected<std::filesystem::path, FileError>
copyAside(const std::filesystem::path &file,
          const std::function<std::filesystem::path(int attempt)> &named)
{
    for (int attempt = 0; attempt < maximumAttempts; ++attempt) {
        const std::filesystem::path target = named(attempt);
        std::error_code ec;
        // Without overwrite options the copy fails when the target exists.
        if (std::filesystem::copy_file(file, target, ec)) {
            return target;
        }
        if (ec != std::errc::file_exists) {
            return tl::unexpected(moveError(file, ec.message()));
        }
    }
    return tl::unexpected(moveError(file, "every set-aside name is taken"));
}

} // namespace

std::filesystem::path
librarySetAsidePath(const std::filesystem::path &file, Timestamp now, int attempt)
{
    return asidePath(file, "corrupt", now, attempt);
}

std::filesystem::path
libraryConflictPath(const std::filesystem::path &file, Timestamp now, int attempt)
{
    return asidePath(file, "conflict", now, attempt);
}

tl::expected<std::filesystem::path, FileError> moveLibraryAside(const std::filesystem::path &file,
                                                                Timestamp now)
{
    for (int attempt = 0; attempt < maximumAttempts; ++attempt) {
        const std::filesystem::path target = librarySetAsidePath(file, now, attempt);
        if (renameNoReplace(file, target)) {
            return target;
        }
        if (errno != EEXIST) {
            return tl::unexpected(moveError(file, std::strerror(errno)));
        }
    }
    return tl::unexpected(moveError(file, "every set-aside name is taken"));
}

tl::expected<std::filesystem::path, FileError> copyLibraryAside(const std::filesystem::path &file,
                                                                Timestamp now)
{
    return copyAside(file, [&](int attempt) { return librarySetAsidePath(file, now, attempt); });
}

tl::expected<std::filesystem::path, FileError>
copyConflictingLibraryAside(const std::filesystem::path &file, Timestamp now)
{
    return copyAside(file, [&](int attempt) { return libraryConflictPath(file, now, attempt); });
}

} // namespace zentrel
