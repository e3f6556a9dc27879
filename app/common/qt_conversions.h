#pragma once

#include "common/color.h"

#include <QColor>

namespace zentrel {

// Components are clamped to 0…1 (NaN counts as 0), as QColor cannot hold anything else.
QColor toQColor(const Color &color);

// The colour in sRGB; a colour in another Qt colour model is converted first.
Color toColor(const QColor &color);

} // namespace zentrel
