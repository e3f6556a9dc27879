#include "whiteboard/canvas/canvas_backdrop.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>

namespace zentrel {

namespace {

constexpr double strokeRowSpacing = 18;
constexpr double strokeColumnSpacing = 72;
constexpr double dotSpacing = 23;
constexpr double gridSpacing = 40;

std::int64_t truncatedIndex(double value, double spacing)
{
    return static_cast<std::int64_t>(std::trunc(value / spacing));
}

} // namespace

PaperTexture paperTexture(RectF viewBounds, bool blackBackground)
{
    PaperTexture texture;
    texture.strokeColor = blackBackground ? Color{1, 1, 1, 0.022} : Color{0, 0, 0, 0.025};
    texture.dotColor = blackBackground ? Color{1, 1, 1, 0.035} : Color{0, 0, 0, 0.04};
    const double maxX = viewBounds.x + viewBounds.width;
    const double maxY = viewBounds.y + viewBounds.height;

    for (std::int64_t i = truncatedIndex(viewBounds.y, strokeRowSpacing);
         static_cast<double>(i) * strokeRowSpacing <= maxY;
         ++i) {
        const double y = static_cast<double>(i) * strokeRowSpacing;
        const std::int64_t firstX = truncatedIndex(viewBounds.x, strokeColumnSpacing)
                                        * static_cast<std::int64_t>(strokeColumnSpacing)
                                    - static_cast<std::int64_t>(strokeColumnSpacing)
                                    + std::llabs(17 * i) % 13;
        for (std::int64_t x = firstX; static_cast<double>(x) <= maxX;
             x += static_cast<std::int64_t>(strokeColumnSpacing)) {
            const double length = static_cast<double>(std::llabs(11 * i + x) % 31 + 18);
            // The remainder keeps the sign of the row, so rows above the origin tilt the other way.
            const double rise = static_cast<double>(i % 3 - 1);
            texture.strokes.moveTo({static_cast<double>(x), y});
            texture.strokes.lineTo({static_cast<double>(x) + length, y + rise});
        }
    }

    for (std::int64_t j = truncatedIndex(viewBounds.y, dotSpacing);
         static_cast<double>(j) * dotSpacing <= maxY;
         ++j) {
        for (std::int64_t k = truncatedIndex(viewBounds.x, dotSpacing);
             static_cast<double>(k) * dotSpacing <= maxX;
             ++k) {
            const double diameter = ((j + k) & 3) == 0 ? 0.9 : 0.55;
            texture.dots.push_back({static_cast<double>(k) * dotSpacing
                                        + static_cast<double>(std::llabs(13 * k + 7 * j) % 9),
                                    static_cast<double>(j) * dotSpacing
                                        + static_cast<double>(std::llabs(5 * k + 19 * j) % 8),
                                    diameter,
                                    diameter});
        }
    }
    return texture;
}

BoardGrid boardGrid(RectF viewBounds, const WhiteboardViewport &viewport, bool blackBackground)
{
    BoardGrid grid;
    grid.color = blackBackground ? Color{1, 1, 1, 0.12} : Color{0, 0, 0, 0.1};
    grid.lineWidth = 0.5 / viewport.scale;
    const RectF scene = viewport.toScene(viewBounds);
    const double maxX = scene.x + scene.width;
    const double maxY = scene.y + scene.height;
    for (double x = std::trunc(scene.x / gridSpacing) * gridSpacing; x <= maxX; x += gridSpacing) {
        grid.lines.moveTo({x, scene.y});
        grid.lines.lineTo({x, maxY});
    }
    for (double y = std::trunc(scene.y / gridSpacing) * gridSpacing; y <= maxY; y += gridSpacing) {
        grid.lines.moveTo({scene.x, y});
        grid.lines.lineTo({maxX, y});
    }
    return grid;
}

std::optional<RectF> frozenScreenArea(SizeF sceneSize)
{
    if (sceneSize.width == 0 && sceneSize.height == 0) {
        return RectF{0, 0, 1, 1};
    }
    // Written so that a NaN side fails too.
    if (!(sceneSize.width > 0) || !(sceneSize.height > 0)) {
        return std::nullopt;
    }
    return RectF{0, 0, sceneSize.width, sceneSize.height};
}

} // namespace zentrel
