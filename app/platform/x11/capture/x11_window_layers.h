#pragma once

#include <QRect>
#include <QRegion>

#include <cstdint>
#include <optional>
#include <vector>

struct xcb_connection_t;

namespace zentrel {

class X11OwnTopLevels;

// A top-level window that shows in the area being composed.
struct X11Layer
{
    std::uint32_t window = 0;
    // With its border, in root pixels.
    QRect frame;
    // The part of the frame its bounding shape shows (all of it for most windows): the whole
    // frame until x11FindShapes asks.
    QRegion shown;
    std::uint32_t visual = 0;
    int border = 0; // the border's width, within the frame
};

struct X11Layers
{
    // Bottom to top, as they are stacked.
    std::vector<X11Layer> others;
    // The parts of the area that windows of ours cover.
    std::vector<QRect> ours;
};

// The root's mapped windows that show in `area`, split into the program's own (the top-levels
// that hold ownWindows, found through `ownTopLevels`) and the others; nothing when the server does
// not list them.
std::optional<X11Layers> x11LayersWithin(xcb_connection_t *connection,
                                         std::uint32_t root,
                                         const QRect &area,
                                         const std::vector<std::uint32_t> &ownWindows,
                                         X11OwnTopLevels &ownTopLevels);

// Where each of `layers` shows within its frame, asked of all at once: a round trip that a
// compose painting no window of theirs can leave out.
void x11FindShapes(xcb_connection_t *connection, std::vector<X11Layer> &layers);

} // namespace zentrel
