#include "whiteboard/model/store/library_file_identity.h"

#include <sys/stat.h>

namespace zentrel {

std::optional<LibraryFileIdentity> libraryFileIdentity(const std::filesystem::path &path)
{
    struct stat status;
    if (::stat(path.c_str(), &status) != 0) {
        return std::nullopt;
    }
    constexpr std::int64_t nanosecondsPerSecond = 1'000'000'000;
    return LibraryFileIdentity{static_cast<std::uint64_t>(status.st_dev),
                               static_cast<std::uint64_t>(status.st_ino),
                               static_cast<std::int64_t>(status.st_size),
                               static_cast<std::int64_t>(status.st_mtim.tv_sec)
                                       * nanosecondsPerSecond
                                   + status.st_mtim.tv_nsec};
}

void KnownLibraryFile::remember(const std::filesystem::path &path)
{
    const std::optional<LibraryFileIdentity> identity = libraryFileIdentity(path);
    const std::lock_guard lock(m_mutex);
    m_stamp = {true, identity, false};
}

void KnownLibraryFile::keepBadFile()
{
    const std::lock_guard lock(m_mutex);
    m_stamp.isBadFileKept = true;
}

bool KnownLibraryFile::changedElsewhere(const std::filesystem::path &path) const
{
    const std::optional<LibraryFileIdentity> identity = libraryFileIdentity(path);
    const std::lock_guard lock(m_mutex);
    return m_stamp.isKnown && identity && identity != m_stamp.identity;
}

bool KnownLibraryFile::holdsBadFile(const std::filesystem::path &path) const
{
    const std::optional<LibraryFileIdentity> identity = libraryFileIdentity(path);
    const std::lock_guard lock(m_mutex);
    return m_stamp.isBadFileKept && identity && identity == m_stamp.identity;
}

LibraryFileStamp KnownLibraryFile::stamp() const
{
    const std::lock_guard lock(m_mutex);
    return m_stamp;
}

void KnownLibraryFile::restore(const LibraryFileStamp &stamp)
{
    const std::lock_guard lock(m_mutex);
    m_stamp = stamp;
}

} // namespace zentrel
