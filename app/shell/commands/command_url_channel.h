#pragma once

#include <QDeadlineTimer>
#include <QList>
#include <QObject>
#include <QStringList>

class QLocalSocket;

namespace zentrel {

class CommandSocketListener;

// How `zentrel URL…` reaches the instance that already runs: a per-user local socket in the
// runtime folder. A message is a command message (the sender's give-up time, then one URL per
// line, or a request to reveal the menu from a start without URLs), ended by an empty line; the
// server answers "ok" once it has taken the message, and takes none whose sender has given up,
// so a start reported as failed has changed nothing.
class CommandUrlServer : public QObject
{
    Q_OBJECT

public:
    explicit CommandUrlServer(QObject *parent = nullptr);

    // Takes over the socket, replacing one left behind: only the instance that holds the
    // instance lock may call it.
    bool listen(const QString &socketPath);

Q_SIGNALS:
    void urlsReceived(const QStringList &urls);
    void revealMenuRequested();

private:
    void onAccepted(QLocalSocket *socket);
    void onReadable(QLocalSocket *socket);
    void closeOldestConnections(qsizetype count);
    void forget(QLocalSocket *socket);

    CommandSocketListener *m_listener;
    // The connections that have not sent a whole message yet, oldest first.
    QList<QLocalSocket *> m_waiting;
};

enum class ForwardResult {
    delivered,
    notDelivered,
};

// Blocks until the running instance has taken the URLs, or with none its request to reveal the
// menu, or at most until the deadline; works before any application object exists. Not
// delivered means they never run.
ForwardResult forwardToRunningInstance(const QString &socketPath,
                                       const QStringList &urls,
                                       QDeadlineTimer deadline);

// $XDG_RUNTIME_DIR/zentrel-commands
QString commandSocketPath();

} // namespace zentrel
