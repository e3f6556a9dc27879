#include "shell/commands/instance_lock.h"

#include <QFile>
#include <QStandardPaths>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <utility>

namespace zentrel {

InstanceLock::InstanceLock(QString path)
    : m_path(std::move(path))
{}

InstanceLock::~InstanceLock()
{
    if (m_fd >= 0) {
        ::close(m_fd);
    }
}

tl::expected<bool, FileError> InstanceLock::tryAcquire()
{
    if (m_held) {
        return true;
    }
    const QByteArray path = QFile::encodeName(m_path);
    if (m_fd < 0) {
        m_fd = ::open(path.constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
        if (m_fd < 0) {
            return tl::unexpected(
                FileError{FileError::Kind::writeFailed, path.toStdString(), std::strerror(errno)});
        }
    }
    if (::flock(m_fd, LOCK_EX | LOCK_NB) == 0) {
        m_held = true;
        return true;
    }
    if (errno == EWOULDBLOCK || errno == EINTR) {
        return false;
    }
    return tl::unexpected(
        FileError{FileError::Kind::writeFailed, path.toStdString(), std::strerror(errno)});
}

QString instanceLockPath()
{
    return QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation)
           + QStringLiteral("/zentrel.lock");
}

} // namespace zentrel
