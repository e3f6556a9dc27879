#pragma once

#include "platform/screen_capture.h"

#include <QImage>
#include <QRect>

#include <cstddef>
#include <cstdint>

struct xcb_connection_t;

namespace zentrel {

// Reads an area of a drawable into an opaque RGB32 image, through a shared memory segment when
// asked to and the server offers MIT-SHM, which saves copying every frame through the socket.
class X11ImageReader
{
public:
    explicit X11ImageReader(xcb_connection_t *connection);
    ~X11ImageReader();
    X11ImageReader(const X11ImageReader &) = delete;
    X11ImageReader &operator=(const X11ImageReader &) = delete;

    void useSharedMemory();
    // The drawable's pixels must be 32 bits, least significant byte first.
    tl::expected<QImage, CaptureError> read(std::uint32_t drawable, const QRect &area);

private:
    bool growSegment(std::size_t size);
    void dropSegment();

    xcb_connection_t *m_connection;
    bool m_sharedMemory = false;
    std::uint32_t m_segment = 0;
    void *m_segmentAddress = nullptr;
    std::size_t m_segmentSize = 0;
};

} // namespace zentrel
