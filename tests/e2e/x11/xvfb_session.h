#pragma once

#include "e2e/processes/child_process.h"

#include <QImage>
#include <QRect>
#include <QSize>
#include <QString>

#include <cstdint>
#include <optional>

namespace zentrel {

// A private X server for one test. Xvfb picks a free display number itself (-displayfd), so
// tests running in parallel never share or fight over a display.
class XvfbSession
{
public:
    static constexpr int screenWidth = 1280;
    static constexpr int screenHeight = 800;

    explicit XvfbSession(QSize screen = QSize(screenWidth, screenHeight));
    ~XvfbSession();
    XvfbSession(const XvfbSession &) = delete;
    XvfbSession &operator=(const XvfbSession &) = delete;

    bool isRunning() const { return !m_display.isEmpty(); }

    // ":N", empty when the server did not come up.
    QString display() const { return m_display; }

    QString output() { return m_server.output(); }

    bool screenshot(const QString &path) const;
    // The whole screen; a null image when it could not be taken.
    QImage grabScreen() const;
    // The window's frame in root coordinates, or nothing when it does not exist.
    std::optional<QRect> windowRect(std::uint32_t windowId) const;

private:
    ChildProcess m_server;
    QString m_display;
};

} // namespace zentrel
