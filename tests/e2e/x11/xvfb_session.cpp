#include "e2e/x11/xvfb_session.h"

#include "platform/x11/xcb_connection.h"
#include "platform/x11/xcb_reply.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QProcess>
#include <QSet>

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>
#include <xcb/xcb.h>

#include <cerrno>
#include <cstdlib>

namespace zentrel {

namespace {

constexpr int startTimeoutMs = 15000;
constexpr int stopTimeoutMs = 5000;
constexpr int screenshotTimeoutMs = 15000;
constexpr int xrandrTimeoutMs = 10000;

// Reads what Xvfb writes to -displayfd: the display number and a newline, then it closes its end.
QString readDisplayNumber(int fd, QDeadlineTimer deadline)
{
    QByteArray text;
    while (!text.contains('\n') && !deadline.hasExpired()) {
        pollfd waiting{fd, POLLIN, 0};
        const int ready = poll(&waiting, 1, int(deadline.remainingTime()));
        if (ready < 0 && errno == EINTR) {
            continue;
        }
        if (ready <= 0) {
            break;
        }
        char buffer[32];
        const ssize_t count = read(fd, buffer, sizeof buffer);
        if (count <= 0) {
            break;
        }
        text.append(buffer, count);
    }
    if (!text.contains('\n')) {
        return {};
    }
    return QString::fromLatin1(text.left(text.indexOf('\n')).trimmed());
}

// Xorg drives its dummy outputs as it would real monitors, and the configuration keeps it from
// looking for a console, input devices or graphics cards a build machine lacks.
QString xorgConfig(QSize screen)
{
    // The frame buffer lives in this much memory, in kB, with room to spare.
    const qint64 videoRam = qint64(screen.width()) * screen.height() * 4 / 1024 + 4096;
    return QStringLiteral(R"(Section "ServerFlags"
    Option "AutoAddDevices" "false"
    Option "AutoAddGPU" "false"
    Option "DontVTSwitch" "true"
EndSection
Section "Device"
    Identifier "dummy"
    Driver "dummy"
    VideoRam %1
EndSection
Section "Monitor"
    Identifier "monitor"
    HorizSync 5.0 - 1000.0
    VertRefresh 5.0 - 200.0
EndSection
Section "Screen"
    Identifier "screen"
    Device "dummy"
    Monitor "monitor"
    DefaultDepth 24
    SubSection "Display"
        Depth 24
        Virtual %2 %3
    EndSubSection
EndSection
)")
        .arg(videoRam)
        .arg(screen.width())
        .arg(screen.height());
}

QString modeName(QSize size)
{
    return QStringLiteral("zentrel-%1x%2").arg(size.width()).arg(size.height());
}

// A 60 Hz mode with plain blanking: the dummy driver takes any timing within its ranges.
QStringList modeLine(QSize size)
{
    const int width = size.width();
    const int height = size.height();
    const double clockMHz = (width + 160) * (height + 30) * 60 / 1e6;
    QStringList line{modeName(size), QString::number(clockMHz, 'f', 2)};
    for (const int value : {width, width + 48, width + 80, width + 160}) {
        line << QString::number(value);
    }
    for (const int value : {height, height + 3, height + 8, height + 30}) {
        line << QString::number(value);
    }
    return line << QStringLiteral("+hsync") << QStringLiteral("+vsync");
}

// Runs xrandr on the display; its words when it fails.
std::optional<QString> xrandr(const QString &display, const QStringList &arguments)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(QStringLiteral("xrandr"),
                  QStringList{QStringLiteral("-display"), display} + arguments);
    if (process.waitForFinished(xrandrTimeoutMs) && process.exitStatus() == QProcess::NormalExit
        && process.exitCode() == 0) {
        return std::nullopt;
    }
    return QStringLiteral("xrandr %1 failed: %2%3\n")
        .arg(arguments.join(QLatin1Char(' ')),
             process.errorString(),
             QString::fromLocal8Bit(process.readAll()));
}

QString outputOf(std::size_t monitor)
{
    return QStringLiteral("DUMMY%1").arg(monitor);
}

// Makes each monitor's mode and offers it to its output; its words when xrandr fails.
std::optional<QString> addModes(const QString &display, const MonitorLayout &layout)
{
    QSet<QString> made;
    for (std::size_t i = 0; i < layout.monitors.size(); ++i) {
        const QSize size = layout.monitors[i].size();
        if (!made.contains(modeName(size))) {
            if (auto failure =
                    xrandr(display, QStringList{QStringLiteral("--newmode")} + modeLine(size))) {
                return failure;
            }
            made.insert(modeName(size));
        }
        if (auto failure =
                xrandr(display, {QStringLiteral("--addmode"), outputOf(i), modeName(size)})) {
            return failure;
        }
    }
    return std::nullopt;
}

// Gives output DUMMYi the i-th monitor's mode and place; its words when xrandr fails.
std::optional<QString> placeOutputs(const QString &display, const MonitorLayout &layout)
{
    const QRect bounds = layout.bounds();
    QStringList arrangement{QStringLiteral("--fb"),
                            QStringLiteral("%1x%2").arg(bounds.width()).arg(bounds.height())};
    for (std::size_t i = 0; i < layout.monitors.size(); ++i) {
        const QRect &monitor = layout.monitors[i];
        arrangement << QStringLiteral("--output") << outputOf(i) << QStringLiteral("--mode")
                    << modeName(monitor.size()) << QStringLiteral("--pos")
                    << QStringLiteral("%1x%2").arg(monitor.x()).arg(monitor.y());
    }
    return xrandr(display, arrangement);
}

} // namespace

QRect MonitorLayout::bounds() const
{
    QRect united;
    for (const QRect &monitor : monitors) {
        united |= monitor;
    }
    return united;
}

XvfbSession::XvfbSession(const MonitorLayout &layout)
    : m_layout(layout)
{
    const bool started =
        layout.monitors.size() == 1 ? startXvfb(layout.monitors.front().size()) : startXorg(layout);
    if (!started) {
        m_display.clear();
    }
}

bool XvfbSession::startXvfb(QSize screen)
{
    return start(QStringLiteral("Xvfb"),
                 {QStringLiteral("-screen"),
                  QStringLiteral("0"),
                  QStringLiteral("%1x%2x24").arg(screen.width()).arg(screen.height())});
}

bool XvfbSession::startXorg(const MonitorLayout &layout)
{
    const QString config = m_folder.filePath(QStringLiteral("xorg.conf"));
    const QString authority = m_folder.filePath(QStringLiteral("authority"));
    QFile configFile(config);
    QFile authorityFile(authority);
    if (!m_folder.isValid() || !configFile.open(QIODevice::WriteOnly)
        || configFile.write(xorgConfig(layout.bounds().size()).toUtf8()) < 0
        || !authorityFile.open(QIODevice::WriteOnly)) {
        return false;
    }
    configFile.close();
    // No console to take on a build machine: it shares the one it has and never switches.
    const bool started = start(QStringLiteral("Xorg"),
                               {QStringLiteral("-config"),
                                config,
                                QStringLiteral("-auth"),
                                authority,
                                QStringLiteral("-logfile"),
                                m_folder.filePath(QStringLiteral("xorg.log")),
                                QStringLiteral("-novtswitch"),
                                QStringLiteral("-sharevts")});
    if (!started) {
        return false;
    }
    if (const std::optional<QString> failure = addModes(m_display, layout)) {
        m_failure = *failure;
        return false;
    }
    return arrangeMonitors();
}

bool XvfbSession::arrangeMonitors()
{
    if (m_layout.monitors.size() == 1) {
        return true;
    }
    // A window manager started right after the outputs are placed needs some client to have
    // asked about them first: else xfwm4 takes the screen for one monitor wide (its screen-edge
    // windows sit at x = 1920) and keeps every window on the first monitor. Listing the monitors
    // is the smallest such question.
    std::optional<QString> failure = placeOutputs(m_display, m_layout);
    if (!failure) {
        failure = xrandr(m_display, {QStringLiteral("--listmonitors")});
    }
    m_failure += failure.value_or(QString());
    return !failure;
}

bool XvfbSession::start(const QString &program, QStringList arguments)
{
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) {
        return false;
    }
    arguments << QStringLiteral("-displayfd") << QString::number(fds[1])
              << QStringLiteral("-nolisten")
              << QStringLiteral("tcp")
              // Without it the server resets whenever its last client leaves, between test steps.
              << QStringLiteral("-noreset");
    const bool started =
        m_server.start(program, arguments, QProcessEnvironment::systemEnvironment(), fds[1]);
    // Only the server may hold the write end, so a server that dies gives end-of-file at once.
    close(fds[1]);
    if (started) {
        const QString number = readDisplayNumber(fds[0], QDeadlineTimer(startTimeoutMs));
        if (!number.isEmpty()) {
            m_display = QLatin1Char(':') + number;
        }
    }
    close(fds[0]);
    return !m_display.isEmpty();
}

XvfbSession::~XvfbSession()
{
    m_server.stop(QDeadlineTimer(stopTimeoutMs));
}

bool XvfbSession::turnOff(std::size_t monitor)
{
    const std::optional<QString> failure =
        xrandr(m_display, {QStringLiteral("--output"), outputOf(monitor), QStringLiteral("--off")});
    m_failure += failure.value_or(QString());
    return !failure;
}

bool XvfbSession::screenshot(const QString &path) const
{
    QProcess import;
    import.setProcessChannelMode(QProcess::MergedChannels);
    import.start(QStringLiteral("import"),
                 {QStringLiteral("-display"),
                  m_display,
                  QStringLiteral("-window"),
                  QStringLiteral("root"),
                  path});
    return import.waitForFinished(screenshotTimeoutMs)
           && import.exitStatus() == QProcess::NormalExit && import.exitCode() == 0;
}

QImage XvfbSession::grabScreen() const
{
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("screen.png"));
    if (!folder.isValid() || !screenshot(path)) {
        return {};
    }
    return QImage(path);
}

std::optional<QRect> XvfbSession::windowRect(std::uint32_t windowId) const
{
    const QByteArray name = m_display.toLatin1();
    const XcbConnection owner(xcb_connect(name.constData(), nullptr));
    xcb_connection_t *connection = owner.get();
    if (xcb_connection_has_error(connection)) {
        return std::nullopt;
    }
    const XcbReply<xcb_get_geometry_reply_t> geometry(
        xcb_get_geometry_reply(connection, xcb_get_geometry(connection, windowId), nullptr));
    if (!geometry) {
        return std::nullopt;
    }
    const XcbReply<xcb_translate_coordinates_reply_t> origin(xcb_translate_coordinates_reply(
        connection,
        xcb_translate_coordinates(connection, windowId, geometry->root, 0, 0),
        nullptr));
    if (!origin) {
        return std::nullopt;
    }
    return QRect(origin->dst_x, origin->dst_y, geometry->width, geometry->height);
}

} // namespace zentrel
