#include "shell/commands/exclusive_flock.h"

#include <sys/file.h>

#include <cerrno>
#include <cstring>

namespace zentrel {

tl::expected<bool, FileError> tryExclusiveFlock(int fd, const std::filesystem::path &path)
{
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
        return true;
    }
    if (errno == EWOULDBLOCK || errno == EINTR) {
        return false;
    }
    return tl::unexpected(FileError{FileError::Kind::writeFailed, path, std::strerror(errno)});
}

} // namespace zentrel
