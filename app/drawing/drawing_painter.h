#pragma once

#include "common/iso_date.h"
#include "drawing/drawing_geometry.h"

class QPainter;
class QRectF;

namespace zentrel {

class DrawingCanvasModel;

// Paints the live drawing with a QPainter: the same picture on screen and in exported images.
class DrawingPainter
{
public:
    explicit DrawingPainter(ContrastOptions contrast);

    // The finished items, oldest first, then the stroke being drawn.
    void paintItems(QPainter &painter, const DrawingCanvasModel &model, Timestamp now) const;
    void paintActiveStroke(QPainter &painter, const DrawingCanvasModel &model) const;
    // Only what a long freehand stroke puts into `area`: stroking all of it for every drag
    // event would cost time in proportion to its length.
    void
    paintActiveStroke(QPainter &painter, const DrawingCanvasModel &model, const QRectF &area) const;

private:
    void paintStroke(QPainter &painter, const DrawingStroke &stroke, double alpha) const;
    void paintStyle(QPainter &painter, const StrokeStyle &style) const;
    void paintMarker(QPainter &painter,
                     const NumberedMarker &marker,
                     double lineWidth,
                     double alpha) const;

    ContrastOptions m_contrast;
};

} // namespace zentrel
