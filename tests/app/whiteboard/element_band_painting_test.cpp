#include "whiteboard/canvas/element_layer/element_band_painting.h"

#include "app/image_difference.h"
#include "whiteboard/canvas/element_layer/chunked_element_painting.h"
#include "whiteboard/canvas/element_layer/painted_element.h"
#include "whiteboard/render/element_render_plan.h"

#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace zentrel {
namespace {

// Rough shapes, lines and texts of every kind, many of them across the lines where an area of
// 400 × 1100 points is cut into bands.
std::vector<ElementPtr> mixedBoard()
{
    std::vector<ElementPtr> board;
    for (int i = 0; i < 120; ++i) {
        WhiteboardElement element;
        element.id.bytes[0] = std::uint8_t(i + 1);
        element.kind =
            allWhiteboardElementKinds[std::size_t(i) % (allWhiteboardElementKinds.size() - 1)];
        element.setFrame({(i % 6) * 64.0 + 4, (i / 6) * 55.0 + 3, 70, 90});
        element.rotation = i % 5 == 0 ? 0.3 : 0;
        element.style.strokeColor = "#1b1b1f";
        element.style.fillColor = i % 2 == 0 ? std::optional<std::string>("#a5d8ff") : std::nullopt;
        element.style.fillStyle = static_cast<WhiteboardFillStyle>(i % 3);
        element.style.strokeWidth = 2;
        element.style.roughness = 2;
        element.text = "Ab";
        element.points = {{element.x, element.y}, {element.x + 40, element.y + 80}};
        board.push_back(makeElement(std::move(element)));
    }
    // A text of many lines, kept in several areas, most of which each band leaves out.
    WhiteboardElement text;
    text.kind = WhiteboardElementKind::text;
    text.setFrame({10, 5, 300, 1000});
    text.fontSize = 8;
    text.lineHeight = 1.25;
    text.text = "";
    for (int line = 0; line < 100; ++line) {
        *text.text += "Ab cd " + std::to_string(line) + "\n";
    }
    board.push_back(makeElement(std::move(text)));
    return board;
}

std::vector<std::shared_ptr<const PaintedElement>> paintedBoard(std::vector<RectF> &bounds)
{
    std::vector<std::shared_ptr<const PaintedElement>> painted;
    for (const ElementPtr &element : mixedBoard()) {
        painted.push_back(std::make_shared<const PaintedElement>(paintedElement(*element, 1.5)));
        bounds.push_back(elementPaintBounds(*element, 1.5));
    }
    return painted;
}

QImage blank(QSize points, qreal ratio)
{
    QImage image(points * ratio, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::transparent);
    return image;
}

TEST(ElementBandPainting, PaintsWhatOnePainterPaintsInOneGo)
{
    std::vector<RectF> bounds;
    const auto painted = paintedBoard(bounds);
    WhiteboardViewport viewport{1.5, {-20, 13.25}};
    std::vector<ElementToPaint> elements;
    for (std::size_t i = 0; i < painted.size(); ++i) {
        elements.push_back({bounds[i], painted[i].get()});
    }
    for (const qreal ratio : {1.0, 2.0}) {
        for (const QSize size : {QSize(400, 1100), QSize(1100, 300)}) {
            QImage expected = blank(size, ratio);
            {
                QPainter painter(&expected);
                painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
                painter.translate(viewport.translation.x, viewport.translation.y);
                painter.scale(viewport.scale, viewport.scale);
                for (const auto &element : painted) {
                    paintElement(painter, *element);
                }
            }
            QImage banded = blank(size, ratio);
            banded.fill(Qt::red); // cleared first
            paintElementsInBands(
                banded, QRectF(QPointF(0, 0), QSizeF(size)), elements, {viewport, true, 8});
            EXPECT_EQ(largestDifference(banded, expected), 0) << "ratio " << ratio;
        }
    }
}

// Chunks painted one over the other, some elements kept and the rest prepared as they come, paint
// what one painting of every element does; what was prepared is handed on once.
TEST(ElementBandPainting, ChunksPaintWhatOnePaintingOfAllPaints)
{
    const std::vector<ElementPtr> board = mixedBoard();
    const WhiteboardViewport viewport{1.5, {-20, 13.25}};
    std::vector<ElementToPrepare> elements;
    std::vector<ElementToPaint> whole;
    std::vector<PaintedElementPtr> painted;
    for (std::size_t i = 0; i < board.size(); ++i) {
        const ElementPtr &element = board[i];
        painted.push_back(std::make_shared<const PaintedElement>(paintedElement(*element, 1.5)));
        elements.push_back({element, elementPaintBounds(*element, 1.5), nullptr});
        whole.push_back({elements.back().bounds, painted.back().get()});
    }
    const QSize size(400, 1100);
    QImage expected = blank(size, 1);
    paintElementsInBands(expected, QRectF(QPointF(0, 0), QSizeF(size)), whole, {viewport, true, 4});
    for (const std::size_t chunk : {1, 7, 50}) {
        std::size_t made = 0;
        const ChunkPainting how{1.5,
                                4,
                                nullptr,
                                [&](const ElementToPrepare &element) {
                                    const auto at = std::size_t(&element - elements.data());
                                    return at % 3 == 0 ? painted[at] : nullptr;
                                },
                                [&](const ElementToPrepare &, PaintedElementPtr prepared) {
                                    made += prepared ? 1 : 0;
                                    return false;
                                },
                                chunk};
        QImage chunked = blank(size, 1);
        chunked.fill(Qt::red); // cleared by the first chunk only
        paintInChunks(elements, how, [&](const std::vector<ElementToPaint> &toPaint, bool first) {
            paintElementsInBands(
                chunked, QRectF(QPointF(0, 0), QSizeF(size)), toPaint, {viewport, first, 4});
        });
        EXPECT_EQ(largestDifference(chunked, expected), 0) << chunk << " elements a chunk";
        EXPECT_EQ(made, board.size() - (board.size() + 2) / 3);
    }
}

TEST(ElementBandPainting, PaintsOnlyTheAreaAndStopsWhenCancelled)
{
    std::vector<RectF> bounds;
    const auto painted = paintedBoard(bounds);
    std::vector<ElementToPaint> elements;
    for (std::size_t i = 0; i < painted.size(); ++i) {
        elements.push_back({bounds[i], painted[i].get()});
    }
    QImage image = blank({400, 600}, 1);
    image.fill(Qt::red);
    const QRectF area(100, 50, 200, 300);
    paintElementsInBands(image, area, elements, {{}, true, 8});
    EXPECT_EQ(image.pixel(99, 200), QColor(Qt::red).rgba());
    EXPECT_EQ(image.pixel(300, 200), QColor(Qt::red).rgba());
    EXPECT_EQ(image.pixel(200, 49), QColor(Qt::red).rgba());
    EXPECT_NE(image.pixel(200, 200), QColor(Qt::red).rgba());

    const std::atomic<bool> cancelled{true};
    QImage untouched = blank({400, 600}, 1);
    paintElementsInBands(untouched, area, elements, {{}, false, 8, &cancelled});
    EXPECT_EQ(untouched, blank({400, 600}, 1));
}

TEST(ElementBandPainting, DrawsAPictureAsOnePainterDrawsItInOneGo)
{
    QImage picture(QSize(700, 500), QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x) {
            picture.setPixel(x, y, qRgba(x % 256, y % 256, (x * y) % 200, 40 + (x + y) % 200));
        }
    }
    for (const qreal ratio : {1.0, 2.0}) {
        picture.setDevicePixelRatio(ratio);
        for (const QTransform &transform :
             {QTransform::fromTranslate(13, -7), QTransform(0.73, 0, 0, 0.73, -21.5, 8.25)}) {
            QImage expected(QSize(600, 1100) * ratio, QImage::Format_RGB32);
            expected.setDevicePixelRatio(ratio);
            expected.fill(Qt::white);
            QImage banded = expected;
            {
                QPainter painter(&expected);
                painter.setRenderHint(QPainter::SmoothPixmapTransform);
                painter.setTransform(transform, true);
                painter.drawImage(QPointF(-30, -40), picture);
            }
            paintInBands(banded, 8, [&](QPainter &painter) {
                painter.setRenderHint(QPainter::SmoothPixmapTransform);
                painter.setTransform(transform, true);
                painter.drawImage(QPointF(-30, -40), picture);
            });
            EXPECT_EQ(largestDifference(banded, expected), 0) << "ratio " << ratio;
        }
    }
}

} // namespace
} // namespace zentrel
