#include "whiteboard/render/dense_outline.h"

#include "core/whiteboard/model/excalidraw/large_excalidraw_documents.h"

#include <gtest/gtest.h>

namespace zentrel {
namespace {

TEST(DenseOutline, OneFarPointLeavesADenseOutlineDense)
{
    std::vector<PointF> comb;
    for (const auto &[x, y] : combCorners(2'000, 1e4)) {
        comb.push_back({x, y});
    }
    ASSERT_TRUE(isDenseArea({comb}));
    for (const PointF far : {PointF{0, 1e11}, PointF{1e5, -1e5}, PointF{-1e300, 1e300}}) {
        std::vector<PointF> reaching = comb;
        reaching.insert(reaching.begin() + 500, far);
        EXPECT_TRUE(isDenseArea({reaching})) << far.x << ", " << far.y;
    }
    // The same crossings spread over rows of their own are not dense: a staircase.
    std::vector<PointF> stairs{{0, 0}};
    for (int step = 0; step < 2'000; ++step) {
        stairs.push_back({double(step + 1), double(step)});
        stairs.push_back({double(step + 1), double(step + 1)});
    }
    stairs.push_back({0, 2'000});
    EXPECT_FALSE(isDenseArea({stairs}));
}

TEST(DenseOutline, AStrokeIsDenseWhereItsLineCrossesARowHalfAsOften)
{
    // Hand shading: a line up and down 40 times, a far point or not.
    Path shading;
    shading.moveTo({0, 0});
    for (int turn = 1; turn <= 80; ++turn) {
        shading.lineTo({turn * 2.0, turn % 2 == 0 ? 0.0 : 100.0});
    }
    EXPECT_TRUE(isDenseStroke(shading));
    shading.lineTo({0, 1e11});
    EXPECT_TRUE(isDenseStroke(shading));
    // The same pieces one after another down the rows, and few of them back and forth.
    Path stairs;
    stairs.moveTo({0, 0});
    for (int step = 1; step <= 80; ++step) {
        stairs.cubicTo(
            {step - 0.5, step - 1.0}, {step - 0.5, double(step)}, {double(step), double(step)});
    }
    EXPECT_FALSE(isDenseStroke(stairs));
    Path few;
    few.moveTo({0, 0});
    for (int turn = 1; turn <= 30; ++turn) {
        few.lineTo({turn * 2.0, turn % 2 == 0 ? 0.0 : 100.0});
    }
    EXPECT_FALSE(isDenseStroke(few));
}

} // namespace
} // namespace zentrel
