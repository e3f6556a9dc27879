#pragma once

#include <QObject>
#include <QStringList>

class QLocalServer;
class QLocalSocket;

namespace zentrel {

// How `zentrel URL…` reaches the instance that already runs: a per-user local socket in the
// runtime folder. A message is one URL per line, ended by an empty line; the server answers
// "ok" once it has taken the URLs.
class CommandUrlServer : public QObject
{
    Q_OBJECT

public:
    explicit CommandUrlServer(QObject *parent = nullptr);

    // Takes over the socket, removing one left behind by an instance that is gone.
    bool listen(const QString &socketPath);

Q_SIGNALS:
    void urlsReceived(const QStringList &urls);

private:
    void onNewConnection();
    void onReadable(QLocalSocket *socket);

    QLocalServer *m_server;
};

enum class ForwardResult {
    delivered,
    noRunningInstance,
};

// Blocks for at most a few seconds; works before any application object exists.
ForwardResult forwardToRunningInstance(const QString &socketPath, const QStringList &urls);

// $XDG_RUNTIME_DIR/zentrel-commands
QString commandSocketPath();

} // namespace zentrel
