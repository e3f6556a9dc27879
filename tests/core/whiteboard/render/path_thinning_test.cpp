#include "whiteboard/render/path_thinning.h"

#include "comb_element.h"
#include "common/geometry.h"
#include "fakes/counting_random.h"
#include "fakes/fake_clock.h"
#include "whiteboard/model/excalidraw/export/excalidraw_export.h"
#include "whiteboard/render/element_render_plan.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <numbers>
#include <unordered_map>
#include <utility>
#include <vector>

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

// How far the farthest point of `from` lies from the polyline `to`, found at points `step` apart
// along `from`, so it falls short of the truth by step / 2 at most. Distances past `reach` are
// reported as 2 × reach.
double farthest(const std::vector<WhiteboardPoint> &from,
                const std::vector<WhiteboardPoint> &to,
                double step,
                double reach)
{
    // The segments of `to` by the cells `reach` wide their boxes cover.
    const auto cellOf = [reach](double x, double y) {
        return (std::int64_t(std::floor(x / reach)) << 32) + std::int64_t(std::floor(y / reach));
    };
    std::unordered_map<std::int64_t, std::vector<std::size_t>> cells;
    for (std::size_t i = 0; i + 1 < to.size(); ++i) {
        const double left = std::min(to[i].x, to[i + 1].x);
        const double top = std::min(to[i].y, to[i + 1].y);
        for (double x = left; x < std::max(to[i].x, to[i + 1].x) + reach; x += reach) {
            for (double y = top; y < std::max(to[i].y, to[i + 1].y) + reach; y += reach) {
                std::vector<std::size_t> &cell = cells[cellOf(x, y)];
                if (cell.empty() || cell.back() != i) {
                    cell.push_back(i);
                }
            }
        }
    }
    double worst = 0;
    const auto measure = [&](PointF point) {
        double nearest = 2 * reach;
        for (const double dx : {-reach, 0.0, reach}) {
            for (const double dy : {-reach, 0.0, reach}) {
                const auto found = cells.find(cellOf(point.x + dx, point.y + dy));
                if (found == cells.end()) {
                    continue;
                }
                for (const std::size_t i : found->second) {
                    nearest = std::min(
                        nearest,
                        distanceToSegment(point, {to[i].x, to[i].y}, {to[i + 1].x, to[i + 1].y}));
                }
            }
        }
        worst = std::max(worst, nearest);
    };
    for (std::size_t i = 0; i + 1 < from.size(); ++i) {
        const PointF a{from[i].x, from[i].y};
        const PointF b{from[i + 1].x, from[i + 1].y};
        const int samples = std::max(1, int(std::ceil(distance(a, b) / step)));
        for (int k = 0; k < samples; ++k) {
            const double t = double(k) / samples;
            measure({a.x + (b.x - a.x) * t, a.y + (b.y - a.y) * t});
        }
    }
    measure({from.back().x, from.back().y});
    return worst;
}

// A random walk, a zigzag, a spiral, and the outlines of a comb of teeth 0.05 points apart and
// of a ring that zigzags a point in and out, each through some `count` points: far more than
// pixels at any usual zoom.
std::vector<std::vector<WhiteboardPoint>> densePaths(int count)
{
    std::vector<std::vector<WhiteboardPoint>> paths(5);
    std::uint64_t state = 12345;
    const auto random = [&state] {
        state = state * 6364136223846793005u + 1442695040888963407u;
        return double(state >> 11) / double(1ull << 53);
    };
    WhiteboardPoint walker{50, 50};
    for (int i = 0; i < count; ++i) {
        walker = {walker.x + (random() - 0.5) / 10, walker.y + (random() - 0.5) / 10};
        paths[0].push_back(walker);
        paths[1].push_back({100.0 * i / count, i % 2 * 5.0 + 40});
        const double radius = 50.0 * i / count;
        paths[2].push_back({50 + radius * std::cos(0.05 * i), 50 + radius * std::sin(0.05 * i)});
        // Up one side of a tooth, across its top and down the other.
        const int corner = i % 4;
        paths[3].push_back(
            {i / 4 * 0.05 + (corner >= 2 ? 0.025 : 0), corner == 1 || corner == 2 ? 40.0 : 60.0});
        const double turn = 2 * std::numbers::pi * i / count;
        const double reach = i % 2 == 0 ? 45 : 44;
        paths[4].push_back({50 + reach * std::cos(turn), 50 + reach * std::sin(turn)});
    }
    // Each outline closes: the comb along its spine.
    paths[3].insert(paths[3].end(), {{paths[3].back().x, 70}, {0, 70}, paths[3].front()});
    paths[4].push_back(paths[4].front());
    return paths;
}

} // namespace

TEST(PathThinning, KeepsTheEndsAndFewerPointsThanCellsWithinTheBudget)
{
    const std::vector<WhiteboardPoint> points = denseLine(100'000).points;
    const std::vector<WhiteboardPoint> kept = thinnedPoints(points, 0.25, 100'000);
    ASSERT_GT(kept.size(), 1000u);
    EXPECT_LT(kept.size(), 20'000u);
    EXPECT_EQ(kept.front(), points.front());
    EXPECT_EQ(kept.back(), points.back());
    // A zigzag keeps each column's top and bottom: the budget bounds it still.
    std::vector<WhiteboardPoint> zigzag;
    for (int i = 0; i < 50'000; ++i) {
        zigzag.push_back({i * 0.01, i % 2 * 30.0});
    }
    const std::vector<WhiteboardPoint> bounded = thinnedPoints(zigzag, 0.25, 4096);
    EXPECT_LE(bounded.size(), 4096u);
    EXPECT_GT(bounded.size(), 1000u);
    EXPECT_EQ(bounded.front(), zigzag.front());
    EXPECT_EQ(bounded.back(), zigzag.back());
    // A closed loop smaller than a cell keeps three points at least, so it stays a loop.
    const std::vector<WhiteboardPoint> loop =
        thinnedPoints({{0, 0}, {0.1, 0}, {0.1, 0.1}, {0, 0.1}, {0, 0}}, 1, 10);
    EXPECT_GE(loop.size(), 3u);
    EXPECT_EQ(loop.back(), loop.front());
    EXPECT_EQ(thinnedPoints({{0, 0}, {0, 0}, {0, 0}, {0, 0}}, 1, 10).size(), 3u);
}

TEST(PathThinning, ACombKeepsItsCornersAndItsBottomEdge)
{
    const WhiteboardElement comb =
        combElement(WhiteboardElementKind::line, 10'000, 400, WhiteboardFillStyle::solid);
    for (const double scale : {0.125, 1.0, 8.0}) {
        const std::vector<WhiteboardPoint> kept = thinnedForPainting(comb, scale).points;
        ASSERT_LE(kept.size(), thinnedPathBudget) << scale;
        ASSERT_GE(kept.size(), 4u) << scale;
        // Around its spine: up the left side, and down the right and back along the bottom.
        EXPECT_EQ(kept[0], (WhiteboardPoint{0, 400})) << scale;
        EXPECT_EQ(kept[1], (WhiteboardPoint{0, 0})) << scale;
        for (std::size_t i = 1; i <= 3; ++i) {
            EXPECT_EQ(kept[kept.size() - i], comb.points[comb.points.size() - i]) << scale;
        }
        // Its teeth still reach the top, and the spine's top edge stays.
        for (const WhiteboardPoint point : kept) {
            EXPECT_TRUE(point.y == 0 || point.y == 360 || point.y == 400) << point.y;
        }
    }
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

// Thinned over the half-pixel cells painting uses, within the budget, a path stays within the
// diagonal of a cell of the whole, 0.71 pixels: found at points a quarter pixel apart, that is
// 0.75 at most, and the whole within a pixel.
TEST(PathThinning, AThinnedPathStaysWithinAPixelOfTheWholeAtEveryScale)
{
    for (const double scale : {0.25, 1.0, 4.0}) {
        int shape = 0;
        for (const std::vector<WhiteboardPoint> &points : densePaths(6000)) {
            const double pixel = 1 / scale;
            const std::vector<WhiteboardPoint> kept =
                thinnedPoints(points, pixel / 2, std::numeric_limits<std::size_t>::max());
            EXPECT_LT(kept.size(), points.size()) << scale << " " << shape;
            // Both ways: nothing of the whole goes missing, and nothing is added.
            EXPECT_LE(farthest(points, kept, pixel / 4, pixel), 0.75 * pixel)
                << scale << " " << shape;
            EXPECT_LE(farthest(kept, points, pixel / 4, pixel), 0.75 * pixel)
                << scale << " " << shape;
            ++shape;
        }
    }
}
