#include "panels/panel_mask.h"

#include <QPainterPath>
#include <QPolygon>

#include <cmath>

namespace zentrel {

namespace {

// Rows further apart than this make a coarse staircase of a corner of 10.
constexpr int longestStep = 4;

// The fewest logical rows that make whole screen pixels, or 0 when more than longestStep do.
int wholePixelStep(qreal devicePixelRatio)
{
    for (int step = 1; step <= longestStep; ++step) {
        const qreal pixels = step * devicePixelRatio;
        if (std::abs(pixels - std::round(pixels)) < 1e-6) {
            return step;
        }
    }
    return 0;
}

} // namespace

QRegion roundedPanelMask(QSize size, qreal radius, qreal devicePixelRatio)
{
    const QRect whole(QPoint(0, 0), size);
    const int step = wholePixelStep(devicePixelRatio);
    if (step == 0) {
        return whole;
    }
    QPainterPath outline;
    outline.addRoundedRect(QRectF(whole), radius, radius);
    const QRegion exact(outline.toFillPolygon().toPolygon());
    if (step == 1) {
        return exact;
    }
    // Each band grows out to whole steps, which leaves a little more of a corner.
    QRegion aligned;
    for (const QRect &band : exact) {
        const int top = band.top() / step * step;
        const int bottom = (band.bottom() + step) / step * step;
        aligned += QRect(band.left(), top, band.width(), bottom - top);
    }
    return aligned & whole;
}

} // namespace zentrel
