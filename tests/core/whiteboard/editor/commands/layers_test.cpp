#include "core/whiteboard/editor/editor_test_support.h"
#include "whiteboard/editor/commands/whiteboard_layers.h"

#include <gtest/gtest.h>

using namespace zentrel;
using namespace zentrel::testing;

namespace {

struct WhiteboardLayers : EditorFixture
{
    using EditorFixture::place;

    // Puts fresh rectangles on the current board without an undo step and returns their ids.
    std::vector<Uuid> place(std::size_t count)
    {
        std::vector<Uuid> ids;
        WhiteboardLibrary library = model->library();
        auto &elements = library.boards[model->currentBoardIndex()].elements;
        for (std::size_t i = 0; i < count; ++i) {
            ids.push_back(model->makeIdentifier());
            elements.push_back(makeElement(rectangle(ids.back(), 50.0 * i)));
        }
        model->setLibrary(std::move(library));
        return ids;
    }

    std::vector<Uuid> order() const
    {
        std::vector<Uuid> ids;
        for (const ElementPtr &e : model->currentBoard().elements) {
            ids.push_back(e->id);
        }
        return ids;
    }
};

// --- Queries -------------------------------------------------------------------------------

TEST_F(WhiteboardLayers, SelectedElementsFollowBoardOrderAndSkipOtherBoards)
{
    const auto ids = place(3);
    model->setSelection({ids[2], ids[0], model->makeIdentifier()});
    const auto selected = selectedElements(*model);
    ASSERT_EQ(selected.size(), 2u);
    EXPECT_EQ(selected[0]->id, ids[0]);
    EXPECT_EQ(selected[1]->id, ids[2]);
}

TEST_F(WhiteboardLayers, LockedQueryIsFalseForEmptySelection)
{
    const auto ids = place(2);
    lock(ids[0]);
    EXPECT_FALSE(selectionContainsLocked(*model));
    model->setSelection({ids[1]});
    EXPECT_FALSE(selectionContainsLocked(*model));
    model->setSelection({ids[0], ids[1]});
    EXPECT_TRUE(selectionContainsLocked(*model));
}

// --- Grouping ------------------------------------------------------------------------------

TEST_F(WhiteboardLayers, GroupingRefusesOneElementOrALockedOne)
{
    const auto ids = place(3);
    model->setSelection({ids[0]});
    groupSelection(*model);
    EXPECT_TRUE(element(ids[0]).groupIDs.empty());
    lock(ids[2]);
    model->setSelection({ids[1], ids[2]});
    groupSelection(*model);
    EXPECT_TRUE(element(ids[1]).groupIDs.empty());
    EXPECT_FALSE(model->canUndo());
}

TEST_F(WhiteboardLayers, GroupingIsOneUndoStep)
{
    const auto ids = place(2);
    model->setSelection({ids[0], ids[1]});
    groupSelection(*model);
    EXPECT_EQ(model->undoCount(), 1u);
    ASSERT_EQ(element(ids[0]).groupIDs.size(), 1u);
    EXPECT_EQ(element(ids[0]).groupIDs, element(ids[1]).groupIDs);
    model->undo();
    EXPECT_TRUE(element(ids[0]).groupIDs.empty());
}

TEST_F(WhiteboardLayers, NestedGroupsComeApartOneLevelPerUngroup)
{
    const auto ids = place(3); // A, B, C
    model->setSelection({ids[0], ids[1]});
    groupSelection(*model);
    const Uuid inner = element(ids[0]).groupIDs.front();
    model->setSelection({ids[0], ids[1], ids[2]});
    groupSelection(*model);
    EXPECT_EQ(element(ids[0]).groupIDs.size(), 2u);
    EXPECT_EQ(element(ids[2]).groupIDs.size(), 1u);
    EXPECT_EQ(element(ids[0]).groupIDs.back(), element(ids[2]).groupIDs.back())
        << "the new group is the outermost";

    ungroup(*model);
    EXPECT_EQ(element(ids[0]).groupIDs, std::vector<Uuid>{inner});
    EXPECT_EQ(element(ids[1]).groupIDs, std::vector<Uuid>{inner});
    EXPECT_TRUE(element(ids[2]).groupIDs.empty());
    EXPECT_EQ(model->undoCount(), 3u);
}

TEST_F(WhiteboardLayers, UngroupWithoutGroupsOrWithALockLeavesNoStep)
{
    const auto ids = place(2);
    model->setSelection({ids[0], ids[1]});
    ungroup(*model);
    EXPECT_FALSE(model->canUndo());
    groupSelection(*model);
    lock(ids[0]);
    ungroup(*model);
    EXPECT_EQ(element(ids[1]).groupIDs.size(), 1u);
    EXPECT_EQ(model->undoCount(), 1u);
}

TEST_F(WhiteboardLayers, BareUngroupRecordsNoStepOfItsOwn)
{
    const auto ids = place(2);
    model->setSelection({ids[0], ids[1]});
    groupSelection(*model);
    ungroupSelection(*model);
    EXPECT_TRUE(element(ids[0]).groupIDs.empty());
    EXPECT_EQ(model->undoCount(), 1u) << "the caller records the ungroup";
}

// --- Stacking order ------------------------------------------------------------------------

TEST_F(WhiteboardLayers, BackwardThenForwardMovesABlockAsAWhole)
{
    const auto ids = place(3); // A, S1, S2
    model->setSelection({ids[1], ids[2]});
    sendBackward(*model);
    EXPECT_EQ(order(), (std::vector<Uuid>{ids[1], ids[2], ids[0]}));
    bringForward(*model);
    EXPECT_EQ(order(), ids);
    EXPECT_EQ(model->undoCount(), 2u);
}

TEST_F(WhiteboardLayers, FrontAndBackKeepTheRelativeOrderOfSeveral)
{
    const auto ids = place(4); // S1, A, S2, B
    model->setSelection({ids[0], ids[2]});
    bringToFront(*model);
    EXPECT_EQ(order(), (std::vector<Uuid>{ids[1], ids[3], ids[0], ids[2]}));
    model->undo();
    sendToBack(*model);
    EXPECT_EQ(order(), (std::vector<Uuid>{ids[0], ids[2], ids[1], ids[3]}));
}

TEST_F(WhiteboardLayers, ForwardOnTopChangesNothingAndRecordsNoStep)
{
    const auto ids = place(3);
    model->setSelection({ids[2]});
    bringForward(*model);
    bringToFront(*model);
    EXPECT_EQ(order(), ids);
    EXPECT_FALSE(model->canUndo());
    EXPECT_EQ(harness.scheduler.pendingCount(), 0u);
}

TEST_F(WhiteboardLayers, ForwardSkipsOneUnselectedElementOnly)
{
    const auto ids = place(4); // S, A, B, C
    model->setSelection({ids[0]});
    bringForward(*model);
    EXPECT_EQ(order(), (std::vector<Uuid>{ids[1], ids[0], ids[2], ids[3]}));
}

TEST_F(WhiteboardLayers, StackingMovesRefuseALockedSelection)
{
    const auto ids = place(3);
    lock(ids[0]);
    model->setSelection({ids[0], ids[1]});
    bringToFront(*model);
    sendToBack(*model);
    EXPECT_EQ(order(), ids);
    EXPECT_FALSE(model->canUndo());
}

// --- Locking -------------------------------------------------------------------------------

TEST_F(WhiteboardLayers, OneLockedElementMakesTheCommandUnlockAll)
{
    const auto ids = place(2);
    lock(ids[0]);
    model->setSelection({ids[0], ids[1]});
    toggleSelectionLock(*model);
    EXPECT_FALSE(element(ids[0]).isLocked);
    EXPECT_FALSE(element(ids[1]).isLocked);
    toggleSelectionLock(*model);
    EXPECT_TRUE(element(ids[0]).isLocked);
    EXPECT_TRUE(element(ids[1]).isLocked);
    EXPECT_EQ(model->undoCount(), 2u);
    model->undo();
    EXPECT_FALSE(element(ids[1]).isLocked);
}

TEST_F(WhiteboardLayers, LockCommandWithNothingSelectedDoesNothing)
{
    place(1);
    toggleSelectionLock(*model);
    EXPECT_FALSE(model->canUndo());
}

// --- Board mutations -----------------------------------------------------------------------

TEST_F(WhiteboardLayers, UpdateWithoutEffectLeavesNoStepAndNoSave)
{
    place(1);
    EXPECT_FALSE(updateCurrentBoard(*model, [](WhiteboardBoard &) {}));
    EXPECT_FALSE(model->canUndo());
    EXPECT_EQ(harness.scheduler.pendingCount(), 0u);
    harness.clock.advance(std::chrono::minutes(1));
    EXPECT_TRUE(updateCurrentBoard(*model, [](WhiteboardBoard &b) { b.name = "Renamed"; }));
    EXPECT_EQ(model->undoCount(), 1u);
    EXPECT_EQ(model->currentBoard().updatedAt, harness.clock.now());
}

TEST_F(WhiteboardLayers, RemovingAShapeTakesItsLabelAndUnbindsArrows)
{
    const auto ids = place(3); // rectangle, label, arrow
    WhiteboardElement label = element(ids[1]);
    label.kind = WhiteboardElementKind::text;
    label.containerID = ids[0];
    replace(label);
    WhiteboardElement arrow = element(ids[2]);
    arrow.kind = WhiteboardElementKind::arrow;
    arrow.startBindingID = ids[0];
    arrow.endBindingID = ids[1];
    replace(arrow);

    WhiteboardBoard board = model->currentBoard();
    removeElements(board, {ids[0]});
    ASSERT_EQ(board.elements.size(), 1u);
    EXPECT_EQ(board.elements[0]->id, ids[2]);
    EXPECT_FALSE(board.elements[0]->startBindingID);
    EXPECT_FALSE(board.elements[0]->endBindingID) << "the removed label was bound too";
    EXPECT_EQ(board.elements[0]->frame(), arrow.frame());
}

TEST_F(WhiteboardLayers, CopyDropsReferencesToElementsLeftBehind)
{
    const auto ids = place(4); // rectangle, label, start shape, arrow
    WhiteboardElement label = element(ids[1]);
    label.containerID = ids[0];
    replace(label);
    WhiteboardElement arrow = element(ids[3]);
    arrow.startBindingID = ids[2];
    arrow.endBindingID = ids[0];
    replace(arrow);
    model->setSelection({ids[1], ids[2], ids[3]});

    const auto copies = selectionForCopy(*model);
    ASSERT_EQ(copies.size(), 3u);
    EXPECT_FALSE(copies[0].containerID);
    EXPECT_EQ(copies[2].startBindingID, ids[2]);
    EXPECT_FALSE(copies[2].endBindingID);
    EXPECT_EQ(element(ids[1]).containerID, ids[0]) << "the board keeps its label";
}

TEST_F(WhiteboardLayers, AppendPutsElementsOnTopInOrder)
{
    const auto ids = place(1);
    WhiteboardBoard board = model->currentBoard();
    const Uuid a = model->makeIdentifier();
    const Uuid b = model->makeIdentifier();
    appendElements(board, {makeElement(rectangle(a, 0)), makeElement(rectangle(b, 0))});
    ASSERT_EQ(board.elements.size(), 3u);
    EXPECT_EQ(board.elements[0]->id, ids[0]);
    EXPECT_EQ(board.elements[1]->id, a);
    EXPECT_EQ(board.elements[2]->id, b);
}

} // namespace
