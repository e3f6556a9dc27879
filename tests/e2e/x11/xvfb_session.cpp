#include "e2e/x11/xvfb_session.h"

#include "platform/x11/xcb_reply.h"

#include <QDeadlineTimer>
#include <QProcess>
#include <QTemporaryDir>

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>
#include <xcb/xcb.h>

#include <cerrno>
#include <cstdlib>
#include <memory>

namespace zentrel {

namespace {

constexpr int startTimeoutMs = 15000;
constexpr int stopTimeoutMs = 5000;
constexpr int screenshotTimeoutMs = 15000;

struct DisconnectDeleter
{
    void operator()(xcb_connection_t *connection) const { xcb_disconnect(connection); }
};

using XcbConnection = std::unique_ptr<xcb_connection_t, DisconnectDeleter>;

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

} // namespace

XvfbSession::XvfbSession(QSize screen)
{
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) {
        return;
    }
    const QStringList arguments{
        QStringLiteral("-displayfd"),
        QString::number(fds[1]),
        QStringLiteral("-screen"),
        QStringLiteral("0"),
        QStringLiteral("%1x%2x24").arg(screen.width()).arg(screen.height()),
        QStringLiteral("-nolisten"),
        QStringLiteral("tcp"),
        // Without it the server resets whenever its last client leaves, between test steps.
        QStringLiteral("-noreset"),
    };
    const bool started = m_server.start(
        QStringLiteral("Xvfb"), arguments, QProcessEnvironment::systemEnvironment(), fds[1]);
    // Only Xvfb may hold the write end, so a server that dies gives end-of-file at once.
    close(fds[1]);
    if (started) {
        const QString number = readDisplayNumber(fds[0], QDeadlineTimer(startTimeoutMs));
        if (!number.isEmpty()) {
            m_display = QLatin1Char(':') + number;
        }
    }
    close(fds[0]);
}

XvfbSession::~XvfbSession()
{
    m_server.stop(QDeadlineTimer(stopTimeoutMs));
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
