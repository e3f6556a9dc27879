#pragma once

#include "whiteboard/canvas/element_layer/area_paths.h"
#include "whiteboard/canvas/element_layer/glyph_pictures.h"
#include "whiteboard/render/element_render_plan.h"

#include <QColor>
#include <QPainterPath>
#include <QPointF>
#include <QRectF>

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

class QPainter;

namespace zentrel {

// One glyph's outline in the layout font's units about its origin, and its bounds. Paintings on
// several threads read its points at once and copy it, which a path allows; none fills it or asks
// it for anything it works out on first use, which would change data its copies share.
struct GlyphOutline
{
    QPainterPath path;
    QRectF bounds;
};

struct PlacedGlyph
{
    std::uint32_t outline = 0; // in PaintedText::outlines
    QPointF position;          // in layout units from the text's origin
};

// Glyphs [begin, end) of a text and the scene area their outlines cover.
struct GlyphChunk
{
    std::size_t begin = 0;
    std::size_t end = 0;
    QRectF bounds;
};

// A text laid out once, as where each glyph stands and each distinct outline once, so what it
// keeps grows with its glyphs' count rather than their outlines. A painting outlines only the
// chunks it shows.
struct PaintedText
{
    std::vector<GlyphOutline> outlines;
    std::vector<PlacedGlyph> glyphs;
    std::vector<GlyphChunk> chunks;
    // Glyphs Qt draws from pictures rather than outlines, such as colour emoji; most texts have
    // none.
    std::vector<PlacedGlyphPicture> pictures;
    // Each chunk's glyphs outlined in the scene, kept for a text of up to a fill's worth of
    // outline points, as most are: outlining them again on every painting cost more than filling
    // them. Empty for a longer text, whose outlines would take more memory than its glyphs.
    std::vector<QPainterPath> chunkOutlines;
    // Scene point = origin + scale × layout point.
    QPointF origin;
    double scale = 1;
    QColor colour;
};

// The lines stand where the plan put them, shaped in the layout font and scaled to the text's
// size, as they were measured.
PaintedText paintedText(const RenderText &text);

// Fills the glyphs that can reach `visible`, or all of them where nothing clips the painter, as
// one area, so overlapping glyphs of a translucent text do not darken each other; a view of tens
// of thousands of glyphs fills them in a few parts. Kept outlines are filled as `paths` says.
// Pictured glyphs go over the outlines.
void paintText(QPainter &painter,
               const PaintedText &text,
               const std::optional<QRectF> &visible,
               AreaPaths paths = AreaPaths::shared);

// Whether a shape within `box` can reach `visible`; touching counts, and a box without extent
// still paints its caps.
bool boxReaches(const QRectF &box, const QRectF &visible);

} // namespace zentrel
