#pragma once

#include "common/files/file_error.h"

#include <tl/expected.hpp>

#include <chrono>
#include <filesystem>
#include <string_view>
#include <vector>

namespace zentrel {

// The ending of a file being written while it has a name, so the sweeps of the folders Zentrel
// owns find what a killed save left ("*.tmp" in the sessions, sweepPendingLeftovers elsewhere).
inline constexpr std::string_view pendingFileSuffix = ".tmp";

// A new version of a file, written beside it and put in its place whole by commit(), or dropped
// with the object. Where the file system allows, it has no name until then (O_TMPFILE), so a
// process killed while writing leaves nothing; elsewhere it is "<name>.XXXXXX.tmp" beside the
// target. It gets the mode of the file it replaces, else the mode the umask gives a new file.
class PendingFile
{
public:
    static tl::expected<PendingFile, FileError> create(const std::filesystem::path &path);

    PendingFile(PendingFile &&other) noexcept;
    PendingFile &operator=(PendingFile &&other) noexcept;
    ~PendingFile();

    int descriptor() const { return m_fd; }

    // Syncs the data to disk and puts the file in place of the target, replacing it.
    tl::expected<void, FileError> commit();

    // Syncs the data to disk and puts the file at `name`, in the target's folder, only where
    // nothing is yet: false, the file still pending, when the name is taken.
    tl::expected<bool, FileError> commitAsNew(const std::filesystem::path &name);

private:
    PendingFile(std::filesystem::path path, std::filesystem::path named, int fd);
    void discard();
    tl::expected<std::filesystem::path, FileError> giveName() const;

    std::filesystem::path m_path;
    // Empty while the file has no name.
    std::filesystem::path m_named;
    int m_fd = -1;
};

// Renames without replacing anything at `to`: false, with errno EEXIST, when the name is taken.
bool renameWithoutReplacing(const std::filesystem::path &from, const std::filesystem::path &to);

// Removes the "<name>.XXXXXX.tmp" files a killed writer of `path` left beside it: regular files
// only, so nothing a link points at is touched.
void sweepPendingLeftovers(const std::filesystem::path &path);

// How long a named pending file goes unwritten before a sweep takes it for a killed writer's:
// long enough to spare one a writer is still filling.
inline constexpr std::chrono::minutes abandonedPendingAge{1};

// Removes the "<name>.XXXXXX.tmp" files that killed writers of each of `paths` left beside it:
// regular files last written before `writtenBefore`, so a writer still at work keeps its file,
// and nothing a link points at is touched.
void sweepAbandonedLeftovers(const std::vector<std::filesystem::path> &paths,
                             std::filesystem::file_time_type writtenBefore);

// Removes from a folder Zentrel does not own the "<name><extension>.XXXXXX.tmp" files that
// killed writers left there: regular files last written before `writtenBefore`, so a writer still
// at work keeps its file.
void sweepAbandonedPendingFiles(const std::filesystem::path &folder,
                                std::string_view extension,
                                std::filesystem::file_time_type writtenBefore);

} // namespace zentrel
