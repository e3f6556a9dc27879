#include "whiteboard/editor/commands/whiteboard_viewport.h"

#include <algorithm>
#include <cmath>

namespace zentrel {
namespace {

// Keeps a bounded view's offset where the image still covers the whole view: per axis within
// [min(size × (1 − scale), 0), 0].
double clampedOffset(double offset, double sceneExtent, double scale)
{
    const double lowest = std::min(sceneExtent * (1 - scale), 0.0);
    return std::clamp(offset, lowest, 0.0);
}

WhiteboardViewport boundedIfNeeded(const WhiteboardEditorModel &model, WhiteboardViewport viewport)
{
    if (model.isViewportBounded()) {
        const SizeF scene = model.sceneSize();
        viewport.translation.x = clampedOffset(viewport.translation.x, scene.width, viewport.scale);
        viewport.translation.y =
            clampedOffset(viewport.translation.y, scene.height, viewport.scale);
    }
    return viewport;
}

} // namespace

double minimumViewportScale(const WhiteboardEditorModel &model)
{
    return model.isViewportBounded() ? boundedMinimumScale : whiteboardMinimumScale;
}

void panBy(WhiteboardEditorModel &model, double dx, double dy)
{
    // A bad delta from an input device must not poison the stored offset.
    if (!std::isfinite(dx) || !std::isfinite(dy)) {
        return;
    }
    WhiteboardViewport viewport = sanitizedViewport(model.currentBoard().viewport);
    viewport.translation.x += dx;
    viewport.translation.y += dy;
    model.setViewport(boundedIfNeeded(model, viewport));
}

void zoom(WhiteboardEditorModel &model, double factor, PointF anchor)
{
    if (!std::isfinite(factor) || !std::isfinite(anchor.x) || !std::isfinite(anchor.y)) {
        return;
    }
    const WhiteboardViewport current = sanitizedViewport(model.currentBoard().viewport);
    const double minimum = minimumViewportScale(model);
    const double wanted = factor * current.scale;
    const double scale = wanted <= minimum ? minimum : std::min(wanted, whiteboardMaximumScale);
    // The scene point under the anchor is found with the old scale and placed with the clamped
    // one, so it stays under the anchor also at the limits.
    const PointF anchored = current.toScene(anchor);
    WhiteboardViewport viewport = current;
    viewport.scale = scale;
    viewport.translation.x = anchor.x - anchored.x * scale;
    viewport.translation.y = anchor.y - anchored.y * scale;
    model.setViewport(boundedIfNeeded(model, viewport));
}

std::int64_t zoomPercentage(double scale)
{
    return std::llround(sanitizedViewport(WhiteboardViewport{scale, {}}).scale * 100);
}

} // namespace zentrel
