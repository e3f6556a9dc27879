#include "editor_test_support.h"

#include <gtest/gtest.h>

using namespace zentrel;
using namespace zentrel::testing;
using namespace std::chrono_literals;

namespace {

using Names = std::vector<std::string>;

struct WhiteboardEditorBoards : ::testing::Test
{
    EditorHarness harness;
    std::unique_ptr<WhiteboardEditorModel> model = harness.makeModel();
};

TEST_F(WhiteboardEditorBoards, AddedBoardIsNumberedAndShownFresh)
{
    model->addBoard();
    model->addBoard();
    WhiteboardLibrary zoomed = model->library();
    zoomed.boards[2].viewport = {3, {5, 5}};
    model->setLibrary(zoomed);
    const Uuid selected = addRectangle(*model);
    model->setSelection({selected});

    model->addBoard();
    EXPECT_EQ(boardNames(*model), (Names{"Untitled Board", "Board 2", "Board 3", "Board 4"}));
    const WhiteboardBoard &board = model->currentBoard();
    EXPECT_EQ(model->currentBoardIndex(), 3u);
    EXPECT_EQ(board.viewport, (WhiteboardViewport{1, {0, 0}}));
    EXPECT_TRUE(board.elements.empty());
    EXPECT_EQ(board.background.kind, WhiteboardBackground::Kind::white);
    EXPECT_TRUE(board.showsGrid);
    EXPECT_EQ(board.createdAt, harness.clock.now());
    EXPECT_TRUE(model->selection().empty());
    EXPECT_GT(harness.scheduler.pendingCount(), 0u);
}

TEST_F(WhiteboardEditorBoards, NumbersCanRepeatAfterADeletion)
{
    model->renameBoard("Board 1");
    model->addBoard();
    model->selectBoard(model->library().boards[0].id);
    model->deleteCurrentBoard();
    model->addBoard();
    EXPECT_EQ(boardNames(*model), (Names{"Board 2", "Board 2"}));
}

TEST_F(WhiteboardEditorBoards, RenameTrimsAndIgnoresBlanks)
{
    model->renameBoard("   ");
    EXPECT_EQ(model->currentBoard().name, "Untitled Board");
    EXPECT_FALSE(model->canUndo());
    EXPECT_EQ(harness.scheduler.pendingCount(), 0u);

    model->renameBoard("  Plan \n");
    EXPECT_EQ(model->currentBoard().name, "Plan");
    EXPECT_EQ(model->undoCount(), 1u);

    model->renameBoard("Plan");
    EXPECT_EQ(model->undoCount(), 1u) << "the same name is no change";
}

TEST_F(WhiteboardEditorBoards, DuplicateGoesRightAfterTheSource)
{
    model->renameBoard("One");
    model->addBoard();
    model->renameBoard("Two");
    model->addBoard();
    model->renameBoard("Three");
    model->selectBoard(model->library().boards[1].id);
    model->setSelection({addRectangle(*model)});

    model->duplicateBoard();
    EXPECT_EQ(boardNames(*model), (Names{"One", "Two", "Two Copy", "Three"}));
    EXPECT_EQ(model->currentBoardIndex(), 2u);
    EXPECT_TRUE(model->selection().empty());
    EXPECT_NE(model->currentBoard().id, model->library().boards[1].id);
}

// An imported document is a board of its own: four imports leave the drawn board and all four.
TEST_F(WhiteboardEditorBoards, InsertedBoardGoesAfterTheCurrentOneAndUndoTakesItAway)
{
    model->renameBoard("Drawn");
    model->addBoard();
    model->renameBoard("Last");
    model->selectBoard(model->library().boards[0].id);
    model->setSelection({addRectangle(*model)});
    const WhiteboardBoard drawn = model->currentBoard();
    const std::size_t stepsBefore = model->undoCount();

    for (const char *name : {"D", "C", "B", "A"}) {
        model->selectBoard(drawn.id);
        model->insertBoard(model->makeBoard(name));
    }
    EXPECT_EQ(boardNames(*model), (Names{"Drawn", "A", "B", "C", "D", "Last"}));
    EXPECT_EQ(model->currentBoard().name, "A");
    EXPECT_EQ(model->library().boards[0], drawn);
    EXPECT_TRUE(model->selection().empty());
    EXPECT_EQ(model->undoCount(), stepsBefore + 4);

    model->undo();
    EXPECT_EQ(boardNames(*model), (Names{"Drawn", "B", "C", "D", "Last"}));
    EXPECT_EQ(model->currentBoard(), drawn);
}

TEST_F(WhiteboardEditorBoards, DuplicateKeepsBindingsInsideTheCopy)
{
    const Uuid shape = addRectangle(*model, 0);
    const Uuid outside = model->makeIdentifier();
    WhiteboardLibrary library = model->library();
    WhiteboardElement label = rectangle(model->makeIdentifier(), 5);
    label.kind = WhiteboardElementKind::text;
    label.containerID = shape;
    label.groupIDs = {outside};
    WhiteboardElement arrow = rectangle(model->makeIdentifier(), 100);
    arrow.kind = WhiteboardElementKind::arrow;
    arrow.startBindingID = shape;
    arrow.endBindingID = outside; // names no element of the board: kept as it is
    library.boards[0].elements.push_back(makeElement(label));
    library.boards[0].elements.push_back(makeElement(arrow));
    model->updateLibrary(library);

    model->duplicateBoard();
    const auto &source = model->library().boards[0].elements;
    const auto &copy = model->currentBoard().elements;
    ASSERT_EQ(copy.size(), 3u);
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_NE(copy[i]->id, source[i]->id);
        EXPECT_EQ(copy[i]->kind, source[i]->kind);
    }
    EXPECT_EQ(copy[1]->containerID, copy[0]->id);
    EXPECT_EQ(copy[1]->groupIDs, std::vector<Uuid>{outside});
    EXPECT_EQ(copy[2]->startBindingID, copy[0]->id);
    EXPECT_EQ(copy[2]->endBindingID, outside);
    EXPECT_EQ(source[2]->startBindingID, shape) << "the source board is untouched";
}

TEST_F(WhiteboardEditorBoards, DeletingTheOnlyBoardLeavesAFreshOne)
{
    addRectangle(*model);
    const WhiteboardBoard deleted = model->currentBoard();
    model->deleteCurrentBoard();
    EXPECT_EQ(boardNames(*model), Names{"Untitled Board"});
    EXPECT_NE(model->currentBoard().id, deleted.id);
    EXPECT_TRUE(model->currentBoard().elements.empty());
    model->undo();
    EXPECT_EQ(model->currentBoard(), deleted);
}

TEST_F(WhiteboardEditorBoards, DeletionShowsTheFollowingBoardElseTheOneBefore)
{
    model->renameBoard("A");
    model->addBoard();
    model->renameBoard("B");
    model->addBoard();
    model->renameBoard("C");
    model->deleteCurrentBoard();
    EXPECT_EQ(model->currentBoard().name, "B");
    model->selectBoard(model->library().boards[0].id);
    model->deleteCurrentBoard();
    EXPECT_EQ(model->currentBoard().name, "B");
    EXPECT_EQ(boardNames(*model), Names{"B"});
}

TEST_F(WhiteboardEditorBoards, SelectingSwitchesWithoutAnUndoStep)
{
    model->addBoard();
    const Uuid first = model->library().boards[0].id;
    const Uuid element = addRectangle(*model);
    model->setSelection({element});
    harness.scheduler.advance(1s);
    const std::size_t steps = model->undoCount();
    std::vector<WhiteboardEditorChange> notices;
    auto connection = model->changed.connect([&](auto change) { notices.push_back(change); });

    model->selectBoard(first);
    EXPECT_EQ(model->currentBoard().id, first);
    EXPECT_EQ(model->undoCount(), steps);
    EXPECT_TRUE(model->selection().empty());
    ASSERT_EQ(notices.size(), 1u);
    EXPECT_TRUE(touches(notices[0], WhiteboardEditorChange::boards));
    EXPECT_TRUE(touches(notices[0], WhiteboardEditorChange::selection));
    harness.scheduler.advance(350ms);
    EXPECT_EQ(harness.savedLibrary().currentBoardID, first);
}

TEST_F(WhiteboardEditorBoards, UnknownBoardIsIgnored)
{
    const Uuid element = addRectangle(*model);
    model->setSelection({element});
    harness.scheduler.advance(1s);
    model->selectBoard(model->makeIdentifier());
    EXPECT_EQ(model->selection(), WhiteboardSelection{element});
    EXPECT_EQ(harness.scheduler.pendingCount(), 0u);
}

} // namespace
