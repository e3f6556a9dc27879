#include "whiteboard/canvas/element_layer/canvas_element_layer.h"

#include "app/image_difference.h"
#include "whiteboard/render/element_render_plan.h"

#include <QImage>
#include <QPainter>
#include <QThreadPool>

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <limits>

namespace zentrel {
namespace {

// Rough rectangles far beyond a 240 × 160 view on every side, so zooming out uncovers many.
std::vector<ElementPtr> wideBoard(int count = 400, int columns = 20)
{
    std::vector<ElementPtr> elements;
    for (int i = 0; i < count; ++i) {
        WhiteboardElement element;
        element.id.bytes[0] = std::uint8_t(i % 250 + 1);
        element.id.bytes[1] = std::uint8_t(i / 250);
        element.kind = WhiteboardElementKind::rectangle;
        element.setFrame({-600.0 + (i % columns) * 70, -500.0 + (i / columns) * 60, 40, 30});
        element.style.strokeColor = "#202020";
        element.style.strokeWidth = 2;
        element.style.roughness = 2;
        elements.push_back(makeElement(std::move(element)));
    }
    return elements;
}

// Paints `elements` zoomed to `scale` about the middle of `frame`.
void paintZoomed(CanvasElementLayer &layer,
                 QImage &frame,
                 const std::vector<ElementPtr> &elements,
                 double scale,
                 CanvasSharpness sharpness)
{
    const QPointF middle = QRectF(frame.rect()).center();
    const CanvasElementScene scene{{},
                                   &elements,
                                   {scale, {middle.x() * (1 - scale), middle.y() * (1 - scale)}},
                                   std::nullopt,
                                   false,
                                   BoardGridLines::none,
                                   [](QPainter &painter) {
                                       painter.fillRect(painter.window(), Qt::white);
                                   }};
    layer.paint(frame, scene, frame.size(), sharpness);
}

struct ZoomingLayer : testing::Test
{
    std::atomic<int> ready{0};
    CanvasElementLayer layer{[this] {
        ++ready;
    }};
    std::vector<ElementPtr> elements = wideBoard();
    QImage frame{QSize(240, 160), QImage::Format_RGB32};

    void paint(double scale, CanvasSharpness sharpness)
    {
        paintZoomed(layer, frame, elements, scale, sharpness);
    }
};

// A sharp picture finished between zoom steps waits for the next one rather than costing a
// frame of its own; a rescaled frame shown once the zoom rests always gets its sharp repaint.
TEST_F(ZoomingLayer, PicturesDoneDuringZoomStepsWaitAndTheRestingFrameIsSharpened)
{
    paint(1, CanvasSharpness::now);
    paint(0.25, CanvasSharpness::whenUncovered); // uncovers most of the view: begun at once
    EXPECT_TRUE(layer.isStale());
    QThreadPool::globalInstance()->waitForDone();
    EXPECT_EQ(ready, 0);

    paint(0.25, CanvasSharpness::soon);
    EXPECT_FALSE(layer.isStale());
    EXPECT_EQ(ready, 0);

    paint(0.06, CanvasSharpness::whenUncovered);
    paint(0.06, CanvasSharpness::soon);
    const bool restingFrameWasStale = layer.isStale();
    QThreadPool::globalInstance()->waitForDone();
    EXPECT_EQ(ready, restingFrameWasStale ? 1 : 0);
    paint(0.06, CanvasSharpness::soon);
    EXPECT_FALSE(layer.isStale());
}

// Wheel notches out over a board of far more outlines than the layer may keep, and as many back:
// at every step it keeps within its budget, sharp pictures painted in the background included,
// and paints what a layer that keeps everything paints; back where it began, it holds about what
// it held there at first.
TEST(BudgetedElementLayer, ZoomsOutAndBackWithinItsBudgetPaintingTheSame)
{
    constexpr std::size_t budget = std::size_t(1) << 20;
    const std::vector<ElementPtr> elements = wideBoard(2000, 50);
    CanvasElementLayer budgeted([] {}, budget);
    CanvasElementLayer everything([] {}, std::numeric_limits<std::size_t>::max());
    QImage frame(QSize(240, 160), QImage::Format_RGB32);
    QImage expected = frame;
    std::vector<int> notches;
    for (int notch = 0; notch <= 12; ++notch) {
        notches.push_back(notch);
    }
    notches.insert(notches.end(), notches.rbegin() + 1, notches.rend());
    std::size_t atFirst = 0;
    for (const int notch : notches) {
        const double scale = std::exp(-0.24 * notch);
        paintZoomed(budgeted, frame, elements, scale, CanvasSharpness::whenUncovered);
        QThreadPool::globalInstance()->waitForDone();
        paintZoomed(budgeted, frame, elements, scale, CanvasSharpness::now);
        EXPECT_LE(budgeted.keptBytes(), budget) << "at notch " << notch;
        paintZoomed(everything, expected, elements, scale, CanvasSharpness::now);
        EXPECT_EQ(largestDifference(frame, expected), 0) << "at notch " << notch;
        atFirst = atFirst == 0 ? budgeted.keptBytes() : atFirst;
    }
    EXPECT_GT(everything.keptBytes(), 8 * budget);
    budgeted.letGoFarOff(); // as the view does once zooms pause
    EXPECT_LE(budgeted.keptBytes(), atFirst + budget / 8);
}

} // namespace
} // namespace zentrel
