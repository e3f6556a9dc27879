#pragma once

#include <QRegion>
#include <QString>

#include <cstdint>
#include <optional>

namespace zentrel {

// The part of a window the server shows: its bounding shape (X Shape extension), in the
// window's own coordinates. A window never shaped shows whole; nothing when it does not exist.
std::optional<QRegion> boundingShapeOf(const QString &display, std::uint32_t window);

} // namespace zentrel
