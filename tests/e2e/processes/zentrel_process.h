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

// The real zentrel program in a home of its own: fresh XDG folders and a session bus of its own,
// as on a desktop, but nothing of the user's desktop (no tray host on that bus, so Qt uses the
// XEmbed tray). Each instance gets its own runtime folder, so single-instance sockets of parallel
// tests never meet.
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

    // The program starts with no session bus, as in a session that has none (startx, ssh -X).
    void startWithoutSessionBus() { m_wantsSessionBus = false; }

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

    // True once the program takes command URLs from later invocations, which it does from its
    // event loop: it has started, and a signal now quits it in order.
    bool waitUntilListening(QDeadlineTimer deadline);

    // Runs `zentrel <arguments>` again in the same home, as a user would from a shell. It gets
    // no display: all it may do is hand its arguments to the running program and end.
    ProcessExit runAgain(const QStringList &arguments, QDeadlineTimer deadline) const;
    // The same without waiting: `again` runs it, and tells when it ended.
    void startAgain(ChildProcess &again, const QStringList &arguments) const;

    // Sends SIGTERM, as a desktop that ends does, and returns at once.
    void terminate() { m_process.terminate(); }

    // Sends SIGTERM and waits for the program to end.
    ProcessExit stop();
    // Waits for the program to end by itself, for when the test asked it to quit.
    ProcessExit waitForExit(QDeadlineTimer deadline);

private:
    QString homePath(const QString &name) const;
    QProcessEnvironment environment() const;
    bool startSessionBus();
    // Whether the program has answered a message asking nothing of it by the deadline.
    bool answersCommands(QDeadlineTimer deadline);

    QTemporaryDir m_home;
    QProcessEnvironment m_extra;
    // Outlives the program's starts, as a desktop's bus does.
    ChildProcess m_sessionBus;
    QString m_sessionBusAddress;
    ChildProcess m_process;
    bool m_isFirstStart = false;
    bool m_wantsSessionBus = true;
};

} // namespace zentrel
