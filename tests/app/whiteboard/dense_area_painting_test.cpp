#include "whiteboard/canvas/element_layer/dense_area_painting.h"

#include "core/whiteboard/model/excalidraw/large_excalidraw_documents.h"
#include "whiteboard/canvas/element_layer/painted_element.h"

#include <QImage>
#include <QPainter>
#include <QPainterPath>

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <random>
#include <vector>

namespace zentrel {
namespace {

constexpr int viewSide = 64;

// Seeded outlines of the kinds that cross pixel rows often or awkwardly, in and around a
// 64-pixel view: some points lie on pixel edges and quarter rows, some edges within one row.
class OutlineMaker
{
public:
    explicit OutlineMaker(unsigned seed)
        : m_random(seed)
    {}

    QPainterPath next(int kind)
    {
        QPolygonF points;
        switch (kind % 6) {
        case 0:
            points = randomPolygon();
            break;
        case 1:
            points = zigzag();
            break;
        case 2:
            points = comb();
            break;
        case 3:
            points = star();
            break;
        case 4:
            points = spiral();
            break;
        default:
            points = randomPolygon();
            points << zigzag();
        }
        QPainterPath path;
        path.addPolygon(snapped(points));
        path.closeSubpath();
        path.setFillRule(uniform(0, 1) < 0.5 ? Qt::OddEvenFill : Qt::WindingFill);
        return path;
    }

    double uniform(double low, double high)
    {
        return std::uniform_real_distribution<double>(low, high)(m_random);
    }

private:
    int count(int low, int high) { return std::uniform_int_distribution<int>(low, high)(m_random); }

    QPolygonF randomPolygon()
    {
        QPolygonF points;
        for (int i = count(3, 30); i > 0; --i) {
            points << QPointF(uniform(-16, 80), uniform(-16, 80));
        }
        return points;
    }

    // Hand shading: back and forth, each stroke a little lower, often by less than a pixel row.
    QPolygonF zigzag()
    {
        QPolygonF points;
        const double left = uniform(-20, 30);
        const double right = left + uniform(2, 60);
        const double step = uniform(0.05, 3);
        double y = uniform(-10, 40);
        for (int i = count(10, 80); i > 0; --i) {
            points << QPointF((i % 2 != 0 ? left : right) + uniform(-1, 1), y);
            y += step * uniform(0.5, 1.5);
        }
        return points;
    }

    QPolygonF comb()
    {
        QPolygonF points;
        const double pitch = uniform(0.3, 6);
        const double top = uniform(-10, 30);
        const double root = top + uniform(0.1, 40);
        double x = uniform(-20, 10);
        points << QPointF(x, root + uniform(0.2, 5));
        for (int i = count(5, 60); i > 0; --i, x += pitch) {
            points << QPointF(x, top) << QPointF(x + pitch / 2, top) << QPointF(x + pitch / 2, root)
                   << QPointF(x + pitch, root);
        }
        points << QPointF(x, points.front().y());
        return points;
    }

    QPolygonF star()
    {
        QPolygonF points;
        const QPointF centre(uniform(0, 64), uniform(0, 64));
        const double outer = uniform(5, 60);
        const double inner = outer * uniform(0.05, 0.9);
        const int spikes = count(3, 60);
        for (int i = 0; i < 2 * spikes; ++i) {
            const double angle = std::numbers::pi * i / spikes;
            const double radius = i % 2 == 0 ? outer : inner;
            points << centre + radius * QPointF(std::cos(angle), std::sin(angle));
        }
        return points;
    }

    // A band wound several times round: it crosses itself nowhere, but each row many times.
    QPolygonF spiral()
    {
        QPolygonF outward;
        QPolygonF back;
        const QPointF centre(uniform(10, 54), uniform(10, 54));
        const double growth = uniform(0.3, 2);
        const double width = growth * uniform(0.5, 5);
        for (double angle = 0; angle < uniform(10, 40); angle += 0.2) {
            const QPointF along(std::cos(angle), std::sin(angle));
            outward << centre + growth * angle * along;
            back.prepend(centre + (growth * angle + width) * along);
        }
        return outward << back;
    }

    // Some points moved a quarter pixel apart starting an eighth in (where sampling fills put
    // their rows), some onto quarter pixels, and some repeating the last one's row: horizontal
    // edges.
    QPolygonF snapped(QPolygonF points)
    {
        for (qsizetype i = 0; i < points.size(); ++i) {
            const double choice = uniform(0, 1);
            QPointF &point = points[i];
            if (choice < 0.15) {
                point.setY(std::floor(point.y() * 4) / 4 + 0.125);
            } else if (choice < 0.3) {
                point.setY(std::round(point.y() * 4) / 4);
            } else if (choice < 0.4 && i > 0) {
                point.setY(points[i - 1].y());
            }
        }
        return points;
    }

    std::mt19937 m_random;
};

// The alpha a painting leaves on a transparent view, drawn through `fill`, turned by `angle`
// degrees about the view's centre, and clipped to `clip` when it is not empty.
template <typename Fill>
QImage painted(double angle, const QRectF &clip, Fill fill)
{
    QImage image(viewSide, viewSide, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.translate(viewSide / 2.0, viewSide / 2.0);
    painter.rotate(angle);
    painter.translate(-viewSide / 2.0, -viewSide / 2.0);
    if (!clip.isEmpty()) {
        painter.setClipRect(clip);
    }
    fill(painter, clip.isEmpty() ? std::nullopt : std::optional(clip));
    return image;
}

// How far apart two paintings of one view are: the largest difference of alpha, and how many
// pixels differ by more than antialiasing's rounding.
struct Apart
{
    int worst = 0;
    int differing = 0;
};

Apart apart(const QImage &own, const QImage &qt)
{
    Apart result;
    for (int y = 0; y < own.height(); ++y) {
        for (int x = 0; x < own.width(); ++x) {
            const int by = std::abs(qAlpha(own.pixel(x, y)) - qAlpha(qt.pixel(x, y)));
            result.worst = std::max(result.worst, by);
            result.differing += by > 4 ? 1 : 0;
        }
    }
    return result;
}

// The crossings of one row count, however far one point reaches: the same crossings spread
// over rows of their own are not dense.
TEST(DenseAreaPainting, OneFarPointLeavesADenseOutlineDense)
{
    QPolygonF comb;
    for (const auto &[x, y] : combCorners(2'000, 1e4)) {
        comb << QPointF(x, y);
    }
    const auto area = [](const QPolygonF &polygon) {
        QPainterPath path;
        path.addPolygon(polygon);
        path.closeSubpath();
        return path;
    };
    ASSERT_TRUE(isDenseArea(area(comb)));
    for (const QPointF far : {QPointF(0, 1e11), QPointF(1e5, -1e5), QPointF(-1e300, 1e300)}) {
        QPolygonF reaching = comb;
        reaching.insert(500, far);
        EXPECT_TRUE(isDenseArea(area(reaching))) << far.x() << ", " << far.y();
    }
    QPolygonF stairs{QPointF(0, 0)};
    for (int step = 0; step < 2'000; ++step) {
        stairs << QPointF(step + 1, step) << QPointF(step + 1, step + 1);
    }
    stairs << QPointF(0, 2'000);
    EXPECT_FALSE(isDenseArea(area(stairs)));
}

// Rasterised, any outline shows what Qt's own antialiased fill of it shows: a few levels of
// alpha apart on its edges, for one fill rule and the other, upright or turned, whole or in
// part.
TEST(DenseAreaPainting, FillsEveryOutlineAsQtDoes)
{
    OutlineMaker maker(20261208);
    for (int shape = 0; shape < 400; ++shape) {
        const QPainterPath area = maker.next(shape);
        const double angle = shape % 3 == 0 ? maker.uniform(0, 360) : 0;
        const QRectF clip = shape % 5 == 0 ? QRectF(maker.uniform(0, 16), 8, 40, 40) : QRectF();
        const Apart by = apart(painted(angle,
                                       clip,
                                       [&](QPainter &painter, auto visible) {
                                           fillDenseArea(painter, area, Qt::black, visible);
                                       }),
                               painted(angle, clip, [&](QPainter &painter, auto) {
                                   painter.fillPath(area, Qt::black);
                               }));
        EXPECT_LE(by.worst, 12) << "shape " << shape;
        EXPECT_LE(by.differing, 8) << "shape " << shape;
    }
}

// A pen's hand shading: its stroke's outline crosses each row twice a turn, so it is filled as a
// dense area, and shows what Qt's fill of that outline shows, with no line from its turns.
TEST(DenseAreaPainting, APenZigzagShowsItsStrokeAlone)
{
    WhiteboardElement pen;
    pen.kind = WhiteboardElementKind::freedraw;
    for (int turn = 0; turn < 80; ++turn) {
        pen.points.push_back({2 + turn * 1.5 + turn % 2 * 0.3, turn % 2 == 0 ? 2.0 : 60.0});
    }
    pen.setFrame({2, 2, 60, 58});
    pen.style.strokeWidth = 0.5;
    const PaintedElement painted = paintedElement(pen, 1);
    ASSERT_EQ(painted.denseAreas, std::vector<bool>{true});
    const auto &[stroke, colour] = painted.areas.front();
    for (const double angle : {0.0, 30.0}) {
        const Apart by =
            apart(::zentrel::painted(
                      angle, {}, [&](QPainter &painter, auto) { paintElement(painter, painted); }),
                  ::zentrel::painted(angle, {}, [&](QPainter &painter, auto) {
                      painter.fillPath(stroke, colour);
                  }));
        // Its outline overlaps itself at every turn, where both fills share out a pixel
        // between windings a little differently.
        EXPECT_LE(by.worst, 12) << angle;
        EXPECT_LE(by.differing, 32) << angle;
    }
}

} // namespace
} // namespace zentrel
