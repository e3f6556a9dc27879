#pragma once

#include "common/files/file_error.h"

#include <tl/expected.hpp>

#include <filesystem>

namespace zentrel {

// Held by the one Zentrel that writes a data folder, for its whole life: an flock on the folder
// itself. Unlike a lock file's, removing files cannot take it away, so no second Zentrel starts
// beside one that is stopped or too busy to lock a new file. The kernel lets it go when the
// process ends, however it ends, and programs this one starts never hold it (close-on-exec).
class FolderLock
{
public:
    explicit FolderLock(std::filesystem::path folder);
    ~FolderLock();
    FolderLock(const FolderLock &) = delete;
    FolderLock &operator=(const FolderLock &) = delete;

    // True once this process holds the lock, false while another one holds it. Fails where the
    // folder cannot be opened or locked (NFS locks only files open for writing).
    tl::expected<bool, FileError> tryAcquire();

private:
    std::filesystem::path m_folder;
    int m_fd = -1;
    bool m_held = false;
};

} // namespace zentrel
