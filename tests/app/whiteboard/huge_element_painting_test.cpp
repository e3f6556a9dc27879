#include "whiteboard/canvas/element_layer/painted_element.h"

#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

namespace zentrel {
namespace {

// A black hachure square of `side` points at the origin, smooth.
WhiteboardElement hatchedSquare(double side)
{
    WhiteboardElement element;
    element.kind = WhiteboardElementKind::rectangle;
    element.setFrame({0, 0, side, side});
    element.style.fillColor = "#000000";
    element.style.fillStyle = WhiteboardFillStyle::hachure;
    return element;
}

// A 400 × 300 view of the element at `zoom`, its top left corner at `corner` of the scene; with
// `clipped`, the painter's clip is the view, as the canvas sets it.
QImage viewOf(const PaintedElement &painted, PointF corner, double zoom, bool clipped)
{
    QImage image(400, 300, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    if (clipped) {
        painter.setClipRect(image.rect());
    }
    painter.scale(zoom, zoom);
    painter.translate(-corner.x, -corner.y);
    paintElement(painter, painted);
    return image;
}

// How many separate dark runs row `y` crosses.
int darkRuns(const QImage &image, int y)
{
    int runs = 0;
    bool inRun = false;
    for (int x = 0; x < image.width(); ++x) {
        const bool dark = qGray(image.pixel(x, y)) < 160;
        runs += dark && !inRun ? 1 : 0;
        inRun = dark;
    }
    return runs;
}

TEST(HugeElementPainting, AViewOfAHugeHatchShowsItsLinesAtTheNormalGap)
{
    const PaintedElement huge = paintedElement(hatchedSquare(1e9), 1);
    const PaintedElement small = paintedElement(hatchedSquare(600), 1);
    for (const bool clipped : {true, false}) {
        // Deep inside the huge square, and inside the small one: a line every 8 points.
        const QImage inside = viewOf(huge, {5e8, 5e8}, 1, clipped);
        EXPECT_NEAR(darkRuns(inside, 150), 400 / 8, 2) << clipped;
        EXPECT_EQ(darkRuns(inside, 150), darkRuns(viewOf(small, {100, 100}, 1, clipped), 150));
        // Zoomed in, fewer and wider lines, still 8 points apart.
        EXPECT_NEAR(darkRuns(viewOf(huge, {5e8, 5e8}, 4, clipped), 150), 400 / 32, 1);
    }
    // Past its edge there is nothing.
    EXPECT_EQ(darkRuns(viewOf(huge, {-1000, -1000}, 1, true), 150), 0);
}

} // namespace
} // namespace zentrel
