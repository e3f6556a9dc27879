#include "whiteboard/canvas/canvas_element_layer.h"

#include "common/geometry.h"
#include "common/qt_path.h"
#include "whiteboard/canvas/element_band_painting.h"
#include "whiteboard/canvas/parallel_work.h"
#include "whiteboard/canvas/view_image_scroll.h"
#include "whiteboard/render/element_render_plan.h"

#include <QPainter>
#include <QTransform>

#include <algorithm>

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

// How far, in view points, a drag may carry its elements before its images are made again.
constexpr double sweepRoom = 64;

bool contains(const RectF &outer, const RectF &inner)
{
    return inner.x >= outer.x && inner.y >= outer.y
           && inner.x + inner.width <= outer.x + outer.width
           && inner.y + inner.height <= outer.y + outer.height;
}

bool intersects(const RectF &a, const RectF &b)
{
    return a.x <= b.x + b.width && b.x <= a.x + a.width && a.y <= b.y + b.height
           && b.y <= a.y + a.height;
}

} // namespace

CanvasElementLayer::CanvasElementLayer(std::function<void()> onPictureReady)
    : m_background(std::move(onPictureReady))
{}

void CanvasElementLayer::paint(QImage &frame,
                               const CanvasElementScene &scene,
                               QSize viewSize,
                               bool allowStale)
{
    const qreal pixelRatio = frame.devicePixelRatio();
    m_bounds.update(*scene.elements, scene.viewport.scale);
    adoptBackgroundPicture();
    const bool sameView = m_isValid && viewSize == m_viewSize && pixelRatio == m_pixelRatio
                          && scene.boardID == m_boardID && scene.hiddenID == m_hiddenID;
    if (sameView && allowStale && paintRescaled(frame, scene)) {
        return;
    }
    // Whatever paints elements here must not share their paths with a background painting.
    m_background.cancel();
    if (!sameView) {
        m_viewSize = viewSize;
        m_pixelRatio = pixelRatio;
        m_split.reset();
        repaintAll(scene);
    } else if (scene.dragging && scene.viewport == m_viewport && updateSplit(scene)) {
        paintDragStep(frame, scene, *m_split);
        return;
    } else {
        bringUpToDate(scene);
    }
    QPainter painter(&frame);
    scene.paintBackdrop(painter);
    painter.drawImage(QPointF(0, 0), m_image);
}

// A picture painted in the background is shown when it shows the board as it is, under any
// viewport: until the one the view has now is ready, rescaling it costs least.
void CanvasElementLayer::adoptBackgroundPicture()
{
    std::optional<BackgroundElementPaint::Result> result = m_background.take();
    if (!result) {
        return;
    }
    const ElementPicture &picture = result->picture;
    for (auto &[element, painted] : result->prepared) {
        m_cache.adopt(element, picture.viewport.scale, std::move(painted));
    }
    if (!m_isValid || m_split || picture.boardID != m_boardID || picture.hiddenID != m_hiddenID
        || picture.viewSize != m_viewSize || picture.pixelRatio != m_pixelRatio
        || picture.elements != m_elements) {
        return;
    }
    m_image = std::move(result->image);
    m_viewport = picture.viewport;
}

// A zoom step repaints every element in view, more than a pointer event leaves time for; the
// last sharp image, rescaled, stands in while a sharp one is painted in the background. What it
// no longer covers shows the backdrop meanwhile. A pan is scrolled or painted at once, unless a
// sharp picture is on its way anyway.
bool CanvasElementLayer::paintRescaled(QImage &frame, const CanvasElementScene &scene)
{
    if (m_split || scene.viewport == m_viewport || *scene.elements != m_elements) {
        return false;
    }
    if (scene.viewport.scale == m_viewport.scale && !m_background.isBusy()) {
        return false;
    }
    const double k = scene.viewport.scale / m_viewport.scale;
    const QTransform rescale =
        QTransform()
            .translate(scene.viewport.translation.x, scene.viewport.translation.y)
            .scale(k, k)
            .translate(-m_viewport.translation.x, -m_viewport.translation.y);
    QPainter painter(&frame);
    scene.paintBackdrop(painter);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.setTransform(rescale, true);
    painter.drawImage(QPointF(0, 0), m_image);
    painter.end();
    paintInBackground(scene);
    return true;
}

// One painting at a time: one for a viewport the view has left is still worth finishing, as it
// is nearer than the picture the view has.
void CanvasElementLayer::paintInBackground(const CanvasElementScene &scene)
{
    if (m_background.isBusy()) {
        return;
    }
    const WhiteboardViewport &viewport = scene.viewport;
    const QRectF view = viewRect();
    const RectF sceneView =
        viewport.toScene(RectF{view.x(), view.y(), view.width(), view.height()});
    const std::vector<ElementPtr> &elements = *scene.elements;
    std::vector<BackgroundElementPaint::Element> visible;
    for (std::size_t i = 0; i < elements.size(); ++i) {
        if (intersects(m_bounds.bounds(i), sceneView)
            && !(scene.hiddenID && elements[i]->id == *scene.hiddenID)) {
            visible.push_back(
                {elements[i], m_bounds.bounds(i), m_cache.find(elements[i], viewport.scale)});
        }
    }
    m_background.start(
        {scene.boardID, elements, viewport, scene.hiddenID, m_viewSize, m_pixelRatio},
        std::move(visible));
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
    const Split split = std::move(*m_split);
    m_split.reset();
    if (!(scene.viewport == m_viewport) || !splitHolds(split, scene)) {
        return false;
    }
    clearImage();
    {
        QPainter painter(&m_image);
        painter.drawImage(QPointF(0, 0), split.below);
    }
    paintIndices(m_image, scene, split.liveArea, split.live, false);
    if (!split.above.isNull()) {
        QPainter painter(&m_image);
        painter.drawImage(QPointF(0, 0), split.above);
    }
    m_elements = *scene.elements;
    return true;
}

// Outside the live area a drag changes nothing, so the frame there is one opaque copy; only
// inside is it composed again.
void CanvasElementLayer::paintDragStep(QImage &frame,
                                       const CanvasElementScene &scene,
                                       const Split &split)
{
    {
        QPainter painter(&frame);
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        painter.drawImage(QPointF(0, 0), split.still);
        painter.setClipRect(split.liveArea);
        painter.drawImage(QPointF(0, 0), split.base);
    }
    paintIndices(frame, scene, split.liveArea, split.live, false);
    // Nothing lies above the moving elements when they are on top.
    if (!split.above.isNull()) {
        QPainter painter(&frame);
        painter.setClipRect(split.liveArea);
        painter.drawImage(QPointF(0, 0), split.above);
    }
}

// A pan by whole pixels over an unchanged board moves what is painted and paints only the strips
// it uncovers.
bool CanvasElementLayer::scroll(const CanvasElementScene &scene)
{
    const double dx = scene.viewport.translation.x - m_viewport.translation.x;
    const double dy = scene.viewport.translation.y - m_viewport.translation.y;
    if (*scene.elements != m_elements || !canScrollViewImage(dx, dy, m_viewSize, m_pixelRatio)) {
        return false;
    }
    m_viewport = scene.viewport;
    for (const QRectF &strip : scrollViewImage(m_image, m_viewSize, dx, dy)) {
        repaint(m_image, scene, strip, 0, scene.elements->size());
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
        area |= toQRectF(scene.viewport.toView(elementPaintBounds(*m_elements[i], scale)));
    }
    for (std::size_t i = change.first; i < change.lastAfter; ++i) {
        area |= toQRectF(scene.viewport.toView(m_bounds.bounds(i)));
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
    clearImage();
    m_boardID = scene.boardID;
    m_hiddenID = scene.hiddenID;
    m_viewport = scene.viewport;
    m_elements = *scene.elements;
    m_cache.trim(m_elements);
    repaint(m_image, scene, viewRect(), 0, m_elements.size());
    m_isValid = true;
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
            || (between && intersects(m_bounds.bounds(i), split.sweep))) {
            split.live.push_back(i);
        } else if (i < split.moving.back()) {
            waiting.push_back(i);
        }
    }
    split.below = blankImage();
    const QRectF view = viewRect();
    paintIndices(split.below, scene, view, waiting, false);
    split.base = QImage(split.below.size(), QImage::Format_RGB32);
    split.base.setDevicePixelRatio(m_pixelRatio);
    {
        QPainter painter(&split.base);
        scene.paintBackdrop(painter);
        painter.drawImage(QPointF(0, 0), split.below);
    }
    split.still = split.base;
    if (split.moving.back() + 1 < elements.size()) {
        split.above = blankImage();
        repaint(split.above, scene, view, split.moving.back() + 1, elements.size());
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

// The layer's image is painted over again rather than made anew, so zoom steps and drags that
// end leave no full-screen image behind for the allocator to keep.
void CanvasElementLayer::clearImage()
{
    if (m_image.size() == m_viewSize * m_pixelRatio && m_image.devicePixelRatio() == m_pixelRatio) {
        m_image.fill(Qt::transparent);
    } else {
        m_image = blankImage();
    }
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
    std::vector<std::size_t> indices;
    for (std::size_t i = first; i < std::min(last, scene.elements->size()); ++i) {
        indices.push_back(i);
    }
    paintIndices(image, scene, viewArea, indices, true);
}

void CanvasElementLayer::paintIndices(QImage &image,
                                      const CanvasElementScene &scene,
                                      const QRectF &viewArea,
                                      const std::vector<std::size_t> &indices,
                                      bool clearFirst)
{
    const WhiteboardViewport &viewport = scene.viewport;
    const RectF sceneArea =
        viewport.toScene(RectF{viewArea.x(), viewArea.y(), viewArea.width(), viewArea.height()});
    const std::vector<ElementPtr> &elements = *scene.elements;
    std::vector<std::size_t> visible;
    std::vector<ElementPtr> toPrepare;
    for (const std::size_t i : indices) {
        if (intersects(m_bounds.bounds(i), sceneArea)
            && !(scene.hiddenID && elements[i]->id == *scene.hiddenID)) {
            visible.push_back(i);
            toPrepare.push_back(elements[i]);
        }
    }
    m_cache.prepare(toPrepare, viewport.scale);
    std::vector<ElementToPaint> toPaint;
    toPaint.reserve(visible.size());
    for (const std::size_t i : visible) {
        toPaint.push_back({m_bounds.bounds(i), &m_cache.painted(elements[i], viewport.scale)});
    }
    paintElementsInBands(image, viewArea, toPaint, {viewport, clearFirst, poolThreadCount()});
}

} // namespace zentrel
