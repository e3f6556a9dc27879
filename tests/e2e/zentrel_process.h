#pragma once

#include "e2e/child_process.h"

#include <QString>
#include <QTemporaryDir>

namespace zentrel {

// The real zentrel program in a home of its own: fresh XDG folders, no session bus (so Qt uses
// the XEmbed tray), nothing of the user's desktop. Each instance gets its own runtime folder, so
// single-instance sockets of parallel tests never meet.
class ZentrelProcess
{
public:
    ZentrelProcess();

    bool hasHome() const { return m_home.isValid(); }

    // $XDG_CONFIG_HOME; the program keeps its settings in Zentrel/ below it.
    QString configHome() const;
    bool start(const QString &display);

    bool isRunning() { return m_process.isRunning(); }

    QString output() { return m_process.output(); }

    // Sends SIGTERM and waits for the program to end.
    ProcessExit stop();

private:
    QString homePath(const QString &name) const;

    QTemporaryDir m_home;
    ChildProcess m_process;
};

} // namespace zentrel
