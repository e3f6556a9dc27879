#include "panels/panel_mask.h"

#include <QRect>
#include <QVector>

#include <algorithm>
#include <cmath>

namespace zentrel {

namespace {

// Keeps a pixel whose centre lies on the edge out, despite rounding in the scaled sizes.
constexpr qreal edgeTolerance = 1e-6;

// How far in from the left and right the rounded rectangle starts on the row whose centre is
// `y`, in screen pixels.
qreal rowInset(qreal y, qreal height, qreal radius)
{
    const qreal fromEdge = std::min(y, height - y);
    if (fromEdge >= radius) {
        return 0;
    }
    const qreal rise = radius - fromEdge;
    return radius - std::sqrt(std::max<qreal>(0, radius * radius - rise * rise));
}

} // namespace

QRegion roundedPanelMask(QSize size, qreal radius, qreal devicePixelRatio)
{
    const qreal width = size.width() * devicePixelRatio;
    const qreal height = size.height() * devicePixelRatio;
    const qreal screenRadius = std::min({radius * devicePixelRatio, width / 2, height / 2});
    QVector<QRect> rows;
    for (int y = 0; y + 0.5 < height - edgeTolerance; ++y) {
        const qreal inset = rowInset(y + 0.5, height, screenRadius);
        // The pixels whose centres x + 0.5 lie strictly between the row's two ends.
        const int left = static_cast<int>(std::floor(inset - 0.5 + edgeTolerance)) + 1;
        const int right = static_cast<int>(std::ceil(width - inset - 0.5 - edgeTolerance)) - 1;
        if (right < left) {
            continue;
        }
        const QRect row(left, y, right - left + 1, 1);
        // Rows of the same span make one band, so the straight part is a single rectangle.
        if (!rows.isEmpty() && rows.back().left() == row.left()
            && rows.back().right() == row.right() && rows.back().bottom() + 1 == y) {
            rows.back().setBottom(y);
        } else {
            rows.append(row);
        }
    }
    QRegion mask;
    mask.setRects(rows.constData(), static_cast<int>(rows.size()));
    return mask;
}

} // namespace zentrel
