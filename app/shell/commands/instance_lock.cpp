#include "shell/commands/instance_lock.h"

#include "common/application_paths.h"
#include "shell/commands/exclusive_flock.h"

#include <QFile>
#include <QStandardPaths>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <utility>

namespace zentrel {

const char *const dataFolderInUseText =
    "Zentrel is already running for this user in another session.";

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
    auto held = tryExclusiveFlock(m_fd, path.toStdString());
    m_held = held && *held;
    return held;
}

bool InstanceLock::holdAgainIfReplaced()
{
    if (!m_held) {
        return false;
    }
    const QByteArray path = QFile::encodeName(m_path);
    struct stat held;
    struct stat named;
    if (::fstat(m_fd, &held) == 0 && ::stat(path.constData(), &named) == 0
        && held.st_dev == named.st_dev && held.st_ino == named.st_ino) {
        return true;
    }
    const int fd = ::open(path.constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) {
        return false;
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return false;
    }
    ::close(std::exchange(m_fd, fd));
    return true;
}

QString instanceLockPath()
{
    return QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation)
           + QStringLiteral("/zentrel.lock");
}

QString dataFolderLockPath()
{
    return QString::fromStdString((applicationDataFolder() / "zentrel.lock").string());
}

} // namespace zentrel
