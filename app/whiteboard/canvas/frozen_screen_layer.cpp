#include "whiteboard/canvas/frozen_screen_layer.h"

#include "common/pool_parallel_work.h"
#include "common/qt_path.h"
#include "whiteboard/canvas/canvas_backdrop.h"
#include "whiteboard/canvas/element_layer/element_band_painting.h"
#include "whiteboard/canvas/element_layer/view_image_scroll.h"

#include <QPainter>

#include <optional>

namespace zentrel {

void FrozenScreenLayer::prepare(const QImage &screen,
                                SizeF sceneSize,
                                const WhiteboardViewport &viewport,
                                QSize viewSize,
                                qreal pixelRatio)
{
    const QRectF view(QPointF(0, 0), QSizeF(viewSize));
    const bool sameScreen = !m_view.isNull() && m_view.size() == viewSize * pixelRatio
                            && m_view.devicePixelRatio() == pixelRatio
                            && m_screenKey == screen.cacheKey() && m_sceneSize == sceneSize;
    const double dx = viewport.translation.x - m_viewport.translation.x;
    const double dy = viewport.translation.y - m_viewport.translation.y;
    if (!sameScreen || viewport.scale != m_viewport.scale
        || !canScrollViewImage(dx, dy, viewSize, pixelRatio)) {
        m_view = QImage(viewSize * pixelRatio, QImage::Format_RGB32);
        m_view.setDevicePixelRatio(pixelRatio);
        m_screenKey = screen.cacheKey();
        m_sceneSize = sceneSize;
        m_viewport = viewport;
        // Scaling the whole screen takes one thread longer than a zoom step may.
        paintInBands(m_view, poolThreadCount(), [&](QPainter &painter) {
            paintScreen(painter, view, screen);
        });
    } else if (!(viewport == m_viewport)) {
        m_viewport = viewport;
        for (const QRectF &strip : scrollViewImage(m_view, viewSize, dx, dy)) {
            repaint(strip, screen);
        }
    }
}

void FrozenScreenLayer::paint(QPainter &painter) const
{
    painter.drawImage(QPointF(0, 0), m_view);
}

void FrozenScreenLayer::repaint(const QRectF &viewArea, const QImage &screen)
{
    QPainter painter(&m_view);
    paintScreen(painter, viewArea, screen);
}

void FrozenScreenLayer::paintScreen(QPainter &painter,
                                    const QRectF &viewArea,
                                    const QImage &screen) const
{
    painter.setClipRect(viewArea, Qt::IntersectClip);
    painter.fillRect(viewArea, Qt::black);
    const std::optional<RectF> area = frozenScreenArea(m_sceneSize);
    if (!area || screen.isNull()) {
        return;
    }
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.translate(m_viewport.translation.x, m_viewport.translation.y);
    painter.scale(m_viewport.scale, m_viewport.scale);
    painter.drawImage(toQRectF(*area), screen);
}

} // namespace zentrel
