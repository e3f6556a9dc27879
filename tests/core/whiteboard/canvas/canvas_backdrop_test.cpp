#include "whiteboard/canvas/canvas_backdrop.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace zentrel {
namespace {

// Every moveTo/lineTo pair of a path of straight segments.
std::vector<std::pair<PointF, PointF>> segmentsOf(const Path &path)
{
    std::vector<std::pair<PointF, PointF>> segments;
    const auto &elements = path.elements();
    for (std::size_t i = 0; i + 1 < elements.size(); i += 2) {
        segments.push_back({elements[i].points[0], elements[i + 1].points[0]});
    }
    return segments;
}

TEST(PaperTextureTest, PatternDependsOnlyOnViewCoordinates)
{
    const PaperTexture whole = paperTexture({0, 0, 400, 300}, false);
    EXPECT_EQ(whole.strokes, paperTexture({0, 0, 400, 300}, false).strokes);

    // A stroke of the first row: x starts one column left of the view, offset by |17 i| mod 13.
    const auto segments = segmentsOf(whole.strokes);
    ASSERT_FALSE(segments.empty());
    EXPECT_EQ(segments.front().first, (PointF{-72, 0}));
    // Length (|11 i + x| mod 31) + 18 with i = 0, x = -72; rise (0 rem 3) - 1.
    EXPECT_EQ(segments.front().second, (PointF{-72 + 72 % 31 + 18, -1}));

    // Rows above the origin keep the sign of their remainder, so they tilt the other way.
    const auto above = segmentsOf(paperTexture({0, -40, 100, 10}, false).strokes);
    const auto row = std::find_if(
        above.begin(), above.end(), [](const auto &segment) { return segment.first.y == -36; });
    ASSERT_NE(row, above.end());
    EXPECT_EQ(row->second.y - row->first.y, -2 - 1);
}

TEST(PaperTextureTest, DotsAreLargerOnEveryFourthDiagonalAndColoursFollowBackground)
{
    const PaperTexture white = paperTexture({0, 0, 50, 50}, false);
    ASSERT_FALSE(white.dots.empty());
    EXPECT_EQ(white.dots.front(), (RectF{0, 0, 0.9, 0.9}));
    EXPECT_EQ(white.dots[1], (RectF{23 + 13 % 9, 5 % 8, 0.55, 0.55}));
    EXPECT_EQ(white.strokeColor, (Color{0, 0, 0, 0.025}));
    EXPECT_EQ(white.dotColor, (Color{0, 0, 0, 0.04}));

    const PaperTexture black = paperTexture({0, 0, 50, 50}, true);
    EXPECT_EQ(black.strokeColor, (Color{1, 1, 1, 0.022}));
    EXPECT_EQ(black.dotColor, (Color{1, 1, 1, 0.035}));
}

TEST(BoardGridTest, LinesFortyUnitsApartHalfAPointWideAtAnyZoom)
{
    WhiteboardViewport viewport{2, {10, 0}};
    const BoardGrid grid = boardGrid({0, 0, 200, 100}, viewport, true);
    EXPECT_DOUBLE_EQ(grid.lineWidth, 0.25);
    EXPECT_EQ(grid.color, (Color{1, 1, 1, 0.12}));
    const auto segments = segmentsOf(grid.lines);
    // Visible scene x from -5 to 95: verticals at 0, 40, 80; y from 0 to 50: horizontals at 0, 40.
    ASSERT_EQ(segments.size(), 5u);
    EXPECT_EQ(segments[0].first, (PointF{0, 0}));
    EXPECT_EQ(segments[0].second, (PointF{0, 50}));
    EXPECT_EQ(segments[2].first.x, 80);
    EXPECT_EQ(segments[4].first, (PointF{-5, 40}));
    EXPECT_EQ(segments[4].second, (PointF{95, 40}));

    EXPECT_EQ(boardGrid({0, 0, 10, 10}, {}, false).color, (Color{0, 0, 0, 0.1}));
}

TEST(FrozenScreenAreaTest, CoversTheSceneSizeFromTheSceneOrigin)
{
    EXPECT_EQ(frozenScreenArea({1920, 1080}), (RectF{0, 0, 1920, 1080}));
    EXPECT_EQ(frozenScreenArea({0, 0}), (RectF{0, 0, 1, 1}));
    EXPECT_FALSE(frozenScreenArea({-5, 100}));
    EXPECT_FALSE(frozenScreenArea({100, 0}));
    EXPECT_FALSE(frozenScreenArea({std::nan(""), 100}));
}

} // namespace
} // namespace zentrel
