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

private:
    QString m_path;
    int m_fd = -1;
    bool m_held = false;
};

// $XDG_RUNTIME_DIR/zentrel.lock
QString instanceLockPath();

} // namespace zentrel
