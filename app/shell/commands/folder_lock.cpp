#include "shell/commands/folder_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <utility>

namespace zentrel {

FolderLock::FolderLock(std::filesystem::path folder)
    : m_folder(std::move(folder))
{}

FolderLock::~FolderLock()
{
    if (m_fd >= 0) {
        ::close(m_fd);
    }
}

tl::expected<bool, FileError> FolderLock::tryAcquire()
{
    if (m_held) {
        return true;
    }
    if (m_fd < 0) {
        m_fd = ::open(m_folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (m_fd < 0) {
            return tl::unexpected(
                FileError{FileError::Kind::readFailed, m_folder, std::strerror(errno)});
        }
    }
    if (::flock(m_fd, LOCK_EX | LOCK_NB) == 0) {
        m_held = true;
        return true;
    }
    if (errno == EWOULDBLOCK || errno == EINTR) {
        return false;
    }
    return tl::unexpected(FileError{FileError::Kind::writeFailed, m_folder, std::strerror(errno)});
}

} // namespace zentrel
