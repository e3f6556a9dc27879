#include "e2e/processes/process_use.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QList>
#include <QString>
#include <QThread>

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <iostream>
#include <optional>

namespace zentrel {

namespace {

QByteArray procFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QByteArray procFile(qint64 pid, const char *name)
{
    return procFile(QStringLiteral("/proc/%1/%2").arg(pid).arg(QLatin1String(name)));
}

// A process's and a thread's stat lines have the same fields.
double statCpuSeconds(const QByteArray &stat)
{
    // The command name in parentheses may hold spaces; the fields counted here follow it.
    const qsizetype nameEnd = stat.lastIndexOf(')');
    if (nameEnd < 0) {
        return -1;
    }
    const QList<QByteArray> fields = stat.mid(nameEnd + 2).split(' ');
    // utime and stime are fields 14 and 15 of the line, 12 and 13 after the name.
    constexpr int utime = 11;
    constexpr int stime = 12;
    if (fields.size() <= stime) {
        return -1;
    }
    const double ticks = fields[utime].toDouble() + fields[stime].toDouble();
    return ticks / double(sysconf(_SC_CLK_TCK));
}

// A size line of /proc/<pid>/status, such as "VmRSS:   1024 kB", in MB.
double statusMegabytes(qint64 pid, const char *field)
{
    for (const QByteArray &line : procFile(pid, "status").split('\n')) {
        if (line.startsWith(field)) {
            return line.mid(qsizetype(qstrlen(field))).trimmed().split(' ').front().toDouble()
                   / 1024;
        }
    }
    return -1;
}

} // namespace

void printFigure(const std::string &what, double value, const char *unit)
{
    std::cout << "[ figure   ] " << what << ": " << std::round(value * 10) / 10 << ' ' << unit
              << std::endl;
}

double cpuSeconds(qint64 pid)
{
    return statCpuSeconds(procFile(pid, "stat"));
}

double mainThreadCpuSeconds(qint64 pid)
{
    return statCpuSeconds(procFile(QStringLiteral("/proc/%1/task/%1/stat").arg(pid)));
}

MainThreadBusyness::MainThreadBusyness(qint64 pid)
{
    const QString path = QStringLiteral("/proc/%1/task/%1/wchan").arg(pid);
    m_sampler = std::thread([this, path] {
        using Clock = std::chrono::steady_clock;
        std::optional<Clock::time_point> busySince;
        while (!m_stopping) {
            const QByteArray wchan = procFile(path);
            const Clock::time_point now = Clock::now();
            if (wchan.isEmpty()) {
                continue;
            }
            ++m_samples;
            // An idle Qt event loop waits in poll; running shows as 0.
            if (wchan.contains("poll")) {
                busySince.reset();
            } else {
                ++m_busy;
                busySince = busySince.value_or(now);
                m_longestBusy = std::max(m_longestBusy,
                                         std::chrono::duration<double>(now - *busySince).count());
            }
            std::this_thread::sleep_for(std::chrono::microseconds(250));
        }
    });
}

MainThreadBusyness::~MainThreadBusyness()
{
    stop();
}

MainThreadBusyness::Result MainThreadBusyness::stop()
{
    m_stopping = true;
    if (m_sampler.joinable()) {
        m_sampler.join();
    }
    if (m_samples == 0) {
        return {};
    }
    return {double(m_busy) / double(m_samples), m_longestBusy};
}

double residentMegabytes(qint64 pid)
{
    return statusMegabytes(pid, "VmRSS:");
}

double peakResidentMegabytes(qint64 pid)
{
    return statusMegabytes(pid, "VmHWM:");
}

void resetPeakResident(qint64 pid)
{
    QFile file(QStringLiteral("/proc/%1/clear_refs").arg(pid));
    if (file.open(QIODevice::WriteOnly)) {
        file.write("5");
    }
}

void waitUntilIdle(qint64 pid, int timeoutMs)
{
    constexpr int windowMs = 500;
    constexpr double idleShare = 0.02;
    const QDeadlineTimer deadline(timeoutMs);
    double last = cpuSeconds(pid);
    while (!deadline.hasExpired()) {
        QThread::msleep(windowMs);
        const double now = cpuSeconds(pid);
        if (now - last <= idleShare * windowMs / 1000) {
            return;
        }
        last = now;
    }
}

} // namespace zentrel
