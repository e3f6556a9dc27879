#include "drawing/drawing_canvas_view.h"

#include <QApplication>
#include <QMouseEvent>

#include <gtest/gtest.h>

#include <vector>

using namespace zentrel;

namespace {

// The canvas over a white screen, drawing black lines 6 points wide.
class DrawingCanvasViewTest : public testing::Test
{
protected:
    DrawingCanvasViewTest()
    {
        view.resize(200, 150);
        QImage white(view.size(), QImage::Format_RGB32);
        white.fill(Qt::white);
        view.setBackground(white);
        view.model().setDrawingColor({0, 0, 0, 1});
        view.model().setLineWidth(6);
        // Shown, so grabs paint from the cached layer as the screen does.
        view.show();
    }

    void send(QEvent::Type type, QPoint at, Qt::MouseButtons buttons)
    {
        QMouseEvent event(type,
                          QPointF(at),
                          view.mapToGlobal(QPointF(at)),
                          Qt::LeftButton,
                          buttons,
                          Qt::NoModifier);
        QApplication::sendEvent(&view, &event);
    }

    void drag(const std::vector<QPoint> &points)
    {
        send(QEvent::MouseButtonPress, points.front(), Qt::LeftButton);
        for (const QPoint point : points) {
            send(QEvent::MouseMove, point, Qt::LeftButton);
        }
        send(QEvent::MouseButtonRelease, points.back(), Qt::NoButton);
    }

    bool isInkedAt(QPoint point) { return qGray(view.grab().toImage().pixel(point)) < 128; }

    DrawingCanvasView view;
};

TEST_F(DrawingCanvasViewTest, EraserDragTakesOnlyWhatItCrosses)
{
    drag({{20, 75}, {60, 75}, {100, 75}, {140, 75}, {180, 75}});
    ASSERT_TRUE(isInkedAt({100, 75}));

    view.model().setSelectedTool(DrawingTool::eraser);
    drag({{20, 20}, {100, 20}, {180, 20}});
    EXPECT_TRUE(isInkedAt({100, 75})) << "an eraser drag over nothing took the stroke";

    // Shown at once, while the eraser is still down.
    send(QEvent::MouseButtonPress, {100, 30}, Qt::LeftButton);
    send(QEvent::MouseMove, {100, 70}, Qt::LeftButton);
    EXPECT_FALSE(isInkedAt({100, 75})) << "the crossed stroke still shows";
    send(QEvent::MouseButtonRelease, {100, 70}, Qt::NoButton);
    EXPECT_TRUE(view.model().history().items.empty());
}

} // namespace
