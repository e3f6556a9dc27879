#include "e2e/x11/x_clipboard.h"

#include <QProcess>
#include <QProcessEnvironment>
#include <QThread>

#include <algorithm>

namespace zentrel {

namespace {

// An owner that takes the request but never answers would hold xclip forever.
constexpr qint64 readTimeoutMs = 5000;
constexpr int retryMs = 50;

} // namespace

XClipboard::XClipboard(const QString &display)
    : m_display(display)
{}

QImage XClipboard::waitForPng(QDeadlineTimer deadline)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("DISPLAY"), m_display);
    for (;;) {
        QProcess xclip;
        xclip.setProcessEnvironment(environment);
        xclip.start(QStringLiteral("xclip"),
                    {QStringLiteral("-selection"),
                     QStringLiteral("clipboard"),
                     QStringLiteral("-target"),
                     QStringLiteral("image/png"),
                     QStringLiteral("-out")});
        const qint64 slice = std::clamp(deadline.remainingTime(), qint64(0), readTimeoutMs);
        const bool finished = xclip.waitForFinished(int(slice));
        if (!finished) {
            xclip.kill();
            xclip.waitForFinished();
        }
        const QByteArray data = xclip.readAllStandardOutput();
        QImage image;
        if (finished && xclip.exitCode() == 0 && image.loadFromData(data, "PNG")) {
            m_lastError.clear();
            return image;
        }
        if (xclip.error() == QProcess::FailedToStart) {
            m_lastError = QStringLiteral("xclip: ") + xclip.errorString();
        } else if (!finished) {
            m_lastError = QStringLiteral("xclip got no answer from the clipboard's owner");
        } else if (xclip.exitCode() != 0) {
            m_lastError = QStringLiteral("xclip: ")
                          + QString::fromLocal8Bit(xclip.readAllStandardError()).trimmed();
        } else {
            m_lastError = QStringLiteral("the clipboard's image/png (%1 bytes) is no PNG image")
                              .arg(data.size());
        }
        // A program that does not run cannot start either, however long one waits.
        if (deadline.hasExpired() || xclip.error() == QProcess::FailedToStart) {
            return {};
        }
        QThread::msleep(retryMs);
    }
}

} // namespace zentrel
