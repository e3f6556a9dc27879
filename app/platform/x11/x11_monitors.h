#pragma once

#include <QRect>

#include <optional>
#include <utility>

class QScreen;

namespace zentrel {

// The screen of that geometry (Qt's) with the rectangle its monitor takes in the X server's
// pixels, as RandR lists it, or the whole root where it lists none (a server without RandR 1.5,
// where Qt too sees the root as its one screen). None without an X connection, or where no
// screen or monitor is that one any more.
std::optional<std::pair<QScreen *, QRect>> x11ScreenWithPixels(const QRect &screenGeometry);

} // namespace zentrel
