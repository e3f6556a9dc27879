#include "e2e/x11/x_input.h"

#include "e2e/x11/spare_keys.h"

#include <QProcess>
#include <QProcessEnvironment>
#include <QThread>

namespace zentrel {

namespace {

// Qt and most desktops take 400 ms; a person's separate clicks are further apart still.
constexpr qint64 doubleClickIntervalMs = 800;
constexpr int dragSteps = 4;

} // namespace

XInput::XInput(const QString &display)
    : m_display(display)
{}

bool XInput::click(QPoint at)
{
    waitPastDoubleClick();
    const bool clicked = run({QStringLiteral("mousemove"),
                              QString::number(at.x()),
                              QString::number(at.y()),
                              QStringLiteral("click"),
                              QStringLiteral("1")});
    m_sinceClick.start();
    return clicked;
}

bool XInput::moveTo(QPoint at)
{
    return run({QStringLiteral("mousemove"), QString::number(at.x()), QString::number(at.y())});
}

bool XInput::drag(QPoint from, QPoint to)
{
    waitPastDoubleClick();
    // Paced as a hand moves: a drag whose events all arrive within a millisecond loses its
    // release under mutter, which a person's never does.
    const QString pause = QStringLiteral("0.03");
    QStringList arguments{QStringLiteral("mousemove"),
                          QString::number(from.x()),
                          QString::number(from.y()),
                          QStringLiteral("mousedown"),
                          QStringLiteral("1")};
    for (int step = 1; step <= dragSteps; ++step) {
        const QPoint at = from + (to - from) * step / dragSteps;
        arguments << QStringLiteral("sleep") << pause << QStringLiteral("mousemove")
                  << QString::number(at.x()) << QString::number(at.y());
    }
    arguments << QStringLiteral("sleep") << pause;
    arguments << QStringLiteral("mouseup") << QStringLiteral("1");
    const bool dragged = run(arguments);
    m_sinceClick.start();
    return dragged;
}

bool XInput::pressKeys(const QStringList &keys)
{
    return run(QStringList{QStringLiteral("key")} + keys);
}

bool XInput::typeText(const QString &text)
{
    if (!bindToSpareKeys(m_display, text)) {
        m_lastError = QStringLiteral("no spare keys to bind the text's characters to");
        return false;
    }
    return run({QStringLiteral("type"), QStringLiteral("--delay"), QStringLiteral("10"), text});
}

bool XInput::holdKeys(const QStringList &keys)
{
    return run(QStringList{QStringLiteral("keydown")} + keys);
}

bool XInput::releaseKeys(const QStringList &keys)
{
    return run(QStringList{QStringLiteral("keyup")} + keys);
}

bool XInput::focus(std::uint32_t window)
{
    return run({QStringLiteral("windowfocus"), QStringLiteral("--sync"), QString::number(window)});
}

bool XInput::raise(std::uint32_t window)
{
    return run({QStringLiteral("windowraise"), QString::number(window)});
}

void XInput::waitPastDoubleClick()
{
    if (m_sinceClick.isValid() && m_sinceClick.elapsed() < doubleClickIntervalMs) {
        QThread::msleep(doubleClickIntervalMs - m_sinceClick.elapsed());
    }
}

bool XInput::run(const QStringList &arguments, int timeoutMs)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("DISPLAY"), m_display);
    QProcess xdotool;
    xdotool.setProcessEnvironment(environment);
    xdotool.setProcessChannelMode(QProcess::MergedChannels);
    xdotool.start(QStringLiteral("xdotool"), arguments);
    const bool finished = xdotool.waitForFinished(timeoutMs);
    if (!finished) {
        xdotool.kill();
        xdotool.waitForFinished();
    }
    if (finished && xdotool.exitStatus() == QProcess::NormalExit && xdotool.exitCode() == 0) {
        m_lastError.clear();
        return true;
    }
    const QString why = xdotool.error() == QProcess::FailedToStart
                            ? xdotool.errorString()
                            : QString::fromLocal8Bit(xdotool.readAll());
    m_lastError = QStringLiteral("xdotool %1 %2: %3")
                      .arg(arguments.join(QLatin1Char(' ')),
                           finished ? QStringLiteral("failed") : QStringLiteral("hung"),
                           why);
    return false;
}

} // namespace zentrel
