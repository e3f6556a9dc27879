#include "platform/x11/capture/x11_image_reader.h"

#include "platform/x11/xcb_reply.h"

#include <sys/ipc.h>
#include <sys/shm.h>
#include <xcb/shm.h>
#include <xcb/xcb.h>

namespace zentrel {
namespace {

// Depth-24 pixels come with an undefined top byte; QImage::Format_RGB32 wants it 0xff.
QImage opaqueImage(const uint8_t *data, int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        const auto *from = reinterpret_cast<const uint32_t *>(data) + std::size_t(y) * width;
        auto *to = reinterpret_cast<uint32_t *>(image.scanLine(y));
        for (int x = 0; x < width; ++x) {
            to[x] = from[x] | 0xff000000u;
        }
    }
    return image;
}

void *const failedAttach = reinterpret_cast<void *>(-1);

} // namespace

X11ImageReader::X11ImageReader(xcb_connection_t *connection)
    : m_connection(connection)
{}

X11ImageReader::~X11ImageReader()
{
    dropSegment();
}

void X11ImageReader::useSharedMemory()
{
    m_sharedMemory =
        xcb_get_extension_data(m_connection, &xcb_shm_id)->present && growSegment(4096);
}

tl::expected<QImage, CaptureError> X11ImageReader::read(std::uint32_t drawable, const QRect &area)
{
    xcb_connection_t *c = m_connection;
    const std::size_t size = std::size_t(area.width()) * area.height() * 4;
    // A server that refuses a larger segment is read through the socket from then on.
    m_sharedMemory = m_sharedMemory && growSegment(size);
    if (m_sharedMemory) {
        const XcbReply<xcb_shm_get_image_reply_t> reply(
            xcb_shm_get_image_reply(c,
                                    xcb_shm_get_image(c,
                                                      drawable,
                                                      int16_t(area.x()),
                                                      int16_t(area.y()),
                                                      uint16_t(area.width()),
                                                      uint16_t(area.height()),
                                                      ~0u,
                                                      XCB_IMAGE_FORMAT_Z_PIXMAP,
                                                      m_segment,
                                                      0),
                                    nullptr));
        if (reply) {
            return opaqueImage(
                static_cast<const uint8_t *>(m_segmentAddress), area.width(), area.height());
        }
    }
    const XcbReply<xcb_get_image_reply_t> reply(
        xcb_get_image_reply(c,
                            xcb_get_image(c,
                                          XCB_IMAGE_FORMAT_Z_PIXMAP,
                                          drawable,
                                          int16_t(area.x()),
                                          int16_t(area.y()),
                                          uint16_t(area.width()),
                                          uint16_t(area.height()),
                                          ~0u),
                            nullptr));
    if (!reply || std::size_t(xcb_get_image_data_length(reply.get())) < size) {
        return tl::unexpected(CaptureError{CaptureError::Kind::Platform,
                                           QStringLiteral("The X server did not hand out the "
                                                          "screen's pixels.")});
    }
    return opaqueImage(xcb_get_image_data(reply.get()), area.width(), area.height());
}

bool X11ImageReader::growSegment(std::size_t size)
{
    if (m_segmentSize >= size) {
        return true;
    }
    dropSegment();
    const int id = shmget(IPC_PRIVATE, size, IPC_CREAT | 0600);
    if (id < 0) {
        return false;
    }
    void *address = shmat(id, nullptr, 0);
    const xcb_shm_seg_t segment = xcb_generate_id(m_connection);
    const XcbReply<xcb_generic_error_t> error(
        address == failedAttach
            ? nullptr
            : xcb_request_check(m_connection,
                                xcb_shm_attach_checked(m_connection, segment, id, 0)));
    // Marked for removal now, the segment goes away once both sides have detached.
    shmctl(id, IPC_RMID, nullptr);
    if (address == failedAttach) {
        return false;
    }
    if (error) {
        shmdt(address);
        return false;
    }
    m_segment = segment;
    m_segmentAddress = address;
    m_segmentSize = size;
    return true;
}

void X11ImageReader::dropSegment()
{
    if (m_segmentAddress) {
        xcb_shm_detach(m_connection, m_segment);
        xcb_flush(m_connection);
        shmdt(m_segmentAddress);
    }
    m_segmentAddress = nullptr;
    m_segmentSize = 0;
}

} // namespace zentrel
