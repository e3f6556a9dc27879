#include "shell/window_fit.h"

#include "shell/active_screen.h"

#include <algorithm>
#include <cmath>

namespace zentrel {
namespace {

// As far from the corner as a launcher keeps from a screen's edges.
constexpr double cornerMargin = 16;

double fittedExtent(double preferred, double minimum, double areaRoom, double screenRoom)
{
    const double least = std::min(minimum, std::floor(screenRoom));
    return std::max({0.0, std::min(preferred, std::floor(areaRoom)), least});
}

} // namespace

WindowFit fitWindow(const RectF &area,
                    const RectF &screen,
                    const WindowSizes &sizes,
                    const FrameMargins &margins,
                    WindowPlace place)
{
    const double frameWidth = margins.left + margins.right;
    const double frameHeight = margins.top + margins.bottom;
    const SizeF size{fittedExtent(sizes.preferred.width,
                                  sizes.minimum.width,
                                  area.width - frameWidth,
                                  screen.width - frameWidth),
                     fittedExtent(sizes.preferred.height,
                                  sizes.minimum.height,
                                  area.height - frameHeight,
                                  screen.height - frameHeight)};
    const SizeF framed{size.width + frameWidth, size.height + frameHeight};
    const RectF placed = place == WindowPlace::middle
                             ? centeredWindowFrame(area, framed)
                             : cornerWindowFrame(area, framed, cornerMargin);
    return {
        movedInside(placed, screen),
        size,
        {std::min(sizes.minimum.width, size.width), std::min(sizes.minimum.height, size.height)}};
}

WindowFit droppedWindowFit(const RectF &area,
                           const RectF &screen,
                           const WindowSizes &sizes,
                           const FrameMargins &margins,
                           const RectF &dropped,
                           PointF pointer)
{
    WindowFit fit = fitWindow(area, screen, sizes, margins, WindowPlace::middle);
    const PointF held = dropped.contains(pointer) ? pointer : PointF{dropped.x, dropped.y};
    const SizeF framed{fit.frame.width, fit.frame.height};
    fit.frame = movedInside(movedInside(resizedAbout(dropped, held, framed), area), screen);
    return fit;
}

} // namespace zentrel
