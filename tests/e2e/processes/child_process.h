#pragma once

#include <QDeadlineTimer>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRegularExpressionMatch>
#include <QString>
#include <QStringList>

#include <optional>

namespace zentrel {

// How a child process ended, with everything it printed, so a failing test can show it.
struct ProcessExit
{
    enum class Kind {
        notStarted,
        exited,
        crashed,
        hung,
    };

    Kind kind = Kind::hung;
    int exitCode = -1;
    QString output;

    QString describe() const;
};

// A helper program started by a test: its stdout and stderr are captured together and read line
// by line. It dies with the test process, so a killed test leaves no X servers behind. It runs in
// a process group of its own, which stopping it ends whole: what it started goes with it.
class ChildProcess
{
public:
    ChildProcess() = default;
    ~ChildProcess();
    ChildProcess(const ChildProcess &) = delete;
    ChildProcess &operator=(const ChildProcess &) = delete;

    // inheritedFd is kept open across exec even when it is close-on-exec, for Xvfb's -displayfd.
    bool start(const QString &program,
               const QStringList &arguments,
               const QProcessEnvironment &environment,
               int inheritedFd = -1);
    // Without an event loop QProcess learns of an exit only inside its wait calls, so this asks.
    bool isRunning();

    // Consumes output lines until one matches and returns its match; nothing when the deadline
    // passes or the process ends first.
    std::optional<QRegularExpressionMatch> waitForLine(const QRegularExpression &pattern,
                                                       QDeadlineTimer deadline);

    QString output();

    // 0 while it does not run.
    qint64 processId() const { return m_process.processId(); }

    // Asks the process and its group to end (SIGTERM), and returns at once.
    void terminate();
    // Asks the process and its group to end (SIGTERM), kills it when the deadline passes, and
    // then kills whatever of its group is left.
    ProcessExit stop(QDeadlineTimer deadline);
    // Lets the process end by itself; kills it when the deadline passes, which counts as hung.
    ProcessExit waitForExit(QDeadlineTimer deadline);

private:
    void readAvailable();

    QProcess m_process;
    QByteArray m_output;
    bool m_started = false;
    qint64 m_group = 0; // the process group, led by the process
    qsizetype m_scanned = 0;
};

} // namespace zentrel
