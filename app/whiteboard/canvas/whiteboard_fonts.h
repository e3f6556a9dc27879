#pragma once

#include "whiteboard/model/whiteboard_element.h"
#include "whiteboard/render/element_render_plan.h"

#include <QFont>

namespace zentrel {

// The font a whiteboard text is drawn in, `size` in scene units: the system font, the fixed-pitch
// system font, or the hand-drawn one.
QFont whiteboardFont(WhiteboardFontFamily family, double size);

// The Qt alignment of a whiteboard text's lines.
Qt::Alignment qtAlignment(WhiteboardTextAlignment alignment);

// Measures texts in the fonts above, a line for each "\n", without wrapping.
TextMeasurer whiteboardTextMeasurer();

} // namespace zentrel
