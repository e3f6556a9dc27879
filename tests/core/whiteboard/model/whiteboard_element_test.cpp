#include "whiteboard/model/whiteboard_element.h"

#include <gtest/gtest.h>

#include <numbers>

using namespace zentrel;

namespace {

WhiteboardElement elementOf(WhiteboardElementKind kind, RectF frame, double strokeWidth = 1)
{
    WhiteboardElement element;
    element.kind = kind;
    element.setFrame(frame);
    element.style.strokeWidth = strokeWidth;
    return element;
}

WhiteboardElement strokeThrough(std::vector<WhiteboardPoint> points, double strokeWidth)
{
    WhiteboardElement element =
        elementOf(WhiteboardElementKind::freedraw, {1, 2, 3, 4}, strokeWidth);
    element.points = std::move(points);
    return element;
}

} // namespace

TEST(WhiteboardElement, SetFrameKeepsNegativeExtentsAndBoundsNormalise)
{
    const WhiteboardElement line = elementOf(WhiteboardElementKind::line, {10, 10, -10, -4});
    EXPECT_EQ(line.frame(), (RectF{10, 10, -10, -4}));
    EXPECT_EQ(line.bounds(), (RectF{0, 6, 10, 4}));
}

TEST(WhiteboardElement, FreehandBoundsGrowByTheFullStrokeWidth)
{
    EXPECT_EQ(strokeThrough({{0, 0}, {10, 0}}, 2).bounds(), (RectF{-2, -2, 14, 4}));
    EXPECT_EQ(strokeThrough({{5, 5}}, 2).bounds(), (RectF{3, 3, 4, 4}));
    // Without points the stored frame counts.
    EXPECT_EQ(strokeThrough({}, 2).bounds(), (RectF{1, 2, 3, 4}));
}

TEST(WhiteboardElement, LineHitReachIsToleranceplusStrokeWidth)
{
    const RectF backwards{10, 10, -10, 0};
    EXPECT_TRUE(elementOf(WhiteboardElementKind::line, backwards, 2).hitTest({5, 12}, 0));
    EXPECT_FALSE(elementOf(WhiteboardElementKind::line, backwards, 1).hitTest({5, 12}, 0));
    // Beyond the end, distance is to the end point, not the infinite line.
    EXPECT_FALSE(elementOf(WhiteboardElementKind::arrow, backwards, 1).hitTest({-3, 10}, 1));
    EXPECT_TRUE(elementOf(WhiteboardElementKind::arrow, backwards, 1).hitTest({-2, 10}, 1));
}

TEST(WhiteboardElement, EllipseAndDiamondAreForgivingNearTheirOutline)
{
    const WhiteboardElement ellipse = elementOf(WhiteboardElementKind::ellipse, {0, 0, 100, 50});
    EXPECT_TRUE(ellipse.hitTest({100, 25}, 0));
    EXPECT_FALSE(ellipse.hitTest({100, 50}, 0));
    EXPECT_TRUE(ellipse.hitTest({50 + 50 * 1.07, 25}, 0)); // u² ≈ 1.145
    EXPECT_FALSE(ellipse.hitTest({50 + 50 * 1.08, 25}, 0));

    const WhiteboardElement diamond = elementOf(WhiteboardElementKind::diamond, {0, 0, 100, 50});
    EXPECT_TRUE(diamond.hitTest({50 + 50 * 1.09, 25}, 0));
    EXPECT_FALSE(diamond.hitTest({50 + 50 * 1.11, 25}, 0));
    EXPECT_FALSE(diamond.hitTest({90, 45}, 0)); // |u| + |v| = 1.6

    EXPECT_FALSE(elementOf(WhiteboardElementKind::ellipse, {10, 10, 0, 30}).hitTest({10, 25}, 0));
}

TEST(WhiteboardElement, EllipseAndDiamondMeasureInTheFrameGrownByTheTolerance)
{
    // Grown by 10 the frame is (-10, -10, 120, 70): half-axes 60 and 35 about (50, 25).
    const WhiteboardElement ellipse = elementOf(WhiteboardElementKind::ellipse, {0, 0, 100, 50});
    EXPECT_TRUE(ellipse.hitTest({112, 25}, 10));  // u² ≈ 1.068
    EXPECT_FALSE(ellipse.hitTest({115, 25}, 10)); // u² ≈ 1.174
    EXPECT_FALSE(ellipse.hitTest({100, 50}, 10)); // the corner: u² + v² ≈ 1.204

    const WhiteboardElement diamond = elementOf(WhiteboardElementKind::diamond, {0, 0, 100, 50});
    EXPECT_TRUE(diamond.hitTest({115, 25}, 10));  // |u| ≈ 1.083
    EXPECT_FALSE(diamond.hitTest({117, 25}, 10)); // |u| ≈ 1.117
    EXPECT_FALSE(diamond.hitTest({100, 50}, 10)); // |u| + |v| ≈ 1.548
}

TEST(WhiteboardElement, FlatEllipseAndDiamondAreHitOnlyThroughTheTolerance)
{
    for (WhiteboardElementKind kind :
         {WhiteboardElementKind::ellipse, WhiteboardElementKind::diamond}) {
        const WhiteboardElement flat = elementOf(kind, {10, 10, 0, 30});
        EXPECT_FALSE(flat.hitTest({10, 25}, 0));
        // The grown frame has an area, and its half-axes measure the point.
        EXPECT_TRUE(flat.hitTest({10, 25}, 5));
        EXPECT_FALSE(flat.hitTest({16, 25}, 5));
        EXPECT_FALSE(elementOf(kind, {10, 10, 0, 0}).hitTest({10, 10}, 0));
    }
}

TEST(WhiteboardElement, RectangleLikeKindsIncludeMinimumEdgesOnly)
{
    for (WhiteboardElementKind kind : {WhiteboardElementKind::rectangle,
                                       WhiteboardElementKind::text,
                                       WhiteboardElementKind::marker,
                                       WhiteboardElementKind::unsupported}) {
        const WhiteboardElement element = elementOf(kind, {100, 50, -100, -50});
        EXPECT_TRUE(element.hitTest({99.9, 49.9}, 0));
        EXPECT_TRUE(element.hitTest({0, 0}, 0));
        EXPECT_FALSE(element.hitTest({100, 50}, 0));
        EXPECT_TRUE(element.hitTest({102, 52}, 3));
    }
}

TEST(WhiteboardElement, HitTestTurnsThePointBackByTheRotation)
{
    WhiteboardElement rectangle = elementOf(WhiteboardElementKind::rectangle, {0, 0, 100, 20});
    rectangle.rotation = std::numbers::pi / 2;
    EXPECT_TRUE(rectangle.hitTest({50, 50}, 0));
    EXPECT_FALSE(rectangle.hitTest({90, 10}, 0));
}

TEST(WhiteboardElement, FreehandHits)
{
    EXPECT_FALSE(strokeThrough({}, 5).hitTest({1, 2}, 10));
    // A single dot ignores its stroke width.
    EXPECT_TRUE(strokeThrough({{5, 5}}, 10).hitTest({8, 9}, 5));
    EXPECT_FALSE(strokeThrough({{5, 5}}, 10).hitTest({8, 9}, 4.9));
    const WhiteboardElement bent = strokeThrough({{0, 0}, {10, 0}, {10, 10}}, 2);
    EXPECT_TRUE(bent.hitTest({12, 5}, 0));
    EXPECT_FALSE(bent.hitTest({5, 5}, 2.9));
    EXPECT_TRUE(bent.hitTest({5, 5}, 3));
}

TEST(WhiteboardElement, TranslateMovesPointsOfFreehandAndFramesOfOthers)
{
    WhiteboardElement stroke = strokeThrough({{0, 0}, {10, 5}}, 1);
    stroke.translate(3, -2);
    EXPECT_EQ(stroke.points, (std::vector<WhiteboardPoint>{{3, -2}, {13, 3}}));
    EXPECT_EQ(stroke.frame(), (RectF{1, 2, 3, 4}));

    WhiteboardElement box = elementOf(WhiteboardElementKind::rectangle, {1, 2, 3, 4});
    box.points = {{7, 7}};
    box.translate(3, -2);
    EXPECT_EQ(box.frame(), (RectF{4, 0, 3, 4}));
    EXPECT_EQ(box.points, (std::vector<WhiteboardPoint>{{7, 7}}));
}

TEST(WhiteboardElement, ResizeMapsFrameAndKeepsFontSize)
{
    WhiteboardElement text = elementOf(WhiteboardElementKind::text, {10, 20, 30, 40});
    text.fontSize = 16;
    text.resize({10, 20, 30, 40}, {10, 20, 60, 80});
    EXPECT_EQ(text.frame(), (RectF{10, 20, 60, 80}));
    EXPECT_EQ(text.fontSize, 16);
    EXPECT_EQ(text.style.strokeWidth, 1);

    // Inside a selection, and flipped by a negative target width.
    WhiteboardElement line = elementOf(WhiteboardElementKind::line, {10, 0, 10, 10});
    line.resize({0, 0, 20, 20}, {100, 0, -40, 20});
    EXPECT_EQ(line.frame(), (RectF{80, 0, -20, 10}));
}

TEST(WhiteboardElement, ResizeFromAFlatRectangleOnlyShifts)
{
    WhiteboardElement line = elementOf(WhiteboardElementKind::line, {5, 0, 0, 10});
    line.resize({5, 0, 0, 10}, {50, 0, 30, 20});
    EXPECT_EQ(line.frame(), (RectF{50, 0, 0, 20}));

    WhiteboardElement stroke = strokeThrough({{2, 0}, {4, 10}}, 1);
    stroke.resize({0, 0, 10, 10}, {100, 100, 20, 5});
    EXPECT_EQ(stroke.points, (std::vector<WhiteboardPoint>{{104, 100}, {108, 105}}));
    EXPECT_EQ(stroke.frame(), (RectF{1, 2, 3, 4}));
}

namespace {

// An imported polyline: its frame runs from its first point to its last.
WhiteboardElement polyline(std::vector<WhiteboardPoint> points)
{
    const WhiteboardPoint first = points.front();
    const WhiteboardPoint last = points.back();
    WhiteboardElement line = elementOf(WhiteboardElementKind::line,
                                       {first.x, first.y, last.x - first.x, last.y - first.y});
    line.points = std::move(points);
    return line;
}

std::vector<PointF> pointsOf(std::vector<WhiteboardPoint> points)
{
    std::vector<PointF> result;
    for (const WhiteboardPoint &point : points) {
        result.push_back({point.x, point.y});
    }
    return result;
}

} // namespace

TEST(WhiteboardElement, LinePathIsTheFrameSegmentOrTheOwnPoints)
{
    const WhiteboardElement drawn = elementOf(WhiteboardElementKind::arrow, {10, 20, 30, -40});
    EXPECT_EQ(drawn.linePoints(), (std::vector<PointF>{{10, 20}, {40, -20}}));
    const WhiteboardElement bent = polyline({{0, 0}, {10, 20}, {30, 0}});
    EXPECT_EQ(bent.linePoints(), pointsOf(bent.points));
    // A closed shape: its frame has no extent, its path still every corner.
    const WhiteboardElement closed = polyline({{0, 0}, {10, 0}, {10, 10}, {0, 0}});
    EXPECT_EQ(closed.frame(), (RectF{0, 0, 0, 0}));
    EXPECT_EQ(closed.linePoints(), pointsOf(closed.points));
}

TEST(WhiteboardElement, LinePointsMoveAndResizeWithTheFrame)
{
    WhiteboardElement bent = polyline({{0, 0}, {10, 20}, {30, 0}});
    bent.translate(5, -5);
    EXPECT_EQ(bent.points, (std::vector<WhiteboardPoint>{{5, -5}, {15, 15}, {35, -5}}));
    EXPECT_EQ(bent.frame(), (RectF{5, -5, 30, 0}));
    bent.resize({5, -5, 30, 20}, {5, -5, 60, 10});
    EXPECT_EQ(bent.points, (std::vector<WhiteboardPoint>{{5, -5}, {25, 5}, {65, -5}}));
    EXPECT_EQ(bent.linePoints(), pointsOf(bent.points));

    // A closed shape resizes by its points' box, though its frame is a dot.
    WhiteboardElement closed = polyline({{0, 0}, {10, 0}, {10, 10}, {0, 0}});
    closed.resize({0, 0, 10, 10}, {0, 0, 20, 30});
    EXPECT_EQ(closed.points, (std::vector<WhiteboardPoint>{{0, 0}, {20, 0}, {20, 30}, {0, 0}}));
}

TEST(WhiteboardElement, LinePathFollowsEndsSetWithoutItsPoints)
{
    // An arrow aimed anew sets only its frame: the path turns and scales with its ends.
    WhiteboardElement bent = polyline({{0, 0}, {10, 10}, {20, 0}});
    bent.setFrame({100, 100, 0, 40});
    const std::vector<PointF> path = bent.linePoints();
    ASSERT_EQ(path.size(), 3u);
    EXPECT_EQ(path.front(), (PointF{100, 100}));
    EXPECT_NEAR(path[1].x, 80, 1e-9);
    EXPECT_NEAR(path[1].y, 120, 1e-9);
    EXPECT_NEAR(path.back().x, 100, 1e-9);
    EXPECT_NEAR(path.back().y, 140, 1e-9);

    // A closed shape has no direction to turn by, so it only moves.
    WhiteboardElement closed = polyline({{0, 0}, {10, 0}, {10, 10}, {0, 0}});
    closed.setFrame({50, 60, 0, 0});
    EXPECT_EQ(closed.linePoints(), (std::vector<PointF>{{50, 60}, {60, 60}, {60, 70}, {50, 60}}));
}
