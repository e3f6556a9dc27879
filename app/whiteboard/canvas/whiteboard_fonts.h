#pragma once

#include "common/geometry.h"
#include "whiteboard/model/whiteboard_element.h"
#include "whiteboard/render/text_layout.h"

#include <QFont>

#include <functional>
#include <string_view>

namespace zentrel {

// The font a whiteboard text is shown in at `size` pixels: the system font, the fixed-pitch
// system font, or a hand-drawn one.
QFont whiteboardFont(WhiteboardTypeface typeface, double size);

// Element texts are laid out in the typeface at one pixel size whatever their own, then scaled:
// a font holds whole pixel sizes only, so a text of any size draws as wide as it measures, and
// glyph outlines are kept for one size per face. Hinting is off, so widths scale exactly.
QFont whiteboardLayoutFont(WhiteboardTypeface typeface);
// The scale from the layout font to a text of `fontSize`.
double whiteboardLayoutScale(double fontSize);
// The pixel size texts are laid out at.
int whiteboardLayoutPixelSize();

// The Qt alignment of a whiteboard text's lines.
Qt::Alignment qtAlignment(WhiteboardTextAlignment alignment);

// Measures one line in the layout fonts above, as the render plan breaks and places texts.
TextMeasurer whiteboardLineMeasurer();

// Measures a text in the layout font of the family, a line for each "\n", without wrapping;
// what a text migrated from the older document is sized by.
std::function<SizeF(std::string_view text, WhiteboardFontFamily family, double fontSize)>
whiteboardTextMeasurer();

} // namespace zentrel
