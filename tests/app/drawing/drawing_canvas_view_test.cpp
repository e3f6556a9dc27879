#include "drawing/drawing_canvas_view.h"

#include <QApplication>
#include <QMouseEvent>

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
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

// A 1280 × 720 screen at 150 %, which Qt gives as 853 × 480 points: the picture's strokes lie
// where the screen showed them, at one and a half pixels a point.
TEST_F(DrawingCanvasViewTest, PictureKeepsStrokesWhereTheScreenShowedThemAtAFractionalScale)
{
    view.resize(853, 480);
    drag({{800, 100}, {800, 200}, {800, 300}});
    QImage screen(1280, 720, QImage::Format_RGB32);
    screen.fill(Qt::white);
    screen.setDevicePixelRatio(1.5);
    const std::optional<QByteArray> png = view.renderPNG(screen);
    ASSERT_TRUE(png);
    const QImage picture = QImage::fromData(*png, "PNG");
    ASSERT_EQ(picture.size(), QSize(1280, 720));
    // Six points wide about x = 800 points: pixels 1195.5 to 1204.5, each edge pixel half inked.
    const int left = qGray(picture.pixel(1195, 200));
    const int right = qGray(picture.pixel(1204, 200));
    EXPECT_LE(std::abs(left - right), 16) << "edges " << left << " and " << right;
    EXPECT_LT(qGray(picture.pixel(1200, 200)), 64);
    EXPECT_EQ(picture.pixel(1279, 600), picture.pixel(0, 600)) << "the tint ends short";
}

} // namespace
