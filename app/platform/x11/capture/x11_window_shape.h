#pragma once

#include <QRect>
#include <QRegion>

#include <cstdint>

struct xcb_connection_t;

namespace zentrel {

// Asks for a window's bounding shape (X Shape extension) without waiting for the answer, so
// that the shapes of many windows cost one round trip; 0 where the server has no Shape.
unsigned int x11AskBoundingShape(xcb_connection_t *connection, std::uint32_t window);

// The answer to x11AskBoundingShape: where the window shows, in root pixels, for a window whose
// outer rectangle (with its border) is `frame`. A window never shaped shows as its frame, and so
// does one whose shape the server did not give.
QRegion x11BoundingShape(xcb_connection_t *connection,
                         unsigned int request,
                         const QRect &frame,
                         int border);

} // namespace zentrel
