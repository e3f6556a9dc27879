#pragma once

#include <QColor>
#include <QImage>
#include <QPoint>
#include <QRect>
#include <QString>

#include <cstdint>
#include <memory>
#include <optional>

struct xcb_connection_t;

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
    struct Disconnect
    {
        void operator()(xcb_connection_t *connection) const;
    };

    std::unique_ptr<xcb_connection_t, Disconnect> m_connection;
    std::uint32_t m_root = 0;
};

} // namespace zentrel
