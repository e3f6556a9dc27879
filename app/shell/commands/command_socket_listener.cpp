#include "shell/commands/command_socket_listener.h"

#include <QFile>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QLocalSocket>
#include <QSocketNotifier>
#include <QTimer>

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace zentrel {
namespace {

constexpr int backlog = 64;
// Taking a few connections at a time keeps the program answering its other events in a flood.
constexpr int acceptBatch = 32;
constexpr int firstBackoffMs = 50;
constexpr int longestBackoffMs = 1000;

} // namespace

CommandSocketListener::CommandSocketListener(QObject *parent)
    : QObject(parent)
    , m_folderWatcher(new QFileSystemWatcher(this))
    , m_retryTimer(new QTimer(this))
    , m_backoffMs(firstBackoffMs)
{
    m_retryTimer->setSingleShot(true);
    connect(m_retryTimer, &QTimer::timeout, this, &CommandSocketListener::onRetry);
    connect(m_folderWatcher,
            &QFileSystemWatcher::directoryChanged,
            this,
            &CommandSocketListener::onFolderChanged);
}

CommandSocketListener::~CommandSocketListener()
{
    if (ownsSocketFile()) {
        ::unlink(QFile::encodeName(m_path).constData());
    }
    closeSocket();
}

bool CommandSocketListener::listen(const QString &path)
{
    m_path = path;
    if (!bindSocket()) {
        return false;
    }
    m_folderWatcher->addPath(QFileInfo(path).absolutePath());
    return true;
}

bool CommandSocketListener::bindSocket()
{
    const QByteArray path = QFile::encodeName(m_path);
    sockaddr_un address = {};
    address.sun_family = AF_UNIX;
    if (std::size_t(path.size()) >= sizeof address.sun_path) {
        return false;
    }
    std::memcpy(address.sun_path, path.constData(), std::size_t(path.size()));
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0) {
        return false;
    }
    // This instance holds the lock, so a file at the path is a leftover of one that is gone or
    // something put in the socket's place: either way it goes.
    ::unlink(path.constData());
    struct stat status = {};
    if (::bind(fd, reinterpret_cast<const sockaddr *>(&address), sizeof address) != 0
        || ::chmod(path.constData(), 0600) != 0 || ::listen(fd, backlog) != 0
        || ::stat(path.constData(), &status) != 0) {
        ::close(fd);
        return false;
    }
    closeSocket();
    m_fd = fd;
    m_device = status.st_dev;
    m_inode = status.st_ino;
    m_notifier = new QSocketNotifier(qintptr(fd), QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &CommandSocketListener::onReadable);
    return true;
}

void CommandSocketListener::closeSocket()
{
    // The notifier goes first: it must never watch a closed descriptor.
    delete m_notifier;
    m_notifier = nullptr;
    if (m_fd >= 0) {
        ::close(m_fd);
        m_fd = -1;
    }
}

bool CommandSocketListener::ownsSocketFile() const
{
    struct stat status = {};
    return m_fd >= 0 && ::stat(QFile::encodeName(m_path).constData(), &status) == 0
           && S_ISSOCK(status.st_mode) && status.st_dev == m_device && status.st_ino == m_inode;
}

void CommandSocketListener::onReadable()
{
    for (int taken = 0; taken < acceptBatch; ++taken) {
        const int fd = ::accept4(m_fd, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
        if (fd < 0) {
            if (errno == EINTR || errno == ECONNABORTED) {
                continue;
            }
            if (errno == EAGAIN || errno == EWOULDBLOCK) {
                return;
            }
            // Out of descriptors or memory. The peer stays queued; trying again at once would
            // only spin, so wait while the owner frees some.
            pauseAndRetry();
            Q_EMIT acceptFailed();
            return;
        }
        m_backoffMs = firstBackoffMs;
        auto *socket = new QLocalSocket(this);
        if (!socket->setSocketDescriptor(qintptr(fd))) {
            ::close(fd);
            delete socket;
            continue;
        }
        Q_EMIT accepted(socket);
    }
}

void CommandSocketListener::pauseAndRetry()
{
    if (m_notifier) {
        m_notifier->setEnabled(false);
    }
    m_retryTimer->start(m_backoffMs);
    m_backoffMs = std::min(2 * m_backoffMs, longestBackoffMs);
}

void CommandSocketListener::onRetry()
{
    if (!ownsSocketFile() && !bindSocket()) {
        pauseAndRetry();
        return;
    }
    m_notifier->setEnabled(true);
}

void CommandSocketListener::onFolderChanged()
{
    if (!ownsSocketFile() && !m_retryTimer->isActive() && !bindSocket()) {
        pauseAndRetry();
    }
}

} // namespace zentrel
