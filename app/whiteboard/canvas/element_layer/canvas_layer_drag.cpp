// Drags on the element layer: the moving elements and those they may cross are painted on every
// step, over and under images of the rest made when the drag began.
#include "common/geometry.h"
#include "common/pool_parallel_work.h"
#include "common/qt_path.h"
#include "whiteboard/canvas/element_layer/canvas_element_layer.h"
#include "whiteboard/canvas/element_layer/element_band_painting.h"
#include "whiteboard/render/element_render_plan.h"

#include <QPainter>

#include <algorithm>
#include <numeric>

namespace zentrel {

namespace {

// How far, in view points, a drag may carry its elements before its images are made again.
constexpr double sweepRoom = 64;
// How far, in view points, the selection's outline and handles reach beyond its elements: the
// rotation handle stands 24 points above, 4 points across, with its outline.
constexpr double handleRoom = 32;

bool contains(const RectF &outer, const RectF &inner)
{
    return inner.x >= outer.x && inner.y >= outer.y
           && inner.x + inner.width <= outer.x + outer.width
           && inner.y + inner.height <= outer.y + outer.height;
}

} // namespace

// A drag that just ended: its images and its live range make the live area of the picture
// anew at the cost of one more drag step. Margins the drag may have reached are painted again in
// the background.
bool CanvasElementLayer::finishSplit(const CanvasElementScene &scene)
{
    if (!m_split) {
        return false;
    }
    const Split split = std::move(*m_split);
    m_split.reset();
    if (!(scene.viewport == m_viewport)
        || !splitHolds(split, *scene.elements, scene.viewport.scale)) {
        return false;
    }
    const qreal ratio = m_pixelRatio;
    const QRectF liveArea(QPointF(split.livePixels.topLeft()) / ratio,
                          QSizeF(split.livePixels.size()) / ratio);
    const QRect live = picturePixels(liveArea);
    {
        QPainter painter(&m_picture);
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        painter.drawImage(liveArea.topLeft() - pictureOrigin(), split.below);
    }
    paintIndices(m_picture, pictureOrigin(), scene, liveArea, split.live, false, false);
    if (!split.above.isNull()) {
        QPainter painter(&m_picture);
        painter.drawImage(liveArea.topLeft() - pictureOrigin(), split.above);
    }
    const QRegion stale = QRegion(picturePixels(toQRectF(scene.viewport.toView(split.sweep))))
                          - QRegion(picturePixels(viewRect())) - QRegion(live);
    QPainter painter(&m_picture);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    for (const QRect &pixels : stale) {
        painter.fillRect(viewArea(pixels).translated(-pictureOrigin()), Qt::transparent);
    }
    m_painted -= stale;
    m_elements = *scene.elements;
    return true;
}

// Outside the live area a drag changes nothing, so the frame there is painted as before the
// drag once; each step composes again only where the moving elements and the selection's
// handles were and are.
void CanvasElementLayer::paintDragStep(QImage &frame, const CanvasElementScene &scene, Split &split)
{
    const QRect moving = movingPixels(split, *scene.elements, scene.viewport);
    const QRect damage =
        split.framed ? (moving | split.movingPixels) & split.livePixels : split.livePixels;
    if (!split.framed) {
        paintComposite(frame, scene, {});
    }
    const QPointF origin = QPointF(split.livePixels.topLeft()) / m_pixelRatio;
    const QRectF area(QPointF(damage.topLeft()) / m_pixelRatio,
                      QSizeF(damage.size()) / m_pixelRatio);
    {
        QPainter painter(&frame);
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        painter.setClipRect(area);
        painter.drawImage(origin, split.base);
    }
    paintIndices(frame, {}, scene, area, split.live, false, false);
    // Nothing lies above the moving elements when they are on top.
    if (!split.above.isNull()) {
        QPainter painter(&frame);
        painter.setClipRect(area);
        painter.drawImage(origin, split.above);
    }
    if (split.framed) {
        m_changedArea = area.toAlignedRect();
    }
    split.framed = true;
    split.movingPixels = moving;
}

QRect CanvasElementLayer::movingPixels(const Split &split,
                                       const std::vector<ElementPtr> &elements,
                                       const WhiteboardViewport &viewport) const
{
    QRectF moving;
    for (const std::size_t i : split.moving) {
        moving |= toQRectF(viewport.toView(elementPaintBounds(*elements[i], viewport.scale)));
    }
    return viewPixels(moving.adjusted(-handleRoom, -handleRoom, handleRoom, handleRoom))
           & split.livePixels;
}

std::optional<QRect> CanvasElementLayer::dragStepArea(const std::vector<ElementPtr> &elements,
                                                      const WhiteboardViewport &viewport) const
{
    if (!m_split || !m_split->framed || !(viewport == m_viewport)
        || !splitHolds(*m_split, elements, viewport.scale)) {
        return std::nullopt;
    }
    const QRect damage =
        (movingPixels(*m_split, elements, viewport) | m_split->movingPixels) & m_split->livePixels;
    return QRectF(QPointF(damage.topLeft()) / m_pixelRatio, QSizeF(damage.size()) / m_pixelRatio)
        .toAlignedRect();
}

// Elements that changed since the drag began must all be moving ones, still within the sweep.
bool CanvasElementLayer::splitHolds(const Split &split,
                                    const std::vector<ElementPtr> &elements,
                                    double viewportScale) const
{
    if (elements.size() != m_elements.size()) {
        return false;
    }
    auto moving = split.moving.begin();
    for (std::size_t i = 0; i < elements.size(); ++i) {
        if (elements[i] == m_elements[i]) {
            continue;
        }
        moving = std::lower_bound(moving, split.moving.end(), i);
        if (moving == split.moving.end() || *moving != i
            || !contains(split.sweep, elementPaintBounds(*elements[i], viewportScale))) {
            return false;
        }
    }
    return true;
}

bool CanvasElementLayer::updateSplit(const CanvasElementScene &scene)
{
    if (m_split && splitHolds(*m_split, *scene.elements, scene.viewport.scale)) {
        return true;
    }
    m_split.reset();
    const std::vector<ElementPtr> &elements = *scene.elements;
    if (elements.size() != m_elements.size()) {
        return false;
    }
    Split split;
    for (std::size_t i = 0; i < elements.size(); ++i) {
        if (elements[i] != m_elements[i]) {
            split.moving.push_back(i);
        }
    }
    if (split.moving.empty()) {
        return false;
    }
    // Room for the drag to go on a while before the images are made again.
    const double room = sweepRoom / scene.viewport.scale;
    bool first = true;
    for (const std::size_t i : split.moving) {
        const RectF reach =
            unionRect(m_bounds.bounds(i), elementPaintBounds(*m_elements[i], scene.viewport.scale));
        split.sweep = first ? reach : unionRect(split.sweep, reach);
        first = false;
    }
    split.sweep = insetRect(split.sweep, -room, -room);
    // Elements between the lowest and the highest moving one go live only where a moving one
    // may cross them; the others cannot show a difference in stacking, so they wait below.
    std::vector<std::size_t> waiting;
    for (std::size_t i = 0; i < elements.size(); ++i) {
        const bool between = i > split.moving.front() && i < split.moving.back();
        if (std::binary_search(split.moving.begin(), split.moving.end(), i)
            || (between && reaches(m_bounds.bounds(i), split.sweep))) {
            split.live.push_back(i);
        } else if (i < split.moving.back()) {
            waiting.push_back(i);
        }
    }
    RectF reach = split.sweep;
    for (const std::size_t i : split.live) {
        reach = unionRect(reach, m_bounds.bounds(i));
    }
    split.livePixels = viewPixels(toQRectF(scene.viewport.toView(reach)));
    const QRectF liveArea(QPointF(split.livePixels.topLeft()) / m_pixelRatio,
                          QSizeF(split.livePixels.size()) / m_pixelRatio);
    const QPointF origin = liveArea.topLeft();
    split.below = blankImage(split.livePixels.size());
    paintIndices(split.below, origin, scene, liveArea, waiting, false, true);
    split.base = QImage(split.livePixels.size(), QImage::Format_RGB32);
    split.base.setDevicePixelRatio(m_pixelRatio);
    {
        QPainter painter(&split.base);
        painter.translate(-origin);
        scene.paintBackdrop(painter);
        painter.resetTransform();
        painter.drawImage(QPointF(0, 0), split.below);
    }
    if (split.moving.back() + 1 < elements.size()) {
        split.above = blankImage(split.livePixels.size());
        std::vector<std::size_t> above(elements.size() - split.moving.back() - 1);
        std::iota(above.begin(), above.end(), split.moving.back() + 1);
        paintIndices(split.above, origin, scene, liveArea, above, false, false);
    }
    m_split = std::move(split);
    return true;
}

} // namespace zentrel
