#include "whiteboard/render/dense_outline.h"

#include <gtest/gtest.h>

namespace zentrel {
namespace {

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
