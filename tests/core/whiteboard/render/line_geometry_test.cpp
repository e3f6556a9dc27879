#include "whiteboard/render/line_geometry.h"

#include "path_points.h"
#include "whiteboard/render/element_render_plan.h"
#include "whiteboard/render/render_geometry.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace zentrel {
namespace {

constexpr double headAngle = 25 * std::numbers::pi / 180;

using Head = WhiteboardArrowhead;

// An imported line or arrow: its frame runs from its first point to its last.
WhiteboardElement polyline(WhiteboardElementKind kind, std::vector<WhiteboardPoint> points)
{
    WhiteboardElement element;
    element.kind = kind;
    const WhiteboardPoint first = points.front();
    const WhiteboardPoint last = points.back();
    element.setFrame({first.x, first.y, last.x - first.x, last.y - first.y});
    element.points = std::move(points);
    element.style.strokeWidth = 2;
    return element;
}

WhiteboardElement arrowWith(WhiteboardArrowhead start, WhiteboardArrowhead end, double length)
{
    WhiteboardElement arrow = polyline(WhiteboardElementKind::arrow, {{0, 0}, {length, 0}});
    arrow.startArrowhead = start;
    arrow.endArrowhead = end;
    return arrow;
}

// The one head at the end of an arrow drawn smooth.
ArrowheadShape endHead(const WhiteboardElement &arrow)
{
    const LineDrawing drawing = lineDrawing(arrow, std::nullopt);
    if (drawing.heads.size() != 1) {
        ADD_FAILURE() << drawing.heads.size() << " heads";
        return {};
    }
    return drawing.heads.front();
}

PointF shaftEnd(const WhiteboardElement &arrow)
{
    return lineDrawing(arrow, std::nullopt).shaft.currentPoint();
}

void expectNear(PointF actual, PointF expected)
{
    EXPECT_NEAR(actual.x, expected.x, 1e-9);
    EXPECT_NEAR(actual.y, expected.y, 1e-9);
}

TEST(LineDrawing, AnArrowDrawnHereKeepsItsLook)
{
    WhiteboardElement arrow;
    arrow.kind = WhiteboardElementKind::arrow;
    arrow.setFrame({10, 10, 100, -50});
    arrow.style.strokeWidth = 5;
    const ElementRenderPlan plan = elementRenderPlan(arrow, RoughnessLevel::none, 1, {});
    ASSERT_TRUE(plan.stroke);
    EXPECT_EQ(plan.stroke->path, arrowOutline({10, 10}, {110, -40}, 5));
    EXPECT_TRUE(plan.headFill.isEmpty());
    // Hand-drawn, as the generator draws a whole arrow.
    const RoughPathGenerator generator(elementRoughSeed(arrow),
                                       RoughPathGenerator::RoughnessLevel::low);
    EXPECT_EQ(elementRenderPlan(arrow, RoughnessLevel::low, 1, {}).stroke->path,
              generator.arrowPath({10, 10}, {110, -40}, 5));
}

TEST(LineDrawing, HeadsAtBothEndsPointAwayFromTheirSegments)
{
    WhiteboardElement arrow =
        polyline(WhiteboardElementKind::arrow, {{0, 0}, {0, 0}, {100, 0}, {100, 100}});
    arrow.startArrowhead = WhiteboardArrowhead::arrow;
    const LineDrawing drawing = lineDrawing(arrow, std::nullopt);
    ASSERT_EQ(drawing.heads.size(), 2u);
    // The start's barbs trail to the right of its tip, the end's above its tip; a repeated
    // point does not turn a head.
    EXPECT_EQ(drawing.heads[0].path, arrowHeadOutline({100, 0}, {0, 0}, 2));
    EXPECT_EQ(drawing.heads[1].path, arrowHeadOutline({100, 0}, {100, 100}, 2));
    EXPECT_FALSE(drawing.heads[0].filled);

    // No head where the document asked for none, at either end.
    arrow.startArrowhead.reset();
    arrow.endArrowhead = WhiteboardArrowhead::none;
    EXPECT_TRUE(lineDrawing(arrow, std::nullopt).heads.empty());
    EXPECT_EQ(elementRenderPlan(arrow, RoughnessLevel::none, 1, {}).stroke->path,
              polylineOutline({{0, 0}, {0, 0}, {100, 0}, {100, 100}}));
    // A line draws none, whatever it holds.
    WhiteboardElement line = arrow;
    line.kind = WhiteboardElementKind::line;
    line.endArrowhead = WhiteboardArrowhead::triangle;
    EXPECT_TRUE(lineDrawing(line, std::nullopt).heads.empty());
}

TEST(LineDrawing, ExcalidrawHeadsTakeItsShapesAndSizes)
{
    const PointF tip{200, 0};
    const double side = 15 * std::sin(headAngle);
    const double back = 200 - 15 * std::cos(headAngle);

    const ArrowheadShape solid = endHead(arrowWith(Head::none, Head::triangle, 200));
    EXPECT_TRUE(solid.filled);
    EXPECT_EQ(solid.path, polygonOutline({tip, {back, side}, {back, -side}}));
    // Hollow: not filled, and the shaft stops at its base.
    const WhiteboardElement hollow = arrowWith(Head::none, Head::triangleOutline, 200);
    EXPECT_FALSE(endHead(hollow).filled);
    EXPECT_EQ(endHead(hollow).path, solid.path);
    expectNear(shaftEnd(hollow), {back, 0});
    expectNear(shaftEnd(arrowWith(Head::none, Head::triangle, 200)), tip);

    const ArrowheadShape barHead = endHead(arrowWith(Head::none, Head::bar, 200));
    ASSERT_EQ(pointsOf(barHead.path).size(), 2u);
    expectNear(pointsOf(barHead.path)[0], {200, 15});
    expectNear(pointsOf(barHead.path)[1], {200, -15});

    // A circle of 15 plus the line's width less 2 across, on the tip.
    for (const WhiteboardArrowhead kind : {Head::dot, Head::circle, Head::circleOutline}) {
        const ArrowheadShape disc = endHead(arrowWith(Head::none, kind, 200));
        Path expected;
        expected.addEllipse({192.5, -7.5, 15, 15});
        EXPECT_EQ(disc.path, expected) << int(kind);
        EXPECT_EQ(disc.filled, kind != Head::circleOutline);
    }
    expectNear(shaftEnd(arrowWith(Head::none, Head::circleOutline, 200)), {192.5, 0});

    // A diamond is 12 to a side and as long again behind it.
    const double diamondBack = 200 - 12 * std::cos(headAngle);
    const double diamondSide = 12 * std::sin(headAngle);
    const ArrowheadShape rhomb = endHead(arrowWith(Head::none, Head::diamond, 200));
    EXPECT_TRUE(rhomb.filled);
    EXPECT_EQ(
        rhomb.path,
        polygonOutline({tip, {diamondBack, diamondSide}, {176, 0}, {diamondBack, -diamondSide}}));
    expectNear(shaftEnd(arrowWith(Head::none, Head::diamondOutline, 200)), {176, 0});

    // On a short segment a head shrinks to half of it (a diamond to a quarter).
    expectNear(pointsOf(endHead(arrowWith(Head::none, Head::bar, 10)).path)[0], {10, 5});
    expectNear(shaftEnd(arrowWith(Head::none, Head::diamondOutline, 20)), {10, 0});
    // The start's head mirrors the end's.
    const LineDrawing both =
        lineDrawing(arrowWith(Head::triangleOutline, Head::triangleOutline, 200), std::nullopt);
    expectNear(pointsOf(both.shaft).front(), {200 - back, 0});
    expectNear(both.shaft.currentPoint(), {back, 0});
}

TEST(LineDrawing, SolidHeadsAreFilledInTheStrokeColour)
{
    const WhiteboardElement arrow =
        arrowWith(WhiteboardArrowhead::dot, WhiteboardArrowhead::triangleOutline, 200);
    const LineDrawing drawing = lineDrawing(arrow, std::nullopt);
    const ElementRenderPlan plan = elementRenderPlan(arrow, RoughnessLevel::none, 1, {});
    ASSERT_TRUE(plan.stroke);
    EXPECT_EQ(plan.headFill, drawing.heads[0].path);
    Path whole = drawing.shaft;
    whole.append(drawing.heads[0].path);
    whole.append(drawing.heads[1].path);
    EXPECT_EQ(plan.stroke->path, whole);
    // Hand-drawn lines keep Excalidraw's heads smooth.
    EXPECT_EQ(elementRenderPlan(arrow, RoughnessLevel::high, 1, {}).headFill, plan.headFill);
}

TEST(LineDrawing, ARoundedPolylineCurvesThroughEveryPoint)
{
    const std::vector<WhiteboardPoint> zigzag{{0, 0}, {20, 60}, {40, 0}, {60, 60}, {80, 0}};
    WhiteboardElement line = polyline(WhiteboardElementKind::line, zigzag);
    EXPECT_EQ(lineDrawing(line, std::nullopt).shaft,
              polylineOutline({{0, 0}, {20, 60}, {40, 0}, {60, 60}, {80, 0}}));

    line.style.roundnessType = 2;
    const Path curve = lineDrawing(line, std::nullopt).shaft;
    const auto &pieces = curve.elements();
    ASSERT_EQ(pieces.size(), zigzag.size());
    for (std::size_t i = 1; i < pieces.size(); ++i) {
        EXPECT_EQ(pieces[i].op, Path::Op::cubicTo);
        EXPECT_EQ(pieces[i].points[2], (PointF{zigzag[i].x, zigzag[i].y}));
    }
    // Uniform Catmull-Rom: each point leaves towards where its neighbours lie, the ends
    // towards their one neighbour.
    EXPECT_EQ(pieces[1].points[0], (PointF{20.0 / 6, 10}));
    EXPECT_EQ(pieces[2].points[0], (PointF{20 + 40.0 / 6, 60}));
    EXPECT_EQ(pieces[4].points[1], (PointF{80 - 20.0 / 6, 10}));
    EXPECT_EQ(elementRenderPlan(line, RoughnessLevel::none, 1, {}).stroke->path, curve);

    // Hand-drawn, it still passes each point; two points make a straight line whatever its
    // roundness.
    const std::vector<PointF> rough =
        pointsOf(elementRenderPlan(line, RoughnessLevel::high, 1, {}).stroke->path);
    for (const WhiteboardPoint point : zigzag) {
        EXPECT_NE(std::find(rough.begin(), rough.end(), PointF{point.x, point.y}), rough.end())
            << point.x;
    }
    EXPECT_EQ(
        lineDrawing(polyline(WhiteboardElementKind::line, {{0, 0}, {10, 10}}), std::nullopt).shaft,
        polylineOutline({{0, 0}, {10, 10}}));
}

TEST(LineDrawing, ACurvedArrowsHeadFollowsTheBendIntoItsTip)
{
    WhiteboardElement arrow = polyline(WhiteboardElementKind::arrow, {{0, 0}, {50, 50}, {100, 0}});
    arrow.style.roundnessType = 2;
    arrow.endArrowhead = WhiteboardArrowhead::bar;
    const std::vector<PointF> bar = pointsOf(endHead(arrow).path);
    ASSERT_EQ(bar.size(), 2u);
    // Aimed from the curve's point 0.3 back along its last piece, as Excalidraw aims it, so
    // steeper than the last segment.
    const PointF from{50, 50};
    const PointF control1{50 + 100.0 / 6, 50};
    const PointF control2{100 - 50.0 / 6, 50.0 / 6};
    const PointF aim{0.027 * from.x + 0.189 * control1.x + 0.441 * control2.x + 0.343 * 100,
                     0.027 * from.y + 0.189 * control1.y + 0.441 * control2.y};
    const PointF across{bar[1].x - bar[0].x, bar[1].y - bar[0].y};
    EXPECT_NEAR(across.x * (100 - aim.x) + across.y * (0 - aim.y), 0, 1e-6);
    const double bend = std::atan2(aim.y, 100 - aim.x);
    EXPECT_GT(bend, std::numbers::pi / 4 + 0.05);
}

TEST(LineDrawing, ARoundedClosedLineIsOneCurvedOutlineFilledAsAShape)
{
    WhiteboardElement loop =
        polyline(WhiteboardElementKind::line, {{0, 0}, {40, 0}, {40, 40}, {0, 40}, {0, 0}});
    loop.style.roundnessType = 2;
    loop.style.fillColor = "#ff0000";
    const ElementRenderPlan plan = elementRenderPlan(loop, RoughnessLevel::none, 1, {});
    ASSERT_TRUE(plan.fillColor);
    EXPECT_EQ(plan.fillPath, plan.stroke->path);
    const auto &pieces = plan.fillPath.elements();
    ASSERT_EQ(pieces.size(), 6u);
    EXPECT_EQ(pieces[1].op, Path::Op::cubicTo);
    EXPECT_EQ(pieces.back().op, Path::Op::close);
}

TEST(LineDrawing, PaintBoundsHoldWhereACurveSwingsPastItsPoints)
{
    // Around its corners it swings about 37 points past them, further than any stroke's reach.
    WhiteboardElement line =
        polyline(WhiteboardElementKind::line, {{0, 0}, {300, 0}, {300, 300}, {0, 300}});
    line.style.roundnessType = 2;
    line.style.strokeWidth = 0.5;
    const RectF bounds = elementPaintBounds(line, 1);
    const ElementRenderPlan plan = elementRenderPlan(line, RoughnessLevel::none, 1, {});
    const double c = std::cos(plan.rotation);
    const double s = std::sin(plan.rotation);
    for (const std::vector<PointF> &polygon : flattenPath(plan.stroke->path)) {
        for (const PointF p : polygon) {
            const double dx = p.x - plan.centre.x;
            const double dy = p.y - plan.centre.y;
            EXPECT_TRUE(rectContains(
                bounds, {plan.centre.x + dx * c - dy * s, plan.centre.y + dx * s + dy * c}))
                << p.x << ", " << p.y;
        }
    }
}

} // namespace
} // namespace zentrel
