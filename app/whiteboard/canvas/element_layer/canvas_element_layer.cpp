#include "whiteboard/canvas/element_layer/canvas_element_layer.h"

#include "common/geometry.h"
#include "common/pool_parallel_work.h"
#include "common/qt_path.h"
#include "whiteboard/canvas/element_layer/chunked_element_painting.h"
#include "whiteboard/canvas/element_layer/element_band_painting.h"
#include "whiteboard/canvas/element_layer/freed_memory.h"
#include "whiteboard/canvas/element_layer/view_image_scroll.h"
#include "whiteboard/render/element_render_plan.h"

#include <QPainter>
#include <QTransform>

#include <algorithm>
#include <cmath>
#include <numeric>
#include <utility>

namespace zentrel {

namespace {

// Beyond this many changed elements, or this share of the view, repainting everything is
// cheaper than working out and clipping to what changed.
constexpr std::size_t changedElementLimit = 2000;
constexpr double changedAreaShareLimit = 0.6;
// How far, in view points, the picture reaches beyond the view on each side.
constexpr double marginPoints = 128;
// The picture is scrolled back around the view once pans have used up this share of a margin,
// so the elements across the margin's edge are painted once for many pan steps rather than once
// for each.
constexpr double marginUsedShare = 0.5;
// How long after a board is shown its first paint may wait for what is painted ahead of it: a
// board of shapes is ready by then, one whose texts need fonts looked for far and wide shows once
// it is. Counted from the showing, so what the first paint does before (the paper's texture) and
// after waiting (the backdrop, the overlay) still leaves the user's thread held under 0.1 s.
constexpr auto aheadWait = std::chrono::milliseconds(70);

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

} // namespace

CanvasElementLayer::CanvasElementLayer(std::function<void()> onPictureReady, std::size_t cacheBytes)
    : m_cache(cacheBytes)
    , m_background(std::move(onPictureReady))
{}

void CanvasElementLayer::paint(QImage &frame,
                               const CanvasElementScene &scene,
                               QSize viewSize,
                               CanvasSharpness sharpness)
{
    paintFrame(frame, scene, viewSize, sharpness);
    // What this paint and the pictures painted meanwhile let go.
    handBackFreedMemory();
}

void CanvasElementLayer::paintFrame(QImage &frame,
                                    const CanvasElementScene &scene,
                                    QSize viewSize,
                                    CanvasSharpness sharpness)
{
    const qreal pixelRatio = frame.devicePixelRatio();
    m_sharpness = sharpness;
    // What was painted ahead is wanted now; painting it again would take longer.
    if (!m_isValid && !awaitPaintingAhead()) {
        paintBackdrop(frame, scene, viewSize);
        return;
    }
    m_bounds.update(*scene.elements, scene.viewport.scale);
    adoptBackgroundPicture();
    m_isStale = false;
    m_changedArea = QRect(QPoint(0, 0), viewSize);
    const bool sameView = m_isValid && viewSize == m_viewSize && pixelRatio == m_pixelRatio
                          && scene.boardID == m_boardID && scene.hiddenID == m_hiddenID
                          && scene.grid == m_grid;
    if (sameView && sharpness != CanvasSharpness::now && paintRescaled(frame, scene, sharpness)) {
        return;
    }
    // What is painted in the background shows the board as it was.
    if (!sameView || *scene.elements != m_elements) {
        m_background.cancel();
    }
    if (!sameView) {
        m_viewSize = viewSize;
        m_pixelRatio = pixelRatio;
        m_marginPixels = int(std::lround(marginPoints * pixelRatio));
        m_split.reset();
        repaintAll(scene);
    } else if (scene.dragging && scene.viewport == m_viewport && updateSplit(scene)) {
        paintDragStep(frame, scene, *m_split);
        return;
    } else {
        bringUpToDate(scene);
    }
    if (!m_isValid) {
        // Elements that were never prepared went to be painted ahead.
        if (!awaitPaintingAhead()) {
            paintBackdrop(frame, scene, viewSize);
            return;
        }
        adoptBackgroundPicture();
        repaintAll(scene);
    }
    paintComposite(frame, scene, {});
    refillMargins(scene);
}

void CanvasElementLayer::prepareAhead(const CanvasElementScene &scene,
                                      QSize viewSize,
                                      qreal pixelRatio)
{
    if (m_isValid || m_background.isBusy()) {
        return;
    }
    // As the first paint will have them.
    m_viewSize = viewSize;
    m_pixelRatio = pixelRatio;
    m_marginPixels = int(std::lround(marginPoints * pixelRatio));
    m_pictureOrigin = centredOrigin();
    m_bounds.update(*scene.elements, scene.viewport.scale);
    // One pool thread stays free for the first frame, which then waits for this painting there
    // rather than painting on the main thread.
    const int threads = std::max(poolThreadCount() - 1, 1);
    paintInBackground(scene,
                      scene.viewport,
                      centredOrigin(),
                      QRegion(picturePixels(viewRect())),
                      {threads, false});
    m_aheadUntil = std::chrono::steady_clock::now() + aheadWait;
}

bool CanvasElementLayer::awaitPaintingAhead()
{
    if (m_sharpness == CanvasSharpness::now) {
        m_background.wait();
        return true;
    }
    // Only the first paint waits: the later ones while the painting goes on would each hold
    // the user's thread for nothing.
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(
        std::exchange(m_aheadUntil, {}) - std::chrono::steady_clock::now());
    if (m_background.waitFor(std::max(left, std::chrono::milliseconds(0)))) {
        return true;
    }
    m_background.tellWhenDone();
    return false;
}

void CanvasElementLayer::paintBackdrop(QImage &frame, const CanvasElementScene &scene, QSize view)
{
    m_isStale = false;
    m_changedArea = QRect(QPoint(0, 0), view);
    paintInBands(
        frame, poolThreadCount(), [&](QPainter &painter) { scene.paintBackdrop(painter); });
}

// Whether every element the view shows was prepared for painting: other ones, such as those of
// a board just imported, may take long (a text whose characters are looked for in every font).
bool CanvasElementLayer::viewIsPrepared(const CanvasElementScene &scene) const
{
    const RectF area = scene.viewport.toScene(toRectF(viewRect()));
    const std::vector<ElementPtr> &elements = *scene.elements;
    for (std::size_t i = 0; i < elements.size(); ++i) {
        if (reaches(m_bounds.bounds(i), area) && !m_cache.kept(elements[i], scene.viewport.scale)) {
            return false;
        }
    }
    return true;
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

// A pan by whole pixels over an unchanged board moves the view within the picture; what it
// brings into view from beyond the margins is painted at once.
bool CanvasElementLayer::scroll(const CanvasElementScene &scene)
{
    const double dx = scene.viewport.translation.x - m_viewport.translation.x;
    const double dy = scene.viewport.translation.y - m_viewport.translation.y;
    if (*scene.elements != m_elements || !canScrollViewImage(dx, dy, m_viewSize, m_pixelRatio)) {
        return false;
    }
    m_viewport = scene.viewport;
    m_pictureOrigin += QPointF(dx, dy);
    const QPointF used = m_pictureOrigin - centredOrigin();
    const double room = marginUsedShare * m_marginPixels / m_pixelRatio;
    if (std::abs(used.x()) > room || std::abs(used.y()) > room) {
        recentre();
    }
    fillView(scene);
    return true;
}

// Scrolls the picture to have the view in its middle again; the margin on the far side is lost
// and the one ahead is missing until painted.
void CanvasElementLayer::recentre()
{
    const QPointF used = m_pictureOrigin - centredOrigin();
    const QRect whole = picturePixels();
    const QPoint shift(int(std::lround(used.x() * m_pixelRatio)),
                       int(std::lround(used.y() * m_pixelRatio)));
    m_pictureOrigin = centredOrigin();
    if (std::abs(shift.x()) >= whole.width() || std::abs(shift.y()) >= whole.height()) {
        m_picture.fill(Qt::transparent);
        m_painted = QRegion();
        return;
    }
    scrollViewImage(m_picture, m_viewSize, used.x(), used.y());
    m_painted.translate(shift);
    m_painted &= whole;
}

// Far is beyond what the picture shows: the last elements used beyond it stay kept, up to a part
// of the budget.
void CanvasElementLayer::letGoFarOff()
{
    if (!m_isValid) {
        return;
    }
    m_cache.letGoOutside(m_viewport.toScene(toRectF(viewArea(picturePixels()))), m_viewport.scale);
    handBackFreeMemoryNow();
}

void CanvasElementLayer::fillView(const CanvasElementScene &scene)
{
    const QRegion missing = QRegion(picturePixels(viewRect())) - m_painted;
    for (const QRect &pixels : missing) {
        repaintPicture(scene, viewArea(pixels));
    }
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
    const QRectF seen = area.intersected(view);
    if (seen.width() * seen.height() > changedAreaShareLimit * view.width() * view.height()) {
        return false;
    }
    m_elements = elements;
    m_cache.trim(elements);
    // Whole device pixels, and one more, so the antialiased edge of the area is painted once.
    const QRect pixels = picturePixels(area).adjusted(-1, -1, 1, 1).intersected(picturePixels());
    if (!pixels.isEmpty()) {
        repaintPicture(scene, viewArea(pixels));
    }
    return true;
}

// Only the view: the margins are painted in the background.
void CanvasElementLayer::repaintAll(const CanvasElementScene &scene)
{
    // Such as a board just imported, or another one chosen.
    const bool otherBoard = m_isValid && scene.boardID != m_boardID;
    m_background.cancel();
    const QSize size = picturePixels().size();
    if (m_picture.size() == size && m_picture.devicePixelRatio() == m_pixelRatio) {
        m_picture.fill(Qt::transparent);
    } else {
        m_picture = blankImage(size);
    }
    m_painted = QRegion();
    m_boardID = scene.boardID;
    m_hiddenID = scene.hiddenID;
    m_grid = scene.grid;
    m_viewport = scene.viewport;
    m_pictureOrigin = centredOrigin();
    m_elements = *scene.elements;
    m_cache.trim(m_elements);
    const std::optional<BackgroundElementPaint::Result> ahead = std::exchange(m_paintedAhead, {});
    const std::optional<QRegion> placed =
        ahead && showsThisBoard(ahead->picture)
            ? placePieces(m_picture, seenFrom(m_viewport, pictureOrigin()), *ahead)
            : std::nullopt;
    if (placed) {
        m_painted = *placed;
        fillView(scene);
    } else if (otherBoard && m_sharpness != CanvasSharpness::now && !viewIsPrepared(scene)) {
        // As for a first paint, while the view shows the backdrop.
        m_isValid = false;
        prepareAhead(scene, m_viewSize, m_pixelRatio);
        return;
    } else {
        repaintPicture(scene, viewRect());
    }
    m_isValid = true;
}

void CanvasElementLayer::paintComposite(QImage &frame,
                                        const CanvasElementScene &scene,
                                        const QTransform &transform) const
{
    paintInBands(frame, poolThreadCount(), [&](QPainter &painter) {
        scene.paintBackdrop(painter);
        painter.setRenderHint(QPainter::SmoothPixmapTransform,
                              transform.type() > QTransform::TxTranslate);
        painter.setTransform(transform, true);
        painter.drawImage(pictureOrigin(), m_picture);
    });
}

QImage CanvasElementLayer::blankImage(QSize pixels) const
{
    QImage image(pixels, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(m_pixelRatio);
    image.fill(Qt::transparent);
    return image;
}

QRectF CanvasElementLayer::viewRect() const
{
    return QRectF(QPointF(0, 0), QSizeF(m_viewSize));
}

QPointF CanvasElementLayer::centredOrigin() const
{
    const double margin = m_marginPixels / m_pixelRatio;
    return {-margin, -margin};
}

QRect CanvasElementLayer::picturePixels() const
{
    const QSize view = m_viewSize * m_pixelRatio;
    return {0, 0, view.width() + 2 * m_marginPixels, view.height() + 2 * m_marginPixels};
}

QRect CanvasElementLayer::picturePixels(const QRectF &area) const
{
    const QRectF points = area.translated(-pictureOrigin());
    return QRectF(points.topLeft() * m_pixelRatio, points.size() * m_pixelRatio)
        .toAlignedRect()
        .intersected(picturePixels());
}

QRect CanvasElementLayer::viewPixels(const QRectF &viewArea) const
{
    const QRect view(QPoint(0, 0), m_viewSize * m_pixelRatio);
    return QRectF(viewArea.topLeft() * m_pixelRatio, viewArea.size() * m_pixelRatio)
        .toAlignedRect()
        .intersected(view);
}

QRectF CanvasElementLayer::viewArea(const QRect &pixels) const
{
    return viewArea(pixels, pictureOrigin());
}

QRectF CanvasElementLayer::viewArea(const QRect &pixels, QPointF origin) const
{
    return QRectF(QPointF(pixels.topLeft()) / m_pixelRatio + origin,
                  QSizeF(pixels.size()) / m_pixelRatio);
}

void CanvasElementLayer::repaintPicture(const CanvasElementScene &scene, const QRectF &viewArea)
{
    std::vector<std::size_t> all(scene.elements->size());
    std::iota(all.begin(), all.end(), std::size_t(0));
    paintIndices(m_picture, pictureOrigin(), scene, viewArea, all, true, true);
    m_painted |= picturePixels(viewArea);
}

void CanvasElementLayer::paintIndices(QImage &image,
                                      QPointF origin,
                                      const CanvasElementScene &scene,
                                      const QRectF &viewArea,
                                      const std::vector<std::size_t> &indices,
                                      bool clearFirst,
                                      bool withGrid)
{
    const WhiteboardViewport &viewport = scene.viewport;
    const RectF sceneArea = viewport.toScene(toRectF(viewArea));
    const std::vector<ElementPtr> &elements = *scene.elements;
    std::vector<ElementToPrepare> visible;
    for (const std::size_t i : indices) {
        if (reaches(m_bounds.bounds(i), sceneArea)
            && !(scene.hiddenID && elements[i]->id == *scene.hiddenID)) {
            visible.push_back({elements[i], m_bounds.bounds(i), nullptr});
        }
    }
    const double scale = viewport.scale;
    const ChunkPainting how{
        scale,
        poolThreadCount(),
        nullptr,
        [&](const ElementToPrepare &element) { return m_cache.find(element.element, scale); },
        [&](const ElementToPrepare &element, const PaintedElementPtr &painted) {
            return m_cache.keep(element.element, scale, painted);
        }};
    const bool alongside = m_background.isBusy();
    paintInChunks(visible, how, [&](const std::vector<ElementToPaint> &toPaint, bool first) {
        paintElementsInBands(image,
                             viewArea.translated(-origin),
                             toPaint,
                             {seenFrom(viewport, origin),
                              clearFirst && first,
                              poolThreadCount(),
                              nullptr,
                              withGrid && first ? scene.grid : BoardGridLines::none,
                              alongside});
    });
}

} // namespace zentrel
