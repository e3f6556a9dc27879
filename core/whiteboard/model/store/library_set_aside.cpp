#include "whiteboard/model/store/library_set_aside.h"

#include "common/files/atomic_file.h"
#include "common/files/pending_file.h"

#include <cerrno>
#include <chrono>
#include <cstring>
#include <functional>
#include <string>
#include <string_view>

namespace zentrel {
namespace {

constexpr int maximumAttempts = 1000;

FileError moveError(const std::filesystem::path &file, const std::string &reason)
{
    return FileError{FileError::Kind::moveFailed, file, reason};
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

// Copies the file, whole or not at all, to the first free name `named` gives; none is replaced.
tl::expected<std::filesystem::path, FileError>
copyAside(const std::filesystem::path &file,
          const std::function<std::filesystem::path(int attempt)> &named)
{
    auto copied = copyFileToNewName(file, named, maximumAttempts);
    if (!copied) {
        return tl::unexpected(moveError(file, copied.error().reason));
    }
    return copied;
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
        if (renameWithoutReplacing(file, target)) {
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
