#pragma once

#include "common/color.h"
#include "common/geometry.h"
#include "common/path.h"
#include "whiteboard/model/whiteboard_board.h"

#include <optional>
#include <vector>

namespace zentrel {

// The faint paper texture of white and black boards, in view coordinates: it depends only on
// `viewBounds`, so it stays put while the board pans and zooms and is the same on every redraw.
struct PaperTexture
{
    Path strokes;
    double strokeWidth = 0.45;
    Color strokeColor;
    std::vector<RectF> dots; // each the square around one filled circle
    Color dotColor;
};

PaperTexture paperTexture(RectF viewBounds, bool blackBackground);

// The 40-unit grid over the scene area visible in `viewBounds`, in scene coordinates, with a
// line width that stays half a point on screen.
struct BoardGrid
{
    Path lines;
    double lineWidth = 0.5;
    Color color;
};

BoardGrid boardGrid(RectF viewBounds, const WhiteboardViewport &viewport, bool blackBackground);

// Where the frozen screen of Zevizu & Vozurir lies, in scene coordinates: over `sceneSize` from
// the scene origin, so it pans and zooms with the marks drawn on it. A size of exactly (0, 0)
// counts as 1 × 1; with a side that is not positive, nothing is drawn.
std::optional<RectF> frozenScreenArea(SizeF sceneSize);

} // namespace zentrel
