#include "editor_test_support.h"

#include <gtest/gtest.h>

using namespace zentrel;
using namespace zentrel::testing;

namespace {

using Change = WhiteboardEditorChange;

struct WhiteboardEditorHistory : ::testing::Test
{
    EditorHarness harness;
    std::unique_ptr<WhiteboardEditorModel> model = harness.makeModel();
    std::vector<Change> notices;
    ScopedConnection connection =
        model->changed.connect([this](Change change) { notices.push_back(change); });
};

TEST_F(WhiteboardEditorHistory, KeepsTheLastHundredSteps)
{
    addRectangle(*model, 0);
    const WhiteboardLibrary afterFirst = model->library();
    for (int i = 1; i <= 100; ++i) {
        addRectangle(*model, i);
    }
    EXPECT_EQ(model->undoCount(), 100u);
    while (model->canUndo()) {
        model->undo();
    }
    EXPECT_EQ(model->currentBoard().elements.size(), 1u) << "the first change cannot be undone";
    EXPECT_EQ(model->library(), afterFirst);
    EXPECT_EQ(model->redoCount(), 100u);
}

TEST_F(WhiteboardEditorHistory, NewChangeDiscardsRedo)
{
    addRectangle(*model);
    model->undo();
    EXPECT_TRUE(model->canRedo());
    notices.clear();
    addRectangle(*model);
    EXPECT_FALSE(model->canRedo());
    ASSERT_EQ(notices.size(), 1u);
    EXPECT_TRUE(touches(notices[0], Change::history));
}

TEST_F(WhiteboardEditorHistory, UndoRestoresTheSnapshotUnstamped)
{
    const WhiteboardLibrary before = model->library();
    harness.clock.advance(std::chrono::minutes(5));
    addRectangle(*model);
    EXPECT_EQ(model->currentBoard().updatedAt, harness.clock.now());
    harness.clock.advance(std::chrono::minutes(5));
    model->undo();
    EXPECT_EQ(model->library(), before);
    model->redo();
    EXPECT_EQ(model->currentBoard().elements.size(), 1u);
    EXPECT_EQ(model->currentBoard().updatedAt, harness.clock.now() - std::chrono::minutes(5));
}

TEST_F(WhiteboardEditorHistory, CommitStampsOnlyTheBoardOnScreen)
{
    model->addBoard();
    const Timestamp firstStamp = model->library().boards[0].updatedAt;
    harness.clock.advance(std::chrono::hours(1));
    addRectangle(*model);
    EXPECT_EQ(model->library().boards[0].updatedAt, firstStamp);
    EXPECT_EQ(model->library().boards[1].updatedAt, harness.clock.now());
}

TEST_F(WhiteboardEditorHistory, UpdateWithAnEqualLibraryDoesNothing)
{
    notices.clear();
    model->updateLibrary(model->library());
    EXPECT_FALSE(model->canUndo());
    EXPECT_EQ(harness.scheduler.pendingCount(), 0u);
    EXPECT_TRUE(notices.empty());
}

TEST_F(WhiteboardEditorHistory, ALibraryWithoutBoardsIsNeverTaken)
{
    addRectangle(*model);
    const WhiteboardLibrary before = model->library();
    notices.clear();
    model->setLibrary(WhiteboardLibrary{});
    EXPECT_EQ(model->library(), before);
    EXPECT_TRUE(notices.empty());
    // Commands keep working on the board that is still there.
    addRectangle(*model);
    EXPECT_EQ(model->currentBoard().elements.size(), 2u);
}

TEST_F(WhiteboardEditorHistory, UndoReturnsToTheBoardOfTheUndoneChange)
{
    const Uuid firstBoard = model->currentBoard().id;
    addRectangle(*model);
    model->addBoard();
    model->undo(); // the added board
    model->selectBoard(firstBoard);
    model->addBoard();
    const Uuid secondBoard = model->currentBoard().id;
    addRectangle(*model);
    model->selectBoard(firstBoard);
    model->undo();
    EXPECT_EQ(model->currentBoard().id, secondBoard);
    EXPECT_TRUE(model->currentBoard().elements.empty());
}

TEST_F(WhiteboardEditorHistory, UndoDropsSelectedElementsThatAreGone)
{
    const Uuid kept = addRectangle(*model, 0);
    const Uuid removed = addRectangle(*model, 50);
    model->setSelection({kept, removed});
    notices.clear();
    model->undo();
    EXPECT_EQ(model->selection(), WhiteboardSelection{kept});
    ASSERT_EQ(notices.size(), 1u) << "one command, one notice";
    EXPECT_TRUE(touches(notices[0], Change::selection | Change::geometry | Change::history));
}

TEST_F(WhiteboardEditorHistory, ClickWithoutMovementLeavesNoStepAndNoSave)
{
    model->beginTransaction();
    model->endTransaction();
    EXPECT_FALSE(model->canUndo());
    EXPECT_EQ(harness.scheduler.pendingCount(), 0u);
}

TEST_F(WhiteboardEditorHistory, DragIsOneStep)
{
    addRectangle(*model, 0);
    const WhiteboardLibrary atMouseDown = model->library();
    model->beginTransaction();
    nudgeAll(*model, 5);
    model->beginTransaction(); // a second start keeps the first
    nudgeAll(*model, 5);
    nudgeAll(*model, 5);
    model->endTransaction();
    EXPECT_EQ(model->undoCount(), 2u);
    EXPECT_EQ(model->currentBoard().elements[0]->x, 15);
    model->undo();
    EXPECT_EQ(model->library(), atMouseDown);
}

// Ctrl+Z can arrive while the mouse is still down; the drag's end must not undo the undo.
TEST_F(WhiteboardEditorHistory, UndoAndRedoWaitForARunningDrag)
{
    addRectangle(*model, 0);
    const WhiteboardLibrary oneShape = model->library();
    addRectangle(*model, 1);
    const WhiteboardLibrary atMouseDown = model->library();
    model->beginTransaction();
    nudgeAll(*model, 5);
    model->undo();
    nudgeAll(*model, 5);
    model->redo();
    model->endTransaction();
    EXPECT_EQ(model->undoCount(), 3u);
    EXPECT_EQ(model->currentBoard().elements.size(), 2u);
    model->undo();
    EXPECT_EQ(model->library(), atMouseDown);
    model->undo();
    EXPECT_EQ(model->library(), oneShape);
}

TEST_F(WhiteboardEditorHistory, EscapeDuringAMoveRestoresTheStart)
{
    addRectangle(*model, 0);
    harness.scheduler.advance(std::chrono::seconds(1));
    const WhiteboardLibrary atMouseDown = model->library();
    model->setInteraction(WhiteboardInteraction::Kind::moving);
    model->beginTransaction();
    nudgeAll(*model, 30);
    model->cancelInteraction();
    EXPECT_EQ(model->library(), atMouseDown);
    EXPECT_EQ(model->interaction(), WhiteboardInteraction::Kind::idle);
    EXPECT_EQ(model->undoCount(), 1u);
    EXPECT_EQ(harness.scheduler.pendingCount(), 0u);
    EXPECT_FALSE(model->isTransactionOpen());
}

TEST_F(WhiteboardEditorHistory, EscapeWithoutATransactionChangesNothing)
{
    model->setInteraction(WhiteboardInteraction::Kind::drawing);
    notices.clear();
    model->cancelInteraction();
    EXPECT_EQ(model->interaction(), WhiteboardInteraction::Kind::drawing);
    EXPECT_TRUE(notices.empty());
}

TEST_F(WhiteboardEditorHistory, ResetViewIsNeitherUndoneNorSaved)
{
    WhiteboardLibrary zoomed = model->library();
    zoomed.boards[0].viewport = {2.5, {40, -10}};
    model->setLibrary(zoomed);
    notices.clear();
    model->resetView();
    EXPECT_EQ(model->currentBoard().viewport, (WhiteboardViewport{1, {0, 0}}));
    EXPECT_FALSE(model->canUndo());
    EXPECT_EQ(harness.scheduler.pendingCount(), 0u);
    ASSERT_EQ(notices.size(), 1u);
    EXPECT_TRUE(touches(notices[0], Change::viewport));
    EXPECT_FALSE(touches(notices[0], Change::geometry | Change::boards | Change::history));
}

TEST_F(WhiteboardEditorHistory, NoticesSayWhatChanged)
{
    addRectangle(*model);
    ASSERT_EQ(notices.size(), 1u);
    EXPECT_TRUE(touches(notices[0], Change::geometry | Change::history));
    EXPECT_FALSE(touches(notices[0], Change::viewport | Change::boards | Change::selection));
    notices.clear();
    model->setSelectedTool(WhiteboardTool::rectangle);
    model->setSelectedTool(WhiteboardTool::rectangle);
    model->setTextFontSize(500);
    ASSERT_EQ(notices.size(), 2u);
    EXPECT_EQ(notices[0], Change::tool);
    EXPECT_EQ(notices[1], Change::textFontSize);
    EXPECT_EQ(model->textFontSize(), 144);
}

TEST_F(WhiteboardEditorHistory, SnapshotsShareTheirElements)
{
    addRectangle(*model);
    auto snapshot = model->librarySnapshot();
    addRectangle(*model, 80);
    EXPECT_EQ(snapshot->boards[0].elements[0], model->currentBoard().elements[0]);
}

} // namespace
