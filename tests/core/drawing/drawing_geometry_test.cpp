#include "drawing/drawing_geometry.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <vector>

using namespace zentrel;

namespace {

using Op = Path::Op;

DrawingStroke strokeOf(DrawingTool tool, std::vector<PointF> points, double lineWidth = 4)
{
    return DrawingStroke{tool, std::move(points), {1, 0, 0, 0.3}, lineWidth, {}, std::nullopt};
}

std::vector<Op> opsOf(const Path &path)
{
    std::vector<Op> ops;
    for (const Path::Element &element : path.elements()) {
        ops.push_back(element.op);
    }
    return ops;
}

void expectNear(PointF actual, PointF expected)
{
    EXPECT_NEAR(actual.x, expected.x, 1e-9);
    EXPECT_NEAR(actual.y, expected.y, 1e-9);
}

} // namespace

TEST(DrawingGeometry, FreehandCurvesToMidpointsWithControlsOnTheSamples)
{
    const Path path =
        strokeGeometry(strokeOf(DrawingTool::freehand, {{0, 0}, {10, 0}, {10, 10}, {20, 10}}), 4);

    ASSERT_EQ(opsOf(path), (std::vector{Op::moveTo, Op::cubicTo, Op::cubicTo, Op::lineTo}));
    const auto &elements = path.elements();
    EXPECT_EQ(elements[1].points, (std::array<PointF, 3>{{{10, 0}, {10, 0}, {10, 5}}}));
    EXPECT_EQ(elements[2].points, (std::array<PointF, 3>{{{10, 10}, {10, 10}, {15, 10}}}));
    EXPECT_EQ(elements[3].points[0], (PointF{20, 10}));
}

TEST(DrawingGeometry, FreehandOfTwoPointsIsALineAndOfOnePointShowsNothing)
{
    const Path line = strokeGeometry(strokeOf(DrawingTool::freehand, {{1, 2}, {3, 4}}), 4);
    EXPECT_EQ(opsOf(line), (std::vector{Op::moveTo, Op::lineTo}));
    EXPECT_EQ(line.currentPoint(), (PointF{3, 4}));

    const Path dot = strokeGeometry(strokeOf(DrawingTool::freehand, {{1, 2}}), 4);
    EXPECT_EQ(opsOf(dot), std::vector{Op::moveTo});
    EXPECT_TRUE(strokeGeometry(strokeOf(DrawingTool::freehand, {}), 4).isEmpty());
}

TEST(DrawingGeometry, ArrowWingsSpreadByASeventhOfPiAndGrowWithWidth)
{
    const DrawingStroke arrow = strokeOf(DrawingTool::arrow, {{0, 0}, {100, 0}});
    const double angle = std::numbers::pi / 7;
    for (const auto &[width, head] : std::vector<std::pair<double, double>>{{2, 12}, {5, 20}}) {
        const Path path = strokeGeometry(arrow, width);
        ASSERT_EQ(opsOf(path),
                  (std::vector{Op::moveTo, Op::lineTo, Op::moveTo, Op::lineTo, Op::lineTo}));
        const auto &elements = path.elements();
        EXPECT_EQ(elements[0].points[0], (PointF{0, 0}));
        EXPECT_EQ(elements[1].points[0], (PointF{100, 0}));
        expectNear(elements[2].points[0], {100 - head * std::cos(angle), head * std::sin(angle)});
        EXPECT_EQ(elements[3].points[0], (PointF{100, 0}));
        expectNear(elements[4].points[0], {100 - head * std::cos(angle), -head * std::sin(angle)});
    }
}

TEST(DrawingGeometry, RectangleAndDiamondSpanTheTwoPointsInAnyOrder)
{
    const Path rect = strokeGeometry(strokeOf(DrawingTool::rectangle, {{40, 30}, {10, 10}}), 4);
    ASSERT_EQ(opsOf(rect),
              (std::vector{Op::moveTo, Op::lineTo, Op::lineTo, Op::lineTo, Op::close}));
    std::vector<PointF> corners;
    for (std::size_t i = 0; i < 4; ++i) {
        corners.push_back(rect.elements()[i].points[0]);
    }
    EXPECT_EQ(corners, (std::vector<PointF>{{10, 10}, {40, 10}, {40, 30}, {10, 30}}));

    const Path diamond = strokeGeometry(strokeOf(DrawingTool::diamond, {{40, 30}, {10, 10}}), 4);
    ASSERT_EQ(opsOf(diamond), opsOf(rect));
    std::vector<PointF> tips;
    for (std::size_t i = 0; i < 4; ++i) {
        tips.push_back(diamond.elements()[i].points[0]);
    }
    EXPECT_EQ(tips, (std::vector<PointF>{{25, 10}, {40, 20}, {25, 30}, {10, 20}}));
}

TEST(DrawingGeometry, EllipseIsFourQuarterArcsInsideTheRectangle)
{
    const Path path = strokeGeometry(strokeOf(DrawingTool::ellipse, {{0, 0}, {40, 20}}), 4);
    ASSERT_EQ(
        opsOf(path),
        (std::vector{Op::moveTo, Op::cubicTo, Op::cubicTo, Op::cubicTo, Op::cubicTo, Op::close}));
    const auto &elements = path.elements();
    EXPECT_EQ(elements[0].points[0], (PointF{40, 10}));
    EXPECT_EQ(elements[1].endPoint(), (PointF{20, 20}));
    EXPECT_EQ(elements[2].endPoint(), (PointF{0, 10}));
    EXPECT_EQ(elements[3].endPoint(), (PointF{20, 0}));
    EXPECT_EQ(elements[4].endPoint(), (PointF{40, 10}));
    // Controls sit kappa of the radius along the tangent.
    expectNear(elements[1].points[0], {40, 10 + 0.5522847498 * 10});
    expectNear(elements[1].points[1], {20 + 0.5522847498 * 20, 20});
}

TEST(DrawingGeometry, LineAndToolsWithoutGeometry)
{
    const Path line = strokeGeometry(strokeOf(DrawingTool::line, {{1, 1}, {5, 5}, {9, 2}}), 4);
    EXPECT_EQ(opsOf(line), (std::vector{Op::moveTo, Op::lineTo}));
    EXPECT_EQ(line.currentPoint(), (PointF{9, 2}));
    EXPECT_TRUE(strokeGeometry(strokeOf(DrawingTool::number, {{1, 1}, {2, 2}}), 4).isEmpty());
    EXPECT_TRUE(strokeGeometry(strokeOf(DrawingTool::eraser, {{1, 1}, {2, 2}}), 4).isEmpty());
}

TEST(DrawingGeometry, ContrastColorFollowsLuminance)
{
    const Color black{0, 0, 0, 1};
    const Color white{1, 1, 1, 1};
    EXPECT_EQ(contrastColor({1, 0, 0, 1}), white);
    EXPECT_EQ(contrastColor({1, 1, 0, 0.2}), black);
    EXPECT_EQ(contrastColor({0, 0.7, 0, 1}), black);   // luminance 0.50064
    EXPECT_EQ(contrastColor({0, 0.699, 0, 1}), white); // luminance 0.49992
    EXPECT_EQ(contrastColor({0, 0, 1, 1}), white);
}

TEST(DrawingGeometry, ShadowAndOutlineHaveFloorsForThinStrokes)
{
    EXPECT_EQ(drawingShadow(1, 1), (DrawingShadow{{0, 0, 0, 0.45}, 2}));
    EXPECT_EQ(drawingShadow(10, 0.5).blurRadius, 7.5);
    EXPECT_DOUBLE_EQ(drawingShadow(10, 0.5).color.alpha, 0.225);
    EXPECT_EQ(outlineWidth(1), 5);
    EXPECT_EQ(outlineWidth(4), 8);
    EXPECT_DOUBLE_EQ(outlineWidth(10), 18);
}

TEST(DrawingGeometry, StrokeStyleLayersShadowOutlineAndColour)
{
    const DrawingStroke arrow = strokeOf(DrawingTool::arrow, {{0, 0}, {100, 0}}, 4);
    const std::optional<StrokeStyle> style = strokeStyle(arrow, 0.8, {});
    ASSERT_TRUE(style.has_value());
    EXPECT_EQ(style->shadow, drawingShadow(4, 0.8));
    ASSERT_TRUE(style->outline.has_value());
    EXPECT_EQ(style->outline->width, 8);
    EXPECT_EQ(style->outline->color, (Color{1, 1, 1, 0.8}));
    EXPECT_EQ(style->outline->path, strokeGeometry(arrow, 8));
    EXPECT_TRUE(style->outline->roundCapsAndJoins);
    // The outline's wings are longer than the coloured ones.
    EXPECT_NE(style->outline->path, style->stroke.path);
    EXPECT_EQ(style->stroke, (StrokePass{strokeGeometry(arrow, 4), {1, 0, 0, 0.8}, 4, true}));
}

TEST(DrawingGeometry, StrokeStyleFollowsTheContrastSwitches)
{
    const DrawingStroke rect = strokeOf(DrawingTool::rectangle, {{0, 0}, {10, 10}});
    const auto plain = strokeStyle(rect, 1, {false, true});
    ASSERT_TRUE(plain.has_value());
    EXPECT_FALSE(plain->shadow.has_value());
    EXPECT_FALSE(plain->outline.has_value());
    EXPECT_FALSE(plain->stroke.roundCapsAndJoins);

    const auto shadowOnly = strokeStyle(rect, 1, {true, false});
    EXPECT_TRUE(shadowOnly->shadow.has_value());
    EXPECT_FALSE(shadowOnly->outline.has_value());

    EXPECT_EQ(strokeStyle(rect, 0, {}), std::nullopt);
    EXPECT_EQ(strokeStyle(strokeOf(DrawingTool::line, {}), 1, {}), std::nullopt);
}

TEST(DrawingGeometry, MarkerGrowsWithLineWidthAboveItsFloor)
{
    EXPECT_EQ(markerDiameter(4), 30);
    EXPECT_EQ(markerDiameter(10), 50);

    const NumberedMarker marker{{100, 200}, 12, {1, 1, 0, 1}};
    const std::optional<MarkerStyle> style = markerStyle(marker, 10, 0.5, {});
    ASSERT_TRUE(style.has_value());
    EXPECT_EQ(style->disc, (MarkerDisc{{75, 175, 50, 50}, {1, 1, 0, 0.5}}));
    EXPECT_EQ(style->ring, (MarkerDisc{{72, 172, 56, 56}, {0, 0, 0, 0.5}}));
    ASSERT_TRUE(style->shadow.has_value());
    EXPECT_DOUBLE_EQ(style->shadow->blurRadius, 5.625);
    EXPECT_DOUBLE_EQ(style->shadow->color.alpha, 0.225);
    EXPECT_EQ(style->text, "12");
    EXPECT_EQ(style->fontSize, 25);
    EXPECT_EQ(style->textColor, (Color{1, 1, 1, 0.5}));
    EXPECT_EQ(style->textCenter, (PointF{100, 200}));
}

TEST(DrawingGeometry, MarkerStyleFollowsTheContrastSwitches)
{
    const NumberedMarker marker{{0, 0}, 1, {0, 0, 1, 1}};
    const auto small = markerStyle(marker, 2, 1, {true, false});
    ASSERT_TRUE(small.has_value());
    EXPECT_DOUBLE_EQ(small->shadow->blurRadius, 3.375);
    EXPECT_FALSE(small->ring.has_value());
    EXPECT_EQ(small->disc.bounds, (RectF{-15, -15, 30, 30}));

    const auto plain = markerStyle(marker, 2, 1, {false, true});
    EXPECT_FALSE(plain->shadow.has_value());
    EXPECT_FALSE(plain->ring.has_value());
    EXPECT_EQ(markerStyle(marker, 2, 0, {}), std::nullopt);
}
