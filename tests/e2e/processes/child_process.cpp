#include "e2e/processes/child_process.h"

#include <QRegularExpression>

#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <unistd.h>

namespace zentrel {

namespace {

constexpr int killGraceMs = 3000;

} // namespace

QString ProcessExit::describe() const
{
    QString text;
    switch (kind) {
    case Kind::notStarted:
        text = QStringLiteral("never started");
        break;
    case Kind::exited:
        text = QStringLiteral("exited with code %1").arg(exitCode);
        break;
    case Kind::crashed:
        text = QStringLiteral("crashed");
        break;
    case Kind::hung:
        text = QStringLiteral("did not end in time and was killed");
        break;
    }
    return text + QStringLiteral("; its output:\n") + output;
}

ChildProcess::~ChildProcess()
{
    if (m_started) {
        stop(QDeadlineTimer(killGraceMs));
    }
}

bool ChildProcess::start(const QString &program,
                         const QStringList &arguments,
                         const QProcessEnvironment &environment,
                         int inheritedFd)
{
    const pid_t parent = getpid();
    // Runs in the forked child: only async-signal-safe calls here.
    m_process.setChildProcessModifier([parent, inheritedFd] {
        prctl(PR_SET_PDEATHSIG, SIGTERM);
        if (getppid() != parent) {
            _exit(127);
        }
        // A window manager under dbus-run-session and the session bus it starts are grandchildren,
        // which the death signal misses: the bus outlived every test that had one.
        setpgid(0, 0);
        if (inheritedFd >= 0) {
            fcntl(inheritedFd, F_SETFD, 0);
        }
    });
    m_process.setProcessChannelMode(QProcess::MergedChannels);
    m_process.setProcessEnvironment(environment);
    m_process.setProgram(program);
    m_process.setArguments(arguments);
    m_process.start(QIODevice::ReadOnly);
    if (!m_process.waitForStarted()) {
        m_output +=
            "failed to start " + program.toUtf8() + ": " + m_process.errorString().toUtf8() + '\n';
        return false;
    }
    m_started = true;
    m_group = m_process.processId();
    return true;
}

bool ChildProcess::isRunning()
{
    if (m_process.state() == QProcess::NotRunning) {
        return false;
    }
    return !m_process.waitForFinished(0);
}

std::optional<QRegularExpressionMatch> ChildProcess::waitForLine(const QRegularExpression &pattern,
                                                                 QDeadlineTimer deadline)
{
    for (;;) {
        // Asking whether it runs may pull output into QProcess's buffer, where waitForReadyRead
        // would not see it, so read only after asking.
        const bool running = isRunning();
        readAvailable();
        for (qsizetype end = m_output.indexOf('\n', m_scanned); end >= 0;
             end = m_output.indexOf('\n', m_scanned)) {
            const QString line = QString::fromUtf8(m_output.mid(m_scanned, end - m_scanned));
            m_scanned = end + 1;
            const QRegularExpressionMatch match = pattern.match(line);
            if (match.hasMatch()) {
                return match;
            }
        }
        if (!running || deadline.hasExpired()) {
            return std::nullopt;
        }
        m_process.waitForReadyRead(int(deadline.remainingTime()));
    }
}

QString ChildProcess::output()
{
    readAvailable();
    return QString::fromUtf8(m_output);
}

void ChildProcess::terminate()
{
    if (m_started && isRunning()) {
        ::kill(pid_t(-m_group), SIGTERM);
    }
}

ProcessExit ChildProcess::stop(QDeadlineTimer deadline)
{
    terminate();
    ProcessExit exit = waitForExit(deadline);
    if (m_started) {
        ::kill(pid_t(-m_group), SIGKILL);
    }
    return exit;
}

ProcessExit ChildProcess::waitForExit(QDeadlineTimer deadline)
{
    ProcessExit result;
    if (!m_started) {
        result.kind = ProcessExit::Kind::notStarted;
        result.output = output();
        return result;
    }
    if (isRunning() && !m_process.waitForFinished(int(deadline.remainingTime()))) {
        m_process.kill();
        m_process.waitForFinished(killGraceMs);
        result.output = output();
        return result;
    }
    result.output = output();
    if (m_process.exitStatus() == QProcess::CrashExit) {
        result.kind = ProcessExit::Kind::crashed;
    } else {
        result.kind = ProcessExit::Kind::exited;
        result.exitCode = m_process.exitCode();
    }
    return result;
}

void ChildProcess::readAvailable()
{
    m_output += m_process.readAll();
}

} // namespace zentrel
