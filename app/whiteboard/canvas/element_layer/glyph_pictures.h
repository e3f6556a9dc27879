#pragma once

#include <QColor>
#include <QImage>
#include <QRectF>

#include <memory>
#include <optional>
#include <vector>

class QPainter;
class QRawFont;

namespace zentrel {

// A glyph Qt draws from a picture rather than an outline, such as a colour emoji: Qt's own drawing
// of it, cut to its ink. Read-only once made, so paintings on several threads share it.
struct GlyphPicture
{
    // Largest first, each half the one before, so any zoom shrinks one by at most half and keeps
    // the detail a plain scaling would skip.
    std::vector<QImage> sizes;
    // Where the picture stands about the glyph's origin, in the font's pixels.
    QRectF place;
    // A plain glyph drawn in black, to be shown in the text's colour; a colour glyph keeps its own.
    bool takesTextColour = false;
};

struct PlacedGlyphPicture
{
    std::shared_ptr<const GlyphPicture> picture;
    QRectF place; // in scene coordinates
};

// Qt's drawing of `glyph`, or none where it draws no ink, as for a space. A colour bitmap is
// drawn at its font's own size, pixel for pixel.
std::optional<GlyphPicture> glyphPicture(const QRawFont &font, quint32 glyph);

// The picture shown in `colour`, where it takes the text's colour; the colour's alpha is not
// applied here.
std::shared_ptr<const GlyphPicture> inTextColour(std::shared_ptr<const GlyphPicture> picture,
                                                 const QColor &colour);

// Paints those of `pictures` that can reach `visible`, or all where nothing clips, with the
// opacity of the text's colour, as the text's outlines have it.
void paintGlyphPictures(QPainter &painter,
                        const std::vector<PlacedGlyphPicture> &pictures,
                        double opacity,
                        const std::optional<QRectF> &visible);

} // namespace zentrel
