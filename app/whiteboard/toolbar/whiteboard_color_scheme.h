#pragma once

#include <QPalette>

namespace zentrel {

struct WhiteboardBoard;

// The whiteboard's panels take their colour scheme from the board, not from the desktop: dark
// over a black board, light over a white one or a frozen screen.
bool prefersDarkScheme(const WhiteboardBoard &board);

QPalette whiteboardSchemePalette(bool dark);

} // namespace zentrel
