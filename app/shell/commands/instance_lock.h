#pragma once

#include "common/files/file_error.h"

#include <QString>

#include <tl/expected.hpp>

namespace zentrel {

// Held by the one running Zentrel of a user for its whole life: an flock on a file in the runtime
// folder. The kernel lets it go when the process ends, however it ends, so a crashed instance
// leaves no lock behind and a stopped or busy one still holds it.
class InstanceLock
{
public:
    explicit InstanceLock(QString path);
    ~InstanceLock();
    InstanceLock(const InstanceLock &) = delete;
    InstanceLock &operator=(const InstanceLock &) = delete;

    // True once this process holds the lock, false while another instance holds it.
    tl::expected<bool, FileError> tryAcquire();

    // A held lock whose file was removed or replaced guards nothing: the next start would lock
    // the new file and run beside this one. This locks whatever file the path names now (making
    // one where there is none) and keeps that, unless another instance holds it already. True
    // while the file at the path is the one this process holds.
    bool holdAgainIfReplaced();

    const QString &path() const { return m_path; }

private:
    QString m_path;
    int m_fd = -1;
    bool m_held = false;
};

// $XDG_RUNTIME_DIR/zentrel.lock
QString instanceLockPath();

// zentrel.lock in the data folder, beside the library it guards: two sessions of one user with
// different runtime folders still share that data, and only one Zentrel may write it. The lock on
// the folder itself (FolderLock) decides where it can be had; this file, where it cannot.
QString dataFolderLockPath();

// What a start says when another Zentrel, started from another session, holds the data folder.
extern const char *const dataFolderInUseText;

} // namespace zentrel
