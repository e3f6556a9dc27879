#include "whiteboard/render/element_render_plan.h"

#include "path_points.h"
#include "whiteboard/model/excalidraw/export/excalidraw_export.h"
#include "whiteboard/render/render_geometry.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <optional>
#include <string>
#include <vector>

namespace zentrel {
namespace {

WhiteboardElement shape(WhiteboardElementKind kind, RectF frame)
{
    WhiteboardElement element;
    element.kind = kind;
    element.setFrame(frame);
    for (std::size_t i = 0; i < element.id.bytes.size(); ++i) {
        element.id.bytes[i] = static_cast<std::uint8_t>(i * 17 + 3);
    }
    return element;
}

// An imported polyline: its frame runs from its first point to its last.
WhiteboardElement polyline(WhiteboardElementKind kind, std::vector<WhiteboardPoint> points)
{
    const WhiteboardPoint first = points.front();
    const WhiteboardPoint last = points.back();
    WhiteboardElement element = shape(kind, {first.x, first.y, last.x - first.x, last.y - first.y});
    element.points = std::move(points);
    return element;
}

// Where a plan point lands on the board once the plan's rotation is applied.
PointF toScene(const ElementRenderPlan &plan, PointF point)
{
    const double c = std::cos(plan.rotation);
    const double s = std::sin(plan.rotation);
    const double dx = point.x - plan.centre.x;
    const double dy = point.y - plan.centre.y;
    return {plan.centre.x + dx * c - dy * s, plan.centre.y + dx * s + dy * c};
}

SizeF fixedMeasure(std::string_view text, WhiteboardTypeface, double size)
{
    return {double(text.size()) * size * 0.5, size * 1.2};
}

// The plan's stroke; a missing one fails the test instead of being read.
RenderStroke strokeOf(const WhiteboardElement &element, RoughnessLevel level)
{
    auto stroke = elementRenderPlan(element, level, 1, {}).stroke;
    if (!stroke) {
        ADD_FAILURE() << "the element has no stroke";
        return {};
    }
    return *stroke;
}

TEST(ElementRenderPlanTest, SameSeedGivesSamePlanOnEveryCall)
{
    WhiteboardElement element = shape(WhiteboardElementKind::rectangle, {10, 20, 120, 80});
    element.style.fillColor = "#336699";
    element.style.fillStyle = WhiteboardFillStyle::hachure;
    const ElementRenderPlan first = elementRenderPlan(element, RoughnessLevel::high, 1, {});
    const ElementRenderPlan second = elementRenderPlan(element, RoughnessLevel::high, 1, {});
    EXPECT_EQ(first, second);
    ASSERT_TRUE(first.stroke);
    // The rough outline really differs from the smooth one, so the comparison means something.
    EXPECT_NE(first.stroke->path, rectangleOutline({10, 20, 120, 80}));

    WhiteboardElement other = element;
    other.id.bytes[0] ^= 0xFF;
    EXPECT_NE(elementRoughSeed(other), elementRoughSeed(element));
    EXPECT_NE(strokeOf(other, RoughnessLevel::high).path, first.stroke->path);
}

// An element wobbles the same on the canvas and in Excalidraw: without a stored seed both take
// the one the Excalidraw export writes for its id.
TEST(ElementRenderPlanTest, SeedIsTheExportedSeedUnlessOneIsStored)
{
    WhiteboardBoard board;
    board.elements.push_back(makeElement(shape(WhiteboardElementKind::ellipse, {0, 0, 10, 10})));
    const auto document = exportExcalidrawDocument(board);
    ASSERT_TRUE(document);
    const auto exportedSeed =
        nlohmann::json::parse(*document)["elements"][0]["seed"].get<std::uint64_t>();
    WhiteboardElement element = *board.elements.front();
    EXPECT_EQ(elementRoughSeed(element), exportedSeed);

    element.excalidrawSeed = 424242;
    EXPECT_EQ(elementRoughSeed(element), 424242u);
}

TEST(ElementRenderPlanTest, RoughnessFollowsStoredLevelAndSkipsText)
{
    WhiteboardElement element = shape(WhiteboardElementKind::rectangle, {0, 0, 10, 10});
    element.style.roughness = 0;
    EXPECT_EQ(elementRenderRoughness(element), RoughnessLevel::none);
    element.style.roughness = 3;
    EXPECT_EQ(elementRenderRoughness(element), RoughnessLevel::high);
    element.kind = WhiteboardElementKind::text;
    EXPECT_EQ(elementRenderRoughness(element), RoughnessLevel::none);
}

TEST(ElementRenderPlanTest, SmoothRectangleLiesExactlyOnFrame)
{
    WhiteboardElement element = shape(WhiteboardElementKind::rectangle, {10, 20, 100, 50});
    element.style.strokeWidth = 0.2;
    element.style.opacity = 0.5;
    element.style.strokeColor = "#FF0000";
    const ElementRenderPlan plan = elementRenderPlan(element, RoughnessLevel::none, 1, {});
    ASSERT_TRUE(plan.stroke);
    EXPECT_EQ(pointsOf(plan.stroke->path),
              (std::vector<PointF>{{10, 20}, {110, 20}, {110, 70}, {10, 70}}));
    EXPECT_EQ(plan.stroke->width, 0.5);
    EXPECT_EQ(plan.stroke->color, (Color{1, 0, 0, 0.5}));
    EXPECT_TRUE(plan.stroke->dash.empty());
    EXPECT_FALSE(plan.fillColor);
    EXPECT_FALSE(plan.hatch);
}

TEST(ElementRenderPlanTest, RoundedCornerRadiusIsQuarterOfShorterSideUpTo16)
{
    WhiteboardElement narrow = shape(WhiteboardElementKind::rectangle, {0, 0, 40, 200});
    narrow.style.roundnessType = 3;
    const Path narrowPath = strokeOf(narrow, RoughnessLevel::none).path;
    EXPECT_EQ(narrowPath.elements().front().points[0], (PointF{10, 0}));

    WhiteboardElement square = shape(WhiteboardElementKind::rectangle, {0, 0, 200, 200});
    square.style.roundnessType = 3;
    const Path squarePath = strokeOf(square, RoughnessLevel::none).path;
    EXPECT_EQ(squarePath.elements().front().points[0], (PointF{16, 0}));
}

TEST(ElementRenderPlanTest, SmoothEllipseAndDiamondTouchFrameEdgeMidpoints)
{
    const RectF frame{0, 0, 80, 40};
    const auto ellipse =
        pointsOf(strokeOf(shape(WhiteboardElementKind::ellipse, frame), RoughnessLevel::none).path);
    for (const PointF point : {PointF{80, 20}, PointF{40, 40}, PointF{0, 20}, PointF{40, 0}}) {
        EXPECT_NE(std::find(ellipse.begin(), ellipse.end(), point), ellipse.end());
    }
    const auto diamond =
        pointsOf(strokeOf(shape(WhiteboardElementKind::diamond, frame), RoughnessLevel::none).path);
    EXPECT_EQ(diamond, (std::vector<PointF>{{40, 0}, {80, 20}, {40, 40}, {0, 20}}));
}

bool insideEllipse(PointF p, RectF r)
{
    const double nx = (p.x - (r.x + r.width / 2)) / (r.width / 2);
    const double ny = (p.y - (r.y + r.height / 2)) / (r.height / 2);
    return nx * nx + ny * ny <= 1.0 + 1e-3;
}

TEST(ElementRenderPlanTest, HatchLinesStayInsideShape)
{
    const RectF frame{50, 30, 120, 60};
    WhiteboardElement element = shape(WhiteboardElementKind::ellipse, frame);
    element.style.fillColor = "#00FF00";
    element.style.opacity = 0.5;
    element.style.fillStyle = WhiteboardFillStyle::crossHatch;
    const ElementRenderPlan plan = elementRenderPlan(element, RoughnessLevel::medium, 1, {});
    ASSERT_TRUE(plan.hatch);
    EXPECT_FALSE(plan.fillColor);
    EXPECT_EQ(plan.hatch->color, (Color{0, 1, 0, 0.5}));
    EXPECT_EQ(plan.hatch->width, 1);
    const auto points = pointsOf(plan.hatch->path);
    ASSERT_GT(points.size(), 20u);
    bool rising = false;
    bool falling = false;
    for (std::size_t i = 0; i + 1 < points.size(); i += 2) {
        EXPECT_TRUE(insideEllipse(points[i], frame));
        EXPECT_TRUE(insideEllipse(points[i + 1], frame));
        const double dx = points[i + 1].x - points[i].x;
        const double dy = points[i + 1].y - points[i].y;
        EXPECT_NEAR(std::abs(dx), std::abs(dy), 1e-9);
        (dx * dy < 0 ? rising : falling) = true;
    }
    EXPECT_TRUE(rising);
    EXPECT_TRUE(falling);
}

TEST(ElementRenderPlanTest, FillOnlyWithFillColourAndClearWhenUnreadable)
{
    WhiteboardElement element = shape(WhiteboardElementKind::rectangle, {0, 0, 10, 10});
    element.style.fillStyle = WhiteboardFillStyle::hachure;
    ElementRenderPlan plan = elementRenderPlan(element, RoughnessLevel::none, 1, {});
    EXPECT_FALSE(plan.fillColor);
    EXPECT_FALSE(plan.hatch);

    element.style.fillStyle = WhiteboardFillStyle::solid;
    element.style.fillColor = "transparent";
    plan = elementRenderPlan(element, RoughnessLevel::none, 1, {});
    ASSERT_TRUE(plan.fillColor);
    EXPECT_EQ(plan.fillColor->alpha, 0);
    ASSERT_TRUE(plan.stroke);
    EXPECT_EQ(plan.fillPath, plan.stroke->path);
}

// Whether `point` lies inside the path filled even-odd, all its outlines together, as the
// painter fills it.
bool filledAt(const Path &path, PointF point)
{
    bool inside = false;
    for (const std::vector<PointF> &polygon : flattenPath(path)) {
        for (std::size_t i = 0, j = polygon.size() - 1; i < polygon.size(); j = i++) {
            const PointF a = polygon[i];
            const PointF b = polygon[j];
            if ((a.y > point.y) != (b.y > point.y)
                && point.x < a.x + (point.y - a.y) * (b.x - a.x) / (b.y - a.y)) {
                inside = !inside;
            }
        }
    }
    return inside;
}

// How near the hatch lines come to `point`.
double hatchReach(const RenderStroke &hatch, PointF point)
{
    const std::vector<PointF> ends = pointsOf(hatch.path);
    double nearest = INFINITY;
    for (std::size_t i = 0; i + 1 < ends.size(); i += 2) {
        nearest = std::min(nearest, distanceToSegment(point, ends[i], ends[i + 1]));
    }
    return nearest;
}

// Every kind that is filled, in the frame (20, 10, 120, 80): rectangles sharp and rounded,
// ellipse, diamond, marker and a closed line around it.
std::vector<WhiteboardElement> filledKinds()
{
    const RectF frame{20, 10, 120, 80};
    WhiteboardElement rounded = shape(WhiteboardElementKind::rectangle, frame);
    rounded.style.roundnessType = 3;
    return {shape(WhiteboardElementKind::rectangle, frame),
            rounded,
            shape(WhiteboardElementKind::ellipse, frame),
            shape(WhiteboardElementKind::diamond, frame),
            shape(WhiteboardElementKind::marker, frame),
            polyline(WhiteboardElementKind::line,
                     {{20, 10}, {140, 10}, {140, 90}, {20, 90}, {20, 10}})};
}

TEST(ElementRenderPlanTest, EveryFillCoversTheCentreAtEveryRoughness)
{
    const PointF centre{80, 50};
    for (WhiteboardElement element : filledKinds()) {
        for (const int roughness : {0, 1, 2, 3, -1, 7}) {
            element.style.roughness = roughness;
            for (const auto style : {std::optional<WhiteboardFillStyle>(),
                                     std::optional(WhiteboardFillStyle::solid),
                                     std::optional(WhiteboardFillStyle::hachure),
                                     std::optional(WhiteboardFillStyle::crossHatch)}) {
                const std::string where = std::to_string(int(element.kind)) + " roughness "
                                          + std::to_string(roughness) + " style "
                                          + std::to_string(style ? int(*style) : -1);
                element.style.fillStyle = style;
                element.style.fillColor = "#FF0000";
                ElementRenderPlan plan =
                    elementRenderPlan(element, elementRenderRoughness(element), 1, fixedMeasure);
                if (style.value_or(WhiteboardFillStyle::solid) == WhiteboardFillStyle::solid) {
                    EXPECT_EQ(plan.fillColor, (Color{1, 0, 0, 1})) << where;
                    EXPECT_TRUE(filledAt(plan.fillPath, centre)) << where;
                } else {
                    ASSERT_TRUE(plan.hatch) << where;
                    // Lines 8 points apart along x pass within 3 of any point inside.
                    EXPECT_LT(hatchReach(*plan.hatch, centre), 3) << where;
                }
                if (element.kind == WhiteboardElementKind::marker) {
                    ASSERT_TRUE(plan.text) << where;
                    EXPECT_EQ(plan.text->lines.at(0).text, "1") << where;
                }
                element.style.fillColor.reset();
                plan = elementRenderPlan(element, elementRenderRoughness(element), 1, {});
                EXPECT_FALSE(plan.fillColor || plan.hatch) << where;
                EXPECT_TRUE(plan.stroke) << where;
            }
        }
    }
}

TEST(ElementRenderPlanTest, DashPatternsFollowStrokeStyle)
{
    WhiteboardElement element = shape(WhiteboardElementKind::line, {0, 0, 50, 0});
    element.style.strokeWidth = 0.2;
    element.style.strokeStyle = WhiteboardStrokeStyle::dashed;
    RenderStroke stroke = strokeOf(element, RoughnessLevel::none);
    EXPECT_EQ(stroke.dash, (std::vector<double>{4, 3}));
    EXPECT_EQ(stroke.cap, RenderLineCap::round);

    element.kind = WhiteboardElementKind::rectangle;
    element.style.strokeWidth = 2;
    element.style.strokeStyle = WhiteboardStrokeStyle::dotted;
    stroke = strokeOf(element, RoughnessLevel::none);
    EXPECT_EQ(stroke.dash, (std::vector<double>{0.1, 5}));
    EXPECT_EQ(stroke.cap, RenderLineCap::round);
}

TEST(ElementRenderPlanTest, SmoothArrowHeadMeetsEndPoint)
{
    WhiteboardElement element = shape(WhiteboardElementKind::arrow, {10, 10, 100, -50});
    element.style.strokeWidth = 5;
    const Path path = strokeOf(element, RoughnessLevel::none).path;
    const auto &e = path.elements();
    ASSERT_EQ(e.size(), 5u);
    const PointF end{110, -40};
    EXPECT_EQ(e[0].points[0], (PointF{10, 10}));
    EXPECT_EQ(e[1].points[0], end);
    EXPECT_EQ(e[3].points[0], end);
    for (const PointF barb : {e[2].points[0], e[4].points[0]}) {
        EXPECT_NEAR(std::hypot(barb.x - end.x, barb.y - end.y), 20, 1e-9);
    }
}

TEST(ElementRenderPlanTest, RoughArrowEndsNearEndPoint)
{
    WhiteboardElement element = shape(WhiteboardElementKind::arrow, {0, 0, 200, 100});
    const Path path = strokeOf(element, RoughnessLevel::low).path;
    ASSERT_FALSE(path.isEmpty());
    double nearest = 1e9;
    for (const PointF point : pointsOf(path)) {
        nearest = std::min(nearest, std::hypot(point.x - 200, point.y - 100));
    }
    EXPECT_LT(nearest, 5);
}

TEST(ElementRenderPlanTest, LineRunsThroughEveryPoint)
{
    const std::vector<WhiteboardPoint> zigzag{{0, 0}, {20, 60}, {40, 0}, {60, 60}, {80, 0}};
    const WhiteboardElement line = polyline(WhiteboardElementKind::line, zigzag);
    const Path smooth = strokeOf(line, RoughnessLevel::none).path;
    EXPECT_EQ(pointsOf(smooth),
              (std::vector<PointF>{{0, 0}, {20, 60}, {40, 0}, {60, 60}, {80, 0}}));
    EXPECT_NE(smooth.elements().back().op, Path::Op::close);

    // Hand-drawn, every corner is still passed exactly.
    const std::vector<PointF> rough = pointsOf(strokeOf(line, RoughnessLevel::high).path);
    for (const WhiteboardPoint corner : zigzag) {
        EXPECT_NE(std::find(rough.begin(), rough.end(), PointF{corner.x, corner.y}), rough.end())
            << corner.x << ", " << corner.y;
    }
    // A line drawn here keeps its two points: the frame's start and end.
    EXPECT_EQ(
        pointsOf(strokeOf(shape(WhiteboardElementKind::line, {5, 5, 10, 20}), RoughnessLevel::none)
                     .path),
        (std::vector<PointF>{{5, 5}, {15, 25}}));
}

TEST(ElementRenderPlanTest, ArrowHeadFollowsTheLastSegment)
{
    // The last segment points straight down; a repeated end point does not turn the head.
    WhiteboardElement arrow =
        polyline(WhiteboardElementKind::arrow, {{0, 0}, {100, 0}, {100, 100}, {100, 100}});
    arrow.style.strokeWidth = 2;
    const Path smooth = strokeOf(arrow, RoughnessLevel::none).path;
    const auto &e = smooth.elements();
    ASSERT_EQ(e.size(), 7u);
    EXPECT_EQ(e[3].points[0], (PointF{100, 100}));
    const PointF left = e[4].points[0];
    const PointF right = e[6].points[0];
    EXPECT_EQ(e[5].points[0], (PointF{100, 100}));
    EXPECT_NEAR(left.y, right.y, 1e-9);
    EXPECT_NEAR(left.x - 100, 100 - right.x, 1e-9);
    EXPECT_NEAR(100 - left.y, 12 * std::cos(std::numbers::pi / 7), 1e-9);

    // Hand-drawn, both wings leave the tip upwards.
    const Path rough = strokeOf(arrow, RoughnessLevel::medium).path;
    const std::vector<PointF> points = pointsOf(rough);
    ASSERT_FALSE(points.empty());
    int nearTip = 0;
    for (const PointF point : points) {
        EXPECT_LT(point.y, 102);
        nearTip += std::hypot(point.x - 100, point.y - 100) < 1 ? 1 : 0;
    }
    EXPECT_GE(nearTip, 3); // the shaft's end and both wings' starts
}

TEST(ElementRenderPlanTest, ClosedLineIsOneOutlineFilledAsAShape)
{
    WhiteboardElement square =
        polyline(WhiteboardElementKind::line, {{0, 0}, {40, 0}, {40, 40}, {0, 40}, {0, 0}});
    square.style.fillColor = "#FF0000";
    ElementRenderPlan plan = elementRenderPlan(square, RoughnessLevel::none, 1, {});
    ASSERT_TRUE(plan.stroke);
    EXPECT_EQ(pointsOf(plan.stroke->path),
              (std::vector<PointF>{{0, 0}, {40, 0}, {40, 40}, {0, 40}}));
    EXPECT_EQ(plan.stroke->path.elements().back().op, Path::Op::close);
    EXPECT_EQ(plan.fillColor, (Color{1, 0, 0, 1}));
    EXPECT_EQ(plan.fillPath, plan.stroke->path);

    square.style.fillStyle = WhiteboardFillStyle::hachure;
    plan = elementRenderPlan(square, RoughnessLevel::medium, 1, {});
    ASSERT_TRUE(plan.hatch);
    EXPECT_FALSE(plan.fillColor);
    for (const PointF point : pointsOf(plan.hatch->path)) {
        EXPECT_TRUE(point.x >= -1e-9 && point.x <= 40 + 1e-9 && point.y >= -1e-9
                    && point.y <= 40 + 1e-9)
            << point.x << ", " << point.y;
    }

    // An open line with a fill colour is not filled.
    WhiteboardElement open = polyline(WhiteboardElementKind::line, {{0, 0}, {40, 0}, {40, 40}});
    open.style.fillColor = "#FF0000";
    plan = elementRenderPlan(open, RoughnessLevel::none, 1, {});
    EXPECT_FALSE(plan.fillColor);
    EXPECT_FALSE(plan.hatch);
}

TEST(ElementRenderPlanTest, FreedrawWithoutPointsPlansNothing)
{
    WhiteboardElement element = shape(WhiteboardElementKind::freedraw, {0, 0, 10, 10});
    EXPECT_FALSE(elementRenderPlan(element, RoughnessLevel::high, 1, {}).stroke);
    element.points = {{1, 2}, {3, 4}, {5, 1}};
    const auto plan = elementRenderPlan(element, RoughnessLevel::none, 1, {});
    EXPECT_EQ(pointsOf(plan.stroke->path), (std::vector<PointF>{{1, 2}, {3, 4}, {5, 1}}));
}

TEST(ElementRenderPlanTest, RotationIsAboutFrameCentre)
{
    WhiteboardElement element = shape(WhiteboardElementKind::rectangle, {0, 0, 100, 50});
    element.rotation = std::numbers::pi / 2;
    const ElementRenderPlan plan = elementRenderPlan(element, RoughnessLevel::none, 1, {});
    EXPECT_EQ(plan.centre, (PointF{50, 25}));
    const PointF corner = toScene(plan, {100, 0});
    EXPECT_NEAR(corner.x, 75, 1e-9);
    EXPECT_NEAR(corner.y, 75, 1e-9);
    const PointF centre = toScene(plan, {50, 25});
    EXPECT_NEAR(centre.x, 50, 1e-9);
    EXPECT_NEAR(centre.y, 25, 1e-9);
}

TEST(ElementRenderPlanTest, PolylineTurnsAboutItsPointsBox)
{
    WhiteboardElement bent = polyline(WhiteboardElementKind::line, {{0, 0}, {50, 100}, {100, 0}});
    bent.rotation = 1;
    EXPECT_EQ(elementRenderPlan(bent, RoughnessLevel::none, 1, {}).centre, (PointF{50, 50}));
}

TEST(ElementRenderPlanTest, MarkerNumberIsCentredWhiteAndOpaque)
{
    WhiteboardElement element = shape(WhiteboardElementKind::marker, {0, 0, 30, 20});
    element.style.fillColor = "#0000FF";
    element.style.opacity = 0.5;
    const ElementRenderPlan plan =
        elementRenderPlan(element, RoughnessLevel::none, 1, fixedMeasure);
    ASSERT_TRUE(plan.text);
    EXPECT_EQ(plan.text->lines, (std::vector<RenderTextLine>{{"1", {12.5, 4}}}));
    EXPECT_EQ(plan.text->fontSize, 10);
    EXPECT_EQ(plan.text->color, (Color{1, 1, 1, 1}));
    EXPECT_EQ(plan.fillColor, (Color{0, 0, 1, 0.5}));
}

TEST(ElementRenderPlanTest, TextDefaultsAndBox)
{
    WhiteboardElement element = shape(WhiteboardElementKind::text, {5, 6, 200, 40});
    ElementRenderPlan plan = elementRenderPlan(element, RoughnessLevel::none, 1, fixedMeasure);
    ASSERT_TRUE(plan.text);
    EXPECT_FALSE(plan.stroke);
    EXPECT_EQ(plan.text->lines, (std::vector<RenderTextLine>{{"", {5, 6}}}));
    EXPECT_EQ(plan.text->typeface, WhiteboardTypeface::handDrawn);
    EXPECT_EQ(plan.text->fontSize, 24);

    // Left-aligned lines one line height (1.2 × 24) apart.
    element.text = "ab\ncd";
    plan = elementRenderPlan(element, RoughnessLevel::none, 1, fixedMeasure);
    ASSERT_TRUE(plan.text);
    EXPECT_EQ(plan.text->lines,
              (std::vector<RenderTextLine>{{"ab", {5, 6}}, {"cd", {5, 6 + 28.8}}}));
}

TEST(ElementRenderPlanTest, PlaceholderKeepsScreenSizeAndIgnoresElementColours)
{
    WhiteboardElement element = shape(WhiteboardElementKind::unsupported, {10, 10, 100, 60});
    element.style.opacity = 0.3;
    const ElementRenderPlan plan =
        elementRenderPlan(element, RoughnessLevel::high, 2, fixedMeasure);
    ASSERT_TRUE(plan.stroke);
    EXPECT_EQ(plan.stroke->dash, (std::vector<double>{3, 2}));
    EXPECT_EQ(plan.stroke->width, 0.5);
    EXPECT_EQ(plan.stroke->color.alpha, 1);
    EXPECT_EQ(pointsOf(plan.stroke->path),
              (std::vector<PointF>{{10, 10}, {110, 10}, {110, 70}, {10, 70}}));
    ASSERT_TRUE(plan.text);
    EXPECT_EQ(plan.text->lines, (std::vector<RenderTextLine>{{"Unsupported", {14, 14}}}));
    EXPECT_EQ(plan.text->fontSize, 5.5);
    EXPECT_EQ(plan.text->color, plan.stroke->color);
}

} // namespace
} // namespace zentrel

namespace zentrel {
namespace {

// Every point of the plan's paths and text box, shifted by `offset`, in one list to compare.
std::vector<PointF> planPoints(const ElementRenderPlan &plan, PointF offset = {})
{
    std::vector<PointF> points = pointsOf(plan.fillPath);
    for (const std::optional<RenderStroke> *stroke : {&plan.hatch, &plan.stroke}) {
        if (*stroke) {
            const std::vector<PointF> more = pointsOf((*stroke)->path);
            points.insert(points.end(), more.begin(), more.end());
        }
    }
    if (plan.text) {
        for (const RenderTextLine &line : plan.text->lines) {
            points.push_back(line.origin);
        }
    }
    for (PointF &point : points) {
        point = {point.x + offset.x, point.y + offset.y};
    }
    return points;
}

TEST(RenderTranslationTest, MovedElementsDrawAsTheirFormerSelvesShifted)
{
    std::vector<WhiteboardElement> elements;
    for (const WhiteboardElementKind kind : {WhiteboardElementKind::rectangle,
                                             WhiteboardElementKind::ellipse,
                                             WhiteboardElementKind::diamond,
                                             WhiteboardElementKind::line,
                                             WhiteboardElementKind::arrow,
                                             WhiteboardElementKind::marker,
                                             WhiteboardElementKind::text}) {
        WhiteboardElement element = shape(kind, {10.3, 20.7, 120, 60});
        element.rotation = 0.4;
        element.style.fillColor = "#00FF00";
        element.style.fillStyle = WhiteboardFillStyle::crossHatch;
        element.text = "Moved";
        elements.push_back(element);
    }
    WhiteboardElement stroke = shape(WhiteboardElementKind::freedraw, {0, 0, 50, 50});
    stroke.points = {{0.1, 0.2}, {10.3, 40.7}, {33.3, 12.9}, {50, 50}};
    elements.push_back(stroke);
    WhiteboardElement bent =
        polyline(WhiteboardElementKind::arrow, {{0.1, 0.2}, {10.3, 40.7}, {33.3, 12.9}, {50, 50}});
    bent.rotation = 0.4;
    elements.push_back(bent);
    WhiteboardElement closed =
        polyline(WhiteboardElementKind::line, {{0.1, 0.2}, {40.3, 0.7}, {33.3, 42.9}, {0.1, 0.2}});
    closed.style.fillColor = "#00FF00";
    closed.style.fillStyle = WhiteboardFillStyle::crossHatch;
    elements.push_back(closed);

    for (const WhiteboardElement &from : elements) {
        WhiteboardElement to = from;
        to.translate(37.1, -12.9);
        to.excalidrawVersion = 7;
        to.excalidrawEditedAt = 1700000000000; // the edit noted on a moved imported element
        const std::optional<PointF> offset = renderTranslation(from, to);
        ASSERT_TRUE(offset) << static_cast<int>(from.kind);
        EXPECT_NEAR(offset->x, 37.1, 1e-9);
        EXPECT_NEAR(offset->y, -12.9, 1e-9);
        // What a canvas reuses must be what drawing the moved element afresh gives.
        const auto fresh = planPoints(elementRenderPlan(to, RoughnessLevel::high, 1, fixedMeasure));
        const auto shifted =
            planPoints(elementRenderPlan(from, RoughnessLevel::high, 1, fixedMeasure), *offset);
        ASSERT_EQ(fresh.size(), shifted.size()) << static_cast<int>(from.kind);
        for (std::size_t i = 0; i < fresh.size(); ++i) {
            EXPECT_NEAR(fresh[i].x, shifted[i].x, 1e-6) << static_cast<int>(from.kind) << " " << i;
            EXPECT_NEAR(fresh[i].y, shifted[i].y, 1e-6) << static_cast<int>(from.kind) << " " << i;
        }
    }
}

TEST(RenderTranslationTest, AnyOtherChangeIsNoTranslation)
{
    const WhiteboardElement from = shape(WhiteboardElementKind::rectangle, {0, 0, 100, 50});
    WhiteboardElement resized = from;
    resized.setFrame({5, 5, 110, 50});
    WhiteboardElement restyled = from;
    restyled.x += 5;
    restyled.style.strokeWidth = 9;
    WhiteboardElement other = from;
    other.id.bytes[0] ^= 1;
    EXPECT_FALSE(renderTranslation(from, resized));
    EXPECT_FALSE(renderTranslation(from, restyled));
    EXPECT_FALSE(renderTranslation(from, other));
    EXPECT_EQ(renderTranslation(from, from), (PointF{0, 0}));

    WhiteboardElement stroke = shape(WhiteboardElementKind::freedraw, {0, 0, 50, 50});
    stroke.points = {{0, 0}, {10, 40}, {50, 50}};
    WhiteboardElement bent = stroke;
    bent.translate(10, 10);
    bent.points[1].x += 1;
    EXPECT_FALSE(renderTranslation(stroke, bent));
    // A polyline's middle point that stayed while its frame moved is a new shape.
    const WhiteboardElement line =
        polyline(WhiteboardElementKind::line, {{0, 0}, {10, 40}, {50, 50}});
    WhiteboardElement reshaped = line;
    reshaped.translate(10, 10);
    EXPECT_EQ(renderTranslation(line, reshaped), (PointF{10, 10}));
    reshaped.points[1] = line.points[1];
    EXPECT_FALSE(renderTranslation(line, reshaped));
    // A turned stroke turns about its frame's centre, which must have come along.
    stroke.rotation = 0.5;
    WhiteboardElement pointsOnly = stroke;
    for (WhiteboardPoint &point : pointsOnly.points) {
        point = {point.x + 10, point.y};
    }
    EXPECT_FALSE(renderTranslation(stroke, pointsOnly));
}

// Every point of the rough stroke of `element`, whose stroke is 8 wide, lies within its paint
// bounds less the stroke's half width, which reaches past the path itself.
void expectPathWithinPaintBounds(const WhiteboardElement &element)
{
    const ElementRenderPlan plan =
        elementRenderPlan(element, RoughnessLevel::high, 1, fixedMeasure);
    RectF bounds = elementPaintBounds(element, 1);
    bounds = {bounds.x + 4, bounds.y + 4, bounds.width - 8, bounds.height - 8};
    ASSERT_TRUE(plan.stroke);
    for (const PointF point : pointsOf(plan.stroke->path)) {
        const PointF scene = toScene(plan, point);
        EXPECT_TRUE(bounds.contains(scene))
            << static_cast<int>(element.kind) << ": " << scene.x << ", " << scene.y;
    }
}

TEST(ElementPaintBoundsTest, HoldEveryPaintedPointOfRoughRotatedShapes)
{
    for (const WhiteboardElementKind kind : {WhiteboardElementKind::rectangle,
                                             WhiteboardElementKind::ellipse,
                                             WhiteboardElementKind::diamond,
                                             WhiteboardElementKind::line,
                                             WhiteboardElementKind::arrow}) {
        WhiteboardElement element = shape(kind, {10, 20, 120, -60});
        element.rotation = 0.7;
        element.style.strokeWidth = 8;
        element.style.roughness = 3;
        expectPathWithinPaintBounds(element);
    }
}

TEST(ElementPaintBoundsTest, HoldEveryPaintedPointOfTurnedPolylines)
{
    for (const WhiteboardElementKind kind :
         {WhiteboardElementKind::line, WhiteboardElementKind::arrow}) {
        for (const std::vector<WhiteboardPoint> &points :
             {std::vector<WhiteboardPoint>{{0, 0}, {60, 200}, {-80, 120}, {120, 10}},
              std::vector<WhiteboardPoint>{{0, 0}, {90, 0}, {90, 90}, {0, 0}}}) {
            WhiteboardElement element = polyline(kind, points);
            element.rotation = 2.2;
            element.style.strokeWidth = 8;
            expectPathWithinPaintBounds(element);
        }
    }
}

TEST(ElementPaintBoundsTest, PlaceholderLabelReachGrowsAsTheViewZoomsOut)
{
    const WhiteboardElement element = shape(WhiteboardElementKind::unsupported, {0, 0, 10, 10});
    EXPECT_GT(elementPaintBounds(element, 0.1).width,
              10 * elementPaintBounds(element, 1).width / 2);
}

} // namespace
} // namespace zentrel
