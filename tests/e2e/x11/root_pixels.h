#pragma once

#include "platform/x11/xcb_connection.h"

#include <QColor>
#include <QImage>
#include <QPoint>
#include <QRect>
#include <QString>

#include <cstdint>
#include <optional>

namespace zentrel {

// Pixels straight from the server, far quicker than a screenshot, so a sample can be timed
// against a window that changes within tens of milliseconds. With a compositing manager the root
// holds what it composited, as screenshots show.
class RootPixels
{
public:
    explicit RootPixels(const QString &display);
    ~RootPixels();
    RootPixels(const RootPixels &) = delete;
    RootPixels &operator=(const RootPixels &) = delete;

    std::optional<QColor> at(QPoint point);
    // What `area` of the screen shows now; a null image when it could not be read.
    QImage area(const QRect &area);
    // The whole screen, every monitor, as it shows now.
    QImage screen();

private:
    XcbConnection m_connection;
    std::uint32_t m_root = 0;
};

} // namespace zentrel
