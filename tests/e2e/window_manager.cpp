#include "e2e/window_manager.h"

#include "e2e/x_desktop.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>

namespace zentrel {
namespace {

// KWin and mutter take a few seconds to start on a loaded machine.
constexpr int readyTimeoutMs = 30000;

struct Command
{
    QString program;
    QStringList arguments;
    // Those that talk to a session bus get a private one.
    bool needsSessionBus = false;
};

Command commandOf(WindowManager manager)
{
    switch (manager) {
    case WindowManager::none:
        break;
    case WindowManager::openbox:
        return {QStringLiteral("openbox"), {QStringLiteral("--sm-disable")}};
    case WindowManager::metacity:
        return {QStringLiteral("metacity"), {QStringLiteral("--sm-disable")}};
    case WindowManager::xfwm4:
        return {QStringLiteral("xfwm4"),
                {QStringLiteral("--compositor=off"), QStringLiteral("--sm-client-disable")},
                true};
    case WindowManager::mutter:
        return {
            QStringLiteral("mutter"),
            {QStringLiteral("--x11"), QStringLiteral("--replace"), QStringLiteral("--sm-disable")},
            true};
    case WindowManager::kwin:
        return {QStringLiteral("kwin_x11"), {QStringLiteral("--replace")}, true};
    }
    return {};
}

} // namespace

const std::vector<WindowManager> &everyWindowManager()
{
    static const std::vector<WindowManager> managers{WindowManager::none,
                                                     WindowManager::openbox,
                                                     WindowManager::metacity,
                                                     WindowManager::xfwm4,
                                                     WindowManager::mutter,
                                                     WindowManager::kwin};
    return managers;
}

QString nameOf(WindowManager manager)
{
    switch (manager) {
    case WindowManager::none:
        return QStringLiteral("none");
    case WindowManager::openbox:
        return QStringLiteral("openbox");
    case WindowManager::metacity:
        return QStringLiteral("metacity");
    case WindowManager::xfwm4:
        return QStringLiteral("xfwm4");
    case WindowManager::mutter:
        return QStringLiteral("mutter");
    case WindowManager::kwin:
        return QStringLiteral("kwin");
    }
    return {};
}

bool composites(WindowManager manager)
{
    return manager == WindowManager::mutter || manager == WindowManager::kwin;
}

void PrintTo(WindowManager manager, std::ostream *out)
{
    *out << nameOf(manager).toStdString();
}

WindowManagerProcess::WindowManagerProcess(WindowManager manager, const QString &display)
{
    const Command command = commandOf(manager);
    if (command.program.isEmpty() || !m_home.isValid()) {
        return;
    }
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const QString &name : {QStringLiteral("DBUS_SESSION_BUS_ADDRESS"),
                                QStringLiteral("QT_QPA_PLATFORM"),
                                QStringLiteral("WAYLAND_DISPLAY")}) {
        environment.remove(name);
    }
    environment.insert(QStringLiteral("DISPLAY"), display);
    environment.insert(QStringLiteral("HOME"), m_home.path());
    for (const char *name : {"XDG_CONFIG_HOME", "XDG_CACHE_HOME", "XDG_DATA_HOME"}) {
        environment.insert(QString::fromLatin1(name), m_home.path());
    }
    const QString runtime = m_home.filePath(QStringLiteral("runtime"));
    QDir().mkpath(runtime);
    QFile::setPermissions(runtime,
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime);
    const bool started = command.needsSessionBus
                             ? m_process.start(QStringLiteral("dbus-run-session"),
                                               QStringList{QStringLiteral("--"), command.program}
                                                   + command.arguments,
                                               environment)
                             : m_process.start(command.program, command.arguments, environment);
    if (!started) {
        return;
    }
    XDesktop desktop(display);
    const QDeadlineTimer deadline(readyTimeoutMs);
    m_isReady = desktop.waitForWindowManager(deadline)
                && (!composites(manager) || desktop.waitForCompositor(deadline));
}

} // namespace zentrel
