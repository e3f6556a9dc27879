#pragma once

#include <QByteArray>
#include <QPainterPath>
#include <QString>
#include <QtGlobal>

#include <tuple>

class QRawFont;

namespace zentrel {

// A font of a laid-out glyph run, told apart by what it says of itself rather than by its family:
// Qt's box font, which stands in for characters no installed font has, has no family, and
// QRawFont::familyName() reads the first of its empty list of them. The 'head' table holds a
// checksum of the whole font file; fonts without tables (Type 1) differ in their metrics.
using GlyphRunFontKey =
    std::tuple<QByteArray, QString, double, int, int, double, double, double, double>;

GlyphRunFontKey glyphRunFontKey(const QRawFont &font);

// A glyph's outline in `font` about its origin. Qt outlines its box font's glyphs as a hairline
// traced from a bitmap, which a text scaled from the layout size hardly shows, so they are boxes
// drawn as Qt's own text drawing shows them, with an edge a twentieth of the size wide. A font
// whose own missing glyph is empty (the hand-drawn ones) gets such a box too, as wide as that
// glyph: a character no font has shows, rather than leaving a gap.
QPainterPath glyphRunOutline(const QRawFont &font, quint32 glyph);

// Whether `glyph`, whose outline is `outline`, is the font's missing glyph and shows nothing.
bool isEmptyMissingGlyph(const QRawFont &font, quint32 glyph, const QPainterPath &outline);

} // namespace zentrel
