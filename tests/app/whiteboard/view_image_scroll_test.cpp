#include "whiteboard/canvas/element_layer/view_image_scroll.h"

#include "whiteboard/canvas/element_layer/element_paint_cache.h"

#include <QImage>

#include <gtest/gtest.h>

#include <vector>

using namespace zentrel;

namespace {

QRgb original(int x, int y)
{
    return qRgba(x * 10, y * 20, 128, 255);
}

QImage numbered(QSize pixels, qreal ratio)
{
    QImage image(pixels, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(ratio);
    for (int y = 0; y < pixels.height(); ++y) {
        for (int x = 0; x < pixels.width(); ++x) {
            image.setPixel(x, y, original(x, y));
        }
    }
    return image;
}

TEST(ViewImageScroll, MovesThePictureInPlaceAndClearsWhatItUncovers)
{
    const QSize view(20, 10);
    for (const QPoint shift : {QPoint(3, 2),
                               QPoint(-3, 2),
                               QPoint(3, -2),
                               QPoint(-3, -2),
                               QPoint(0, 4),
                               QPoint(-5, 0)}) {
        QImage image = numbered(view, 1);
        const uchar *bits = image.constBits();
        const std::vector<QRectF> strips = scrollViewImage(image, view, shift.x(), shift.y());
        EXPECT_EQ(image.constBits(), bits) << "a pan step made a new image";
        for (int y = 0; y < view.height(); ++y) {
            for (int x = 0; x < view.width(); ++x) {
                const QPoint from = QPoint(x, y) - shift;
                const bool kept = QRect(QPoint(0, 0), view).contains(from);
                ASSERT_EQ(image.pixel(x, y), kept ? original(from.x(), from.y()) : 0U)
                    << "at " << x << "," << y << " after " << shift.x() << "," << shift.y();
                bool inStrip = false;
                for (const QRectF &strip : strips) {
                    inStrip = inStrip || strip.contains(QPointF(x + 0.5, y + 0.5));
                }
                EXPECT_EQ(inStrip, !kept);
            }
        }
    }
}

TEST(ViewImageScroll, MovesByDevicePixelsOnADenseScreen)
{
    const QSize view(10, 5);
    QImage image = numbered(view * 2, 2);
    scrollViewImage(image, view, 1.5, -0.5);
    EXPECT_EQ(image.pixel(3, 0), original(0, 1));
    EXPECT_EQ(image.pixel(2, 0), 0U);
    EXPECT_EQ(image.pixel(19, 8), original(16, 9));
    EXPECT_EQ(image.pixel(19, 9), 0U);
}

std::vector<ElementPtr> rectangles(int count, double x)
{
    std::vector<ElementPtr> elements;
    for (int i = 0; i < count; ++i) {
        WhiteboardElement element;
        element.id = Uuid::generate([i] { return std::uint64_t(i + 1); });
        element.kind = WhiteboardElementKind::rectangle;
        element.setFrame({x, i * 10.0, 8, 8});
        elements.push_back(makeElement(std::move(element)));
    }
    return elements;
}

TEST(ElementPaintCache, KeepsFewElementsThatLeftEvenALargeBoard)
{
    ElementPaintCache cache;
    constexpr int boardSize = 5000;
    // Every element of the board edited in turn, the cache trimmed as a repaint does.
    for (int edit = 0; edit < 4; ++edit) {
        const std::vector<ElementPtr> board = rectangles(boardSize, edit * 100.0);
        cache.prepare(board, 1);
        cache.trim(board);
    }
    EXPECT_LT(cache.size(), std::size_t(boardSize) + 1100);
}

// Past its budget the cache lets go of what was used longest ago; an element that covers a few
// pixels takes only room that nothing else needs.
TEST(ElementPaintCache, KeepsWithinItsBudgetAndSmallElementsPushNothingOut)
{
    const std::vector<ElementPtr> board = rectangles(400, 0);
    ElementPaintCache sizing;
    sizing.prepare({board[0]}, 1);
    ElementPaintCache cache(sizing.bytes() * 50);
    cache.prepare({board.begin(), board.begin() + 200}, 1);
    EXPECT_LE(cache.bytes(), cache.budget());
    EXPECT_FALSE(cache.kept(board[0], 1));
    cache.prepare({board.begin() + 200, board.end()}, 0.1); // a few pixels across at this zoom
    EXPECT_LE(cache.bytes(), cache.budget());
    for (std::size_t i = 190; i < 200; ++i) {
        EXPECT_TRUE(cache.kept(board[i], 1)) << i;
    }
}

// Pictures painted on pool threads hand back what they prepared; only what the cache lacks, or
// holds for another zoom, is taken.
TEST(ElementPaintCache, AdoptsWhatItLacksAtTheZoomItWasPreparedFor)
{
    ElementPaintCache cache;
    std::vector<ElementPtr> board = rectangles(2, 0);
    WhiteboardElement placeholder;
    placeholder.id.bytes[0] = 99;
    placeholder.kind = WhiteboardElementKind::unsupported;
    placeholder.setFrame({0, 0, 40, 30});
    board.push_back(makeElement(std::move(placeholder)));
    cache.prepare({board[0], board[2]}, 1);
    const PaintedElementPtr kept = cache.kept(board[0], 1);
    ASSERT_TRUE(kept);
    EXPECT_FALSE(cache.kept(board[1], 1));

    const std::vector<PaintedElementPtr> prepared = preparedElements(board, 2, 1);
    cache.adopt({{board[0], prepared[0]}, {board[1], prepared[1]}, {board[2], prepared[2]}}, 2);
    EXPECT_EQ(cache.kept(board[0], 2), kept); // the same at any zoom
    EXPECT_EQ(cache.kept(board[1], 1), prepared[1]);
    EXPECT_EQ(cache.kept(board[2], 2), prepared[2]); // a placeholder keeps its size on screen
    EXPECT_FALSE(cache.kept(board[2], 1));
}

// A line through far more points than pixels is painted thinned for its zoom: it is prepared
// again only once the zoom doubles, and moved rather than prepared again while dragged.
TEST(ElementPaintCache, PreparesALongLineAgainOnlyForAnotherDoublingOfTheZoom)
{
    WhiteboardElement line;
    line.id.bytes[0] = 7;
    line.kind = WhiteboardElementKind::line;
    for (int i = 0; i < 10'000; ++i) {
        line.points.push_back({i * 0.01, (i % 50) * 0.01});
    }
    line.setFrame({0, 0, line.points.back().x, line.points.back().y});
    const ElementPtr element = makeElement(line);
    ElementPaintCache cache;
    cache.prepare({element}, 1);
    const PaintedElementPtr atOne = cache.kept(element, 1);
    ASSERT_TRUE(atOne);
    EXPECT_EQ(cache.kept(element, 0.75), atOne);
    EXPECT_FALSE(cache.kept(element, 1.5));
    cache.prepare({element}, 1.5);
    EXPECT_NE(cache.kept(element, 2), atOne);

    WhiteboardElement moved = line;
    moved.translate(5, 5);
    const ElementPtr movedElement = makeElement(moved);
    EXPECT_TRUE(cache.find(movedElement, 1.9));
    EXPECT_FALSE(cache.find(movedElement, 2.5));
}

} // namespace
