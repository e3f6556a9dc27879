#pragma once

#include "e2e/processes/child_process.h"

#include <QImage>
#include <QRect>
#include <QSize>
#include <QString>
#include <QTemporaryDir>

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace zentrel {

// The monitors a test's display shows. One is a plain screen of Xvfb; several are the outputs of
// Xorg's dummy driver side by side, as a laptop's screen beside a projector: Qt sees each as a
// screen of its own, named DUMMY0, DUMMY1, … in order.
struct MonitorLayout
{
    // Implicit, so a size reads as the plain one-screen desktop.
    MonitorLayout(QSize screen)
        : monitors{QRect(QPoint(0, 0), screen)}
    {}

    explicit MonitorLayout(std::vector<QRect> frames)
        : monitors(std::move(frames))
    {}

    // The whole screen the monitors make.
    QRect bounds() const;

    std::vector<QRect> monitors;
};

// A private X server for one test. The server picks a free display number itself (-displayfd),
// so tests running in parallel never share or fight over a display.
class XvfbSession
{
public:
    static constexpr int screenWidth = 1280;
    static constexpr int screenHeight = 800;

    explicit XvfbSession(const MonitorLayout &layout = QSize(screenWidth, screenHeight));
    ~XvfbSession();
    XvfbSession(const XvfbSession &) = delete;
    XvfbSession &operator=(const XvfbSession &) = delete;

    bool isRunning() const { return !m_display.isEmpty(); }

    // ":N", empty when the server did not come up.
    QString display() const { return m_display; }

    // What the server printed, after what went wrong setting up its monitors.
    QString output() { return m_failure + m_server.output(); }

    // Gives the monitors their modes and places again, after a window manager that sets up the
    // monitors itself (mutter) changed them; nothing to do with one monitor.
    bool arrangeMonitors();
    // Turns the monitor off, as when a projector's cable is pulled out.
    bool turnOff(std::size_t monitor);

    bool screenshot(const QString &path) const;
    // The whole screen; a null image when it could not be taken.
    QImage grabScreen() const;
    // The window's frame in root coordinates, or nothing when it does not exist.
    std::optional<QRect> windowRect(std::uint32_t windowId) const;

private:
    // Starts the server and learns its display; false when it did not come up.
    bool start(const QString &program, QStringList arguments);
    bool startXvfb(QSize screen);
    // Xorg with the dummy driver in a folder of its own (configuration, log, authority), its
    // outputs set to the monitors.
    bool startXorg(const MonitorLayout &layout);

    MonitorLayout m_layout;
    QTemporaryDir m_folder;
    ChildProcess m_server;
    QString m_display;
    QString m_failure;
};

} // namespace zentrel
