// Drags on the element layer: the moving elements and those they may cross are painted on every
// step, over and under images of the rest made when the drag began.
#include "common/geometry.h"
#include "common/qt_path.h"
#include "whiteboard/canvas/canvas_element_layer.h"
#include "whiteboard/canvas/element_band_painting.h"
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

// A drag that just ended: its images and its live range make the new picture of the view at the
// cost of one more drag step; the margins are painted again in the background.
bool CanvasElementLayer::finishSplit(const CanvasElementScene &scene)
{
    if (!m_split) {
        return false;
    }
    const Split split = std::move(*m_split);
    m_split.reset();
    if (!(scene.viewport == m_viewport) || !splitHolds(split, scene)) {
        return false;
    }
    m_picture.fill(Qt::transparent);
    const QPointF view = -pictureOrigin();
    {
        QPainter painter(&m_picture);
        painter.drawImage(view, split.below);
    }
    paintIndices(m_picture, pictureOrigin(), scene, split.liveArea, split.live, false, false);
    if (!split.above.isNull()) {
        QPainter painter(&m_picture);
        painter.drawImage(view, split.above);
    }
    m_painted = QRegion(picturePixels(viewRect()));
    m_elements = *scene.elements;
    return true;
}

// Outside the live area a drag changes nothing, so the frame there is one opaque copy, made
// once; each step composes again only where the moving elements and the selection's handles were
// and are.
void CanvasElementLayer::paintDragStep(QImage &frame, const CanvasElementScene &scene, Split &split)
{
    QRectF moving;
    for (const std::size_t i : split.moving) {
        moving |= toQRectF(scene.viewport.toView(m_bounds.bounds(i)));
    }
    const QRect liveArea = split.liveArea.toAlignedRect();
    const QRect movingArea =
        moving.adjusted(-handleRoom, -handleRoom, handleRoom, handleRoom).toAlignedRect()
        & liveArea;
    const QRect damage = split.framed ? (movingArea | split.movingArea) & liveArea : liveArea;
    {
        QPainter painter(&frame);
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        if (!split.framed) {
            painter.drawImage(QPointF(0, 0), split.still);
        }
        painter.setClipRect(damage);
        painter.drawImage(QPointF(0, 0), split.base);
    }
    paintIndices(frame, {}, scene, damage, split.live, false, false);
    // Nothing lies above the moving elements when they are on top.
    if (!split.above.isNull()) {
        QPainter painter(&frame);
        painter.setClipRect(damage);
        painter.drawImage(QPointF(0, 0), split.above);
    }
    split.framed = true;
    split.movingArea = movingArea;
}

// Elements that changed since the drag began must all be moving ones, still within the sweep.
bool CanvasElementLayer::splitHolds(const Split &split, const CanvasElementScene &scene) const
{
    const std::vector<ElementPtr> &elements = *scene.elements;
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
            || !contains(split.sweep, m_bounds.bounds(i))) {
            return false;
        }
    }
    return true;
}

bool CanvasElementLayer::updateSplit(const CanvasElementScene &scene)
{
    if (m_split && splitHolds(*m_split, scene)) {
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
    const QSize viewPixels = m_viewSize * m_pixelRatio;
    split.below = blankImage(viewPixels);
    const QRectF view = viewRect();
    paintIndices(split.below, {}, scene, view, waiting, false, true);
    split.base = QImage(viewPixels, QImage::Format_RGB32);
    split.base.setDevicePixelRatio(m_pixelRatio);
    {
        QPainter painter(&split.base);
        scene.paintBackdrop(painter);
        painter.drawImage(QPointF(0, 0), split.below);
    }
    split.still = split.base;
    if (split.moving.back() + 1 < elements.size()) {
        split.above = blankImage(viewPixels);
        std::vector<std::size_t> above(elements.size() - split.moving.back() - 1);
        std::iota(above.begin(), above.end(), split.moving.back() + 1);
        paintIndices(split.above, {}, scene, view, above, false, false);
        QPainter painter(&split.still);
        painter.drawImage(QPointF(0, 0), split.above);
    }
    RectF reach = split.sweep;
    for (const std::size_t i : split.live) {
        reach = unionRect(reach, m_bounds.bounds(i));
    }
    split.liveArea =
        toQRectF(scene.viewport.toView(reach)).toAlignedRect().intersected(view.toAlignedRect());
    m_split = std::move(split);
    return true;
}

} // namespace zentrel
