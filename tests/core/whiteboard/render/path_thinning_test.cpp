#include "whiteboard/render/path_thinning.h"

#include "fakes/counting_random.h"
#include "fakes/fake_clock.h"
#include "whiteboard/model/excalidraw/export/excalidraw_export.h"
#include "whiteboard/render/element_render_plan.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cmath>

using namespace zentrel;

namespace {

// A wave through `count` points at most 0.06 points apart, with a ripple of 3 points on top: far
// more points than pixels at any usual zoom.
WhiteboardElement denseLine(int count, WhiteboardElementKind kind = WhiteboardElementKind::line)
{
    WhiteboardElement line;
    line.kind = kind;
    line.style.roughness = 2;
    for (int i = 0; i < count; ++i) {
        line.points.push_back({i * 0.02, 100 * std::sin(i * 0.0005) + 3 * std::sin(i * 0.01)});
    }
    line.x = line.points.front().x;
    line.y = line.points.front().y;
    line.width = line.points.back().x - line.x;
    line.height = line.points.back().y - line.y;
    return line;
}

} // namespace

TEST(PathThinning, KeepsTheEndsAndPointsAToleranceApartWithinTheBudget)
{
    const std::vector<WhiteboardPoint> points = denseLine(100'000).points;
    const std::vector<WhiteboardPoint> apart = thinnedPoints(points, 0.25, 100'000);
    ASSERT_GT(apart.size(), 1000u);
    EXPECT_LT(apart.size(), 20'000u);
    EXPECT_EQ(apart.front(), points.front());
    EXPECT_EQ(apart.back(), points.back());
    for (std::size_t i = 1; i + 1 < apart.size(); ++i) {
        EXPECT_GE(std::hypot(apart[i].x - apart[i - 1].x, apart[i].y - apart[i - 1].y), 0.25);
    }
    // A zigzag keeps every point a tolerance apart: the budget bounds it still.
    std::vector<WhiteboardPoint> zigzag;
    for (int i = 0; i < 50'000; ++i) {
        zigzag.push_back({i * 0.01, i % 2 * 30.0});
    }
    const std::vector<WhiteboardPoint> bounded = thinnedPoints(zigzag, 0.25, 4096);
    EXPECT_EQ(bounded.size(), 4096u);
    EXPECT_EQ(bounded.back(), zigzag.back());
    // A closed loop smaller than the tolerance keeps three points, so it stays a loop.
    EXPECT_EQ(thinnedPoints({{0, 0}, {0.1, 0}, {0.1, 0.1}, {0, 0.1}, {0, 0}}, 1, 10).size(), 3u);
}

TEST(PathThinning, OnlyLongPathsAreThinnedAndOnlyEveryDoublingOfTheScale)
{
    const WhiteboardElement line = denseLine(thinnedPathThreshold + 1);
    EXPECT_TRUE(isThinnedForPainting(line));
    EXPECT_TRUE(isThinnedForPainting(denseLine(5000, WhiteboardElementKind::freedraw)));
    EXPECT_FALSE(isThinnedForPainting(denseLine(thinnedPathThreshold)));
    WhiteboardElement shape = line;
    shape.kind = WhiteboardElementKind::rectangle;
    EXPECT_FALSE(isThinnedForPainting(shape));

    EXPECT_EQ(elementPaintScale(line, 0.8), 1);
    EXPECT_EQ(elementPaintScale(line, 1), 1);
    EXPECT_EQ(elementPaintScale(line, 1.3), 2);
    EXPECT_EQ(elementPaintScale(line, 0.1), 0.125);
    EXPECT_EQ(elementPaintScale(shape, 1.3), 0);
    WhiteboardElement placeholder = shape;
    placeholder.kind = WhiteboardElementKind::unsupported;
    EXPECT_EQ(elementPaintScale(placeholder, 1.3), 1.3);
}

TEST(PathThinning, PaintsALongLineThroughFewPointsAndExportsEveryOne)
{
    const WhiteboardElement line = denseLine(100'000);
    const ElementRenderPlan plan = elementRenderPlan(line, RoughnessLevel::high, 1, {});
    ASSERT_TRUE(plan.stroke);
    EXPECT_LE(plan.stroke->path.elements().size(), thinnedPathBudget);
    EXPECT_GT(plan.stroke->path.elements().size(), 1000u);

    WhiteboardBoard board;
    board.elements.push_back(makeElement(line));
    FakeClock clock;
    const auto document = exportExcalidrawDocument(board, clock, countingRandom());
    ASSERT_TRUE(document);
    const auto points = nlohmann::json::parse(*document)["elements"][0]["points"];
    ASSERT_EQ(points.size(), 100'000u);
    EXPECT_EQ(points[777][1].get<double>(), line.points[777].y - line.y);
}
