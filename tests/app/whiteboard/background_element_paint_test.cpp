#include "whiteboard/canvas/element_layer/background_element_paint.h"

#include "app/image_difference.h"
#include "whiteboard/canvas/element_layer/element_band_painting.h"
#include "whiteboard/render/element_render_plan.h"

#include <QDeadlineTimer>
#include <QImage>
#include <QRegion>
#include <QThread>

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <vector>

namespace zentrel {
namespace {

// A 300 × 200 picture at 150 % of `count` rough rectangles, none prepared yet.
struct Painting
{
    ElementPicture picture;
    std::vector<BackgroundElementPaint::Element> elements;

    explicit Painting(int count)
    {
        picture.viewport = {1.5, {10, -5}};
        picture.pixelSize = {300, 200};
        for (int i = 0; i < count; ++i) {
            WhiteboardElement element;
            element.id.bytes[0] = std::uint8_t(i % 250 + 1);
            element.id.bytes[1] = std::uint8_t(i / 250);
            element.kind = WhiteboardElementKind::rectangle;
            element.setFrame({(i % 10) * 20.0, (i / 10 % 10) * 14.0, 16, 10});
            element.style.strokeColor = "#202020";
            element.style.strokeWidth = 2;
            element.style.roughness = 2;
            const ElementPtr pointer = makeElement(std::move(element));
            picture.elements.push_back(pointer);
            elements.push_back({pointer, elementPaintBounds(*pointer, 1.5), nullptr});
        }
    }
};

std::optional<BackgroundElementPaint::Result> waitFor(BackgroundElementPaint &paint)
{
    const QDeadlineTimer deadline(10000);
    std::optional<BackgroundElementPaint::Result> result = paint.take();
    while (!result && !deadline.hasExpired()) {
        QThread::msleep(1);
        result = paint.take();
    }
    return result;
}

TEST(BackgroundElementPaint, PaintsTheAreasOnceAndHandsOverWhatItPrepared)
{
    std::atomic<int> told{0};
    BackgroundElementPaint paint([&told] { ++told; });
    Painting painting(100);
    const std::vector<QRect> areas{QRect(0, 0, 300, 40), QRect(250, 40, 50, 160)};
    paint.start(painting.picture, areas, painting.elements, {4, true});
    EXPECT_TRUE(paint.isBusy());
    const std::optional<BackgroundElementPaint::Result> result = waitFor(paint);
    ASSERT_TRUE(result);
    EXPECT_FALSE(paint.isBusy());
    EXPECT_EQ(told, 1);
    EXPECT_EQ(result->picture.viewport, painting.picture.viewport);
    ASSERT_EQ(result->prepared.size(), 100u);
    EXPECT_EQ(result->prepared.front().first, painting.picture.elements.front());

    QImage expected(QSize(300, 200), QImage::Format_ARGB32_Premultiplied);
    expected.fill(Qt::transparent);
    std::vector<ElementToPaint> elements;
    for (const auto &[element, painted] : result->prepared) {
        elements.push_back({elementPaintBounds(*element, 1.5), painted.get()});
    }
    paintElementsInBands(expected, QRectF(0, 0, 300, 200), elements, {{1.5, {10, -5}}, false, 1});
    ASSERT_EQ(result->pieces.size(), 2u);
    for (std::size_t i = 0; i < areas.size(); ++i) {
        EXPECT_EQ(result->pieces[i].area, areas[i]);
        EXPECT_EQ(largestDifference(result->pieces[i].image, expected.copy(areas[i])), 0);
    }
    EXPECT_FALSE(paint.take());

    paint.start(painting.picture, areas, painting.elements, {4, false});
    EXPECT_TRUE(waitFor(paint));
    EXPECT_EQ(told, 1); // not asked to tell
}

// Asked after all, before or after the painting ends, it tells exactly once.
TEST(BackgroundElementPaint, AnUntoldPaintingTellsOnceAskedAfterAll)
{
    std::atomic<int> told{0};
    BackgroundElementPaint paint([&told] { ++told; });
    Painting painting(100);
    for (int pause = 0; pause < 12; ++pause) {
        paint.start(painting.picture, {QRect(0, 0, 300, 200)}, painting.elements, {2, false});
        QThread::msleep(pause);
        paint.tellWhenDone();
        paint.tellWhenDone();
        EXPECT_TRUE(waitFor(paint));
        EXPECT_EQ(told, pause + 1);
    }
    paint.tellWhenDone(); // nothing to tell of
    EXPECT_EQ(told, 12);
}

// A picture panned by whole pixels since the painting began takes the pieces where the pan
// carried them: the same picture as one painted after the pan.
TEST(BackgroundElementPaint, PiecesGoWherePansSinceHaveCarriedThem)
{
    BackgroundElementPaint paint(nullptr);
    Painting painting(100);
    paint.start(painting.picture, {QRect(0, 0, 300, 200)}, painting.elements, {4, false});
    const std::optional<BackgroundElementPaint::Result> result = waitFor(paint);
    ASSERT_TRUE(result);
    std::vector<ElementToPaint> elements;
    for (const auto &[element, painted] : result->prepared) {
        elements.push_back({elementPaintBounds(*element, 1.5), painted.get()});
    }
    QImage picture(QSize(300, 200), QImage::Format_ARGB32_Premultiplied);
    picture.fill(Qt::transparent);
    const QImage blank = picture;
    EXPECT_FALSE(placePieces(picture, {1.5, {10 + 7, -5 - 12.5}}, *result)); // part of a pixel
    EXPECT_EQ(picture, blank);

    const WhiteboardViewport panned{1.5, {10 + 7, -5 - 12}};
    QImage expected = blank;
    paintElementsInBands(expected, QRectF(0, 0, 300, 200), elements, {panned, false, 1});
    const std::optional<QRegion> placed = placePieces(picture, panned, *result);
    ASSERT_TRUE(placed);
    EXPECT_EQ(*placed, QRegion(QRect(7, 0, 293, 188)));
    EXPECT_LE(largestDifference(picture.copy(placed->boundingRect()),
                                expected.copy(placed->boundingRect())),
              1);
    EXPECT_FALSE(placePieces(picture, {2, {10, -5}}, *result)); // at another scale
}

TEST(BackgroundElementPaint, CancelledPaintingsHandNothingOverAndTellNoOne)
{
    std::atomic<int> told{0};
    {
        BackgroundElementPaint paint([&told] { ++told; });
        Painting large(5000);
        const std::vector<QRect> whole{QRect(0, 0, 300, 200)};
        paint.start(large.picture, whole, large.elements, {4, true});
        paint.cancel();
        EXPECT_FALSE(paint.isBusy());
        EXPECT_FALSE(paint.take());

        // Starting again gives up the painting at hand; going away, the one after.
        paint.start(large.picture, whole, large.elements, {4, true});
        paint.start(large.picture, whole, large.elements, {4, true});
    }
    EXPECT_EQ(told, 0);
}

} // namespace
} // namespace zentrel
