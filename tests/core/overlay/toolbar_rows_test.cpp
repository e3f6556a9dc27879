#include "overlay/toolbar_rows.h"

#include <gtest/gtest.h>

#include <vector>

using namespace zentrel;

namespace {

using Starts = std::vector<std::size_t>;

// Draw's toolbar: tools, colours, edits, then session, settings and close; 17 between groups.
const std::vector<double> drawGroups{360, 176, 118, 192};
constexpr double drawGap = 17;

} // namespace

TEST(ToolbarRows, AToolbarThatFitsKeepsOneRow)
{
    // 846 + 3 gaps = 897: as wide as on a 1080p monitor.
    EXPECT_EQ(toolbarRowStarts(drawGroups, drawGap, 1904), (Starts{0}));
    EXPECT_EQ(toolbarRowStarts(drawGroups, drawGap, 897), (Starts{0}));
    EXPECT_EQ(toolbarRowStarts({}, drawGap, 100), (Starts{}));
}

TEST(ToolbarRows, BreaksAtAGroupWhereTheWidestRowIsNarrowest)
{
    // An 800-point monitor: two rows. Filling the first row as far as it goes would leave
    // 360 + 176 + 118 + 2 gaps = 688 over 192; the tools over the rest are at most 520 wide.
    EXPECT_EQ(toolbarRowStarts(drawGroups, drawGap, 784), (Starts{0, 1}));
    EXPECT_EQ(toolbarRowStarts(drawGroups, drawGap, 896), (Starts{0, 1}));
    // Among equally wide breaks, the upper rows are the fuller.
    EXPECT_EQ(toolbarRowStarts({100, 100, 100, 100, 100}, 10, 400), (Starts{0, 3}));
}

TEST(ToolbarRows, TakesMoreRowsOnlyWhereTwoDoNotFit)
{
    EXPECT_EQ(toolbarRowStarts(drawGroups, drawGap, 520), (Starts{0, 1}));
    EXPECT_EQ(toolbarRowStarts(drawGroups, drawGap, 519), (Starts{0, 1, 3}));
    EXPECT_EQ(toolbarRowStarts({100, 100, 100, 100}, 10, 210), (Starts{0, 2}));
    EXPECT_EQ(toolbarRowStarts({100, 100, 100, 100}, 10, 209), (Starts{0, 1, 2, 3}));
}

TEST(ToolbarRows, AGroupWiderThanTheLimitTakesARowOfItsOwn)
{
    EXPECT_EQ(toolbarRowStarts({50, 400, 50}, 10, 300), (Starts{0, 1, 2}));
    EXPECT_EQ(toolbarRowStarts({400}, 10, 300), (Starts{0}));
    EXPECT_EQ(toolbarRowStarts({50, 50, 400}, 10, 300), (Starts{0, 2}));
}
