// What the element layer paints on pool threads while the view goes on: sharp pictures after
// zoom steps, and the margins that pans have used.
#include "common/pool_parallel_work.h"
#include "common/qt_path.h"
#include "whiteboard/canvas/element_layer/canvas_element_layer.h"
#include "whiteboard/canvas/element_layer/element_band_painting.h"

#include <QTransform>

#include <algorithm>

namespace zentrel {

namespace {

// Zooming out beyond this share of the view uncovered starts a sharp picture at once.
constexpr double uncoveredShareLimit = 0.2;

} // namespace

// What was painted in the background is shown when it shows the board as it is: a picture at
// another scale whole, pieces at this scale wherever pans since have carried them.
void CanvasElementLayer::adoptBackgroundPicture()
{
    std::optional<BackgroundElementPaint::Result> result = m_background.take();
    if (!result) {
        return;
    }
    const ElementPicture &picture = result->picture;
    m_cache.adopt(std::move(result->prepared), picture.viewport.scale);
    if (!m_isValid) {
        m_paintedAhead = std::move(result);
    } else if (!m_split && showsThisBoard(picture)) {
        adoptPieces(*result);
    }
}

bool CanvasElementLayer::showsThisBoard(const ElementPicture &picture) const
{
    return picture.boardID == m_boardID && picture.hiddenID == m_hiddenID && picture.grid == m_grid
           && picture.pixelSize == picturePixels().size() && picture.pixelRatio == m_pixelRatio
           && picture.elements == m_elements;
}

void CanvasElementLayer::adoptPieces(const BackgroundElementPaint::Result &result)
{
    const WhiteboardViewport &painted = result.picture.viewport;
    const QRect whole = picturePixels();
    if (painted.scale != m_viewport.scale) {
        if (result.pieces.size() == 1 && result.pieces.front().area == whole) {
            m_picture = result.pieces.front().image;
            m_pictureOrigin = centredOrigin();
            m_viewport = seenFrom(painted, -m_pictureOrigin);
            m_painted = QRegion(whole);
        }
        return;
    }
    if (const std::optional<QRegion> placed =
            placePieces(m_picture, seenFrom(m_viewport, pictureOrigin()), result)) {
        m_painted |= *placed;
    }
}

// A zoom step repaints every element in view, more than a pointer event leaves time for; the
// last sharp picture, rescaled, stands in while a sharp one is painted in the background. What
// it no longer covers shows the backdrop meanwhile. A pan is scrolled or painted at once, unless
// a sharp picture is on its way anyway.
bool CanvasElementLayer::paintRescaled(QImage &frame,
                                       const CanvasElementScene &scene,
                                       CanvasSharpness sharpness)
{
    if (m_split || scene.viewport == m_viewport || *scene.elements != m_elements) {
        return false;
    }
    const ElementPicture *pending = m_background.picture();
    const bool zooming = pending && pending->viewport.scale != m_viewport.scale;
    if (scene.viewport.scale == m_viewport.scale && !zooming) {
        return false;
    }
    const double k = scene.viewport.scale / m_viewport.scale;
    const QTransform rescale =
        QTransform()
            .translate(scene.viewport.translation.x, scene.viewport.translation.y)
            .scale(k, k)
            .translate(-m_viewport.translation.x, -m_viewport.translation.y);
    paintComposite(frame, scene, rescale);
    m_isStale = true;
    // Margins at the old scale are of no more use; a sharp picture for a viewport the view has
    // left is, as it is nearer than the one the view has.
    if (pending && !zooming) {
        m_background.cancel();
    }
    const QRectF view = viewRect();
    const QRectF covered = rescale.mapRect(viewArea(picturePixels())).intersected(view);
    const bool uncovered = covered.width() * covered.height()
                           < (1 - uncoveredShareLimit) * view.width() * view.height();
    const bool rests = sharpness == CanvasSharpness::soon;
    if (m_background.isBusy()) {
        if (rests) {
            m_background.tellWhenDone();
        }
    } else if (rests || uncovered) {
        // While zoom steps go on, their frames come first, and a picture done meanwhile waits
        // for the next step rather than costing a frame of its own.
        const int threads = rests ? poolThreadCount() / 2 : poolThreadCount() / 4;
        paintInBackground(
            scene, scene.viewport, centredOrigin(), QRegion(picturePixels()), {threads, rests});
    }
    return true;
}

void CanvasElementLayer::paintInBackground(const CanvasElementScene &scene,
                                           const WhiteboardViewport &viewport,
                                           QPointF origin,
                                           const QRegion &areas,
                                           const BackgroundElementPaint::Urgency &urgency)
{
    std::vector<RectF> sceneAreas;
    for (const QRect &area : areas) {
        sceneAreas.push_back(viewport.toScene(toRectF(viewArea(area, origin))));
    }
    const std::vector<ElementPtr> &elements = *scene.elements;
    std::vector<BackgroundElementPaint::Element> reaching;
    for (std::size_t i = 0; i < elements.size(); ++i) {
        const RectF &bounds = m_bounds.bounds(i);
        if (std::any_of(sceneAreas.begin(),
                        sceneAreas.end(),
                        [&bounds](const RectF &area) { return reaches(bounds, area); })
            && !(scene.hiddenID && elements[i]->id == *scene.hiddenID)) {
            reaching.push_back({elements[i], bounds, m_cache.kept(elements[i], viewport.scale)});
        }
    }
    // Elements a few pixels across take only the room the cache has free: a zoomed-out view of
    // many of them hands back no more than that.
    BackgroundElementPaint::Urgency handingBack = urgency;
    handingBack.handedBackBytes = m_cache.budget();
    handingBack.handedBackSmallBytes =
        m_cache.budget() - std::min(m_cache.bytes(), m_cache.budget());
    m_background.start({scene.boardID,
                        elements,
                        seenFrom(viewport, origin),
                        scene.hiddenID,
                        scene.grid,
                        picturePixels().size(),
                        m_pixelRatio},
                       {areas.begin(), areas.end()},
                       std::move(reaching),
                       handingBack);
}

// Margins that a scroll uncovered, or a drag may have reached, are painted on pool threads.
void CanvasElementLayer::refillMargins(const CanvasElementScene &scene)
{
    if (m_split || m_background.isBusy()) {
        return;
    }
    const QRegion missing = QRegion(picturePixels()) - m_painted;
    if (missing.isEmpty()) {
        return;
    }
    // Margins show only when a pan reaches them, which paints anyway; pans go on meanwhile.
    paintInBackground(scene, m_viewport, pictureOrigin(), missing, {poolThreadCount() / 4, false});
}

} // namespace zentrel
