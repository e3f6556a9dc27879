#include "shell/commands/instance_lock_watch.h"

#include "shell/commands/instance_lock.h"

#include <QFileInfo>
#include <QFileSystemWatcher>

#include <utility>

namespace zentrel {

InstanceLockWatch::InstanceLockWatch(std::vector<InstanceLock *> locks, QObject *parent)
    : QObject(parent)
    , m_locks(std::move(locks))
    , m_watcher(new QFileSystemWatcher(this))
{
    for (const InstanceLock *lock : m_locks) {
        // A folder that is not there holds no lock of ours.
        const QString folder = QFileInfo(lock->path()).absolutePath();
        if (QFileInfo::exists(folder) && !m_watcher->directories().contains(folder)) {
            m_watcher->addPath(folder);
        }
    }
    connect(m_watcher,
            &QFileSystemWatcher::directoryChanged,
            this,
            &InstanceLockWatch::onFolderChanged);
}

void InstanceLockWatch::onFolderChanged()
{
    for (InstanceLock *lock : m_locks) {
        lock->holdAgainIfReplaced();
    }
}

} // namespace zentrel
