#include "comb_element.h"
#include "core/whiteboard/model/excalidraw/large_excalidraw_documents.h"
#include "path_points.h"
#include "whiteboard/model/whiteboard_geometry_limits.h"
#include "whiteboard/render/element_render_plan.h"
#include "whiteboard/render/hatch_fill.h"
#include "whiteboard/render/render_geometry.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <set>
#include <utility>
#include <vector>

namespace zentrel {
namespace {

WhiteboardElement square(WhiteboardElementKind kind, double side)
{
    WhiteboardElement element;
    element.kind = kind;
    element.setFrame({0, 0, side, side});
    element.style.roughness = 1;
    return element;
}

WhiteboardElement hatched(WhiteboardElementKind kind, double side, WhiteboardFillStyle style)
{
    WhiteboardElement element = square(kind, side);
    element.style.fillColor = "#FFC9C9";
    element.style.fillStyle = style;
    return element;
}

constexpr double combSide = 1e4;

// Whether (x, y) lies inside the comb combCorners(teeth, side) outlines, off its edges.
bool insideComb(PointF p, int teeth, double side)
{
    const double pitch = side / teeth;
    const bool onTooth = std::fmod(p.x, pitch) < pitch / 2 || p.y > 0.9 * side;
    return p.x > 0 && p.x < side && p.y > 0 && p.y < side && onTooth;
}

// The hatch line each piece lies on, as x + y for rising pieces and x − y for falling ones.
std::set<double> lineConstants(const Path &lines, bool rising)
{
    std::set<double> constants;
    const std::vector<PointF> points = pointsOf(lines);
    for (std::size_t i = 0; i + 1 < points.size(); i += 2) {
        const bool up = points[i + 1].y < points[i].y;
        if (up == rising) {
            constants.insert(rising ? points[i].x + points[i].y : points[i].x - points[i].y);
        }
    }
    return constants;
}

TEST(HugeElementPlanTest, HugeHatchPlansABoundedNumberOfLines)
{
    for (const double side : {1e7, 1e9, whiteboardGeometryLimit}) {
        for (const WhiteboardElementKind kind : {WhiteboardElementKind::rectangle,
                                                 WhiteboardElementKind::ellipse,
                                                 WhiteboardElementKind::diamond}) {
            const ElementRenderPlan plan = elementRenderPlan(
                hatched(kind, side, WhiteboardFillStyle::crossHatch), RoughnessLevel::high, 1, {});
            ASSERT_TRUE(plan.hatch);
            ASSERT_TRUE(plan.hatchFill) << side;
            EXPECT_GT(plan.hatch->path.elements().size(), 100u);
            // Two directions, a moveTo and a lineTo per line, two pieces at most per line of
            // these convex shapes.
            EXPECT_LE(plan.hatch->path.elements().size(), 2 * 2 * 2 * hatchLineBudget) << side;
            ASSERT_TRUE(plan.stroke);
            EXPECT_FALSE(plan.stroke->path.isEmpty());
            EXPECT_LE(plan.stroke->path.elements().size(), 40000u) << side;
        }
    }
}

TEST(HugeElementPlanTest, AVisiblePartOfAHugeHatchKeepsTheNormalGap)
{
    const ElementRenderPlan plan = elementRenderPlan(
        hatched(WhiteboardElementKind::rectangle, 1e9, WhiteboardFillStyle::crossHatch),
        RoughnessLevel::medium,
        1,
        {});
    ASSERT_TRUE(plan.hatchFill);
    // A 1920 × 1080 view well inside the rectangle.
    const RectF view{5e8, 3e8, 1920, 1080};
    const Path lines = hatchLines(*plan.hatchFill, view);
    for (const PointF point : pointsOf(lines)) {
        ASSERT_TRUE(point.x >= view.x - 1e-3 && point.x <= view.x + view.width + 1e-3
                    && point.y >= view.y - 1e-3 && point.y <= view.y + view.height + 1e-3)
            << point.x << ", " << point.y;
    }
    for (const bool rising : {true, false}) {
        const std::set<double> constants = lineConstants(lines, rising);
        // (1920 + 1080) / 8 lines cross the view in each direction.
        EXPECT_NEAR(double(constants.size()), 375, 2) << rising;
        for (auto it = std::next(constants.begin()); it != constants.end(); ++it) {
            EXPECT_NEAR(*it - *std::prev(it), 8, 1e-3);
        }
    }
    // Each of those lines crosses the view whole.
    EXPECT_NEAR(double(pointsOf(lines).size()), 4 * 375, 8);
}

TEST(HugeElementPlanTest, AWindowShowsLinesOfTheSameLatticeAtAnyZoom)
{
    const HatchFill fill = hatchFill(rectangleOutline({0, 0, 1e9, 1e9}), {0, 0, 1e9, 1e9}, false);
    EXPECT_TRUE(isHatchThinned(fill));
    // Zoomed out: thinned lines, a subset of those a small window shows.
    const std::set<double> wide = lineConstants(hatchLines(fill, RectF{0, 0, 1e6, 1e6}), true);
    const std::set<double> narrow = lineConstants(hatchLines(fill, RectF{0, 0, 2e3, 2e3}), true);
    EXPECT_LE(wide.size(), std::size_t(hatchLineBudget) + 1);
    EXPECT_GT(wide.size(), std::size_t(hatchLineBudget / 4));
    for (const double c : narrow) {
        EXPECT_NEAR(std::fmod(c - (-12 - 12), 8), 0, 1e-6) << c;
    }
    for (const double c : wide) {
        if (c <= 4e3) {
            EXPECT_TRUE(narrow.contains(c)) << c;
        }
    }
    EXPECT_TRUE(hatchLines(fill, RectF{2e9, 0, 10, 10}).isEmpty());
}

TEST(HugeElementPlanTest, ASmallHatchIsDrawnWhole)
{
    const ElementRenderPlan plan = elementRenderPlan(
        hatched(WhiteboardElementKind::rectangle, 400, WhiteboardFillStyle::hachure),
        RoughnessLevel::none,
        1,
        {});
    ASSERT_TRUE(plan.hatch);
    EXPECT_FALSE(plan.hatchFill);
    // Those of x + y = 8k − 24 that cross the square: 0 < 8k − 24 < 800.
    EXPECT_EQ(lineConstants(plan.hatch->path, true).size(), 99u);
}

// The most teeth drawn through every point, hand-drawn, and the 10,000 of a 716 KB document.
TEST(HugeElementPlanTest, ACombOfThousandsOfTeethPlansABoundedDrawingAtAnyZoom)
{
    for (const auto &[kind, teeth] : std::vector<std::pair<WhiteboardElementKind, int>>{
             {WhiteboardElementKind::line, 511},
             {WhiteboardElementKind::line, 10'000},
             {WhiteboardElementKind::freedraw, 10'000}}) {
        for (const WhiteboardFillStyle style : {WhiteboardFillStyle::solid,
                                                WhiteboardFillStyle::hachure,
                                                WhiteboardFillStyle::crossHatch}) {
            for (const bool rounded : {false, true}) {
                WhiteboardElement element = combElement(kind, teeth, combSide, style);
                element.style.roughness = 1;
                if (rounded) {
                    element.style.roundnessType = 2;
                }
                for (const double scale : {1e-6, 1.0, 1e3}) {
                    const ElementRenderPlan plan =
                        elementRenderPlan(element, RoughnessLevel::high, scale, {});
                    // The outline of at most 4,096 points stroked (and filled) by hand, and a
                    // hatch of whole lines.
                    EXPECT_LE(planPathElements(plan), 65'536u)
                        << teeth << int(style) << rounded << scale;
                    ASSERT_TRUE(plan.stroke);
                    EXPECT_EQ(bool(plan.hatch),
                              kind == WhiteboardElementKind::line
                                  && style != WhiteboardFillStyle::solid);
                    if (!plan.hatchFill) {
                        continue;
                    }
                    // Its teeth cross the lines too often to cut them, where they show; a speck
                    // is thinned to a few points, which may cut them.
                    EXPECT_TRUE(hatchNeedsClip(*plan.hatchFill) || scale < 1)
                        << teeth << int(style) << rounded << scale;
                    // A 1920 × 1080 view on the teeth.
                    const RectF view{5e3, 5e3, 1920 / scale, 1080 / scale};
                    EXPECT_LE(hatchLines(*plan.hatchFill, view).elements().size(),
                              2 * 2 * (hatchLineBudget + 1));
                }
            }
        }
    }
}

TEST(HugeElementPlanTest, ACombWithinTheCrossingBudgetIsCutAtEveryTooth)
{
    constexpr int teeth = 40;
    constexpr double side = 400;
    std::vector<PointF> corners;
    for (const auto &[x, y] : combCorners(teeth, side)) {
        corners.push_back({x, y});
    }
    const HatchFill fill = hatchFill(polygonOutline(corners), {0, 0, side, side}, true);
    ASSERT_FALSE(hatchNeedsClip(fill));
    // The pieces of each line by its constant (a whole number here), as spans of x.
    std::map<std::pair<bool, double>, std::vector<std::pair<double, double>>> spans;
    const std::vector<PointF> points = pointsOf(hatchLines(fill));
    for (std::size_t i = 0; i + 1 < points.size(); i += 2) {
        const PointF a = points[i];
        const PointF b = points[i + 1];
        const bool rising = b.y < a.y;
        EXPECT_TRUE(insideComb(lerp(a, b, 0.5), teeth, side)) << a.x << ", " << a.y;
        spans[{rising, std::round(rising ? a.x + a.y : a.x - a.y)}].emplace_back(a.x, b.x);
    }
    // Every point of a lattice line inside the comb is on one of its pieces.
    int covered = 0;
    for (const bool rising : {true, false}) {
        for (double c = rising ? -24 : -424; c < 2 * side; c += 8) {
            for (double x = -11.87; x < side + 12; x += 0.25) {
                const PointF p{x, rising ? c - x : x - c};
                if (!insideComb(p, teeth, side)) {
                    continue;
                }
                bool found = false;
                for (const auto &[from, to] : spans[{rising, c}]) {
                    found = found || (from - 1e-9 <= x && x <= to + 1e-9);
                }
                ASSERT_TRUE(found) << rising << " " << c << " " << x;
                ++covered;
            }
        }
    }
    EXPECT_GT(covered, 10'000);
}

TEST(HugeElementPlanTest, HugeDashesGrowRatherThanMultiply)
{
    WhiteboardElement element = square(WhiteboardElementKind::rectangle, 1e9);
    element.style.strokeStyle = WhiteboardStrokeStyle::dashed;
    element.style.strokeWidth = 2;
    ElementRenderPlan plan = elementRenderPlan(element, RoughnessLevel::medium, 1, {});
    ASSERT_TRUE(plan.stroke);
    ASSERT_EQ(plan.stroke->dash.size(), 2u);
    const double period = plan.stroke->dash[0] + plan.stroke->dash[1];
    EXPECT_LE(4e9 / period, 4096);
    EXPECT_GT(4e9 / period, 1024);
    EXPECT_DOUBLE_EQ(plan.stroke->dash[0] / plan.stroke->dash[1], 4.0 / 3.0);

    element.style.strokeStyle = WhiteboardStrokeStyle::dotted;
    plan = elementRenderPlan(element, RoughnessLevel::none, 1, {});
    ASSERT_TRUE(plan.stroke);
    EXPECT_LE(4e9 / (plan.stroke->dash[0] + plan.stroke->dash[1]), 4096);

    element.setFrame({0, 0, 100, 100});
    plan = elementRenderPlan(element, RoughnessLevel::none, 1, {});
    EXPECT_EQ(plan.stroke->dash, (std::vector<double>{0.1, 5}));
}

TEST(HugeElementPlanTest, AHugeHandDrawnShapeIsStillDrawn)
{
    WhiteboardElement element = square(WhiteboardElementKind::rectangle, 1e9);
    element.style.fillColor = "#FFC9C9";
    const ElementRenderPlan plan = elementRenderPlan(element, RoughnessLevel::high, 1, {});
    ASSERT_TRUE(plan.fillColor);
    EXPECT_FALSE(plan.fillPath.isEmpty());
    ASSERT_TRUE(plan.stroke);
    EXPECT_FALSE(plan.stroke->path.isEmpty());
}

} // namespace
} // namespace zentrel
