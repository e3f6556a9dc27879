#include "whiteboard/render/coverage_raster.h"

#include "core/whiteboard/model/excalidraw/large_excalidraw_documents.h"

#include <gtest/gtest.h>

namespace zentrel {
namespace {

std::vector<PointF> box(double left, double top, double right, double bottom)
{
    return {{left, top}, {right, top}, {right, bottom}, {left, bottom}};
}

int alphaAt(const CoverageMask &mask, int x, int y)
{
    return mask.alpha[static_cast<std::size_t>(y * mask.width + x)];
}

TEST(CoverageRasterTest, CoversWholePixelsWholeAndCutOnesByTheirShare)
{
    const CoverageMask mask = rasterizedCoverage({box(1, 1, 3.5, 3)}, true, 5, 4);
    ASSERT_EQ(mask.alpha.size(), 20u);
    EXPECT_EQ(alphaAt(mask, 1, 1), 255);
    EXPECT_EQ(alphaAt(mask, 2, 2), 255);
    EXPECT_EQ(alphaAt(mask, 3, 2), 128);
    EXPECT_EQ(alphaAt(mask, 0, 1), 0);
    EXPECT_EQ(alphaAt(mask, 4, 1), 0);
    EXPECT_EQ(alphaAt(mask, 1, 0), 0);
    EXPECT_EQ(alphaAt(mask, 1, 3), 0);
}

TEST(CoverageRasterTest, EvenOddLeavesAHoleWhereNonZeroFills)
{
    const std::vector<std::vector<PointF>> nested{box(0, 0, 6, 6), box(2, 2, 4, 4)};
    EXPECT_EQ(alphaAt(rasterizedCoverage(nested, false, 6, 6), 3, 3), 0);
    EXPECT_EQ(alphaAt(rasterizedCoverage(nested, true, 6, 6), 3, 3), 255);
    EXPECT_EQ(alphaAt(rasterizedCoverage(nested, false, 6, 6), 1, 3), 255);
}

TEST(CoverageRasterTest, ACombOfTenThousandTeethShowsEachToothItsPixelsShow)
{
    // The teeth four pixels wide and apart: 480 of them across a 1920-pixel row.
    std::vector<PointF> comb;
    for (const auto &[x, y] : combCorners(10'000, 1e4)) {
        comb.push_back({8 * x - 4000, 8 * y - 100});
    }
    const CoverageMask mask = rasterizedCoverage({comb}, false, 1920, 200);
    for (int x = 0; x < 1920; ++x) {
        EXPECT_EQ(alphaAt(mask, x, 150), x % 8 < 4 ? 255 : 0) << x;
    }
}

TEST(CoverageRasterTest, AnEdgeWithinOnePixelRowEndsWhereItEnds)
{
    // A sawtooth whose short rising edges start and end inside one pixel row: nothing spills
    // right of the teeth.
    std::vector<PointF> saw{{0, 4}, {0, 1.3}, {2, 1.4}, {2, 1.45}, {4, 1.55}, {4, 4}};
    for (const bool nonZero : {true, false}) {
        const CoverageMask mask = rasterizedCoverage({saw}, nonZero, 8, 4);
        for (int y = 0; y < 4; ++y) {
            for (int x = 4; x < 8; ++x) {
                EXPECT_EQ(alphaAt(mask, x, y), 0) << x << ", " << y << nonZero;
            }
        }
        EXPECT_EQ(alphaAt(mask, 1, 2), 255);
        // Pixel (1, 1) is covered below the edge, from 1.35 at its left to 1.4 at its right.
        EXPECT_NEAR(alphaAt(mask, 1, 1), 255 * 0.625, 1);
    }
}

TEST(CoverageRasterTest, AnEdgeToAFarPointIsCutWhereItCrossesTheGrid)
{
    // A spike 10^11 pixels long: across the grid, it covers rows 0 to 10 all along.
    const std::vector<PointF> spike{{0, 0}, {10, 0}, {1e11, 5}, {10, 10}, {0, 10}};
    const CoverageMask mask = rasterizedCoverage({spike}, false, 300, 30);
    for (const int x : {0, 150, 299}) {
        EXPECT_EQ(alphaAt(mask, x, 5), 255) << x;
        EXPECT_EQ(alphaAt(mask, x, 20), 0) << x;
    }
}

TEST(CoverageRasterTest, OutlinesPastTheGridAndEmptyGridsCostNothing)
{
    EXPECT_TRUE(rasterizedCoverage({box(-1e12, -1e12, 1e12, 1e12)}, true, 0, 0).alpha.empty());
    const CoverageMask mask = rasterizedCoverage({box(-1e12, -1e12, 1e12, 1e12)}, true, 3, 2);
    EXPECT_EQ(mask.alpha, std::vector<std::uint8_t>(6, 255));
    // Wholly left of the grid, and reaching into it from the left.
    EXPECT_EQ(rasterizedCoverage({box(-10, -1, -5, 3)}, false, 3, 2).alpha,
              std::vector<std::uint8_t>(6, 0));
    EXPECT_EQ(rasterizedCoverage({box(-10, 0, 2, 1), box(-9, 0, 1, 1)}, false, 3, 2).alpha,
              (std::vector<std::uint8_t>{0, 255, 0, 0, 0, 0}));
}

} // namespace
} // namespace zentrel
