#pragma once

#include <QObject>
#include <QString>

#include <sys/types.h>

class QFileSystemWatcher;
class QLocalSocket;
class QSocketNotifier;
class QTimer;

namespace zentrel {

// The listening end of the command socket. QLocalServer closes its socket and removes the file
// when one accept fails, which left a running Zentrel unreachable once its descriptors ran out;
// this keeps listening: it pauses, asks its owner to free descriptors and tries again, backing
// off while it keeps failing. A socket file removed or replaced behind its back is made again.
class CommandSocketListener : public QObject
{
    Q_OBJECT

public:
    explicit CommandSocketListener(QObject *parent = nullptr);
    ~CommandSocketListener() override;

    // Listens at path, replacing whatever file is there: only the instance that holds the
    // instance lock may call it.
    bool listen(const QString &path);

Q_SIGNALS:
    // A new connection, a child of the listener until the receiver takes it.
    void accepted(QLocalSocket *socket);
    // An accept failed for want of descriptors or memory; the receiver should close some.
    void acceptFailed();

private:
    bool bindSocket();
    void closeSocket();
    bool ownsSocketFile() const;
    void onReadable();
    void pauseAndRetry();
    void onRetry();
    void onFolderChanged();

    QString m_path;
    int m_fd = -1;
    // The socket file this listener made, to tell it from one put in its place.
    dev_t m_device = 0;
    ino_t m_inode = 0;
    QSocketNotifier *m_notifier = nullptr;
    QFileSystemWatcher *m_folderWatcher;
    QTimer *m_retryTimer;
    int m_backoffMs;
};

} // namespace zentrel
