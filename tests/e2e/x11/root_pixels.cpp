#include "e2e/x11/root_pixels.h"

#include "e2e/x11/xcb_screen.h"
#include "platform/x11/xcb_reply.h"

#include <xcb/xcb.h>

#include <cstring>

namespace zentrel {

RootPixels::RootPixels(const QString &display)
{
    if (display.isEmpty()) {
        return;
    }
    const QByteArray name = display.toLatin1();
    int screenNumber = 0;
    m_connection.reset(xcb_connect(name.constData(), &screenNumber));
    if (xcb_connection_has_error(m_connection.get())) {
        return;
    }
    m_root = screenOf(m_connection.get(), screenNumber)->root;
}

RootPixels::~RootPixels() = default;

std::optional<QColor> RootPixels::at(QPoint point)
{
    const QImage pixel = area(QRect(point, QSize(1, 1)));
    if (pixel.isNull()) {
        return std::nullopt;
    }
    return pixel.pixelColor(0, 0);
}

QImage RootPixels::screen()
{
    if (!m_connection || xcb_connection_has_error(m_connection.get())) {
        return {};
    }
    // Asked each time: RandR may have grown the root since.
    const XcbReply<xcb_get_geometry_reply_t> root(xcb_get_geometry_reply(
        m_connection.get(), xcb_get_geometry(m_connection.get(), m_root), nullptr));
    return root ? area(QRect(0, 0, root->width, root->height)) : QImage();
}

QImage RootPixels::area(const QRect &area)
{
    if (!m_connection || xcb_connection_has_error(m_connection.get()) || area.isEmpty()) {
        return {};
    }
    xcb_connection_t *connection = m_connection.get();
    const XcbReply<xcb_get_image_reply_t> image(
        xcb_get_image_reply(connection,
                            xcb_get_image(connection,
                                          XCB_IMAGE_FORMAT_Z_PIXMAP,
                                          m_root,
                                          std::int16_t(area.x()),
                                          std::int16_t(area.y()),
                                          std::uint16_t(area.width()),
                                          std::uint16_t(area.height()),
                                          ~0U),
                            nullptr));
    // Xvfb's 24-bit TrueColor pixel takes 32 bits, blue in the first byte, rows unpadded: the
    // layout of QImage::Format_RGB32 on a little-endian machine.
    const int bytes = area.width() * area.height() * 4;
    if (!image || xcb_get_image_data_length(image.get()) < bytes) {
        return {};
    }
    QImage copy(area.size(), QImage::Format_RGB32);
    const std::uint8_t *data = xcb_get_image_data(image.get());
    for (int y = 0; y < area.height(); ++y) {
        std::memcpy(copy.scanLine(y), data + std::size_t(y) * area.width() * 4, area.width() * 4);
    }
    return copy;
}

} // namespace zentrel
