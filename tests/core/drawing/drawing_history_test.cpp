#include "drawing/drawing_history.h"

#include <gtest/gtest.h>

#include <vector>

using namespace zentrel;

namespace {

DrawingCanvasItem marker(int number)
{
    return NumberedMarker{{0, 0}, number, {}};
}

DrawingCanvasItem stroke(double x)
{
    return DrawingStroke{DrawingTool::line, {{x, 0}, {x, 10}}, {}, 4, {}, std::nullopt};
}

DrawingHistory historyOf(int count)
{
    DrawingHistory history;
    for (int number = 1; number <= count; ++number) {
        history.append(marker(number));
    }
    return history;
}

} // namespace

TEST(DrawingHistory, AppendPastLimitDropsOldest)
{
    DrawingHistory history = historyOf(20);
    history.undo();
    history.redoItems.push_back(marker(99));

    history.append(marker(21));
    history.append(marker(22));

    EXPECT_EQ(history.limit(), 20u);
    ASSERT_EQ(history.items.size(), 20u);
    EXPECT_EQ(history.items.front(), marker(2));
    EXPECT_EQ(history.items.back(), marker(22));
    EXPECT_TRUE(history.redoItems.empty());
}

TEST(DrawingHistory, UndoAndRedoOnEmptyListsChangeNothing)
{
    DrawingHistory history;
    EXPECT_EQ(history.undo(), std::nullopt);
    EXPECT_EQ(history.redo(), std::nullopt);
    EXPECT_EQ(history, DrawingHistory());

    history.append(stroke(1));
    const DrawingHistory before = history;
    EXPECT_EQ(history.redo(), std::nullopt);
    EXPECT_EQ(history, before);
}

TEST(DrawingHistory, UndoMovesNewestToRedoAndRedoMovesItBack)
{
    DrawingHistory history;
    history.append(stroke(1));
    history.append(marker(1));
    history.append(stroke(2));

    EXPECT_EQ(history.undo(), stroke(2));
    EXPECT_EQ(history.undo(), marker(1));
    EXPECT_EQ(history.items, std::vector{stroke(1)});
    EXPECT_EQ(history.redoItems, (std::vector{stroke(2), marker(1)}));

    EXPECT_EQ(history.redo(), marker(1));
    // Redo keeps the rest of the redo list, unlike append.
    EXPECT_EQ(history.redoItems, std::vector{stroke(2)});
    EXPECT_EQ(history.items, (std::vector{stroke(1), marker(1)}));
}

TEST(DrawingHistory, AppendAfterUndoForgetsUndoneItems)
{
    DrawingHistory history = historyOf(5);
    history.undo();
    history.undo();
    history.undo();

    history.append(marker(9));

    EXPECT_EQ(history.items, (std::vector{marker(1), marker(2), marker(9)}));
    EXPECT_EQ(history.redo(), std::nullopt);
}

TEST(DrawingHistory, RedoAtLimitRestoresCount)
{
    DrawingHistory history = historyOf(20);
    history.undo();
    EXPECT_EQ(history.redo(), marker(20));
    EXPECT_EQ(history.items.size(), 20u);
    EXPECT_EQ(history.items.front(), marker(1));

    history.undo();
    history.append(marker(21));
    EXPECT_EQ(history.items.size(), 20u);
    EXPECT_EQ(history.redo(), std::nullopt);
}

TEST(DrawingHistory, RedoTrimsItemsAddedBehindItsBack)
{
    // The canvas owner may fill the items directly; redo still keeps the limit.
    DrawingHistory history(3);
    history.redoItems = {marker(9)};
    history.items = {marker(1), marker(2), marker(3)};

    EXPECT_EQ(history.redo(), marker(9));
    EXPECT_EQ(history.items, (std::vector{marker(2), marker(3), marker(9)}));
}

TEST(NextMarkerNumber, FollowsTheLargestMarkerAndIgnoresStrokes)
{
    EXPECT_EQ(nextMarkerNumber({}), 1);
    EXPECT_EQ(nextMarkerNumber({stroke(1), stroke(2)}), 1);
    EXPECT_EQ(nextMarkerNumber({marker(1), marker(2), marker(5)}), 6);
    EXPECT_EQ(nextMarkerNumber({marker(3), stroke(1), marker(1)}), 4);
}
