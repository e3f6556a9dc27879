#include "e2e/process_use.h"

#include <QFile>
#include <QList>
#include <QString>

#include <unistd.h>

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

} // namespace

double cpuSeconds(qint64 pid)
{
    return statCpuSeconds(procFile(pid, "stat"));
}

double mainThreadCpuSeconds(qint64 pid)
{
    return statCpuSeconds(procFile(QStringLiteral("/proc/%1/task/%1/stat").arg(pid)));
}

double residentMegabytes(qint64 pid)
{
    for (const QByteArray &line : procFile(pid, "status").split('\n')) {
        if (line.startsWith("VmRSS:")) {
            return line.mid(6).trimmed().split(' ').front().toDouble() / 1024;
        }
    }
    return -1;
}

} // namespace zentrel
