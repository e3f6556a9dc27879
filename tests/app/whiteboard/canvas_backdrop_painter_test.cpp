#include "whiteboard/canvas/canvas_backdrop_painter.h"

#include "app/image_difference.h"

#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

namespace zentrel {
namespace {

// The backdrop's paper is painted in bands, each with the texture around it: no seam may show
// where they meet, on white or black, at any pixel ratio.
TEST(CanvasBackdropPainter, PaperInBandsLooksAsPaintedInOneGo)
{
    for (const bool black : {false, true}) {
        for (const qreal ratio : {1.0, 1.5}) {
            WhiteboardBoard board;
            board.background =
                black ? WhiteboardBackground::black() : WhiteboardBackground::white();
            const QSize view(1000, 330);
            CanvasBackdropPainter backdrop;
            backdrop.prepare(board, {}, view, ratio);
            QImage banded(view * ratio, QImage::Format_RGB32);
            banded.setDevicePixelRatio(ratio);
            QPainter onBanded(&banded);
            backdrop.paint(onBanded);
            onBanded.end();

            QImage inOneGo(view * ratio, QImage::Format_RGB32);
            inOneGo.setDevicePixelRatio(ratio);
            inOneGo.fill(black ? Qt::black : Qt::white);
            QPainter painter(&inOneGo);
            paintPaperTexture(
                painter, paperTexture({0, 0, double(view.width()), double(view.height())}, black));
            painter.end();
            // A stroke or dot cut at a band's edge by rounding alone may differ by one level; one
            // left out of a band would differ by five or more.
            EXPECT_LE(largestDifference(banded, inOneGo), 1)
                << (black ? "black" : "white") << " at " << ratio;
        }
    }
}

} // namespace
} // namespace zentrel
