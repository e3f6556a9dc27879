#include "shell/commands/folder_lock.h"

#include "shell/commands/exclusive_flock.h"

#include <fcntl.h>
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
    auto held = tryExclusiveFlock(m_fd, m_folder);
    m_held = held && *held;
    return held;
}

} // namespace zentrel
