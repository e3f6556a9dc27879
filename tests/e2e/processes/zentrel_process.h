#pragma once

#include "e2e/processes/child_process.h"

#include <QDeadlineTimer>
#include <QImage>
#include <QJsonArray>
#include <QJsonObject>
#include <QProcessEnvironment>
#include <QRegularExpression>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <optional>

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
    // $XDG_RUNTIME_DIR; the program's command socket and instance lock are there.
    QString runtimeFolder() const;
    // $XDG_DATA_HOME; the program keeps its sessions in Zentrel/Sessions below it.
    QString dataHome() const;
    // Writes the settings file the program reads at start. Onboarding counts as done unless the
    // test starts the program as for the first time, or says otherwise in `defaults`.
    bool writeDefaults(const QJsonObject &defaults) const;

    // What the program has saved so far: its settings, its whiteboard library, the elements of
    // that library's current board, the frames of its sessions; empty while there is no such file.
    QJsonObject savedDefaults() const;
    QJsonObject savedLibrary() const;
    QJsonArray savedBoardElements() const;
    // The frames that every session manifest lists.
    QJsonArray savedSessionFrames() const;
    // The picture of the first frame found in a session, waiting for one until the deadline.
    QImage firstSessionFrame(QDeadlineTimer deadline) const;

    // The next start is a first start: no settings, so the welcome window comes up.
    void startAsFirstStart() { m_isFirstStart = true; }

    bool start(const QString &display);

    // An environment variable for the program and its later invocations, set before start.
    void setEnvironment(const QString &name, const QString &value) { m_extra.insert(name, value); }

    bool isRunning() { return m_process.isRunning(); }

    QString output() { return m_process.output(); }

    qint64 processId() const { return m_process.processId(); }

    // The next line the program prints that matches, or nothing by the deadline.
    std::optional<QRegularExpressionMatch> waitForLine(const QRegularExpression &pattern,
                                                       QDeadlineTimer deadline)
    {
        return m_process.waitForLine(pattern, deadline);
    }

    // True once the program listens for command URLs from later invocations.
    bool waitUntilListening(QDeadlineTimer deadline);

    // Runs `zentrel <arguments>` again in the same home, as a user would from a shell. It gets
    // no display: all it may do is hand its arguments to the running program and end.
    ProcessExit runAgain(const QStringList &arguments, QDeadlineTimer deadline) const;
    // The same without waiting: `again` runs it, and tells when it ended.
    void startAgain(ChildProcess &again, const QStringList &arguments) const;

    // Sends SIGTERM and waits for the program to end.
    ProcessExit stop();
    // Waits for the program to end by itself, for when the test asked it to quit.
    ProcessExit waitForExit(QDeadlineTimer deadline);

private:
    QString homePath(const QString &name) const;
    QProcessEnvironment environment() const;

    QTemporaryDir m_home;
    QProcessEnvironment m_extra;
    ChildProcess m_process;
    bool m_isFirstStart = false;
};

} // namespace zentrel
