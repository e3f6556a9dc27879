#include "core/whiteboard/model/excalidraw/large_excalidraw_documents.h"
#include "core/whiteboard/render/comb_element.h"
#include "whiteboard/canvas/element_layer/dense_area_painting.h"
#include "whiteboard/canvas/element_layer/painted_element.h"

#include <QImage>
#include <QPainter>
#include <QPainterPath>

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

// A view of the element at `zoom`, 400 × 300 unless `size` says, its top left corner at `corner`
// of the scene; with `clipped`, the painter's clip is the view, as the canvas sets it.
QImage viewOf(const PaintedElement &painted,
              PointF corner,
              double zoom,
              bool clipped,
              QSize size = {400, 300})
{
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
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

// A comb of `teeth` teeth 10^4 points wide as one closed line, smooth: filled black in `style`,
// outlined in red.
WhiteboardElement comb(int teeth, WhiteboardFillStyle style)
{
    WhiteboardElement element = combElement(WhiteboardElementKind::line, teeth, 1e4, style);
    element.style.strokeColor = "#ff0000";
    element.style.strokeWidth = 0.5;
    element.style.fillColor = "#000000";
    return element;
}

bool isBlack(QRgb pixel)
{
    return qRed(pixel) < 100 && qGreen(pixel) < 100 && qBlue(pixel) < 100;
}

TEST(HugeElementPainting, ACombsFillShowsOnItsTeethAloneWhateverItsStyle)
{
    // 1,000 teeth five points wide, at 400 %: each tooth and each gap 20 pixels wide.
    for (const WhiteboardFillStyle style : {WhiteboardFillStyle::solid,
                                            WhiteboardFillStyle::hachure,
                                            WhiteboardFillStyle::crossHatch}) {
        const PaintedElement painted = paintedElement(comb(1000, style), 4);
        for (const bool clipped : {true, false}) {
            const QImage view = viewOf(painted, {1000, 4000}, 4, clipped);
            int onTeeth = 0;
            for (int y = 0; y < view.height(); ++y) {
                for (int x = 0; x < view.width(); ++x) {
                    const int across = x % 40;
                    if (across >= 24 && across < 36) {
                        ASSERT_FALSE(isBlack(view.pixel(x, y))) << x << ", " << y;
                    } else if (across >= 4 && across < 16) {
                        onTeeth += isBlack(view.pixel(x, y)) ? 1 : 0;
                    }
                }
            }
            // Solid: all 36,000 pixels of the teeth's middles; a hatch: lines 4 pixels wide,
            // 32 apart.
            const bool solid = style == WhiteboardFillStyle::solid;
            EXPECT_GT(onTeeth, solid ? 35'000 : 3'000) << int(style) << clipped;
            EXPECT_LT(onTeeth, solid ? 36'001 : 20'000) << int(style) << clipped;
        }
    }
}

// At 100 %, the comb of 10,000 teeth 400 points wide paints through its thinned points as Qt
// paints it through every one: teeth, spine and the spine's bottom edge.
TEST(HugeElementPainting, AThinnedCombPaintsAsItsWholeOutline)
{
    WhiteboardElement element =
        combElement(WhiteboardElementKind::line, 10'000, 400, WhiteboardFillStyle::solid);
    element.style.strokeColor = "#ff0000";
    element.style.strokeWidth = 0.5;
    element.style.fillColor = "#000000";
    const QSize size(440, 440);
    const QImage thinned = viewOf(paintedElement(element, 1), {-20, -20}, 1, true, size);

    QPainterPath whole;
    for (const auto &[x, y] : combCorners(10'000, 400)) {
        whole.lineTo(x, y);
    }
    whole.closeSubpath();
    QImage qt(size, QImage::Format_ARGB32_Premultiplied);
    qt.fill(Qt::white);
    QPainter painter(&qt);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.translate(20, 20);
    painter.fillPath(whole, Qt::black);
    painter.strokePath(whole, QPen(Qt::red, 0.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.end();

    double difference = 0;
    int farApart = 0;
    for (int y = 0; y < size.height(); ++y) {
        for (int x = 0; x < size.width(); ++x) {
            const QRgb own = thinned.pixel(x, y);
            const QRgb their = qt.pixel(x, y);
            const int apart = std::max({std::abs(qRed(own) - qRed(their)),
                                        std::abs(qGreen(own) - qGreen(their)),
                                        std::abs(qBlue(own) - qBlue(their))});
            // Qt adds up the coverage of the thousands of strokes on the comb's outermost pixels:
            // those may differ.
            const bool edge = std::abs(x - 20) <= 1 || std::abs(x - 420) <= 1
                              || std::abs(y - 20) <= 1 || std::abs(y - 420) <= 1;
            farApart += apart > 128 && !edge ? 1 : 0;
            difference += apart;
        }
    }
    EXPECT_LT(difference / (size.width() * size.height()), 4.0);
    EXPECT_EQ(farApart, 0);
    // The spine is filled to its bottom edge, which is drawn from end to end, and nothing is
    // drawn past the comb.
    for (int x = 25; x < 415; ++x) {
        EXPECT_TRUE(isBlack(thinned.pixel(x, 400))) << x;
        EXPECT_GT(qRed(thinned.pixel(x, 420)), 100) << x;
    }
    for (int y = 0; y < size.height(); ++y) {
        EXPECT_EQ(thinned.pixel(430, y), qRgb(255, 255, 255)) << y;
    }
}

// Rasterised, a dense area shows what Qt's own fill of it shows, within antialiasing.
TEST(HugeElementPainting, ADenseAreaPaintsAsQtFillsIt)
{
    QPainterPath teeth;
    for (const auto &[x, y] : combCorners(100, 400)) {
        teeth.lineTo(x, y);
    }
    teeth = QTransform().rotate(10).map(teeth);
    ASSERT_TRUE(isDenseArea(teeth));
    QImage own(400, 300, QImage::Format_ARGB32_Premultiplied);
    own.fill(Qt::white);
    QImage qt = own;
    QPainter ownPainter(&own);
    ownPainter.setRenderHint(QPainter::Antialiasing);
    ownPainter.translate(40, -20);
    fillDenseArea(ownPainter, teeth, Qt::black, std::nullopt);
    ownPainter.end();
    QPainter qtPainter(&qt);
    qtPainter.setRenderHint(QPainter::Antialiasing);
    qtPainter.translate(40, -20);
    qtPainter.fillPath(teeth, Qt::black);
    qtPainter.end();
    double difference = 0;
    for (int y = 0; y < own.height(); ++y) {
        for (int x = 0; x < own.width(); ++x) {
            const int apart = std::abs(qGray(own.pixel(x, y)) - qGray(qt.pixel(x, y)));
            ASSERT_LE(apart, 40) << x << ", " << y;
            difference += apart;
        }
    }
    EXPECT_LT(difference / (400 * 300), 1.0);
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
