#include "shell/commands/command_url_channel.h"

#include <QLocalServer>
#include <QLocalSocket>
#include <QStandardPaths>
#include <QTimer>

namespace zentrel {
namespace {

// Far more than any list of command URLs; a peer that sends more is not one of ours.
constexpr qint64 maximumMessageSize = 64 * 1024;
constexpr int peerTimeoutMs = 5000;
// A live server accepts at once; a leftover socket file refuses at once.
constexpr int probeTimeoutMs = 1000;
const QByteArray messageEnd = QByteArrayLiteral("\n\n");
const QByteArray acknowledgement = QByteArrayLiteral("ok\n");

} // namespace

CommandUrlServer::CommandUrlServer(QObject *parent)
    : QObject(parent)
    , m_server(new QLocalServer(this))
{
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    connect(m_server, &QLocalServer::newConnection, this, &CommandUrlServer::onNewConnection);
}

bool CommandUrlServer::listen(const QString &socketPath)
{
    // Two starts at once both find nobody to hand over to; the later one must not take the
    // socket from the first (listening with access options replaces the file, live or not), or
    // two instances would run.
    QLocalSocket probe;
    probe.connectToServer(socketPath);
    if (probe.waitForConnected(probeTimeoutMs)) {
        probe.abort();
        return false;
    }
    if (m_server->listen(socketPath)) {
        return true;
    }
    // Nobody answers on it, so the socket file is a leftover.
    QLocalServer::removeServer(socketPath);
    return m_server->listen(socketPath);
}

void CommandUrlServer::onNewConnection()
{
    while (QLocalSocket *socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { onReadable(socket); });
        QTimer::singleShot(peerTimeoutMs, socket, [socket] { socket->abort(); });
    }
}

void CommandUrlServer::onReadable(QLocalSocket *socket)
{
    const QByteArray &received = socket->peek(maximumMessageSize + 1);
    if (received.size() > maximumMessageSize) {
        socket->abort();
        return;
    }
    const qsizetype end = received.indexOf(messageEnd);
    if (end < 0 && !received.startsWith('\n')) {
        return;
    }
    const QByteArray message = socket->readAll().left(end < 0 ? 0 : end);
    QStringList urls;
    for (const QByteArray &line : message.split('\n')) {
        if (!line.isEmpty()) {
            urls.append(QString::fromUtf8(line));
        }
    }
    socket->write(acknowledgement);
    socket->disconnectFromServer();
    Q_EMIT urlsReceived(urls);
}

ForwardResult forwardToRunningInstance(const QString &socketPath, const QStringList &urls)
{
    QLocalSocket socket;
    socket.connectToServer(socketPath);
    if (!socket.waitForConnected(peerTimeoutMs)) {
        return ForwardResult::noRunningInstance;
    }
    QByteArray message;
    for (const QString &url : urls) {
        message += url.toUtf8() + '\n';
    }
    message += '\n';
    socket.write(message);
    socket.waitForBytesWritten(peerTimeoutMs);
    while (socket.bytesAvailable() < acknowledgement.size()
           && socket.waitForReadyRead(peerTimeoutMs)) {
    }
    return socket.readAll().startsWith(acknowledgement) ? ForwardResult::delivered
                                                        : ForwardResult::noRunningInstance;
}

QString commandSocketPath()
{
    return QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation)
           + QStringLiteral("/zentrel-commands");
}

} // namespace zentrel
