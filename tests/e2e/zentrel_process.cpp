#include "e2e/zentrel_process.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QProcessEnvironment>

namespace zentrel {

namespace {

constexpr int stopTimeoutMs = 10000;

// Inherited so sanitizer and loader settings of the build still reach the program.
const QStringList passedThrough{
    QStringLiteral("PATH"),
    QStringLiteral("LD_LIBRARY_PATH"),
    QStringLiteral("ASAN_OPTIONS"),
    QStringLiteral("UBSAN_OPTIONS"),
    QStringLiteral("LSAN_OPTIONS"),
    QStringLiteral("TSAN_OPTIONS"),
};

} // namespace

ZentrelProcess::ZentrelProcess()
{
    if (!m_home.isValid()) {
        return;
    }
    const QDir home(m_home.path());
    for (const char *name : {"config", "data", "cache", "runtime"}) {
        home.mkpath(QLatin1String(name));
    }
    // Qt ignores a runtime folder that others may read.
    QFile::setPermissions(homePath(QStringLiteral("runtime")),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

QString ZentrelProcess::configHome() const
{
    return homePath(QStringLiteral("config"));
}

bool ZentrelProcess::start(const QString &display)
{
    // Built from nothing rather than from our own environment, so no session bus, session
    // manager, desktop theme or Wayland display of the machine running the tests leaks in.
    const QProcessEnvironment inherited = QProcessEnvironment::systemEnvironment();
    QProcessEnvironment environment;
    for (const QString &name : passedThrough) {
        if (inherited.contains(name)) {
            environment.insert(name, inherited.value(name));
        }
    }
    environment.insert(QStringLiteral("HOME"), m_home.path());
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), configHome());
    environment.insert(QStringLiteral("XDG_DATA_HOME"), homePath(QStringLiteral("data")));
    environment.insert(QStringLiteral("XDG_CACHE_HOME"), homePath(QStringLiteral("cache")));
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), homePath(QStringLiteral("runtime")));
    environment.insert(QStringLiteral("DISPLAY"), display);
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    environment.insert(QStringLiteral("LANG"), QStringLiteral("C.UTF-8"));
    return m_process.start(QStringLiteral(ZENTREL_EXECUTABLE), {}, environment);
}

ProcessExit ZentrelProcess::stop()
{
    return m_process.stop(QDeadlineTimer(stopTimeoutMs));
}

QString ZentrelProcess::homePath(const QString &name) const
{
    return m_home.filePath(name);
}

} // namespace zentrel
