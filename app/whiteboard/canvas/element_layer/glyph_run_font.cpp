#include "whiteboard/canvas/element_layer/glyph_run_font.h"

#include <QList>
#include <QRawFont>
#include <QRectF>

#include <algorithm>

namespace zentrel {

namespace {

// Qt's box font has no font tables, nothing below its baseline, and an em as high as its ascent.
bool isBoxFont(const QRawFont &font, const QByteArray &head)
{
    return head.isEmpty() && font.descent() == 0 && font.unitsPerEm() == font.ascent();
}

// As Qt draws a box: `width` less a gap to the next, `height` up from just above the baseline,
// with an edge a twentieth of the em. The inner edge runs the other way round, so the box stays
// open when filled.
QPainterPath missingGlyphBox(double em, double width, double height)
{
    const QRectF outer(0, -height, width * 31 / 32, height * 31 / 32);
    const double edge = em / 20;
    const QRectF inner = outer.adjusted(edge, edge, -edge, -edge);
    QPainterPath box;
    box.moveTo(outer.topLeft());
    box.lineTo(outer.topRight());
    box.lineTo(outer.bottomRight());
    box.lineTo(outer.bottomLeft());
    box.closeSubpath();
    box.moveTo(inner.topLeft());
    box.lineTo(inner.bottomLeft());
    box.lineTo(inner.bottomRight());
    box.lineTo(inner.topRight());
    box.closeSubpath();
    return box;
}

} // namespace

GlyphRunFontKey glyphRunFontKey(const QRawFont &font)
{
    return {font.fontTable("head"),
            font.styleName(),
            font.pixelSize(),
            font.weight(),
            int(font.style()),
            font.unitsPerEm(),
            font.ascent(),
            font.descent(),
            font.maxCharWidth()};
}

QPainterPath glyphRunOutline(const QRawFont &font, quint32 glyph)
{
    const double em = font.ascent();
    if (isBoxFont(font, font.fontTable("head"))) {
        return missingGlyphBox(em, em, em);
    }
    QPainterPath outline = font.pathForGlyph(glyph);
    if (isEmptyMissingGlyph(font, glyph, outline)) {
        // As wide as the font's missing glyph, so the text measures as it did.
        const double advance = font.advancesForGlyphIndexes(QList<quint32>{glyph}).value(0).x();
        const double size = std::min(em, font.pixelSize());
        return missingGlyphBox(size, advance > size / 4 ? advance : size, size);
    }
    return outline;
}

bool isEmptyMissingGlyph(const QRawFont &font, quint32 glyph, const QPainterPath &outline)
{
    // Colour fonts draw their glyphs from pictures, not outlines.
    return glyph == 0 && outline.isEmpty() && font.fontTable("CBDT").isEmpty()
           && font.fontTable("sbix").isEmpty() && font.fontTable("COLR").isEmpty();
}

} // namespace zentrel
