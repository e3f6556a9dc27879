#include "whiteboard/canvas/element_layer/canvas_element_layer.h"

#include "whiteboard/render/element_render_plan.h"

#include <QImage>
#include <QPainter>
#include <QThreadPool>

#include <gtest/gtest.h>

#include <atomic>

namespace zentrel {
namespace {

// Rough rectangles far beyond a 240 × 160 view on every side, so zooming out uncovers many.
std::vector<ElementPtr> wideBoard()
{
    std::vector<ElementPtr> elements;
    for (int i = 0; i < 400; ++i) {
        WhiteboardElement element;
        element.id.bytes[0] = std::uint8_t(i % 250 + 1);
        element.id.bytes[1] = std::uint8_t(i / 250);
        element.kind = WhiteboardElementKind::rectangle;
        element.setFrame({-600.0 + (i % 20) * 70, -500.0 + (i / 20) * 60, 40, 30});
        element.style.strokeColor = "#202020";
        element.style.strokeWidth = 2;
        element.style.roughness = 2;
        elements.push_back(makeElement(std::move(element)));
    }
    return elements;
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
        const CanvasElementScene scene{{},
                                       &elements,
                                       {scale, {120 * (1 - scale), 80 * (1 - scale)}},
                                       std::nullopt,
                                       false,
                                       BoardGridLines::none,
                                       [](QPainter &painter) {
                                           painter.fillRect(painter.window(), Qt::white);
                                       }};
        layer.paint(frame, scene, frame.size(), sharpness);
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

} // namespace
} // namespace zentrel
