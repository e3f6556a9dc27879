#include "whiteboard/canvas/element_layer/glyph_run_font.h"

#include <QRawFont>
#include <QRectF>

namespace zentrel {

namespace {

// Qt's box font has no font tables, nothing below its baseline, and an em as high as its ascent.
bool isBoxFont(const QRawFont &font, const QByteArray &head)
{
    return head.isEmpty() && font.descent() == 0 && font.unitsPerEm() == font.ascent();
}

// As Qt draws a box: an em wide less a gap to the next, from the ascent to just above the
// baseline. The inner edge runs the other way round, so the box stays open when filled.
QPainterPath missingGlyphBox(double em)
{
    const QRectF outer(0, -em, em * 31 / 32, em * 31 / 32);
    const QRectF inner = outer.adjusted(em / 20, em / 20, -em / 20, -em / 20);
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
    if (isBoxFont(font, font.fontTable("head"))) {
        return missingGlyphBox(font.ascent());
    }
    return font.pathForGlyph(glyph);
}

} // namespace zentrel
