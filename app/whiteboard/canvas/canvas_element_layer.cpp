#include "whiteboard/canvas/canvas_element_layer.h"

#include "whiteboard/canvas/canvas_backdrop.h"
#include "whiteboard/render/element_render_plan.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

namespace zentrel {

namespace {

// Beyond this many changed elements, or this share of the view, repainting everything is
// cheaper than working out and clipping to what changed.
constexpr std::size_t changedElementLimit = 2000;
constexpr double changedAreaShareLimit = 0.6;

// The elements of `after` that differ from `before`: everything between their common prefix and
// their common suffix, as [first, last) in each.
struct ElementChange
{
    std::size_t first = 0;
    std::size_t lastBefore = 0;
    std::size_t lastAfter = 0;

    bool isEmpty() const { return first == lastBefore && first == lastAfter; }
};

ElementChange elementChange(const std::vector<ElementPtr> &before,
                            const std::vector<ElementPtr> &after)
{
    const std::size_t shorter = std::min(before.size(), after.size());
    std::size_t prefix = 0;
    while (prefix < shorter && before[prefix] == after[prefix]) {
        ++prefix;
    }
    std::size_t suffix = 0;
    while (suffix < shorter - prefix
           && before[before.size() - 1 - suffix] == after[after.size() - 1 - suffix]) {
        ++suffix;
    }
    return {prefix, before.size() - suffix, after.size() - suffix};
}

bool intersects(const RectF &a, const RectF &b)
{
    return a.x <= b.x + b.width && b.x <= a.x + a.width && a.y <= b.y + b.height
           && b.y <= a.y + a.height;
}

QRectF toViewRect(const RectF &scene, const WhiteboardViewport &viewport)
{
    return {scene.x * viewport.scale + viewport.translation.x,
            scene.y * viewport.scale + viewport.translation.y,
            scene.width * viewport.scale,
            scene.height * viewport.scale};
}

bool isWholePixelStep(double points, qreal pixelRatio)
{
    const double pixels = points * pixelRatio;
    return std::abs(pixels - std::round(pixels)) < 1e-6;
}

} // namespace

void CanvasElementLayer::paint(QPainter &painter,
                               const CanvasElementScene &scene,
                               QSize viewSize,
                               qreal pixelRatio)
{
    m_bounds.update(*scene.elements, scene.viewport.scale);
    const bool sameView = m_isValid && viewSize == m_viewSize && pixelRatio == m_pixelRatio
                          && scene.boardID == m_boardID && scene.hiddenID == m_hiddenID;
    if (!sameView) {
        m_viewSize = viewSize;
        m_pixelRatio = pixelRatio;
        m_split.reset();
        repaintAll(scene);
    } else if (scene.dragging && scene.viewport == m_viewport && updateSplit(scene)) {
        painter.drawImage(QPointF(0, 0), m_split->below);
        paintRange(painter, scene, viewRect(), m_split->first, m_split->last + 1);
        painter.drawImage(QPointF(0, 0), m_split->above);
        return;
    } else {
        bringUpToDate(scene);
    }
    painter.drawImage(QPointF(0, 0), m_image);
}

void CanvasElementLayer::bringUpToDate(const CanvasElementScene &scene)
{
    if (finishSplit(scene)) {
        return;
    }
    if (scene.viewport.scale != m_viewport.scale) {
        repaintAll(scene);
    } else if (!(scene.viewport == m_viewport) && !scroll(scene)) {
        repaintAll(scene);
    } else if (!repaintChangedArea(scene)) {
        repaintAll(scene);
    }
}

// A drag that just ended: its images and its live range make the new layer at the cost of one
// more drag step.
bool CanvasElementLayer::finishSplit(const CanvasElementScene &scene)
{
    if (!m_split) {
        return false;
    }
    Split split = std::move(*m_split);
    m_split.reset();
    const ElementChange change = elementChange(split.elements, *scene.elements);
    const bool withinRange =
        split.elements.size() == scene.elements->size()
        && (change.isEmpty()
            || (change.first >= split.first && change.lastAfter <= split.last + 1));
    if (!withinRange || !(scene.viewport == m_viewport)) {
        return false;
    }
    QImage image = blankImage();
    QPainter painter(&image);
    painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
    painter.drawImage(QPointF(0, 0), split.below);
    paintRange(painter, scene, viewRect(), split.first, split.last + 1);
    painter.drawImage(QPointF(0, 0), split.above);
    painter.end();
    m_image = std::move(image);
    m_elements = *scene.elements;
    return true;
}

// A pan by whole pixels over an unchanged board moves what is painted and paints only the strips
// it uncovers.
bool CanvasElementLayer::scroll(const CanvasElementScene &scene)
{
    const double dx = scene.viewport.translation.x - m_viewport.translation.x;
    const double dy = scene.viewport.translation.y - m_viewport.translation.y;
    if (*scene.elements != m_elements || !isWholePixelStep(dx, m_pixelRatio)
        || !isWholePixelStep(dy, m_pixelRatio) || std::abs(dx) >= m_viewSize.width()
        || std::abs(dy) >= m_viewSize.height()) {
        return false;
    }
    QImage image = blankImage();
    {
        QPainter painter(&image);
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        painter.drawImage(QPointF(dx, dy), m_image);
    }
    m_image = std::move(image);
    m_viewport = scene.viewport;
    const QRectF view = viewRect();
    const std::size_t count = scene.elements->size();
    if (dx > 0) {
        repaint(m_image, scene, QRectF(0, 0, dx, view.height()), 0, count);
    } else if (dx < 0) {
        repaint(m_image, scene, QRectF(view.width() + dx, 0, -dx, view.height()), 0, count);
    }
    if (dy > 0) {
        repaint(m_image, scene, QRectF(0, 0, view.width(), dy), 0, count);
    } else if (dy < 0) {
        repaint(m_image, scene, QRectF(0, view.height() + dy, view.width(), -dy), 0, count);
    }
    return true;
}

// An edit repaints the area that the changed elements covered before and cover now, with every
// element that reaches it, so stacking stays right.
bool CanvasElementLayer::repaintChangedArea(const CanvasElementScene &scene)
{
    const std::vector<ElementPtr> &elements = *scene.elements;
    const ElementChange change = elementChange(m_elements, elements);
    if (change.isEmpty()) {
        return true;
    }
    if (change.lastBefore - change.first + change.lastAfter - change.first > changedElementLimit) {
        return false;
    }
    const double scale = scene.viewport.scale;
    QRectF area;
    for (std::size_t i = change.first; i < change.lastBefore; ++i) {
        area |= toViewRect(elementPaintBounds(*m_elements[i], scale), scene.viewport);
    }
    for (std::size_t i = change.first; i < change.lastAfter; ++i) {
        area |= toViewRect(m_bounds.bounds(i), scene.viewport);
    }
    const QRectF view = viewRect();
    area = area.intersected(view);
    if (area.width() * area.height() > changedAreaShareLimit * view.width() * view.height()) {
        return false;
    }
    m_elements = elements;
    m_cache.trim(elements);
    if (!area.isEmpty()) {
        // Whole device pixels, so the antialiased edge of the area is painted once, not twice.
        const QRect pixels = QRectF(area.topLeft() * m_pixelRatio, area.size() * m_pixelRatio)
                                 .toAlignedRect()
                                 .adjusted(-1, -1, 1, 1);
        const QRectF aligned(QPointF(pixels.topLeft()) / m_pixelRatio,
                             QSizeF(pixels.size()) / m_pixelRatio);
        repaint(m_image, scene, aligned, 0, elements.size());
    }
    return true;
}

void CanvasElementLayer::repaintAll(const CanvasElementScene &scene)
{
    m_image = blankImage();
    m_boardID = scene.boardID;
    m_hiddenID = scene.hiddenID;
    m_viewport = scene.viewport;
    m_elements = *scene.elements;
    m_cache.trim(m_elements);
    repaint(m_image, scene, viewRect(), 0, m_elements.size());
    m_isValid = true;
}

bool CanvasElementLayer::updateSplit(const CanvasElementScene &scene)
{
    const std::vector<ElementPtr> &elements = *scene.elements;
    if (m_split && m_split->elements.size() == elements.size()) {
        const ElementChange change = elementChange(m_split->elements, elements);
        if (change.isEmpty()
            || (change.first >= m_split->first && change.lastAfter <= m_split->last + 1)) {
            return true;
        }
    }
    const ElementChange change = elementChange(m_elements, elements);
    if (change.isEmpty() || m_elements.size() != elements.size()) {
        m_split.reset();
        return false;
    }
    std::size_t first = change.first;
    std::size_t last = change.lastAfter - 1;
    if (m_split) {
        first = std::min(first, m_split->first);
        last = std::max(last, m_split->last);
    }
    Split split{elements, first, last, blankImage(), blankImage()};
    repaint(split.below, scene, viewRect(), 0, first);
    repaint(split.above, scene, viewRect(), last + 1, elements.size());
    m_split = std::move(split);
    return true;
}

QImage CanvasElementLayer::blankImage() const
{
    QImage image(m_viewSize * m_pixelRatio, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(m_pixelRatio);
    image.fill(Qt::transparent);
    return image;
}

QRectF CanvasElementLayer::viewRect() const
{
    return QRectF(QPointF(0, 0), QSizeF(m_viewSize));
}

void CanvasElementLayer::repaint(QImage &image,
                                 const CanvasElementScene &scene,
                                 const QRectF &viewArea,
                                 std::size_t first,
                                 std::size_t last)
{
    QPainter painter(&image);
    painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
    painter.setClipRect(viewArea);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.fillRect(viewArea, Qt::transparent);
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    paintRange(painter, scene, viewArea, first, last);
}

void CanvasElementLayer::paintRange(QPainter &painter,
                                    const CanvasElementScene &scene,
                                    const QRectF &viewArea,
                                    std::size_t first,
                                    std::size_t last)
{
    const WhiteboardViewport &viewport = scene.viewport;
    const RectF sceneArea = visibleSceneRect(
        {viewArea.x(), viewArea.y(), viewArea.width(), viewArea.height()}, viewport);
    const std::vector<ElementPtr> &elements = *scene.elements;
    painter.save();
    painter.translate(viewport.translation.x, viewport.translation.y);
    painter.scale(viewport.scale, viewport.scale);
    for (std::size_t i = first; i < last && i < elements.size(); ++i) {
        if (!intersects(m_bounds.bounds(i), sceneArea)
            || (scene.hiddenID && elements[i]->id == *scene.hiddenID)) {
            continue;
        }
        paintElement(painter, m_cache.painted(elements[i], viewport.scale));
    }
    painter.restore();
}

} // namespace zentrel
