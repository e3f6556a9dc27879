#pragma once

#include "common/color.h"

#include <QString>

namespace zentrel {

// One named colour of the property panel's palettes; the name identifies it within its palette
// and is the swatch's help text.
struct WhiteboardColorSwatch
{
    QString name;
    Color color;
};

} // namespace zentrel
