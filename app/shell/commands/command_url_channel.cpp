#include "shell/commands/command_url_channel.h"

#include "shell/command_message.h"
#include "shell/commands/command_socket_listener.h"

#include <QLocalSocket>
#include <QStandardPaths>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace zentrel {
namespace {

// Far more than any list of command URLs; a peer that sends more is not one of ours.
constexpr qint64 maximumMessageSize = 64 * 1024;
// A peer of ours sends its message as soon as it is connected.
constexpr int peerTimeoutMs = 5000;
// Far more than starts of `zentrel URL` at once; idle peers beyond it make room for new ones,
// so a flood of them can neither use up the program's descriptors nor shut out a real start.
constexpr qsizetype maximumWaitingConnections = 64;
const QByteArray messageEnd = QByteArrayLiteral("\n\n");
const QByteArray acknowledgement = QByteArrayLiteral("ok\n");
constexpr std::chrono::milliseconds answerMargin{500};

int remainingMs(QDeadlineTimer deadline)
{
    return int(std::max<qint64>(0, deadline.remainingTime()));
}

} // namespace

CommandUrlServer::CommandUrlServer(QObject *parent)
    : QObject(parent)
    , m_listener(new CommandSocketListener(this))
{
    connect(m_listener, &CommandSocketListener::accepted, this, &CommandUrlServer::onAccepted);
    // Idle peers are the descriptors this server can give back.
    connect(m_listener, &CommandSocketListener::acceptFailed, this, [this] {
        closeOldestConnections(std::max<qsizetype>(1, m_waiting.size() / 2));
    });
}

bool CommandUrlServer::listen(const QString &socketPath)
{
    return m_listener->listen(socketPath);
}

void CommandUrlServer::onAccepted(QLocalSocket *socket)
{
    closeOldestConnections(m_waiting.size() - maximumWaitingConnections + 1);
    socket->setParent(this);
    m_waiting.append(socket);
    connect(socket, &QLocalSocket::disconnected, this, [this, socket] { forget(socket); });
    connect(socket, &QLocalSocket::readyRead, this, [this, socket] { onReadable(socket); });
    QTimer::singleShot(peerTimeoutMs, socket, [socket] { socket->abort(); });
}

void CommandUrlServer::closeOldestConnections(qsizetype count)
{
    for (; count > 0 && !m_waiting.isEmpty(); --count) {
        QLocalSocket *oldest = m_waiting.takeFirst();
        oldest->abort();
        oldest->deleteLater();
    }
}

void CommandUrlServer::forget(QLocalSocket *socket)
{
    m_waiting.removeOne(socket);
    socket->deleteLater();
}

void CommandUrlServer::onReadable(QLocalSocket *socket)
{
    const QByteArray &received = socket->peek(maximumMessageSize + 1);
    if (received.size() > maximumMessageSize) {
        socket->abort();
        return;
    }
    const qsizetype end = received.indexOf(messageEnd);
    if (end < 0) {
        return;
    }
    const QByteArray text = socket->readAll().left(end + 1);
    m_waiting.removeOne(socket);
    const std::optional<CommandMessage> message = decodeCommandMessage(text.toStdString());
    // A sender that gave up has told its caller the command failed: it must not run now.
    if (!message || !isCommandMessageCurrent(*message, std::chrono::system_clock::now())) {
        socket->abort();
        return;
    }
    socket->write(acknowledgement);
    socket->disconnectFromServer();
    if (message->request == CommandMessage::Request::revealMenu) {
        Q_EMIT revealMenuRequested();
        return;
    }
    QStringList urls;
    for (const std::string &url : message->urls) {
        urls.append(QString::fromStdString(url));
    }
    Q_EMIT urlsReceived(urls);
}

ForwardResult forwardToRunningInstance(const QString &socketPath,
                                       const QStringList &urls,
                                       QDeadlineTimer deadline)
{
    QLocalSocket socket;
    socket.connectToServer(socketPath);
    if (!socket.waitForConnected(remainingMs(deadline))) {
        return ForwardResult::notDelivered;
    }
    // The instance takes the message only before this time, and answers at once when it does;
    // the margin is for that answer to arrive before the wait below ends.
    std::vector<std::string> urlTexts;
    for (const QString &url : urls) {
        urlTexts.push_back(url.toStdString());
    }
    const CommandMessage message =
        startMessage(std::move(urlTexts),
                     std::chrono::system_clock::now()
                         + std::chrono::milliseconds(remainingMs(deadline)) - answerMargin);
    socket.write(QByteArray::fromStdString(encodeCommandMessage(message)) + '\n');
    socket.waitForBytesWritten(remainingMs(deadline));
    while (socket.bytesAvailable() < acknowledgement.size() && !deadline.hasExpired()
           && socket.waitForReadyRead(remainingMs(deadline))) {
    }
    return socket.readAll().startsWith(acknowledgement) ? ForwardResult::delivered
                                                        : ForwardResult::notDelivered;
}

QString commandSocketPath()
{
    return QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation)
           + QStringLiteral("/zentrel-commands");
}

} // namespace zentrel
