#pragma once

#include <QObject>

#include <vector>

class QFileSystemWatcher;

namespace zentrel {

class InstanceLock;

// Keeps the held instance locks in force for the life of the instance: whenever a folder holding
// one changes, a lock file removed or replaced there is locked again (InstanceLock::
// holdAgainIfReplaced), as the command socket's file is made again.
class InstanceLockWatch : public QObject
{
    Q_OBJECT

public:
    // The locks must outlive the watch.
    explicit InstanceLockWatch(std::vector<InstanceLock *> locks, QObject *parent = nullptr);

private:
    void onFolderChanged();

    std::vector<InstanceLock *> m_locks;
    QFileSystemWatcher *m_watcher;
};

} // namespace zentrel
